#include "cuiWindowClamp.h"

QRect cuiWindowClamp::apply(const QRect& window, const QRect& workArea) {
    // Edges as the window system counts them: right and bottom lie just past the area.
    const int workLeft = workArea.x();
    const int workTop = workArea.y();
    const int workRight = workArea.x() + workArea.width();
    const int workBottom = workArea.y() + workArea.height();

    int left = window.x();
    int top = window.y();
    const int width = window.width();
    if (left > workRight - Margin) left = workRight - Margin;
    if (top > workBottom - Margin) top = workBottom - Margin;
    if (left + width < workLeft + Margin) left = workLeft + Margin - width;
    if (top < workTop) top = workTop;
    return QRect(left, top, width, window.height());
}
