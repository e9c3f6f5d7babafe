#pragma once
// The sheets' own image list for check glyphs, used when the host gives a sheet none:
// image 10 an empty check box, image 11 a ticked one; the others are empty.

#include <QPixmap>
#include <vector>

class cuiCheckImages {
  public:
    enum { Unticked = 10, Ticked = 11, Size = 13 };
    // Drawn on first use (needs the GUI application).
    static const std::vector<QPixmap>& list();
};
