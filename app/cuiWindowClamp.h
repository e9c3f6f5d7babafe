#pragma once
// Keeps a restored main-window position reachable: a window saved on a screen that is no
// longer there, or above the work area, is pulled back so that a part of it can be grabbed.
// Only the position changes; the size never does.

#include <QRect>

class cuiWindowClamp {
  public:
    // The window rectangle moved against the work area (the screen minus the task bar).
    // In order, each step seeing the previous one's result: at most 16 pixels from the right
    // edge, at most 16 pixels from the bottom edge, at least 16 pixels of width inside the
    // left edge, and never above the top edge.
    static QRect apply(const QRect& window, const QRect& workArea);

    static constexpr int Margin = 16;
};
