#pragma once
// Where a small window opened from a cell goes (pick lists and other pop-up sheet
// windows): just below the cell, 8 pixels right of its left edge, at the size of its whole
// sheet. A window larger than the work area is limited to it and needs scroll bars; one
// that would pass the bottom goes above the cell when there is more room there; whatever
// side it takes, it is kept inside the work area, shifted left and up as needed.

#include <QRect>
#include <QSize>

class QWidget;
class cuiGrid;

struct cuiPopupPlace {
    QRect rect;
    bool scrollBars = false;

    // cell and workArea in the same (global) coordinates; wanted: the window's size with
    // the whole sheet showing.
    static cuiPopupPlace place(const QRect& cell, const QSize& wanted, const QRect& workArea);
    // Shows window beside cell, sized to the whole content of grid plus the frames around
    // it, on the work area of the cell's screen, with scroll bars only when it does not
    // fit, and gives the grid the focus. The frames are known once the window has been laid
    // out: the first showing measures them into frameExtra, which the caller keeps.
    static void showFitted(QWidget* window, cuiGrid* grid, const QRect& cell, QSize& frameExtra);
};
