#include "cuiSheet.h"

#include "cuiCellCaption.h"
#include "cuiCellEditor.h"

#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcFCache.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cuiCheckImages.h"
#include "cuiFlector.h"
#include "cuiMenu.h"
#include "cuiPickList.h"
#include "cuiSheetEnv.h"
#include "iuiSh_ChBank.h"
#include "iuiSh_Common.h"
#include "iuiSh_MultiTable.h"

#include <QDataStream>
#include <QFontMetricsF>
#include <QFrame>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// Clears the status line: window text on button face, no text.
void postStatus(cmcEvMan* ev) {
    ev->post(cmcEvStatusText{QString(), cuiColor::toQColor(cuiColor::clWindowText).rgb(),
                             cuiColor::toQColor(cuiColor::clBtnFace).rgb()});
}

} // namespace

cuiSheet::cuiSheet(QWidget* owner, cmcGTex& table)
    : cuiSheet(owner, std::make_unique<cuiSheetLayout>(table)) {}

cuiSheet::cuiSheet(QWidget* owner, std::unique_ptr<cuiSheetLayout> layout)
    : m_owner(owner), m_layout(std::move(layout)), m_painter(*m_layout) {
    static int32_t lastId = 0;
    m_windowId = ++lastId;
    m_layout->setStoresWidths(true);
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->attach(&cuiSheet::eventListener, this);
}

cuiSheet::~cuiSheet() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->detach(&cuiSheet::eventListener, this);
    if (m_grid) m_grid->setOwner(nullptr);
    for (const QMetaObject::Connection& link : m_scrollLinks)
        QObject::disconnect(link);
    delete m_editorFilter;
    dropCellMenu();
    if (m_pickList) {
        m_pickList->setChosen(nullptr);
        m_pickList->hide();
        m_pickList->deleteLater();
    }
    // A sheet may be replaced from inside one of its grid's own events (a command that
    // opens another sheet): the frame with the grid goes once control is back in the loop.
    if (m_frame) {
        m_frame->hide();
        m_frame->deleteLater();
    }
}

// ---- command and factory -------------------------------------------------------------

cuiSheet* cuiSheet::create(QWidget* owner, const QString& command, cmcGTex& table) {
    QString state, key, arguments;
    splitCommand(command, state, key, arguments);
    cuiSheet* sheet = nullptr;
    switch (cuiSheetLayout::kindOf(state, arguments)) {
    case cuiSheetLayout::ChannelBank:
        sheet = new iuiSh_ChBank(owner, table);
        break;
    case cuiSheetLayout::Common:
        sheet = new iuiSh_Common(owner, table);
        break;
    case cuiSheetLayout::MultiTable:
        sheet = new iuiSh_MultiTable(owner, table);
        break;
    case cuiSheetLayout::Plain:
        sheet = new cuiSheet(owner, table);
        break;
    }
    sheet->setKey(key);
    sheet->setCommand(command);
    sheet->SetArguments(arguments);
    return sheet;
}

void cuiSheet::setSavedSelection(int col, int row, int leftCol, int topRow) {
    m_savedCol = col;
    m_savedRow = row;
    m_savedLeft = leftCol;
    m_savedTop = topRow;
}

void cuiSheet::setTarget(int32_t label, int32_t index) {
    m_targetLabel = label;
    m_targetIndex = index;
}

void cuiSheet::setPrinter(QPaintDevice* canvas, double scale) {
    m_printer = canvas;
    m_scale = canvas ? scale : 1.0;
    m_layout->setPrinting(canvas != nullptr, canvas, m_scale);
}

QWidget* cuiSheet::frame() const {
    return m_frame;
}

// ---- build ---------------------------------------------------------------------------

void cuiSheet::Build() {
    if (!m_source) setCellSource(cuiCellSource::global());
    m_building = true;
    m_layout->setStoresWidths(!m_hosted && !m_printer);
    m_layout->Build();

    m_frame = new QFrame(m_owner);
    auto* layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!title().isEmpty()) {
        m_titlePanel = new QFrame(m_frame);
        m_titlePanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        auto* titleLayout = new QVBoxLayout(m_titlePanel);
        titleLayout->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(title(), m_titlePanel);
        m_titleLabel = label;
        if (const cuiFont* f = m_layout->titleFont()) label->setFont(f->toQFont());
        label->setAutoFillBackground(true);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, cuiColor::toQColor(m_layout->titleColor()));
        label->setPalette(pal);
        titleLayout->addWidget(label);
        m_titlePanel->setFixedHeight(label->fontMetrics().height() + 8 +
                                     2 * m_titlePanel->frameWidth());
        layout->addWidget(m_titlePanel);
    }
    auto* panel = new QFrame(m_frame);
    panel->setFrameStyle(m_hosted ? (QFrame::Panel | QFrame::Sunken)
                                  : (QFrame::Panel | QFrame::Raised));
    panel->setLineWidth(1);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(panel);

    m_grid = new cuiGrid(panel);
    m_grid->setFrameStyle(QFrame::NoFrame);
    m_grid->setSuspended(true);
    m_grid->setOwner(this);
    panelLayout->addWidget(m_grid);

    // The grid's background and the frame's font are the basic cell's.
    QPalette pal = m_grid->viewport()->palette();
    pal.setColor(QPalette::Base, cuiColor::toQColor(basicCell().color));
    m_grid->viewport()->setPalette(pal);
    if (basicCell().font) m_frame->setFont(basicCell().font->toQFont());
    showSizes();

    m_grid->setColSizing(colSizing());
    m_grid->setFixedCols(m_layout->fixedCols());
    m_grid->setFixedRows(m_layout->fixedRows());
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A scroll bar used by the user (dragged, clicked, turned) moves the rows under an
    // open editor; the grid's own scrolling into view does not trigger it.
    m_scrollLinks[0] =
        QObject::connect(m_grid->horizontalScrollBar(), &QAbstractSlider::actionTriggered, m_grid,
                         [this](int) { commitBeforeScroll(); });
    m_scrollLinks[1] =
        QObject::connect(m_grid->verticalScrollBar(), &QAbstractSlider::actionTriggered, m_grid,
                         [this](int) { commitBeforeScroll(); });
    if (m_owner && m_owner->isVisible()) m_frame->show();
    m_frame->resize(m_owner ? m_owner->size() : QSize(640, 480));
    m_frame->layout()->activate();

    m_selecting = true;
    m_grid->setCurrent(0, 0, true);
    m_selecting = false;
    MoveSelection(0, 1);
    MoveSelection(0, -1);
    MoveSelection(1, 0);
    MoveSelection(-1, 0);
    MoveSelection(0, -1);

    // Restore the saved selection, or go to the target cell.
    const bool savedInside =
        m_savedCol >= 0 && m_savedRow >= 0 && m_savedCol < colCount() && m_savedRow < rowCount();
    if (savedInside && CellAt(m_savedCol, m_savedRow).cell.selectable) {
        SelectCell(m_savedCol, m_savedRow);
        if (!m_grid->allColsVisible() && m_savedLeft >= 0) m_grid->setLeftCol(m_savedLeft);
        if (!m_grid->allRowsVisible() && m_savedTop >= 0) m_grid->setTopRow(m_savedTop);
    } else if (m_targetLabel != cuiCell::NoLabel) {
        bool found = false;
        for (int r = 0; r < rowCount() && !found; ++r) {
            for (int c = 0; c < colCount() && !found; ++c) {
                const cuiCell& cell = CellAt(c, r).cell;
                if (cell.selectable && cell.label == m_targetLabel && cell.index == m_targetIndex) {
                    SelectCell(c, r);
                    found = true;
                }
            }
        }
    }
    if (!CellAt(m_grid->col(), m_grid->row()).cell.selectable) {
        bool found = false;
        for (int r = 0; r < rowCount() && !found; ++r)
            for (int c = 0; c < colCount() && !found; ++c)
                if (CellAt(c, r).cell.selectable) {
                    SelectCell(c, r);
                    found = true;
                }
    }

    // Fill the client area when the rows end above its bottom.
    {
        int fixedH = 0;
        for (int r = 0; r < m_grid->fixedRows(); ++r)
            fixedH += m_grid->rowHeight(r);
        int used = fixedH;
        for (int r = m_grid->topRow(); r < rowCount(); ++r)
            used += m_grid->rowHeight(r);
        const int client = m_grid->clientHeight();
        if (used < client) {
            int top = m_grid->topRow();
            int h = fixedH;
            for (int r = top; r <= m_grid->row(); ++r)
                h += m_grid->rowHeight(r);
            // Walk upwards while the rows from the candidate to the current row still fit.
            while (top > m_grid->fixedRows() && h + m_grid->rowHeight(top - 1) <= client) {
                --top;
                h += m_grid->rowHeight(top);
            }
            m_grid->setTopRow(top);
        }
    }

    m_building = false;
    m_grid->setSuspended(false);
    m_grid->viewport()->update();
}

void cuiSheet::showSizes() {
    const int cols = colCount(), rows = rowCount();
    m_grid->setColCount(cols);
    m_grid->setRowCount(rows);
    for (int c = 0; c < cols; ++c)
        m_grid->setColWidth(c, m_layout->colWidth(c));
    for (int r = 0; r < rows; ++r)
        m_grid->setRowHeight(r, m_layout->rowHeight(r));
}

// ---- stored column widths ------------------------------------------------------------

void cuiSheet::SaveColumnWidths() {
    if (!m_grid || rowCount() <= 0) return;
    // The user sizes the grid's columns: the layout takes them over first.
    for (int c = 0; c < colCount(); ++c)
        m_layout->setColWidth(c, m_grid->colWidth(c));
    // Before the first selection the current row is a header row: use the first
    // non-fixed row then.
    const int fixedRows = fixedRowsStyle();
    int row = m_grid->row();
    if (row < fixedRows || row >= rowCount())
        row = fixedRows < rowCount() ? fixedRows : rowCount() - 1;
    m_layout->SaveColumnWidths(row);
}

// ---- events --------------------------------------------------------------------------

void cuiSheet::eventListener(void* context, const cmcEvent* event) {
    static_cast<cuiSheet*>(context)->onEvent(event);
}

void cuiSheet::onEvent(const cmcEvent* event) {
    if (!m_grid || m_building) return;
    if (event->code == EV_BeforePrint) {
        if (editorVisible()) commitEditor();
        if (m_pickList) m_pickList->hide();
        return;
    }
    if (event->code == EV_SheetBuildQuestion) {
        answerMenuQuestion(event);
        return;
    }
    const auto repaint = cmcEvRepaint::read(event);
    if (!repaint) return;
    cuiCell ref;
    ref.category = repaint->category;
    ref.label = repaint->label;
    ref.index = repaint->index;
    RepaintMode mode = RepaintLabelled;
    switch (repaint->code) {
    case EV_RepaintCategory:
        mode = RepaintCategory;
        break;
    case EV_RepaintLabel:
        mode = RepaintLabel;
        break;
    case EV_RepaintIndex:
        mode = RepaintIndex;
        break;
    case EV_RepaintUpTo:
        mode = RepaintIndexUpTo;
        break;
    case EV_RepaintFrom:
        mode = RepaintIndexFrom;
        break;
    default:
        break;
    }
    RepaintMatching(ref, mode);
}

int32_t cuiSheet::menuKeyId(const QString& key) {
    static QHash<QString, int32_t> ids;
    if (key.isEmpty()) return 0;
    auto it = ids.constFind(key);
    if (it == ids.constEnd()) it = ids.insert(key, int32_t(ids.size()) + 1);
    return *it;
}

// The answer: category, label, index, image index, state flags, option and display text.
void cuiSheet::answerMenuQuestion(const cmcEvent* event) {
    cmcEvMan* ev = cmcEvMan::instance();
    if (!ev || m_cellMenuKey.isEmpty() || event->p1 != menuKeyId(m_cellMenuKey)) return;
    if (m_grid->col() >= colCount() || m_grid->row() >= rowCount()) return;
    const cuiCell& cell = CellAt(m_grid->col(), m_grid->row()).cell;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << cell.category << cell.label << cell.index << cell.imageIndex << cell.stateFlags
        << cell.option << cell.displayText;
    ev->answerData(data.constData(), int(data.size()));
}

bool cuiSheet::cellOfAnswer(const cmcEvAns* answer, cuiCell& cell) {
    if (!answer || answer->data.isEmpty()) return false;
    QDataStream in(answer->data);
    cuiCell c;
    in >> c.category >> c.label >> c.index >> c.imageIndex >> c.stateFlags >> c.option >>
        c.displayText;
    if (in.status() != QDataStream::Ok) return false;
    cell = c;
    return true;
}

int cuiSheet::RepaintMatching(const cuiCell& ref, RepaintMode mode) {
    if (!m_grid) return 0;
    const int lastCol = std::min(m_grid->lastVisibleCol(), colCount() - 1);
    const int lastRow = std::min(m_grid->lastVisibleRow(), rowCount() - 1);
    int found = 0;
    const bool byIndex = mode == RepaintIndex || mode == RepaintIndexUpTo ||
                         mode == RepaintIndexFrom || mode == RepaintLabelIndex ||
                         mode == RepaintCategoryNear;
    if (byIndex && ref.category == cuiCell::NoCategory && mode != RepaintLabelIndex) return 0;
    for (int r = 0; r <= lastRow; ++r) {
        for (int c = 0; c <= lastCol; ++c) {
            const cuiCell& cell = CellAt(c, r).cell;
            bool match = false;
            switch (mode) {
            case RepaintLabelled:
                match = cell.hasLabel();
                break;
            case RepaintCategory:
                match = cell.category == ref.category;
                break;
            case RepaintLabel:
                match = cell.label == ref.label;
                break;
            case RepaintIndex:
                match = cell.hasLabel() && cell.index == ref.index;
                break;
            case RepaintIndexUpTo:
                match = cell.hasLabel() && cell.index <= ref.index;
                break;
            case RepaintIndexFrom:
                match = cell.hasLabel() && cell.index >= ref.index;
                break;
            case RepaintLabelIndex:
                match = cell.label == ref.label && cell.index == ref.index;
                break;
            case RepaintCategoryNear:
                match = cell.hasLabel() && cell.category == ref.category &&
                        std::abs(cell.index - ref.index) <= 1;
                break;
            }
            if (match) {
                ++found;
                m_grid->invalidateCell(c, r);
            }
        }
    }
    m_grid->cellsChanged();
    return found;
}

// ---- selection -----------------------------------------------------------------------

bool cuiSheet::isShownSelected(int col, int row) {
    if (!m_grid) return false;
    if (col == m_grid->col() && row == m_grid->row()) return true;
    if (isMarked(col, row)) return true;
    // A row-select member shows the selection of the selectable cell on its left; one
    // that takes input itself is only ever selected as itself, so that the highlight
    // marks exactly the cell that receives the typing.
    const cuiCell& cell = CellAt(col, row).cell;
    if (row == m_grid->row() && cell.rowSelect && !cell.selectable) {
        int c = col - 1;
        while (c >= 0 && !CellAt(c, row).cell.selectable && CellAt(c, row).cell.rowSelect)
            --c;
        return c >= 0 && c == m_grid->col() && CellAt(c, row).cell.selectable;
    }
    return false;
}

void cuiSheet::updateMarks(int oldCol, int oldRow, int newCol, int newRow, bool extend) {
    const bool joinable = (CellAt(oldCol, oldRow).flags & 1) && (CellAt(newCol, newRow).flags & 1);
    if (extend && joinable && m_anchorCol >= 0 && m_anchorRow >= 0 && m_anchorRow < rowCount()) {
        const bool lines = multiSelect() == MultiLine;
        auto inside = [&](int c, int r, int c0, int r0, int c1, int r1) {
            return c >= std::min(c0, c1) && c <= std::max(c0, c1) && r >= std::min(r0, r1) &&
                   r <= std::max(r0, r1);
        };
        const int spanC0 = lines ? 0 : std::min({m_anchorCol, oldCol, newCol});
        const int spanC1 = lines ? colCount() - 1 : std::max({m_anchorCol, oldCol, newCol});
        const int spanR0 = std::min({m_anchorRow, oldRow, newRow});
        const int spanR1 = std::max({m_anchorRow, oldRow, newRow});
        const int selC0 = lines ? 0 : m_anchorCol;
        const int selC1 = lines ? colCount() - 1 : newCol;
        for (int r = spanR0; r <= spanR1; ++r) {
            for (int c = spanC0; c <= spanC1; ++c) {
                clsSheetCellId& e = CellAt(c, r);
                if (inside(c, r, selC0, m_anchorRow, selC1, newRow))
                    e.flags |= 2;
                else
                    e.flags &= uint8_t(~6);
            }
        }
        m_multiSelecting = true;
    } else {
        m_anchorCol = newCol;
        m_anchorRow = newRow;
        clearMarks();
        m_multiSelecting = false;
    }
    CellAt(newCol, newRow).flags |= 2;
    if (m_grid) m_grid->viewport()->update();
}

void cuiSheet::markRange(int32_t label, int first, int last) {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c) {
            clsSheetCellId& e = CellAt(c, r);
            if (e.cell.label == label && e.cell.index >= first && e.cell.index <= last)
                e.flags |= 2;
        }
}

void cuiSheet::currentRange(int& first, int& last) {
    first = last = -1;
    if (!m_grid || m_anchorRow < 0 || m_anchorRow >= rowCount()) return;
    const int r0 = std::min(m_anchorRow, m_grid->row());
    const int r1 = std::max(m_anchorRow, m_grid->row());
    for (int r = r0; r <= r1; ++r)
        for (int c = 0; c < colCount(); ++c) {
            if (!isMarked(c, r) || !CellAt(c, r).cell.hasLabel()) continue;
            const int i = CellAt(c, r).cell.index;
            first = first < 0 ? i : std::min(first, i);
            last = std::max(last, i);
        }
}

bool cuiSheet::gridSelectCell(int col, int row) {
    if (m_selecting) return true;
    cmcEvMan* ev = cmcEvMan::instance();
    if (ev && !m_keepStatus) postStatus(ev);
    if (col < 0 || row < 0 || col >= colCount() || row >= rowCount()) return false;
    const clsSheetCellId& target = CellAt(col, row);
    if (!target.cell.selectable) return false;
    const bool extend = multiSelect() != MultiNone && (m_shiftHeld || m_mouseDown);
    if (extend && m_multiSelecting && !(target.flags & 1)) return false;
    const int oldCol = m_grid->col(), oldRow = m_grid->row();
    if (col != oldCol || row != oldRow) {
        if (ev) {
            ev->post(cmcEvCurrentCell{target.cell.category, target.cell.label, target.cell.index});
        }
        if (row != oldRow && !m_hosted) {
            m_grid->invalidateRow(oldRow);
            m_grid->invalidateRow(row);
        }
    }
    if (oldCol < colCount() && oldRow < rowCount()) updateMarks(oldCol, oldRow, col, row, extend);
    return true;
}

void cuiSheet::updateCellMenu(bool rebuild) {
    if (!m_grid || isPrinting() || m_building || !m_grid->hasFocus()) return;
    if (m_grid->col() >= colCount() || m_grid->row() >= rowCount()) return;
    const cuiCell& cell = CellAt(m_grid->col(), m_grid->row()).cell;
    const QString key = cell.effectivePopupMenu();
    if (!rebuild && key == m_cellMenuKey && (m_cellMenu || key.isEmpty())) {
        if (m_cellMenu) m_cellMenu->setOwnerCell(&cell);
        return;
    }
    dropCellMenu();
    m_cellMenuKey = key;
    cmcEvMan* ev = cmcEvMan::instance();
    if (ev) ev->post(cmcEvMenuAct{CL_Menu_Edit_Top});
    if (key.isEmpty()) return;
    m_cellMenu = std::make_unique<cuiMenu>(nullptr, m_layout->table(), key, m_source, m_images);
    m_cellMenu->setOwnerCell(&cell);
    // An item sends its label to the current cell as a menu command.
    m_cellMenu->setClickHandler([this](const cuiCell& item) {
        ExecuteCellCommand(m_grid->col(), m_grid->row(), 0, item.label, QString());
    });
    // Its shortcuts with a modifier (Ctrl+C, Ctrl+V ...) work while the grid has the focus;
    // plain keys (Enter) stay the grid's own, and a key an item only shows (Undo's Ctrl+Z:
    // its cell names no key) belongs to the command that takes it elsewhere.
    for (QAction* action : m_cellMenu->actions()) {
        const QKeySequence keys = action->shortcut();
        if (keys.isEmpty() || m_cellMenu->cellOf(action)->option.isEmpty() ||
            !(keys[0].keyboardModifiers() &
              (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            continue;
        action->setShortcutContext(Qt::WidgetShortcut);
        m_grid->addAction(action);
    }
    if (ev) ev->post(cmcEvMenuPopup{CL_Menu_Edit_Top, key});
}

// The menu may be closing or running one of its items right now (the focus comes back
// to the grid while a pop-up menu hides): it is deleted once control is back in the loop.
void cuiSheet::dropCellMenu() {
    if (!m_cellMenu) return;
    m_cellMenu->setClickHandler([](const cuiCell&) {});
    m_cellMenu->setOwnerCell(nullptr);
    m_cellMenu.release()->deleteLater();
}

void cuiSheet::openCellMenu(const QPoint& globalPos) {
    if (!m_cellMenu) updateCellMenu(true);
    if (m_cellMenu) m_cellMenu->menu()->popup(globalPos);
}

// The pop-up menu opened from the keyboard shows under the current cell.
void cuiSheet::openCellMenuAtCell() {
    if (!m_grid || m_grid->col() >= colCount() || m_grid->row() >= rowCount()) return;
    const QRect r = m_grid->cellRect(m_grid->col(), m_grid->row());
    openCellMenu(m_grid->viewport()->mapToGlobal(QPoint(r.left() + 8, r.bottom())));
}

void cuiSheet::SelectCell(int col, int row) {
    if (!m_grid) return;
    const int oldCol = m_grid->col(), oldRow = m_grid->row();
    if (!gridSelectCell(col, row)) return;
    m_selecting = true;
    m_grid->setCurrent(col, row, true);
    m_selecting = false;
    if (oldRow != row || oldCol != col) m_grid->viewport()->update();
    updateCellMenu();
}

bool cuiSheet::SelectCellById(int32_t category, int32_t label, int32_t index) {
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < colCount(); ++c) {
            const cuiCell& cell = CellAt(c, r).cell;
            if (cell.selectable && cell.category == category && cell.label == label &&
                cell.index == index) {
                SelectCell(c, r);
                return true;
            }
        }
    return false;
}

bool cuiSheet::SelectCellAt(int x, int y, bool probe, int* outCol, int* outRow) {
    int col = 0, row = 0;
    if (!m_grid || !m_grid->cellAt(QPoint(x, y), col, row)) return false;
    // A row-select member belongs to the selectable cell on its left.
    while (col >= 0 && !CellAt(col, row).cell.selectable && CellAt(col, row).cell.rowSelect)
        --col;
    if (col < 0 || !CellAt(col, row).cell.selectable) return false;
    if (outCol) *outCol = col;
    if (outRow) *outRow = row;
    if (!probe) SelectCell(col, row);
    return true;
}

void cuiSheet::MoveSelection(int dx, int dy) {
    if (!m_grid || (dx == 0 && dy == 0)) return;
    const bool horizontal = dx != 0;
    const int step = horizontal ? (dx > 0 ? 1 : -1) : (dy > 0 ? 1 : -1);
    const int count = std::abs(horizontal ? dx : dy);
    int col = m_grid->col(), row = m_grid->row();
    auto selectable = [&](int c, int r) { return CellAt(c, r).cell.selectable; };
    for (int k = 0; k < count; ++k) {
        bool found = false;
        const int n = horizontal ? colCount() : rowCount();
        const int start = horizontal ? col : row;
        if (m_hosted && count == 1) {
            for (int i = (start + step + n) % n; i != start; i = (i + step + n) % n) {
                if (horizontal ? selectable(i, row) : selectable(col, i)) {
                    (horizontal ? col : row) = i;
                    found = true;
                    break;
                }
            }
        } else {
            for (int i = start + step; i >= 0 && i < n; i += step) {
                if (horizontal ? selectable(i, row) : selectable(col, i)) {
                    (horizontal ? col : row) = i;
                    found = true;
                    break;
                }
            }
        }
        if (!found && !m_hosted) {
            // Continue in the next column (row) that has any selectable cell, on the cell
            // nearest the current row (remembered column).
            for (int i = start + step; i >= 0 && i < n && !found; i += step) {
                int best = -1;
                const int m = horizontal ? rowCount() : colCount();
                const int want = horizontal ? row : m_memCol;
                for (int j = 0; j < m; ++j) {
                    if (!(horizontal ? selectable(i, j) : selectable(j, i))) continue;
                    if (best < 0 || std::abs(j - want) < std::abs(best - want)) best = j;
                }
                if (best >= 0) {
                    if (horizontal) {
                        col = i;
                        row = best;
                    } else {
                        row = i;
                        col = best;
                    }
                    found = true;
                }
            }
        }
        if (!found) break;
    }
    m_memCol = col;
    m_memRow = row;
    if (col != m_grid->col() || row != m_grid->row()) SelectCell(col, row);
    if (col <= lowestSelectableCol()) m_grid->setLeftCol(m_grid->fixedCols());
    if (row <= lowestSelectableRow()) m_grid->setTopRow(m_grid->fixedRows());
}

// ---- commands ------------------------------------------------------------------------

void cuiSheet::ExecuteCellCommand(int col, int row, int code, int argument, const QString& text,
                                  bool hasText) {
    // A command still running its follow-ups ends (without further waits) before another
    // one starts, so that commands keep their order.
    finishCommand();
    if (!m_source || col < 0 || row < 0 || col >= colCount() || row >= rowCount()) return;
    cuiCellCommand command;
    command.code = hasText ? 0 : code;
    command.argument = argument;
    command.text = text;
    command.hasText = hasText;
    if (hasText) command.code = 13;
    cuiCellContext context;
    context.isCurrent = m_grid && col == m_grid->col() && row == m_grid->row();
    context.printing = isPrinting();
    currentRange(context.rangeFirst, context.rangeLast);
    if (m_fillNext && hasText) {
        command.fillRange = true;
        context.rangeFirst = m_fillFirst;
        context.rangeLast = m_fillLast;
    }
    m_fillNext = false;

    if (m_hosted) {
        if (code == 13 || code == 256) {
            m_source->execute(CellAt(col, row).cell, command, context);
            if (m_frame && m_frame->window() != m_owner) m_frame->window()->hide();
        }
        return;
    }
    m_running = std::make_unique<RunningCommand>();
    m_running->col = col;
    m_running->row = row;
    m_running->command = command;
    m_running->context = context;
    runCommand(true);
}

// Runs the steps of the running command. A result may ask for a follow-up command: the
// sheet repaints and, when waits is set, the next step runs from a timer after a wait
// that shortens from 30 ms to none, so that the window keeps painting and taking input in
// between; without waits the steps run at once.
void cuiSheet::runCommand(bool waits) {
    while (m_running) {
        RunningCommand& rc = *m_running;
        if (!m_source || rc.col >= colCount() || rc.row >= rowCount() || rc.steps >= 10000) {
            endCommand();
            return;
        }
        ++rc.steps;
        const cuiCellResult result =
            m_source->execute(CellAt(rc.col, rc.row).cell, rc.command, rc.context);
        // The dispatcher may have carried the command to another cell of the row (a key
        // typed on a row not in use goes to its key column): the rest applies there. What
        // the command put on the status line (why it moved) stays.
        m_keepStatus = result.redirect;
        const bool moved =
            result.redirect && SelectCellById(result.category, result.label, result.index);
        m_keepStatus = false;
        if (moved) {
            rc.col = m_grid->col();
            rc.row = m_grid->row();
        }
        const int col = rc.col, row = rc.row;
        if (result.action == cuiCellResult::ClearMarks) clearMarks();
        if (result.rangeSelected) {
            rc.rangeSelected = true;
            markRange(CellAt(col, row).cell.label, result.rangeFirst, result.rangeLast);
            // The range stays the selection for the next command: its far end from the
            // current cell becomes the anchor.
            const cuiCell& here = CellAt(col, row).cell;
            const int far = here.index == result.rangeFirst ? result.rangeLast : result.rangeFirst;
            for (int r = 0; r < rowCount(); ++r)
                if (CellAt(col, r).cell.label == here.label && CellAt(col, r).cell.index == far) {
                    m_anchorCol = col;
                    m_anchorRow = r;
                    break;
                }
        }
        if (result.popup) {
            // A character typed on the cell goes on to the list (type-ahead).
            const int code = rc.command.hasText ? 0 : rc.command.code;
            const QString typed =
                code > ' ' && code < 256 && code != 127 ? QString(QChar(code)) : QString();
            OpenPickList(col, row, result.popupKey, result.popupKind, result.popupValue, typed);
        }
        if (result.action == cuiCellResult::StartEditor) {
            const QString* t = result.editorText.isNull() ? nullptr : &result.editorText;
            StartEditor(col, row, t, result.selectionStart, result.selectionLength);
        }
        if (!result.followUp) break;
        if (m_grid) m_grid->viewport()->repaint();
        rc.command = result.next;
        const int wait = rc.wait;
        rc.wait = std::max(0, rc.wait - 6);
        if (waits) {
            if (!m_commandTimer) {
                m_commandTimer = std::make_unique<QTimer>();
                m_commandTimer->setSingleShot(true);
                QObject::connect(m_commandTimer.get(), &QTimer::timeout,
                                 [this] { runCommand(true); });
            }
            m_commandTimer->start(wait);
            return;
        }
    }
    endCommand();
}

void cuiSheet::finishCommand() {
    if (!m_running) return;
    if (m_commandTimer) m_commandTimer->stop();
    runCommand(false);
}

void cuiSheet::endCommand() {
    if (!m_running) return;
    const bool rangeSelected = m_running->rangeSelected;
    m_running.reset();
    if (!rangeSelected && m_grid && m_grid->col() < colCount() && m_grid->row() < rowCount()) {
        clearMarks();
        m_anchorCol = m_grid->col();
        m_anchorRow = m_grid->row();
        CellAt(m_anchorCol, m_anchorRow).flags |= 2;
        // An editor or a pick list opened on several rows keeps them marked until it closes.
        if (editorVisible() && fillPending())
            markRange(CellAt(m_editCol, m_editRow).cell.label, m_fillFirst, m_fillLast);
        else if (m_pickList && m_pickList->isVisible() && fillPending())
            markRange(CellAt(m_anchorCol, m_anchorRow).cell.label, m_fillFirst, m_fillLast);
    }
    if (m_grid) {
        m_grid->viewport()->update();
        m_grid->cellsChanged();
    }
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->post(EV_MenuRefresh);
}

// ---- pick list -----------------------------------------------------------------------

cuiPickList* cuiSheet::pickList() const {
    return m_pickList;
}

void cuiSheet::OpenPickList(int col, int row, const QString& key, int kind, int64_t current,
                            const QString& typed) {
    if (!m_grid || key.isEmpty()) return;
    // Selection lists and tones come from the text tables; any other kind is a list
    // number, whose rows in use the cell source lists.
    std::vector<int64_t> values;
    QStringList texts;
    if (kind == cuiFlector::KindSelection || kind == cuiFlector::KindTone) {
        const cmcSelList& list = cmcFCache::instance().get(key, kind);
        values = list.values;
        texts = list.texts;
    } else if (!m_source || !m_source->rowChoices(kind, values, texts)) {
        return;
    }
    if (!m_pickList) m_pickList = new cuiPickList(m_grid->window());
    m_pickList->setOwnerId(m_windowId);
    // A list of rows takes the look of the list's own sheet where the overlay has one.
    m_pickList->setItems(values, texts, current, &m_layout->table(), key);
    // The rows selected now are the ones a choice with Ctrl+Enter goes to, as the editor's
    // Ctrl+Enter stores a typed value into all of them: the item's text is committed there.
    currentRange(m_fillFirst, m_fillLast);
    const int first = m_fillFirst, last = m_fillLast;
    m_pickList->setChosen(
        [this, col, row, kind, first, last](int64_t value, const QString& text, bool allRows) {
            if (col >= colCount() || row >= rowCount()) return;
            if (allRows && last > first) {
                m_fillFirst = first;
                m_fillLast = last;
                m_fillNext = true;
                ExecuteCellCommand(col, row, 13, 0, text, true);
            } else if (m_source) {
                m_source->choose(CellAt(col, row).cell, kind, value);
            }
            if (m_grid) {
                m_grid->setFocus();
                m_grid->viewport()->update();
                m_grid->cellsChanged();
            }
            if (cmcEvMan* ev = cmcEvMan::instance()) ev->post(EV_MenuRefresh);
        });
    // A reader hears the list named after the cell it fills.
    m_pickList->setAccessibleName(cuiCellCaption::of(*this, col, row));
    if (cuiGrid* list = m_pickList->grid()) list->setAccessibleName(m_pickList->accessibleName());
    const QRect r = m_grid->cellRect(col, row);
    m_pickList->popupAt(QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size()));
    if (!typed.isEmpty()) m_pickList->typeAhead(typed, true);
}

// ---- in-place editor -----------------------------------------------------------------

// Tab and Shift+Tab: the next (previous) selectable cell in reading order, going on to the
// next row's first cell (the previous row's last) at the end of a row, as spreadsheets do.
static void tabMove(cuiSheet& sheet, int step) {
    cuiGrid* grid = sheet.grid();
    if (!grid) return;
    const int cols = sheet.colCount(), rows = sheet.rowCount();
    int col = grid->col(), row = grid->row();
    for (int i = 0; i < cols * rows; ++i) {
        col += step;
        if (col >= cols) {
            col = 0;
            ++row;
        } else if (col < 0) {
            col = cols - 1;
            --row;
        }
        if (row < 0 || row >= rows) return;
        if (sheet.CellObjectAt(col, row).selectable) {
            sheet.SelectCell(col, row);
            return;
        }
    }
}

// Keys of the in-place editor: Enter, Up and Down commit (Up and Down then move), Tab and
// Shift+Tab commit and move to the next or previous cell of the row, as in a spreadsheet;
// Page Up and Page Down commit and act as grid keys, Escape cancels; losing the focus
// commits.
class cuiSheetEditorFilter : public QObject {
  public:
    explicit cuiSheetEditorFilter(cuiSheet* sheet) : QObject(sheet->m_editor), m_sheet(sheet) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            if (m_sheet->editorVisible() && !m_sheet->m_editorClosing) m_sheet->commitEditor();
            return false;
        }
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (cmcEvMan* ev = cmcEvMan::instance()) postStatus(ev);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Ctrl+Enter stores the value into every selected row of the column.
            m_sheet->commitEditor(key->modifiers() & Qt::ControlModifier);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            m_sheet->commitEditor();
            m_sheet->MoveSelection(0, key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
            m_sheet->commitEditor();
            tabMove(*m_sheet, key->key() == Qt::Key_Tab ? 1 : -1);
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            m_sheet->commitEditor();
            m_sheet->gridKeyDown(key);
            return true;
        case Qt::Key_Escape:
            m_sheet->HideEditor(true);
            return true;
        default:
            return false;
        }
    }

  private:
    cuiSheet* m_sheet;
};

bool cuiSheet::editorVisible() const {
    return m_editor && m_editor->isVisible();
}

void cuiSheet::StartEditor(int col, int row, const QString* text, int selStart, int selLength) {
    if (!m_grid) return;
    if (!m_editor) {
        m_editor = new cuiCellEditor(m_grid->viewport());
        m_editor->hide();
        m_editorFilter = new cuiSheetEditorFilter(this);
        m_editor->installEventFilter(m_editorFilter);
        QObject::connect(m_editor, &QPlainTextEdit::textChanged, m_editor, [this] {
            if (m_editor->toPlainText().size() > 1024) {
                QString t = m_editor->toPlainText().left(1024);
                m_editor->setPlainText(t);
            }
        });
    }
    // The rows selected now are the ones Ctrl+Enter fills; they stay marked meanwhile.
    currentRange(m_fillFirst, m_fillLast);
    clearMarks();
    SelectCell(col, row);
    m_editCol = col;
    m_editRow = row;
    const cuiCell& cell = CellAt(col, row).cell;
    if (fillPending()) markRange(cell.label, m_fillFirst, m_fillLast);
    QString value;
    if (text) {
        value = *text;
    } else if (cell.hasLabel() && m_source) {
        value = m_source->view(cell, true, false).text;
    } else {
        value = cell.displayText;
    }
    const cuiFont* f = cell.effectiveFont() ? cell.effectiveFont() : basicCell().effectiveFont();
    const QFont font = f ? f->toQFont() : QFont();
    m_editor->setFont(font);
    QRect r = m_grid->cellRect(col, row);
    const int lineH = QFontMetrics(font).height() + 2;
    if (r.height() > lineH) {
        const int extra = r.height() - lineH;
        const int dy = cell.vAlign == cuiCell::Middle   ? extra / 2
                       : cell.vAlign == cuiCell::Bottom ? extra
                                                        : 0;
        r = QRect(r.left(), r.top() + dy, r.width(), lineH);
    }
    m_editor->setGeometry(r);
    // A reader hears which cell is edited and what it held before.
    m_editor->setAccessibleName(cuiCellCaption::of(*this, col, row));
    m_editor->setAccessibleDescription(cellText(col, row).simplified());
    m_editor->setPlainText(value);
    QTextCursor cursor = m_editor->textCursor();
    if (selStart >= 0) {
        cursor.setPosition(std::min(selStart, int(value.size())));
        cursor.setPosition(std::min(selStart + selLength, int(value.size())),
                           QTextCursor::KeepAnchor);
    } else {
        cursor.select(QTextCursor::Document);
    }
    m_editor->setTextCursor(cursor);
    m_editor->show();
    m_editor->setFocus();
}

void cuiSheet::HideEditor(bool returnFocus) {
    if (!editorVisible()) return;
    m_editorClosing = true;
    m_editor->hide();
    // A hidden editor holds nothing a reader could still find.
    m_editor->clear();
    m_editor->setAccessibleName(QString());
    m_editor->setAccessibleDescription(QString());
    m_editorClosing = false;
    if (returnFocus && m_grid) m_grid->setFocus();
}

// What the editor holds as a cell's text: no control character reaches a stored value (a
// line break or tab that came in with a paste becomes a blank, any other is dropped).
static QString editorValue(const QString& typed) {
    QString text;
    text.reserve(typed.size());
    for (const QChar c : typed) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') ||
            c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            text += QLatin1Char(' ');
        else if (c.category() != QChar::Other_Control)
            text += c;
    }
    return text;
}

void cuiSheet::commitEditor(bool toRange) {
    if (!editorVisible() || m_editorClosing) return;
    const QString text = editorValue(m_editor->toPlainText());
    const int col = m_editCol, row = m_editRow;
    HideEditor(true);
    m_fillNext = toRange && fillPending();
    ExecuteCellCommand(col, row, 13, 0, text, true);
}

// ---- input ---------------------------------------------------------------------------

bool cuiSheet::gridKeyDown(QKeyEvent* event) {
    HideEditor(false);
    if (cmcEvMan* ev = cmcEvMan::instance()) postStatus(ev);
    m_shiftHeld = event->modifiers() & Qt::ShiftModifier;
    const bool ctrlOnly =
        (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) ==
        Qt::ControlModifier;
    const int col = m_grid->col(), row = m_grid->row();
    const int key = event->key();
    bool consumed = true;
    switch (key) {
    case Qt::Key_Right:
        MoveSelection(1, 0);
        if (m_grid->col() == col && m_grid->row() == row)
            ExecuteCellCommand(col, row, 0x2700, 0, QString());
        break;
    case Qt::Key_Left:
        MoveSelection(-1, 0);
        if (m_grid->col() == col && m_grid->row() == row)
            ExecuteCellCommand(col, row, 0x2500, 0, QString());
        break;
    case Qt::Key_Down:
        if (!ctrlOnly) MoveSelection(0, 1);
        break;
    case Qt::Key_Up:
        if (!ctrlOnly) MoveSelection(0, -1);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Shift+Tab moves back; it does not stretch a selection as Shift+arrows do.
        m_shiftHeld = false;
        tabMove(*this, key == Qt::Key_Tab ? 1 : -1);
        break;
    case Qt::Key_PageDown:
        MoveSelection(0, 10);
        break;
    case Qt::Key_PageUp:
        MoveSelection(0, -10);
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        break;
    case Qt::Key_Menu:
        openCellMenuAtCell();
        break;
    default:
        // Shift+F10 is the keyboard's other way to the pop-up menu.
        if (key == Qt::Key_F10 && (event->modifiers() & Qt::ShiftModifier))
            openCellMenuAtCell();
        else if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
            ExecuteCellCommand(col, row, (0x70 + (key - Qt::Key_F1)) * 256, 0, QString());
        else
            consumed = false;
        break;
    }
    m_shiftHeld = false;
    return consumed;
}

bool cuiSheet::offersList(int col, int row) {
    if (!m_source || col < 0 || row < 0 || col >= colCount() || row >= rowCount()) return false;
    const cuiCell& cell = CellAt(col, row).cell;
    return cell.hasLabel() && m_source->view(cell, false, false).offersList;
}

void cuiSheet::gridKeyPress(const QString& text) {
    // Typing on several selected rows opens the editor on any cell, so that Ctrl+Enter can
    // store the value into all of them; a value chosen from a list opens its pick list
    // instead, as on one row.
    int first = -1, last = -1;
    currentRange(first, last);
    if (last > first && !text.isEmpty() && text[0].isPrint() && !text[0].isSpace() &&
        !offersList(m_grid->col(), m_grid->row())) {
        StartEditor(m_grid->col(), m_grid->row(), &text, int(text.size()), 0);
        return;
    }
    for (const QChar ch : text) {
        if (ch.unicode() == 0) continue;
        ExecuteCellCommand(m_grid->col(), m_grid->row(), ch.unicode(), 0, QString());
    }
}

void cuiSheet::gridKeyUp(QKeyEvent*) {}

namespace {
cuiSheet::HeadingClick& headingClick() {
    static cuiSheet::HeadingClick handler;
    return handler;
}
} // namespace

void cuiSheet::setHeadingClick(HeadingClick handler) {
    headingClick() = std::move(handler);
}

void cuiSheet::gridMouseDown(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        const bool hit = m_multiSelecting || SelectCellAt(p.x(), p.y(), false);
        if (hit) openCellMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (editorVisible()) commitEditor();
    int col = 0, row = 0;
    if (headingClick() && m_grid->cellAt(p, col, row) && row < m_grid->fixedRows()) {
        // The column's edges stay the column sizing's (a double click fits the width).
        const int left = m_grid->colLeft(col), right = left + m_grid->colWidth(col);
        if (p.x() - left > 4 && right - p.x() > 4 && headingClick()(*this, col)) return;
    }
    m_shiftHeld = event->modifiers() & Qt::ShiftModifier;
    SelectCellAt(p.x(), p.y(), false);
    m_mouseDown = true;
    m_shiftHeld = false;
}

void cuiSheet::gridMouseUp(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_mouseDown = false;
    if (m_hosted) ExecuteCellCommand(m_grid->col(), m_grid->row(), 256, 0, QString());
}

void cuiSheet::gridMouseMove(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_hosted && !editorVisible()) {
        SelectCellAt(p.x(), p.y(), false);
        return;
    }
    if (m_mouseDown && (event->buttons() & Qt::LeftButton)) SelectCellAt(p.x(), p.y(), false);
}

void cuiSheet::gridDoubleClick(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    int col = 0, row = 0;
    const bool hit = m_grid->cellAt(p, col, row);
    if (colSizing() && hit && row < m_grid->fixedRows()) {
        const int left = m_grid->colLeft(col);
        const int right = left + m_grid->colWidth(col);
        if (p.x() - left <= 4) {
            int c = col - 1;
            while (c >= 0 && m_grid->colWidth(c) == 0)
                --c;
            if (c >= 0) {
                AutoFitColumn(c);
                return;
            }
        } else if (right - p.x() <= 4) {
            AutoFitColumn(col);
            return;
        }
    } else if (colSizing() && !hit) {
        const int last = m_grid->lastVisibleCol();
        if (last >= 0) {
            const int right = m_grid->colLeft(last) + m_grid->colWidth(last);
            if (std::abs(p.x() - right) <= 4) {
                AutoFitColumn(last);
                return;
            }
        }
    }
    int owner = 0, ownerRow = 0;
    if (SelectCellAt(p.x(), p.y(), true, &owner, &ownerRow) && owner == m_grid->col() &&
        ownerRow == m_grid->row())
        ExecuteCellCommand(owner, ownerRow, 256, 0, QString());
}

// Scrolling moves the rows under an open editor: its value is committed first, into the
// cell it was opened on, so that the box never stands over another row.
void cuiSheet::commitBeforeScroll() {
    if (editorVisible()) commitEditor();
}

void cuiSheet::gridWheel(int steps) {
    commitBeforeScroll();
    if (steps > 0)
        MoveSelection(0, 1);
    else if (steps < 0)
        MoveSelection(0, -1);
}

void cuiSheet::gridFocus(bool gained) {
    if (gained) {
        updateCellMenu(true);
    } else if (!(m_cellMenu && m_cellMenu->menu()->isVisible())) {
        dropCellMenu();
        m_cellMenuKey.clear();
        if (cmcEvMan* ev = cmcEvMan::instance()) {
            ev->post(cmcEvMenuAct{CL_Menu_Edit_Top});
            ev->post(EV_MenuRefresh);
        }
    }
    if (m_grid) m_grid->viewport()->update();
}

int cuiSheet::gridColumnResizing(int col, int width) {
    const int row = fixedRowsStyle() < rowCount() ? fixedRowsStyle() : rowCount() - 1;
    if (row < 0 || !CellAt(col, row).cell.selectable) return width;
    int fixed = 0;
    for (int c = 0; c < m_grid->fixedCols(); ++c)
        fixed += m_grid->colWidth(c);
    const int maxWidth = std::clamp(m_grid->clientWidth() - fixed, 10, 650);
    return std::clamp(width, 10, maxWidth);
}

void cuiSheet::gridColumnsResized() {
    SaveColumnWidths();
}

void cuiSheet::gridTimedScroll(int dirs) {
    const int dx = ((dirs & ScrollRight) ? 1 : 0) - ((dirs & ScrollLeft) ? 1 : 0);
    const int dy = ((dirs & ScrollDown) ? 1 : 0) - ((dirs & ScrollUp) ? 1 : 0);
    if (dx) MoveSelection(dx, 0);
    if (dy) MoveSelection(0, dy);
}

void cuiSheet::AutoFitColumn(int col) {
    if (!m_grid || col < 0 || col >= colCount()) return;
    double w = 0;
    for (int r = 0; r < rowCount(); ++r) {
        const cuiCell& cell = CellAt(col, r).cell;
        QString text = cell.displayText;
        double glyph = 0; // a check glyph stands after the text
        if (cell.hasLabel() && m_source) {
            const cuiCellView v = m_source->view(cell, false, isPrinting());
            text = v.hasText ? v.text : QString();
            if (v.checkBox >= 0) glyph = (cuiCheckImages::Size + 2) * m_scale;
        }
        const cuiFont* f = cell.effectiveFont();
        const QFontMetricsF fm(f ? f->toQFont() : QFont());
        for (const QString& line : text.split('\n'))
            w = std::max(w, fm.horizontalAdvance(line) + glyph);
    }
    m_grid->setColWidth(col, int(w + 8 * m_scale + 0.5));
    m_layout->setColWidth(col, m_grid->colWidth(col));
    m_grid->viewport()->update();
}

// ---- painting ------------------------------------------------------------------------

void cuiSheet::recomputeColors() {
    const QColor text = cuiColor::toQColor(cuiColor::clWindowText);
    const QColor window = cuiColor::toQColor(cuiColor::clWindow);
    const QColor face = cuiColor::toQColor(cuiColor::clBtnFace);
    if (text == m_fromText && window == m_fromWindow && face == m_fromFace &&
        m_selectLine.isValid())
        return;
    m_fromText = text;
    m_fromWindow = window;
    m_fromFace = face;
    auto mix = [](int t, int w, int tw, int ww, int add, int div) {
        return (t * tw + w * ww + add) / div;
    };
    m_selectLine = QColor(mix(text.red(), window.red(), 1, 7, 4, 8),
                          mix(text.green(), window.green(), 1, 7, 4, 8),
                          mix(text.blue(), window.blue(), 1, 7, 4, 8));
    m_inactiveSelect = QColor(mix(text.red(), window.red(), 1, 3, 2, 4),
                              mix(text.green(), window.green(), 1, 3, 2, 4),
                              mix(text.blue(), window.blue(), 1, 3, 2, 4));
}

QColor cuiSheet::selectLineColor() {
    recomputeColors();
    return m_selectLine;
}

QColor cuiSheet::inactiveSelectColor() {
    recomputeColors();
    return m_inactiveSelect;
}

void cuiSheet::gridPaintCell(QPainter& painter, int col, int row, const QRect& rect) {
    paintCell(painter, col, row, rect);
}

void cuiSheet::paintCell(QPainter& painter, int col, int row, const QRect& cellRect) {
    if (m_building || !m_grid || col >= colCount() || row >= rowCount()) return;
    if (cellRect.width() <= 0 || cellRect.height() <= 0) return;
    // Joined cells: the first cell of the run is painted over the whole run, as wide as
    // the grid's columns (scaled on a printer canvas).
    const double unit = painter.device() == m_grid->viewport() ? 1.0 : m_scale;
    int first = col, last = col;
    m_layout->joinedRun(col, row, first, last);
    QRect rect = cellRect;
    for (int c = col - 1; c >= first; --c)
        rect.setLeft(rect.left() - int(std::lround(m_grid->colWidth(c) * unit)));
    for (int c = col + 1; c <= last; ++c)
        rect.setRight(rect.right() + int(std::lround(m_grid->colWidth(c) * unit)));

    clsCellLook look;
    look.printing = isPrinting();
    look.scale = m_scale;
    look.selected = !look.printing && isShownSelected(first, row);
    // While the editor is open the selection is not painted, except the other rows that
    // Ctrl+Enter will fill: those stay visibly marked.
    const bool fillMark = editorVisible() && fillPending() && isMarked(first, row) &&
                          !(first == m_editCol && row == m_editRow);
    if (look.printing) {
        // Printer colours: the painter ignores the fill.
    } else if (!look.selected || (editorVisible() && !fillMark)) {
        if (colorSelectLine() && row == m_grid->row() && first >= m_grid->fixedCols() &&
            !m_hosted) {
            look.fill = clsCellLook::SelectLine;
            look.selectLine = selectLineColor();
        }
    } else if (!m_grid->hasFocus() && !m_hosted) {
        look.fill = clsCellLook::InactiveSelect;
        look.inactiveSelect = inactiveSelectColor();
    } else {
        look.fill = clsCellLook::Highlight;
    }
    m_painter.paintRun(painter, first, last, row, rect, look);
}

// ---- what assistive technology reads ---------------------------------------------------

QString cuiSheet::cellText(int col, int row) const {
    if (col < 0 || row < 0 || col >= colCount() || row >= rowCount()) return QString();
    return m_painter.view(col, row).text;
}

int cuiSheet::gridCellStates(int col, int row) {
    if (col < 0 || row < 0 || col >= colCount() || row >= rowCount()) return 0;
    const cuiCell& cell = CellAt(col, row).cell;
    const cuiCellView view = m_painter.view(col, row);
    int states = 0;
    if (cell.selectable) states |= CellSelectable;
    if (cell.selectable && isShownSelected(col, row)) states |= CellSelected;
    if (!cell.selectable || view.disabled) states |= CellReadOnly;
    if (view.checkBox >= 0) states |= CellCheckable;
    if (view.checkBox > 0 || view.tick) states |= CellChecked;
    return states;
}

void cuiSheet::gridJoinedRun(int col, int row, int& first, int& last) {
    first = last = col;
    if (col >= 0 && row >= 0 && col < colCount() && row < rowCount())
        m_layout->joinedRun(col, row, first, last);
}
