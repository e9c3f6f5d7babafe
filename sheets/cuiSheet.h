#pragma once
// A sheet: a grid of cells built from its definition in the text table (keys K_Style,
// K_BasicCell and K_Cells), shown in its own frame with an optional title, and the
// sheet's side of the grid: painting every cell from its cell object, selection and
// navigation between selectable cells, multi-selection marks, the in-place editor and
// repainting by identity. Values are never edited here: every edit is a command to the
// cell dispatcher (cuiCellSource).

#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "cuiCell.h"
#include "cuiCellSource.h"
#include "cuiGrid.h"

class cmcGTex;
class cuiCellParser;
class cuiMenu;
class cuiPickList;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPaintDevice;
struct cmcEvAns;
struct cmcEvent;

// One element of the cell matrix: the cell object and its flags (bit 0: may join a
// multi-selection; bits 1 and 2: selection marks).
struct clsSheetCellId {
    cuiCell cell;
    uint8_t flags = 1;
};

// One grid row: its source line in the K_Cells body and whether it may be multi-selected.
struct clsSheeRowAtr {
    int line = -1;
    bool select = true;
};

class cuiSheet : public cuiGridOwner {
  public:
    enum MultiSelectMode { MultiNone = 0, MultiCell = 1, MultiLine = 2 };

    cuiSheet(QWidget* owner, cmcGTex& table);

    // Virtual operations, in slot order.
    virtual ~cuiSheet();
    virtual void SetArguments(const QString& arguments);
    virtual void Build();
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
    virtual bool CanPrint();
    virtual void LoadColumnWidths();
    virtual void SaveColumnWidths();

    // The sheet factory: splits the command, creates the sheet class its state and
    // arguments call for, and hands it key, command and arguments. The caller builds it.
    static cuiSheet* create(QWidget* owner, const QString& command, cmcGTex& table);
    // Splits "[state]key,arguments".
    static void splitCommand(const QString& command, QString& state, QString& key,
                             QString& arguments);

    void setKey(const QString& key) { m_key = key; }
    void setCommand(const QString& command) { m_command = command; }
    const QString& key() const { return m_key; }
    const QString& command() const { return m_command; }
    const QString& arguments() const { return m_arguments; }

    // The cell matrix.
    clsSheetCellId& CellAt(int col, int row);
    cuiCell& CellObjectAt(int col, int row) { return CellAt(col, row).cell; }
    int colCount() const { return m_colCount; }
    int rowCount() const { return m_rowCount; }
    const clsSheeRowAtr& rowEntry(int row) const;
    const cuiCell& basicCell() const { return m_basic; }
    int32_t* counters() { return m_counters; }

    // Style values.
    const QString& title() const { return m_title; }
    int fixedColsStyle() const { return m_fixedCols; }
    int fixedRowsStyle() const { return m_fixedRows; }
    int multiSelect() const { return m_multiSelect; }
    int printFontRatio() const { return m_printFontRatio; }
    int tableNum() const { return m_tableNum; }
    const QString& tableText() const { return m_tableText; }
    bool noPrint() const { return m_noPrint; }
    bool colSizing() const { return m_colSizingStyle; }
    bool colorSelectLine() const { return m_colorSelectLine; }
    bool hosted() const { return m_hosted; }

    // Setters used before Build.
    void setSavedSelection(int col, int row, int leftCol, int topRow);
    void setTarget(int32_t label, int32_t index);
    void setHosted(bool on) { m_hosted = on; }
    void setPrinter(QPaintDevice* canvas, double scale);
    void setPrintFontHeight(int height) { m_printFontHeight = height; }
    void setResetWidths(bool on) { m_resetWidths = on; }
    void setCellSource(cuiCellSource* source) { m_source = source; }
    cuiCellSource* cellSource() const { return m_source; }
    // Image list for check glyphs (images 10 and 11) and icons; not owned.
    void setImages(const std::vector<QPixmap>* images) { m_images = images; }

    cuiGrid* grid() const { return m_grid; }
    QWidget* frame() const;
    bool isBuilding() const { return m_building; }
    double scale() const { return m_scale; }
    bool isPrinting() const { return m_printer != nullptr; }

    // Navigation and commands.
    void MoveSelection(int dx, int dy);
    void SelectCell(int col, int row);
    bool SelectCellById(int32_t category, int32_t label, int32_t index);
    bool SelectCellAt(int x, int y, bool probe, int* col = nullptr, int* row = nullptr);
    void ExecuteCellCommand(int col, int row, int code, int argument, const QString& text,
                            bool hasText = false);
    void StartEditor(int col, int row, const QString* text = nullptr, int selStart = -1,
                     int selLength = 0);
    void HideEditor(bool returnFocus);
    bool editorVisible() const;
    QPlainTextEdit* editor() const { return m_editor; }
    void AutoFitColumn(int col);

    // Repaint modes of repainting by identity.
    enum RepaintMode {
        RepaintLabelled,
        RepaintCategory,
        RepaintLabel,
        RepaintIndex,
        RepaintIndexUpTo,
        RepaintIndexFrom,
        RepaintLabelIndex,
        RepaintCategoryNear,
    };
    // Returns how many cells were found to repaint.
    int RepaintMatching(const cuiCell& reference, RepaintMode mode);

    // Paints a cell on any canvas (also the grid's drawing of a cell).
    void paintCell(QPainter& painter, int col, int row, const QRect& rect);
    // The two computed colours.
    QColor selectLineColor();
    QColor inactiveSelectColor();
    bool isMarked(int col, int row) const;
    bool isShownSelected(int col, int row);
    int anchorCol() const { return m_anchorCol; }
    int anchorRow() const { return m_anchorRow; }

    // The pick list open on a cell (null when none was opened yet).
    cuiPickList* pickList() const;
    void OpenPickList(int col, int row, const QString& key, int kind, int64_t current);

    // The pop-up menu of the current cell (none while the grid lacks the focus).
    cuiMenu* cellMenu() const { return m_cellMenu.get(); }
    void updateCellMenu(bool rebuild = false);
    void openCellMenu(const QPoint& globalPos);
    void openCellMenuAtCell();
    void dropCellMenu();

    // Event 12 names a pop-up menu key by this id (the same key gives the same id for the
    // whole run; 0 for none); the sheet whose current cell shows that menu answers with a
    // copy of the cell, which cellOfAnswer reads back.
    static int32_t menuKeyId(const QString& key);
    static bool cellOfAnswer(const cmcEvAns* answer, cuiCell& cell);

    // Stored column widths: the registry name of this sheet ("" when not listed).
    QString widthRegistryName();
    QList<QString> widthRegistryNames();

    int lowestSelectableCol() const { return m_lowCol; }
    int lowestSelectableRow() const { return m_lowRow; }

    // cuiGridOwner
    void gridPaintCell(QPainter& painter, int col, int row, const QRect& rect) override;
    bool gridSelectCell(int col, int row) override;
    bool gridKeyDown(QKeyEvent* event) override;
    void gridKeyPress(const QString& text) override;
    void gridKeyUp(QKeyEvent* event) override;
    void gridMouseDown(QMouseEvent* event) override;
    void gridMouseUp(QMouseEvent* event) override;
    void gridMouseMove(QMouseEvent* event) override;
    void gridDoubleClick(QMouseEvent* event) override;
    void gridWheel(int steps) override;
    void gridFocus(bool gained) override;
    int gridColumnResizing(int col, int width) override;
    void gridColumnsResized() override;
    void gridTimedScroll(int directions) override;

  protected:
    // Layout-pass state that directives change.
    struct LayoutState {
        int line = 0;
        int skip = 0;
        int loopStart = -1;
        int loopEnd = -1;
        int loopCount = -1;
        int rowsInLoop = 0;
        bool rowSelect = true;
    };

    // Row table access: grows on demand to index + index / 2 + 1 entries.
    clsSheeRowAtr& rowAt(int row);
    // Whether appended row entries keep the select bit they were created with.
    virtual bool keepsRowSelect() const { return false; }
    void appendRow(int line);
    // A matrix element up to the allocated rows (beyond RowCount).
    clsSheetCellId& matrixAt(int col, int row);
    // Allocates the cell matrix for cols × rows elements.
    void allocateMatrix(int cols, int rows);
    // BuildCells with a matrix of at least matrixRowsWanted rows: the rows after RowCount
    // copy the row above with the index advanced, so that rows can be added without a
    // rebuild.
    void buildCellsPadded(int matrixRowsWanted);
    int matrixRows() const { return m_matrixRows; }
    void setRowCount(int n);
    void measureFit(int col, int row);
    // Handles the events of the sheet (12, 13 to 18 and 21).
    virtual void onEvent(const cmcEvent* event);
    static void eventListener(void* context, const cmcEvent* event);

    QString m_key;
    QString m_command;
    QString m_arguments;
    cmcGTex& m_table;
    QWidget* m_owner;
    std::unique_ptr<cuiCellParser> m_parser;
    LayoutState m_layout;

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
    bool m_hosted = false;
    double m_scale = 1.0;
    QPaintDevice* m_printer = nullptr;
    int m_printFontHeight = 0;

    cuiCell m_basic;
    int32_t m_counters[10] = {};
    std::vector<clsSheeRowAtr> m_rows;
    std::vector<clsSheetCellId> m_matrix;
    int m_matrixRows = 0;
    int m_colCount = 0;
    int m_rowCount = 0;
    int m_lowCol = INT32_MAX;
    int m_lowRow = INT32_MAX;
    int m_savedCol = -1, m_savedRow = -1, m_savedLeft = -1, m_savedTop = -1;
    int32_t m_targetLabel = cuiCell::NoLabel;
    int32_t m_targetIndex = 0;
    bool m_resetWidths = false;
    bool m_building = false;
    bool m_loadingWidths = false;

    cuiCellSource* m_source = nullptr;
    const std::vector<QPixmap>* m_images = nullptr;
    QFrame* m_frame = nullptr;
    QFrame* m_titlePanel = nullptr;
    cuiGrid* m_grid = nullptr;
    QPlainTextEdit* m_editor = nullptr;
    QObject* m_editorFilter = nullptr;

    // Grid side.
    int m_anchorCol = -1, m_anchorRow = -1;
    int m_memCol = 0, m_memRow = 0;
    bool m_mouseDown = false;
    bool m_multiSelecting = false;
    bool m_selecting = false; // the sheet moves the focus cell itself
    bool m_shiftHeld = false;
    int m_editCol = -1, m_editRow = -1;
    bool m_editorClosing = false;
    QColor m_selectLine, m_inactiveSelect;
    QColor m_fromText, m_fromWindow, m_fromFace;
    std::unique_ptr<cuiMenu> m_cellMenu;
    QPointer<cuiPickList> m_pickList; // owned by the grid's top-level window
    QString m_cellMenuKey;

  private:
    void answerMenuQuestion(const cmcEvent* event);
    void updateMarks(int oldCol, int oldRow, int newCol, int newRow, bool extend);
    void clearMarks();
    void markRange(int32_t label, int first, int last);
    void currentRange(int& first, int& last);
    void commitEditor();
    void recomputeColors();
    friend class cuiSheetEditorFilter;
};
