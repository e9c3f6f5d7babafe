#pragma once
// The selection lists, tone names and messages that the cells need, as overlay lines. The
// program's overlay carries the same keys; tools and tests that run without it attach
// these lines to a text table (cmcGTex::attachLines).

#include <QStringList>

class cmcGTex;

class cmcCellTexts {
  public:
    // Key lines start with '#'; the last line is "#End_Of_Ovl".
    static QStringList lines();
    // Whether a table holds every key of lines() (so it can serve the cells).
    static bool hasKeys(cmcGTex& table);
};
