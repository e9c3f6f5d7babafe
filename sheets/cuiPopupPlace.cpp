#include "cuiPopupPlace.h"

#include "cuiGrid.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
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

void cuiPopupPlace::showFitted(QWidget* window, cuiGrid* g, const QRect& cell, QSize& frameExtra) {
    QSize content(0, 0);
    for (int c = 0; c < g->colCount(); ++c)
        content.rwidth() += g->colWidth(c);
    for (int r = 0; r < g->rowCount(); ++r)
        content.rheight() += g->rowHeight(r);
    QRect area(QPoint(0, 0), QSize(1024, 768));
    if (const QScreen* screen = QGuiApplication::screenAt(cell.center()))
        area = screen->availableGeometry();
    else if (const QScreen* primary = QGuiApplication::primaryScreen())
        area = primary->availableGeometry();
    auto placeWindow = [&] {
        const cuiPopupPlace p = place(cell, content + frameExtra, area);
        const Qt::ScrollBarPolicy bars =
            p.scrollBars ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
        g->setHorizontalScrollBarPolicy(bars);
        g->setVerticalScrollBarPolicy(bars);
        window->setGeometry(p.rect);
        return p.scrollBars;
    };
    const bool bars = placeWindow();
    window->show();
    if (!bars) {
        const QSize measured = window->size() - QSize(g->clientWidth(), g->clientHeight());
        if (measured != frameExtra) {
            frameExtra = measured;
            placeWindow();
        }
    }
    g->setFocus();
}
