#pragma once
// The layout of a sheet: its definition in the text table (keys K_Style, K_BasicCell and
// K_Cells) turned into style values, the basic cell, the row table, the cell matrix and
// the column widths and row heights. It needs no widget: sizes are measured with the
// font metrics of the screen, or, for a printable copy, of a printer (a paint device) in
// the printer's own pixels. The interactive sheet, printing and the sheet viewer all start
// from one.

#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "cuiCell.h"

class cmcGTex;
class cuiCellParser;
class QPaintDevice;

// One element of the cell matrix: the cell object and its flags (bit 0: may join a
// multi-selection; bits 1 and 2: selection marks).
struct clsSheetCellId {
    cuiCell cell;
    uint8_t flags = 1;
};

// One grid row: its source line in the K_Cells body and whether it may be multi-selected.
struct clsSheetRowAtr {
    int line = -1;
    bool select = true;
};

class cuiSheetLayout {
  public:
    enum MultiSelectMode { MultiNone = 0, MultiCell = 1, MultiLine = 2 };
    // The sheet classes a command may ask for.
    enum Kind { Plain, ChannelBank, Common, MultiTable };

    // What a definition may ask for: more rows than the sheet's matrix holds (rowLimit),
    // more columns than MaxCols or more cells than MaxCells is a definition fault that stops
    // the program before any memory is taken for it; fitted and stored widths and heights
    // stop at MaxExtent definition pixels. The largest sheet is the memory dump: a 64 KB image
    // at 16 bytes a row, with its headings.
    static constexpr int MaxRows = 0x10000 / 16 + 64;
    static constexpr int MaxCols = 256;
    static constexpr int MaxCells = 1 << 18;
    static constexpr int MaxExtent = 4000;

    explicit cuiSheetLayout(cmcGTex& table);
    virtual ~cuiSheetLayout();
    cuiSheetLayout(const cuiSheetLayout&) = delete;
    cuiSheetLayout& operator=(const cuiSheetLayout&) = delete;

    // Splits "[state]key,arguments".
    static void splitCommand(const QString& command, QString& state, QString& key,
                             QString& arguments);
    // The sheet class for a command's state and arguments.
    static Kind kindOf(const QString& state, const QString& arguments);
    // The layout class for a command, given its key, command and arguments; the caller
    // builds it.
    static std::unique_ptr<cuiSheetLayout> create(const QString& command, cmcGTex& table);
    static std::unique_ptr<cuiSheetLayout> create(Kind kind, cmcGTex& table);
    // Lays out the rows of every sheet the table's tree and pop-up menus name, with the
    // plain rules, so that a definition asking for more rows or columns than any sheet
    // holds stops the program at start-up rather than when the sheet is opened.
    static void checkDefinitions(cmcGTex& table);
    // The definitions' pixels: sizes, spacings and stored column widths are written for a
    // screen of 96 dots per inch. A printable copy stretches its spacings by the printer's
    // resolution over this one; the screen the program runs on plays no part in a page.
    static constexpr int DefinitionDpi = 96;

    void setKey(const QString& key) { m_key = key; }
    void setCommand(const QString& command) { m_command = command; }
    const QString& key() const { return m_key; }
    const QString& command() const { return m_command; }
    const QString& arguments() const { return m_arguments; }
    cmcGTex& table() const { return m_table; }

    // Settings used by Build.
    // A printable copy: measured on metrics (the screen when null), with its sizes and
    // fonts in the pixels of that device: the print font height is given in them, and
    // scale (device pixels per definition pixel) stretches the spacings around texts and
    // the stored column widths.
    void setPrinting(bool printing, QPaintDevice* metrics = nullptr, double scale = 1.0);
    // The basic cell's font height (negative: pixels), replacing the user's font scale.
    void setPrintFontHeight(int height) { m_printFontHeight = height; }
    void setResetWidths(bool on) { m_resetWidths = on; }
    // A sheet of the main window reads its stored column widths and writes them back.
    void setStoresWidths(bool on) { m_storesWidths = on; }
    bool isPrinting() const { return m_printing; }
    double scale() const { return m_scale; }

    // Virtual operations, in build order. Build applies the style, then builds the cells;
    // ApplyStyle alone is enough to ask IsPrintable, so printing skips a sheet that is not
    // printed before laying it out.
    virtual void SetArguments(const QString& arguments);
    void Build();
    void ApplyStyle();
    virtual void ApplyStyleItem(const QString& item);
    virtual void ApplyDirective(const QString& directive);
    virtual void BuildCells();
    virtual void BuildBasicCell();
    virtual void LayoutRows(const QString& key);
    virtual void FillCells(const QString& key);
    virtual void OnRowBuilt(int row);
    virtual void OnCellBuilt(int col, int row);
    virtual QString GetTitle();
    virtual bool IsPrintable();
    virtual void LoadColumnWidths();
    // Writes the widths of the columns whose cell in row is selectable.
    void SaveColumnWidths(int row);

    // Stored column widths: the registry name of this sheet ("" when not listed).
    QString widthRegistryName() const;
    QList<QString> widthRegistryNames() const;

    // The cell matrix.
    clsSheetCellId& CellAt(int col, int row);
    const clsSheetCellId& CellAt(int col, int row) const;
    cuiCell& CellObjectAt(int col, int row) { return CellAt(col, row).cell; }
    const cuiCell& CellObjectAt(int col, int row) const { return CellAt(col, row).cell; }
    // A matrix element up to the allocated rows (beyond RowCount).
    clsSheetCellId& matrixAt(int col, int row);
    int colCount() const { return m_colCount; }
    int rowCount() const { return m_rowCount; }
    int matrixRows() const { return m_matrixRows; }
    bool isMarked(int col, int row) const;
    void clearMarks();
    const clsSheetRowAtr& rowEntry(int row) const;
    const cuiCell& basicCell() const { return m_basic; }
    int32_t* counters() { return m_counters; }
    int lowestSelectableCol() const { return m_lowCol; }
    int lowestSelectableRow() const { return m_lowRow; }
    // Changes the row count within the matrix; new rows take the default height.
    void setRowCount(int n);
    // The first and last column of the joined run that (col, row) belongs to.
    void joinedRun(int col, int row, int& first, int& last) const;
    // A list sheet grows by one row (the next row of the padded matrix, at the height of
    // the row above): the old last row may now join a multi-selection, the new one may
    // not. It shrinks by one row: the new last row leaves the multi-selection. Both false
    // when the matrix has no room or one row is left.
    bool addListRow();
    bool removeListRow();

    // Sizes in pixels: of the screen, or of the device a printable copy is measured on.
    int colWidth(int col) const;
    int rowHeight(int row) const;
    void setColWidth(int col, int width);
    void setRowHeight(int row, int height);
    // The fixed columns and rows the grid shows: the style's, leaving one scrolling.
    int fixedCols() const;
    int fixedRows() const;

    // Style values.
    const QString& title() const { return m_title; }
    uint32_t titleColor() const { return m_titleColor; }
    const cuiFont* titleFont() const { return m_titleFont.get(); }
    int fixedColsStyle() const { return m_fixedCols; }
    int fixedRowsStyle() const { return m_fixedRows; }
    int multiSelect() const { return m_multiSelect; }
    int printFontRatio() const { return m_printFontRatio; }
    int tableNum() const { return m_tableNum; }
    const QString& tableText() const { return m_tableText; }
    bool noPrint() const { return m_noPrint; }
    bool colSizing() const { return m_colSizingStyle; }
    bool colorSelectLine() const { return m_colorSelectLine; }

  protected:
    // Layout-pass state that directives change.
    struct PassState {
        int line = 0;
        int skip = 0;
        int loopStart = -1;
        int loopEnd = -1;
        int loopCount = -1;
        int rowsInLoop = 0;
        bool rowSelect = true;
    };

    // Row table access: grows on demand to index + index / 2 + 1 entries.
    clsSheetRowAtr& rowAt(int row);
    // Whether appended row entries keep the select bit they were created with.
    virtual bool keepsRowSelect() const { return false; }
    // The most rows this kind of sheet has room for.
    virtual int rowLimit() const { return MaxRows; }
    void appendRow(int line);
    // Stops the program: the definition asks for more rows than rowLimit.
    [[noreturn]] void tooManyRows() const;
    // Allocates the cell matrix for cols × rows elements.
    void allocateMatrix(int cols, int rows);
    // BuildCells with a matrix of at least matrixRowsWanted rows: the rows after RowCount
    // copy the row above with the index advanced, so that rows can be added without a
    // rebuild.
    void buildCellsPadded(int matrixRowsWanted);
    void measureFit(int col, int row);
    // MaxExtent in the units of the sizes (device pixels for a printable copy).
    int extentLimit() const { return int(MaxExtent * std::max(1.0, m_scale)); }

    QString m_key;
    QString m_command;
    QString m_arguments;
    cmcGTex& m_table;
    std::unique_ptr<cuiCellParser> m_parser;
    PassState m_pass;

    QString m_title;
    uint32_t m_titleColor = cuiColor::clBtnFace;
    std::shared_ptr<cuiFont> m_titleFont;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
    int m_printFontRatio = 100;
    int m_multiSelect = MultiNone;
    int m_tableNum = 0;
    QString m_tableText = QStringLiteral("Table No.");
    bool m_noPrint = false;
    bool m_colSizingStyle = false;
    bool m_colorSelectLine = false;

    bool m_printing = false;
    QPaintDevice* m_metrics = nullptr;
    double m_scale = 1.0;
    int m_printFontHeight = 0;
    bool m_resetWidths = false;
    bool m_storesWidths = false;

    cuiCell m_basic;
    int32_t m_counters[10] = {};
    std::vector<clsSheetRowAtr> m_rows;
    std::vector<clsSheetCellId> m_matrix;
    int m_matrixRows = 0;
    int m_colCount = 0;
    int m_rowCount = 0;
    int m_lowCol = INT32_MAX;
    int m_lowRow = INT32_MAX;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_defaultSize = 1;
};
