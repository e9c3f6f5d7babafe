#pragma once
// The per-radio values of a fleet: one row per radio, keyed by the serial number the radio
// reports (or, for a radio not known yet, by its link: a port device or an adapter's
// HOST:PORT), and one column per cell whose value differs between the radios, named by the
// cell's reference (CT_AleSelfIndId.CL_Ale_SelfId_Id[0]). Writing a document into the fleet
// applies each radio's row to a copy of the document, so that each radio keeps its own
// addresses.
//
// As text it is CSV as the list import reads it (UTF-8, RFC 4180, a header line: "radio"
// and then the references). Every value is checked by its own cell's format before
// anything is sent: list cells as the list import commits them, settings as typed into the
// cell. An empty field leaves the document's value in that radio.
//
// Some cells identify a radio in the network (its ALE self addresses, the identifiers of its
// profiles): two radios given the same value there are refused, naming both.

#include "cmcCsvList.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class cmcEeprom;

class imcFleetSheet {
  public:
    // The heading of the first column, which names the radio.
    static constexpr const char* RadioHeading = "radio";

    struct Column {
        QString reference; // CATEGORY.LABEL[INDEX]
        int32_t category = 0;
        int32_t label = 0;
        int32_t index = 0;
        // A list cell: its list and column in the list import's layout; nullptr: a setting.
        const cmcCsvTable* table = nullptr;
        const cmcCsvColumn* column = nullptr;
        // The value must differ from radio to radio.
        bool unique = false;
    };

    struct Row {
        QString radio;      // serial number or link
        QStringList values; // one per column; empty: the document's value
        int line = 0;       // the line of the text it came from (0: made here)
    };

    // The column of a reference; false with the reason when the reference names no cell a
    // per-radio value can go to.
    static bool columnOf(const QString& reference, Column* column, QString* error);

    const std::vector<Column>& columns() const { return m_columns; }
    const std::vector<Row>& rows() const { return m_rows; }
    bool isEmpty() const { return m_rows.empty() || m_columns.empty(); }

    // Adds a column (empty in every row); false with the reason when the reference names no
    // such cell or the sheet has the column already.
    bool addColumn(const QString& reference, QString* error = nullptr);
    void removeColumn(int column);
    // Adds a radio's row (empty values) and answers its index.
    int addRow(const QString& radio);
    void removeRow(int row);
    void setRadio(int row, const QString& radio);
    void setValue(int row, int column, const QString& value);
    QString value(int row, int column) const;

    // The row of a radio: the one keyed by one of its serial texts, else by one of its link
    // names; -1 when none.
    int find(const QStringList& serials, const QStringList& links) const;

    // The sheet as text, and back. read() replaces the sheet only when the text is sound
    // (a header of known cells, a radio in every row, no radio twice, each row's field
    // count); errors name the line and the column.
    QByteArray toCsv() const;
    bool read(const QByteArray& bytes, std::vector<cmcCsvIssue>* errors);
    bool readFile(const QString& path, std::vector<cmcCsvIssue>* errors);

    // Applies a row to an image: every value goes through its cell; errors name the row's
    // line and the column. defaults: the factory data that rows coming into use start from.
    bool apply(int row, cmcEeprom& image, const cmcEeprom* defaults,
               std::vector<cmcCsvIssue>* errors) const;
    // The values a row applies, for a table: "CL_Ale_SelfId_Id[0]=ALPHA, ..."; "-" for none.
    QString applied(int row) const;

    // Everything checked before a fleet write, nothing changed: each row applied to a copy
    // of the document, that copy passing the checks before a write (unless dataChecks is
    // false, as a forced write skips them), and no value that must be unique held by two
    // radios, also where radios keep the document's value.
    std::vector<cmcCsvIssue> check(const cmcEeprom& document, const cmcEeprom* defaults,
                                   bool dataChecks = true) const;
    std::vector<cmcCsvIssue> duplicates() const;

    // The sheet of the cells whose values differ between the images (each with the radio
    // that its row names), with every image's value. notes, when given, hear of differences
    // a sheet cannot carry (bytes no cell shows, channel-group memberships).
    static imcFleetSheet derive(const std::vector<const cmcEeprom*>& images,
                                const QStringList& radios, QStringList* notes = nullptr);

  private:
    // 1-based column of the text (the radio is column 1).
    static int textColumn(int column) { return column + 2; }

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
};
