#pragma once
// A sheet on screen: the layout built from its definition (cuiSheetLayout) shown in a grid
// in its own frame with an optional title, and the sheet's side of the grid: painting every
// cell from its cell object, selection and navigation between selectable cells,
// multi-selection marks, the in-place editor, the pick list, the cell menu and repainting
// by identity. Values are never edited here: every edit is a command to the cell
// dispatcher (cuiCellSource).

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "cuiCell.h"
#include "cuiCellPainter.h"
#include "cuiCellSource.h"
#include "cuiGrid.h"
#include "cuiSheetLayout.h"

class cmcGTex;
class cuiCellParser;
class cuiMenu;
class cuiPickList;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPaintDevice;
class QTimer;
struct cmcEvAns;
struct cmcEvent;

class cuiSheet : public cuiGridOwner {
  public:
    enum MultiSelectMode {
        MultiNone = cuiSheetLayout::MultiNone,
        MultiCell = cuiSheetLayout::MultiCell,
        MultiLine = cuiSheetLayout::MultiLine
    };

    // A sheet with the plain layout.
    cuiSheet(QWidget* owner, cmcGTex& table);

    virtual ~cuiSheet();
    void SetArguments(const QString& arguments) { m_layout->SetArguments(arguments); }
    // Builds the layout, then the frame and the grid that show it.
    virtual void Build();
    QString GetTitle() { return m_layout->GetTitle(); }
    bool IsPrintable() { return m_layout->IsPrintable(); }
    bool CanPrint() { return IsPrintable(); }
    // Writes the widths of the grid's columns back to the registry.
    void SaveColumnWidths();

    // The sheet factory: splits the command, creates the sheet class its state and
    // arguments call for, and hands it key, command and arguments. The caller builds it.
    static cuiSheet* create(QWidget* owner, const QString& command, cmcGTex& table);
    // A left click on a heading cell (a fixed row) of column col, away from the column's
    // edges, goes to this handler first (the controller sorts the list by the column); it
    // answers whether it took the click.
    using HeadingClick = std::function<bool(cuiSheet& sheet, int col)>;
    static void setHeadingClick(HeadingClick handler);
    // Splits "[state]key,arguments".
    static void splitCommand(const QString& command, QString& state, QString& key,
                             QString& arguments) {
        cuiSheetLayout::splitCommand(command, state, key, arguments);
    }

    void setKey(const QString& key) { m_layout->setKey(key); }
    void setCommand(const QString& command) { m_layout->setCommand(command); }
    const QString& key() const { return m_layout->key(); }
    const QString& command() const { return m_layout->command(); }
    const QString& arguments() const { return m_layout->arguments(); }

    // The layout: definition, cell matrix and sizes.
    cuiSheetLayout& sheetLayout() { return *m_layout; }
    const cuiSheetLayout& sheetLayout() const { return *m_layout; }

    // The cell matrix.
    clsSheetCellId& CellAt(int col, int row) { return m_layout->CellAt(col, row); }
    cuiCell& CellObjectAt(int col, int row) { return CellAt(col, row).cell; }
    int colCount() const { return m_layout->colCount(); }
    int rowCount() const { return m_layout->rowCount(); }
    const clsSheetRowAtr& rowEntry(int row) const { return m_layout->rowEntry(row); }
    const cuiCell& basicCell() const { return m_layout->basicCell(); }
    int32_t* counters() { return m_layout->counters(); }

    // Style values.
    const QString& title() const { return m_layout->title(); }
    int fixedColsStyle() const { return m_layout->fixedColsStyle(); }
    int fixedRowsStyle() const { return m_layout->fixedRowsStyle(); }
    int multiSelect() const { return m_layout->multiSelect(); }
    int printFontRatio() const { return m_layout->printFontRatio(); }
    int tableNum() const { return m_layout->tableNum(); }
    const QString& tableText() const { return m_layout->tableText(); }
    bool noPrint() const { return m_layout->noPrint(); }
    bool colSizing() const { return m_layout->colSizing(); }
    bool colorSelectLine() const { return m_layout->colorSelectLine(); }
    bool hosted() const { return m_hosted; }

    // Setters used before Build.
    void setSavedSelection(int col, int row, int leftCol, int topRow);
    void setTarget(int32_t label, int32_t index);
    void setHosted(bool on) { m_hosted = on; }
    // Paints (and, before Build, measures) for a printer canvas at scale device pixels per
    // grid unit; null returns to the screen.
    void setPrinter(QPaintDevice* canvas, double scale);
    void setPrintFontHeight(int height) { m_layout->setPrintFontHeight(height); }
    void setResetWidths(bool on) { m_layout->setResetWidths(on); }
    void setCellSource(cuiCellSource* source) {
        m_source = source;
        m_painter.setSource(source);
    }
    cuiCellSource* cellSource() const { return m_source; }
    // Image list for check glyphs (images 10 and 11) and icons; not owned.
    void setImages(const std::vector<QPixmap>* images) {
        m_images = images;
        m_painter.setImages(images);
    }

    cuiGrid* grid() const { return m_grid; }
    // The label of the title panel (null when the sheet has no title).
    QLabel* titleLabel() const { return m_titleLabel; }
    // The id that event 1 names to close the windows this sheet opened (its pick list).
    int32_t windowId() const { return m_windowId; }
    QWidget* frame() const;
    bool isBuilding() const { return m_building; }
    double scale() const { return m_scale; }
    bool isPrinting() const { return m_printer != nullptr; }

    // Navigation and commands.
    void MoveSelection(int dx, int dy);
    void SelectCell(int col, int row);
    bool SelectCellById(int32_t category, int32_t label, int32_t index);
    bool SelectCellAt(int x, int y, bool probe, int* col = nullptr, int* row = nullptr);
    // Sends a command to a cell. Follow-up commands the result asks for run later, from a
    // timer; commandRunning() tells whether some are still to come.
    void ExecuteCellCommand(int col, int row, int code, int argument, const QString& text,
                            bool hasText = false);
    bool commandRunning() const { return m_running != nullptr; }
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

    // The text the cell (col, row) shows, as painted (empty outside the sheet).
    QString cellText(int col, int row) const;

    // Paints a cell on the grid or on the printer canvas (the grid's drawing of a cell).
    void paintCell(QPainter& painter, int col, int row, const QRect& rect);
    // The two computed colours.
    QColor selectLineColor();
    QColor inactiveSelectColor();
    bool isMarked(int col, int row) const { return m_layout->isMarked(col, row); }
    bool isShownSelected(int col, int row);
    int anchorCol() const { return m_anchorCol; }
    int anchorRow() const { return m_anchorRow; }

    // The pick list open on a cell (null when none was opened yet).
    cuiPickList* pickList() const;
    // typed: characters typed on the cell that opened it; the list goes to the first item
    // they start.
    void OpenPickList(int col, int row, const QString& key, int kind, int64_t current,
                      const QString& typed = QString());
    // Whether the cell's value is chosen from a list (typing opens its pick list).
    bool offersList(int col, int row);

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
    QString widthRegistryName() const { return m_layout->widthRegistryName(); }
    QList<QString> widthRegistryNames() const { return m_layout->widthRegistryNames(); }

    int lowestSelectableCol() const { return m_layout->lowestSelectableCol(); }
    int lowestSelectableRow() const { return m_layout->lowestSelectableRow(); }

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
    QString gridCellText(int col, int row) override { return cellText(col, row); }
    QString gridName() override { return title(); }
    int gridCellStates(int col, int row) override;
    bool gridIsList() override { return m_hosted; }
    void gridJoinedRun(int col, int row, int& first, int& last) override;

  protected:
    // A sheet of a subclass, with the layout that subclass builds.
    cuiSheet(QWidget* owner, std::unique_ptr<cuiSheetLayout> layout);
    // Copies the layout's sizes into the grid.
    void showSizes();
    // Handles the events of the sheet (12, 13 to 18 and 21).
    virtual void onEvent(const cmcEvent* event);
    static void eventListener(void* context, const cmcEvent* event);

    QWidget* m_owner;
    std::unique_ptr<cuiSheetLayout> m_layout;
    cuiCellPainter m_painter;
    bool m_hosted = false;
    int32_t m_windowId = 0;
    double m_scale = 1.0;
    QPaintDevice* m_printer = nullptr;
    int m_savedCol = -1, m_savedRow = -1, m_savedLeft = -1, m_savedTop = -1;
    int32_t m_targetLabel = cuiCell::NoLabel;
    int32_t m_targetIndex = 0;
    bool m_building = false;

    cuiCellSource* m_source = nullptr;
    const std::vector<QPixmap>* m_images = nullptr;
    QFrame* m_frame = nullptr;
    QFrame* m_titlePanel = nullptr;
    QLabel* m_titleLabel = nullptr;
    cuiGrid* m_grid = nullptr;
    QPlainTextEdit* m_editor = nullptr;
    QObject* m_editorFilter = nullptr;

    // Grid side.
    int m_anchorCol = -1, m_anchorRow = -1;
    int m_memCol = 0, m_memRow = 0;
    bool m_mouseDown = false;
    bool m_multiSelecting = false;
    bool m_selecting = false;  // the sheet moves the focus cell itself
    bool m_keepStatus = false; // a command moves it: the status line keeps what it said
    bool m_shiftHeld = false;
    int m_editCol = -1, m_editRow = -1;
    bool m_editorClosing = false;
    QColor m_selectLine, m_inactiveSelect;
    QColor m_fromText, m_fromWindow, m_fromFace;
    std::unique_ptr<cuiMenu> m_cellMenu;
    QPointer<cuiPickList> m_pickList; // owned by the grid's top-level window
    QString m_cellMenuKey;

  private:
    // A command with follow-ups still to run.
    struct RunningCommand {
        int col = 0, row = 0;
        cuiCellCommand command;
        cuiCellContext context;
        bool rangeSelected = false;
        int wait = 30; // ms before the next follow-up
        int steps = 0;
    };
    void runCommand(bool waits);
    void finishCommand();
    void endCommand();
    std::unique_ptr<RunningCommand> m_running;
    std::unique_ptr<QTimer> m_commandTimer;

    void answerMenuQuestion(const cmcEvent* event);
    void updateMarks(int oldCol, int oldRow, int newCol, int newRow, bool extend);
    void clearMarks() { m_layout->clearMarks(); }
    void markRange(int32_t label, int first, int last);
    void currentRange(int& first, int& last);
    // Commits the editor's text into its cell, or with toRange into every selected row of
    // its column (the range the editor was opened on).
    void commitEditor(bool toRange = false);
    // The rows selected when the editor opened (indices, -1 when none) and whether the
    // next command goes to all of them.
    int m_fillFirst = -1, m_fillLast = -1;
    bool m_fillNext = false;
    bool fillPending() const { return m_fillFirst >= 0 && m_fillLast > m_fillFirst; }
    void recomputeColors();
    // The rows are about to move (the wheel, a scroll bar): an open value is committed.
    void commitBeforeScroll();
    QMetaObject::Connection m_scrollLinks[2]; // broken when the sheet goes before its grid
    friend class cuiSheetEditorFilter;
};
