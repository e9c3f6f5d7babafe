#pragma once
// Keeps a restored window reachable and inside the screen: a window saved on a screen that
// is no longer there, above the work area or mostly off its edges is pulled back so that its
// title bar and most of it can be seen, and a window larger than the work area shrinks to
// it. The stored numbers may be anything a settings file holds: the arithmetic is done in 64
// bits and nothing overflows.

#include <QRect>

class cuiWindowClamp {
  public:
    // The window moved against the work area (the screen minus the task bar). First the
    // size is bounded by the work area's (at least 1 x 1). A window of which less than half
    // the width lies inside moves sideways until it lies wholly inside; one of which less
    // than half the height lies inside moves up until it lies wholly inside; and its top
    // (the title bar) is never above the work area's. A window partly off an edge, with
    // most of it inside, stays where it was put.
    static QRect apply(qint64 left, qint64 top, qint64 width, qint64 height, const QRect& workArea);
    static QRect apply(const QRect& window, const QRect& workArea) {
        return apply(window.x(), window.y(), window.width(), window.height(), workArea);
    }
};
