#pragma once
// The cell text of the definition language. A cell text is display text with attribute
// strings in braces; an attribute string holds flag characters ("<^>" "~-_" "W" "H" "+"
// "B" "X" "Q" "S" "T", "!" negating the next) and parenthesised groups ("$" models,
// "Color=", "Font=", "%" cell references, "@chN++" / "@chN=v" counters, "ImageIndex=",
// "PopupMenu=", "FlagN="). A row line is cell texts ended by "|" or the end of the line.

#include <QString>
#include <QStringList>
#include <cstdint>

class cmcGTex;
class cuiCell;

class cuiCellParser {
  public:
    // table: where "CellModel_" definitions are looked up.
    explicit cuiCellParser(cmcGTex& table) : m_table(table) {}

    // Parses text into cell, starting from parent (or the defaults) with the counters.
    void parse(cuiCell& cell, const QString& text, const cuiCell* parent, int32_t* counters);

    // Applies an attribute string (no braces) to cell.
    void applyAttributes(cuiCell& cell, const QString& attributes);
    void applyGroup(cuiCell& cell, const QString& group);

    // Splits a row line into its cell texts: a "|" ends a cell unless "\" precedes it; a
    // trailing "|" leaves no empty last cell.
    static QStringList splitRow(const QString& line);
    // Processes the escapes of a display text; counters may be null.
    static QString displayText(const QString& raw, const int32_t* counters);

    // Reads "@chN" at pos (pos points at "@"); returns N and advances pos past the digit.
    // A malformed reference or missing counters are fatal ("Ch No. Error").
    static int counterRef(const QString& text, int& pos, const int32_t* counters);

  private:
    void applyCellReference(cuiCell& cell, const QString& ref);
    void applyCounter(cuiCell& cell, const QString& group);

    cmcGTex& m_table;
    int m_modelDepth = 0;
};
