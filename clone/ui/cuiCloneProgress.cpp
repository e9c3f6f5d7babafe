#include "cuiCloneProgress.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

cuiCloneProgressBox::cuiCloneProgressBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFixedSize(BarWidth + 2 * frameWidth(), BarHeight);
}

int cuiCloneProgressBox::litSegments(int done, int total) {
    if (total <= 0 || done <= 0) return 0;
    const int64_t lit = int64_t(Segments + 1) * done / total;
    return int(std::min<int64_t>(lit, Segments));
}

void cuiCloneProgressBox::setProgress(int done, int total) {
    if (litSegments(done, total) != litSegments(m_done, m_total)) update();
    m_done = done;
    m_total = total;
}

void cuiCloneProgressBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect area = contentsRect();
    const int segment = area.width() / Segments;
    const int lit = litSegments(m_done, m_total);
    const QColor on = palette().color(QPalette::Highlight);
    const QColor off = palette().color(QPalette::Base);
    p.fillRect(area, off);
    for (int i = 0; i < Segments; ++i) {
        const QRect r(area.left() + i * segment, area.top(), segment, area.height());
        // Each segment ends with a one-pixel separator in the window colour.
        p.fillRect(r.adjusted(0, 0, -1, 0), i < lit ? on : off);
    }
}

cuiCloneProgress::cuiCloneProgress(const QString& caption, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 8, 16, 16);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_box = new cuiCloneProgressBox(this);
    layout->addWidget(m_box);
    m_progressLine = new QLabel(this);
    m_progressLine->setObjectName(QStringLiteral("ProgressLine"));
    m_linkLine = new QLabel(this);
    m_linkLine->setObjectName(QStringLiteral("LinkLine"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("Note"));
    m_note->setWordWrap(true);
    m_note->setMaximumWidth(m_box->width());
    m_note->hide();
    layout->addWidget(m_progressLine);
    layout->addWidget(m_linkLine);
    layout->addWidget(m_note);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setAutoDefault(false);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (onCancel) onCancel();
    });
    adjustSize();
    if (owner) {
        const QRect o = owner->frameGeometry();
        move(o.center() - QPoint(width() / 2, height() / 2));
    }
    show();
}

void cuiCloneProgress::setLines(const QString& progress, const QString& link) {
    if (m_progressLine->text() != progress) m_progressLine->setText(progress);
    if (m_linkLine->text() != link) m_linkLine->setText(link);
}

void cuiCloneProgress::setCancelText(const QString& text) {
    m_cancel->setText(text);
}

void cuiCloneProgress::setCancelOffered(bool offered, const QString& note) {
    m_cancel->setVisible(offered);
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

QString cuiCloneProgress::progressLine() const {
    return m_progressLine->text();
}
QString cuiCloneProgress::linkLine() const {
    return m_linkLine->text();
}
QString cuiCloneProgress::noteLine() const {
    return m_note->isHidden() ? QString() : m_note->text();
}

void cuiCloneProgress::finish() {
    m_closable = true;
    close();
}

void cuiCloneProgress::closeEvent(QCloseEvent* event) {
    if (m_closable)
        event->accept();
    else
        event->ignore();
}
