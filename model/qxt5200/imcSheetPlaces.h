#pragma once
// Where the tree's sheets show the cells of the lists and settings, read from the sheet
// definitions of a text table: for a label the sheet (its tree command and caption) and the
// column heading or setting caption; for a list the sheet that shows it; the text in front
// of a cell on a plain row. The comparison of images and the search over every sheet name
// their cells with it.

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>

class cmcGTex;
struct cmcCsvTable;

struct imcSheetPlace {
    QString sheet;   // tree command
    QString where;   // tree caption
    QString caption; // column heading or setting caption
};

class imcSheetPlaces {
  public:
    explicit imcSheetPlaces(cmcGTex& table) { read(table); }

    // The places of a text table's sheets, read once per table and file (a language switch
    // opens another file).
    static const imcSheetPlaces& forTable(cmcGTex& table);

    // The heading of a list column, the caption of a setting; nullptr when unknown.
    const imcSheetPlace* of(int32_t label) const;
    // The tree node of a list's sheet: the first sheet whose cells name the list's
    // category, else the sheet of a label of the list. (The channel-group and the network
    // sheets share the channel name and frequency labels.)
    const imcSheetPlace* sheetOf(const cmcCsvTable& table) const;
    // The text in front of a cell on a plain row of a sheet ("Group" before the group
    // number); empty when unknown.
    QString itemCaption(int32_t label) const { return m_items.value(label); }
    // The tree commands of the sheets, in tree order.
    const QStringList& sheets() const { return m_sheets; }

  private:
    void read(cmcGTex& table);
    void sheet(const QStringList& lines, const QString& command, const QString& where);

    QHash<int32_t, imcSheetPlace> m_places;
    QHash<int32_t, imcSheetPlace> m_categories;
    QHash<int32_t, QString> m_items;
    QStringList m_sheets;
};
