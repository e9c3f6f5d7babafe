#include "TForm_Opening.h"

#include "cuiIcons.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

TForm_Opening::TForm_Opening(const QString& revision, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog) {
    setFixedSize(600, 187);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xDF, 0xDF, 0xDF)); // 14671839
    setPalette(pal);

    auto* image = new QLabel(this);
    image->setGeometry(0, 0, 600, 152);
    image->setPixmap(QPixmap::fromImage(picture()));
    image->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_revisionText = QStringLiteral("Revision ") + revision;
    auto* label = new QLabel(m_revisionText, this);
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(17);
    label->setFont(f);
    label->move(16, 164);
    label->adjustSize();
    label->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &QDialog::accept);
    timer->start(AutoCloseMs);
}

QString TForm_Opening::revisionText() const {
    return m_revisionText;
}

void TForm_Opening::mousePressEvent(QMouseEvent* event) {
    event->accept();
    accept();
}

QImage TForm_Opening::picture() {
    QImage img(600, 152, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 600, 152);
    sky.setColorAt(0, QColor(0x1d, 0x3c, 0x5e));
    sky.setColorAt(1, QColor(0x2f, 0x6f, 0xb8));
    p.fillRect(img.rect(), sky);
    // Radio waves from the antenna of the radio picture.
    p.setPen(QPen(QColor(255, 255, 255, 70), 3));
    for (int r = 40; r <= 200; r += 32)
        p.drawArc(QRectF(78 - r, 40 - r, 2 * r, 2 * r), -60 * 16, 120 * 16);
    p.drawImage(QRect(24, 24, 104, 104), cuiIcons::draw(QStringLiteral("imgIcon_Tree_Rig"), 104));
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(160, 28, 430, 52), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("QX-T5200"));
    QFont sub(QStringLiteral("Arial"));
    sub.setPixelSize(18);
    p.setFont(sub);
    p.setPen(QColor(0xdd, 0xe8, 0xf4));
    p.drawText(QRect(160, 80, 430, 28), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("HF SSB Transceiver Cloning Editor"));
    p.drawText(QRect(160, 108, 430, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("VEXO Inc."));
    p.end();
    return img;
}
