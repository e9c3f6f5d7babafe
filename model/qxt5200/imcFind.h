#pragma once
// Finding text in every sheet of the lists: names, texts, identifiers and numbers as the
// sheets show them (case-insensitive, anywhere in the cell), and frequencies by value
// ("14.23" finds 14.230000 and not 14.235000). Matches come in the order of the editor's
// tree, then row by row, column by column; rows not in use hold nothing to find.
//
// Replace changes the found text in a text cell (a name, a message) and commits the new
// text as the cell's editor would, so the cell's format refuses what it cannot hold.

#include <QString>
#include <cstdint>
#include <vector>

class cmcCellDispatch;
class cmcEeprom;
class cmcGTex;

struct imcFindMatch {
    QString sheet;  // the tree command of the sheet showing the cell
    QString where;  // the sheet as the tree names it ("Channel List")
    QString column; // the column heading ("Name")
    int32_t category = 0;
    int32_t label = 0;
    int32_t index = 0;        // the row, from 0
    QString text;             // what the cell shows
    bool replaceable = false; // a text cell that Replace may change

    // The cell's name as sheet definitions write it: "CT_ChannelList.CL_ChL_Name[12]".
    QString reference() const;
    // "Channel List, row 13, Name: NET CONTROL"
    QString describe() const;
};

class imcFind {
  public:
    // Every match of text; sheet (a tree command) keeps those of one sheet, empty: all.
    // texts: the table holding the sheet definitions (nullptr: the cells' table).
    static std::vector<imcFindMatch> all(const cmcEeprom& image, const QString& text,
                                         cmcGTex* texts = nullptr, const QString& sheet = {});
    // Whether a cell's text holds what is looked for (case-insensitive).
    static bool holds(const QString& shown, const QString& text);
    // The cell's text with every occurrence of text (case-insensitive) replaced by with.
    static QString replaced(const QString& shown, const QString& text, const QString& with);
    // Replaces in one found cell through the dispatcher given; false when the cell is no
    // text cell, no longer holds the text, or refused the new text.
    static bool replace(cmcCellDispatch& dispatch, const imcFindMatch& match, const QString& text,
                        const QString& with);
};
