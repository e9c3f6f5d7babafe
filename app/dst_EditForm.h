#pragma once
// Placement of one of the editor's secondary windows, kept by the settings store under the
// window's name. The four further values belong to the window itself (-1 until it sets
// them); the open flag is set by the window while it is shown and is never stored.

#include <QString>

struct dst_EditForm {
    QString name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int further[4] = {-1, -1, -1, -1};
    int windowState = 0;
    bool open = false;
};
