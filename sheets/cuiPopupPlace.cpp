#include "cuiPopupPlace.h"

#include <algorithm>

cuiPopupPlace cuiPopupPlace::place(const QRect& cell, const QSize& wanted, const QRect& area) {
    cuiPopupPlace p;
    int w = std::max(1, wanted.width());
    int h = std::max(1, wanted.height());
    if (w > area.width() || h > area.height()) {
        p.scrollBars = true;
        w = std::min(w, area.width());
        h = std::min(h, area.height());
    }
    int x = cell.left() + 8;
    int y = cell.bottom() + 1;
    const int end = area.top() + area.height(); // first row below the work area
    if (y + h > end) {
        const int roomBelow = end - y;
        const int roomAbove = cell.top() - area.top();
        if (roomAbove > roomBelow) y = cell.top() - h;
    }
    y = std::max(area.top(), std::min(y, end - h));
    const int right = area.left() + area.width();
    if (x + w > right) x = right - w;
    x = std::max(area.left(), x);
    p.rect = QRect(x, y, w, h);
    return p;
}
