#include "cuiCloneProgress.h"

#include <QCloseEvent>
#include <QPainter>
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
    m_box = new cuiCloneProgressBox(this);
    m_box->move(16, 8);
    setFixedSize(m_box->width() + 32, m_box->height() + 32);
    if (owner) {
        const QRect o = owner->frameGeometry();
        move(o.center() - QPoint(width() / 2, height() / 2));
    }
    show();
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
