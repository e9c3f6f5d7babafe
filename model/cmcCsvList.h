#pragma once
// Lists of the radio as comma-separated text and back.
//
// The text: UTF-8 (a leading byte-order mark is skipped), fields separated by commas and
// quoted as RFC 4180 says (a field holding a comma, a quote, a line break or blanks at its
// ends is put in double quotes, a quote inside doubled), records ended by CRLF on writing
// and by CRLF or LF on reading, the last one with or without a line end. The first record
// names the columns.
//
// Every value goes through the cell dispatcher: exporting writes what a cell shows (a
// frequency as its number, also where the sheet shows "<-"), importing commits the text
// as the cell's in-place editor would, or chooses a selection's item as its pop-up would.
// So a value taken from a file is a value the sheet takes from the keyboard. On top of the
// formats' own refusals, importing refuses a value the cell would store changed (cut,
// rounded, brought into its limits), unless clamping is asked for: then the value is stored
// as the cell shows it and the change is reported.
//
// An import is checked and applied in one pass over a copy of the image; the image given
// is replaced only when every record went in without an error.

#include "cmcCellNames.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class cmcCellDispatch;
class cmcEeprom;
class cmcGTex;

// One record of the text: its fields and the line it starts on (from 1).
struct cmcCsvRecord {
    int line = 0;
    QStringList fields;
};

// One column of a list's layout.
struct cmcCsvColumn {
    // How a value is read and written, and how a stored value is compared with the file's.
    enum Kind {
        RowNumber, // the row, as the sheet numbers it (from 1)
        Info,      // shown for reading (written on export, passed over on import)
        Ignored,   // a column of other programs that this radio has no place for
        Text,      // plain text: stored as given
        Address,   // ALE address: upper case, blanks dropped
        Digits,    // digit string: blanks and '-' may separate the digits
        Frequency, // MHz
        Number,    // a number, compared by value (decimal numbers, times)
        Selection, // an item of a selection list, by its name
        RowRef,    // a row of another list: its number (from 1), a name may follow
    };
    const char* name = "";
    Kind kind = Info;
    int32_t label = CL_None;
    // Selection: the selection list's key.
    const char* items = nullptr;
    // Cells read in a channel group of the dispatcher (ALE channel groups), else -1.
    int32_t group = -1;
    // An empty value stands for the value of this column (a transmit frequency equal to
    // the receive one).
    const char* sameAs = nullptr;
    // Not a column of the text: a value the layout's hooks compute (reported as reportAs).
    bool hidden = false;
    const char* reportAs = nullptr;
    // What the cell can hold, for the error message ("0 to 20").
    const char* limits = nullptr;
};

// A list in one layout.
struct cmcCsvTable {
    const char* name = ""; // the list's identifier ("channels")
    const char* layout = "native";
    int32_t category = CT_None;
    int32_t list = 0;
    int32_t rows = 0;
    std::vector<cmcCsvColumn> columns;
    // Columns of the file that the layout does not name are passed over (other programs'
    // layouts) instead of refused.
    bool ignoreUnknown = false;
    // The row column counts as the file counts: from 0 when any record gives row 0 (the
    // first row), else from 1. Without it, rows count from 1 as the sheets number them.
    bool fileNumbering = false;
    // The column whose value brings a row into use (committed first); -1 when none.
    int keyColumn = -1;
    // What an import onto a row not in use needs ("give it a receive frequency").
    const char* notInUse = "the row is not in use";

    // Rows written on export.
    bool (*inUse)(const cmcEeprom& image, int32_t row) = nullptr;
    // Makes a row as if never written (--replace clears every row first).
    void (*clearRow)(cmcEeprom& image, int32_t row) = nullptr;
    // Layout hooks: exportRow adjusts the values of a row before it is written; importRow
    // works out hidden values before the row's values are committed and returns an error
    // (with the column it concerns) or an empty text.
    void (*exportRow)(QMap<QString, QString>& values) = nullptr;
    QString (*importRow)(QMap<QString, QString>& values, QString* column) = nullptr;
    // A check before a value is committed that the cell itself would only answer with a
    // message box (a full channel group); an error text or empty.
    QString (*guard)(const cmcEeprom& image, const cmcCsvColumn& column, int32_t row,
                     int64_t item) = nullptr;

    int columnOf(const QString& name) const;
};

struct cmcCsvIssue {
    int line = 0;   // 0: the file as a whole
    int column = 0; // from 1; 0: the line as a whole
    QString columnName;
    QString text;

    // "line 4, column 2 (rx_frequency): ..."
    QString describe() const;
};

struct cmcCsvOptions {
    enum Mode { Merge, Replace, Append };
    // Merge: each record goes to its row, other rows stay; Replace: the list is cleared
    // first; Append: records go to the rows after the last row in use, in order.
    Mode mode = Merge;
    bool clamp = false;
    // The text table whose item names selections are written and read with (the
    // program's first language, so that files do not depend on the language in use);
    // nullptr: the table the cells use.
    cmcGTex* items = nullptr;
    // The character between fields: a comma in files, a tab in rows taken from a
    // spreadsheet's clipboard.
    QChar separator = u',';
    // With a row from 0: the records land from this row on instead of on their own row
    // numbers. The first record takes this row and the others keep their distance from
    // it; without a row column they take the rows after it one by one.
    int32_t placeAt = -1;
};

struct cmcCsvResult {
    std::vector<cmcCsvIssue> errors;
    std::vector<cmcCsvIssue> clamped;
    int rows = 0;                       // records imported
    std::vector<int32_t> targets;       // the rows they went to (from 0), in file order
    const cmcCsvTable* table = nullptr; // the layout the header was recognised as
    int firstNumber = 1;                // the number the file gives the list's first row
    bool ok() const { return errors.empty(); }
    // The rows the records went to as the sheets number them, runs joined: "1-5, 8, 10-12".
    QString landed() const;
};

class cmcCsvList {
  public:
    // Splits UTF-8 text into records. False, with the reason, for text that is not UTF-8
    // or ends inside a quoted field.
    static bool parse(const QByteArray& bytes, std::vector<cmcCsvRecord>& records, QString* error,
                      QChar separator = u',');
    // A frequency in MHz as hertz, exactly: false for text that is not a plain decimal
    // number or that holds parts of a hertz. And hertz as MHz with six decimals.
    static bool megahertz(const QString& text, int64_t* hz);
    static QString megahertzText(int64_t hz);
    // One field as written (quoted when needed) and one record with its CRLF.
    static QString field(const QString& value, QChar separator = u',');
    static QString record(const QStringList& fields, QChar separator = u',');

    // Reads a text file: regular files only (not a FIFO, a device or a folder), at most
    // MaxFileSize bytes. Writes one through a temporary file renamed over the target.
    // False with a message naming the file.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
    static bool readFile(const QString& path, QByteArray* bytes, QString* error);
    static bool writeFile(const QString& path, const QByteArray& bytes, QString* error);

    // The rows in use of a list as text in the table's layout; only those of rows first ..
    // last (from 0) when last >= first.
    static QByteArray write(const cmcEeprom& image, const cmcCsvTable& table,
                            cmcGTex* items = nullptr, int32_t first = 0, int32_t last = -1,
                            QChar separator = u',');

    // One cell of a list as an import takes it and as an export writes it: a selection by
    // its item's name (in the language of items, nullptr: the cells' table), any other kind
    // as typed, refused as an import refuses it (also a value the cell would store changed).
    // commitCell answers an empty text, or why the cell refused the value.
    static QString commitCell(cmcCellDispatch& dispatch, const cmcCsvTable& table,
                              const cmcCsvColumn& column, int32_t row, const QString& value,
                              cmcGTex* items = nullptr);
    static QString cellText(cmcCellDispatch& dispatch, const cmcCsvTable& table,
                            const cmcCsvColumn& column, int32_t row, cmcGTex* items = nullptr);

    // Imports text into the image through the cells. layouts are the layouts the list can
    // be written in: the header decides which one the text has. defaults is the image whose
    // records rows coming into use start from (the factory data), or nullptr.
    static cmcCsvResult read(cmcEeprom& image, const cmcEeprom* defaults,
                             const std::vector<const cmcCsvTable*>& layouts,
                             const QByteArray& bytes, const cmcCsvOptions& options);
};
