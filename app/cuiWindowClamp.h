#pragma once
// Keeps a restored window reachable and inside the screen: a window saved on a screen that
// is no longer there, or above the work area, is pulled back so that a part of it can be
// grabbed, and a window larger than the work area shrinks to it. The stored numbers may be
// anything a settings file holds: the arithmetic is done in 64 bits and nothing overflows.

#include <QRect>

class cuiWindowClamp {
  public:
    // The window moved against the work area (the screen minus the task bar). First the
    // size is bounded by the work area's (at least 1 × 1); then, in order, each step seeing
    // the previous one's result: at most 16 pixels from the right edge, at most 16 pixels
    // from the bottom edge, at least 16 pixels of width inside the left edge, and never
    // above the top edge.
    static QRect apply(qint64 left, qint64 top, qint64 width, qint64 height, const QRect& workArea);
    static QRect apply(const QRect& window, const QRect& workArea) {
        return apply(window.x(), window.y(), window.width(), window.height(), workArea);
    }

    static constexpr int Margin = 16;
};
