#include "cuiSheet.h"

#include "cuiCellEditor.h"

#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcFCache.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cuiCellParser.h"
#include "cuiCheckImages.h"
#include "cuiFlector.h"
#include "cuiMenu.h"
#include "cuiPickList.h"
#include "cuiSheetEnv.h"
#include "iuiSh_ChBank.h"
#include "iuiSh_MultiTable.h"
#include "iuiSh_Common.h"

#include <QDataStream>
#include <QFontMetricsF>
#include <QHash>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// The parenthesised items of a style or directive line, in order.
QStringList groupsOf(const QString& line) {
    QStringList groups;
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] != '(') continue;
        int j = i + 1;
        while (j < line.size() && line[j] != ')')
            ++j;
        groups.append(line.mid(i + 1, j - i - 1));
        i = j;
    }
    return groups;
}

// Clears the status line: window text on button face, no text.
void postStatus(cmcEvMan* ev) {
    ev->postWithText(EV_StatusText, int32_t(cuiColor::toQColor(cuiColor::clWindowText).rgb()),
                     int32_t(cuiColor::toQColor(cuiColor::clBtnFace).rgb()), QString());
}

QString widthPath(const QString& registryName) {
    return QStringLiteral("Display\\") + registryName + QStringLiteral("\\colwidth");
}

} // namespace

cuiSheet::cuiSheet(QWidget* owner, cmcGTex& table)
    : m_table(table), m_owner(owner), m_parser(std::make_unique<cuiCellParser>(table)) {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->attach(&cuiSheet::eventListener, this);
}

cuiSheet::~cuiSheet() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->detach(&cuiSheet::eventListener, this);
    if (m_grid) m_grid->setOwner(nullptr);
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

void cuiSheet::splitCommand(const QString& command, QString& state, QString& key,
                            QString& arguments) {
    state.clear();
    int start = 0;
    if (command.startsWith('[')) {
        const int close = command.indexOf(']');
        if (close >= 0) {
            state = command.mid(1, close - 1);
            start = close + 1;
        }
    }
    const int comma = command.indexOf(',', start);
    key = comma < 0 ? command.mid(start) : command.mid(start, comma - start);
    arguments = comma < 0 ? QString() : command.mid(comma + 1);
}

cuiSheet* cuiSheet::create(QWidget* owner, const QString& command, cmcGTex& table) {
    QString state, key, arguments;
    splitCommand(command, state, key, arguments);
    cuiSheet* sheet = nullptr;
    if (state == QLatin1String("St_ChBank"))
        sheet = new iuiSh_ChBank(owner, table);
    else if (state == QLatin1String("St_Common"))
        sheet = new iuiSh_Common(owner, table);
    else if (!arguments.isEmpty() && QStringLiteral("RXQxqM").contains(arguments.at(0)))
        sheet = new iuiSh_MultiTable(owner, table);
    else
        sheet = new cuiSheet(owner, table);
    sheet->setKey(key);
    sheet->setCommand(command);
    sheet->SetArguments(arguments);
    return sheet;
}

void cuiSheet::SetArguments(const QString& arguments) {
    m_arguments = arguments;
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
}

QWidget* cuiSheet::frame() const {
    return m_frame;
}

// ---- build ---------------------------------------------------------------------------

void cuiSheet::Build() {
    if (!m_source) m_source = cuiCellSource::global();
    m_building = true;

    for (const QString& item : groupsOf(m_table.getText(m_key + QStringLiteral("_Style"), 0)))
        ApplyStyleItem(item);

    m_frame = new QFrame(m_owner);
    auto* layout = new QVBoxLayout(m_frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!m_title.isEmpty()) {
        m_titlePanel = new QFrame(m_frame);
        m_titlePanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        auto* titleLayout = new QVBoxLayout(m_titlePanel);
        titleLayout->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(m_title, m_titlePanel);
        if (m_titleFont) label->setFont(m_titleFont->toQFont());
        label->setAutoFillBackground(true);
        QPalette pal = label->palette();
        pal.setColor(QPalette::Window, cuiColor::toQColor(m_titleColor));
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

    BuildCells();
    // A printable copy measures its cells on the printer, in device pixels; its grid keeps
    // them in grid units like a sheet on screen, because painting scales every size
    // (joined cells included) by the factor.
    if (m_printer && m_scale != 1.0) {
        for (int c = 0; c < m_grid->colCount(); ++c)
            m_grid->setColWidth(c, int(std::lround(m_grid->colWidth(c) / m_scale)));
        for (int r = 0; r < m_grid->rowCount(); ++r)
            m_grid->setRowHeight(r, int(std::lround(m_grid->rowHeight(r) / m_scale)));
    }

    m_grid->setColSizing(m_colSizingStyle);
    m_grid->setFixedCols(std::max(0, std::min(m_fixedCols, m_colCount - 1)));
    m_grid->setFixedRows(std::max(0, std::min(m_fixedRows, m_rowCount - 1)));
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
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
        m_savedCol >= 0 && m_savedRow >= 0 && m_savedCol < m_colCount && m_savedRow < m_rowCount;
    if (savedInside && CellAt(m_savedCol, m_savedRow).cell.selectable) {
        SelectCell(m_savedCol, m_savedRow);
        if (!m_grid->allColsVisible() && m_savedLeft >= 0) m_grid->setLeftCol(m_savedLeft);
        if (!m_grid->allRowsVisible() && m_savedTop >= 0) m_grid->setTopRow(m_savedTop);
    } else if (m_targetLabel != cuiCell::NoLabel) {
        bool found = false;
        for (int r = 0; r < m_rowCount && !found; ++r) {
            for (int c = 0; c < m_colCount && !found; ++c) {
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
        for (int r = 0; r < m_rowCount && !found; ++r)
            for (int c = 0; c < m_colCount && !found; ++c)
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
        for (int r = m_grid->topRow(); r < m_rowCount; ++r)
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

void cuiSheet::ApplyStyleItem(const QString& item) {
    const int eq = item.indexOf('=');
    const QString name = (eq < 0 ? item : item.left(eq)).trimmed();
    const QString value = eq < 0 ? QString() : item.mid(eq + 1);
    const bool hasValue = eq >= 0;
    if (name == QLatin1String("NoPrint")) {
        if (item == QLatin1String("NoPrint")) m_noPrint = true;
    } else if (name == QLatin1String("ColSizing")) {
        m_colSizingStyle = true;
    } else if (name == QLatin1String("ColorSelectLine")) {
        m_colorSelectLine = true;
    } else if (!hasValue) {
        return;
    } else if (name == QLatin1String("TitleString")) {
        if (!value.isEmpty()) m_title = value;
    } else if (name == QLatin1String("TitleColor")) {
        cuiColor::fromName(value.trimmed(), m_titleColor);
    } else if (name == QLatin1String("TitleFont")) {
        m_titleFont = std::make_shared<cuiFont>();
        m_titleFont->applyText(value);
    } else if (name == QLatin1String("FixedCols")) {
        m_fixedCols = value.trimmed().toInt();
    } else if (name == QLatin1String("FixedRows")) {
        m_fixedRows = value.trimmed().toInt();
    } else if (name == QLatin1String("PrintFontRatio")) {
        bool ok = false;
        const int v = value.trimmed().toInt(&ok);
        if (ok) m_printFontRatio = v;
    } else if (name == QLatin1String("MultiSelect")) {
        const QString v = value.trimmed();
        m_multiSelect = v == QLatin1String("Cell")   ? MultiCell
                        : v == QLatin1String("Line") ? MultiLine
                                                     : MultiNone;
    } else if (name == QLatin1String("TableNum")) {
        m_tableNum = value.trimmed().toInt();
    } else if (name == QLatin1String("TableText")) {
        m_tableText = value;
    }
}

void cuiSheet::ApplyDirective(const QString& directive) {
    const int space = directive.indexOf(' ');
    const QString word = space < 0 ? directive : directive.left(space);
    const QString arg = space < 0 ? QString() : directive.mid(space + 1).trimmed();
    const cuiSheetEnv& env = cuiSheetEnv::current();
    auto skipIf = [&](bool condition) {
        bool ok = false;
        const int n = arg.toInt(&ok);
        if (ok && condition) m_layout.skip = std::max(0, n);
    };
    if (word == QLatin1String("Only_Handy")) {
        skipIf(env.isMobile());
    } else if (word == QLatin1String("Only_Mob")) {
        skipIf(!env.isMobile());
    } else if (word == QLatin1String("Never")) {
        skipIf(true);
    } else if (word == QLatin1String("LoopFrom")) {
        m_layout.loopStart = m_layout.line;
        m_layout.loopCount = std::max(1, arg.toInt());
    } else if (word == QLatin1String("LoopTo") || word == QLatin1String("End")) {
        m_layout.loopEnd = m_layout.line;
    } else if (directive.startsWith(QLatin1String("TG List"))) {
        m_layout.loopStart = m_layout.line;
        m_layout.loopCount = env.talkgroupCount();
    } else if (directive.startsWith(QLatin1String("Ind List"))) {
        m_layout.loopStart = m_layout.line;
        m_layout.loopCount = env.individualIdCount();
    } else if (word == QLatin1String("SelectON")) {
        m_layout.rowSelect = true;
    } else if (word == QLatin1String("SelectOFF")) {
        m_layout.rowSelect = false;
    }
}

void cuiSheet::BuildBasicCell() {
    QString text = m_table.getText(m_key + QStringLiteral("_BasicCell"), 0);
    if (m_printFontHeight != 0)
        text += QStringLiteral("{(Font=,,,%1,,,)}").arg(m_printFontHeight);
    else
        text += QStringLiteral("{(Font=,,,%%1,,,)}").arg(cuiSheetEnv::current().sheetFontScale());
    if (m_printer && m_printFontRatio != 100)
        text += QStringLiteral("{(Font=,,,%%1,,,)}").arg(m_printFontRatio);
    m_parser->parse(m_basic, text, nullptr, nullptr);
    if (m_grid) {
        QPalette pal = m_grid->viewport()->palette();
        pal.setColor(QPalette::Base, cuiColor::toQColor(m_basic.color));
        m_grid->viewport()->setPalette(pal);
        if (m_basic.font) m_frame->setFont(m_basic.font->toQFont());
    }
}

void cuiSheet::BuildCells() {
    buildCellsPadded(0);
}

void cuiSheet::buildCellsPadded(int matrixRowsWanted) {
    BuildBasicCell();
    const QString cellsKey = m_key + QStringLiteral("_Cells");
    LayoutRows(cellsKey);
    allocateMatrix(m_colCount, std::max(matrixRowsWanted, m_rowCount));
    int unit = 1;
    if (m_printer && m_grid) {
        unit = std::max(1, m_printer->logicalDpiY() / std::max(1, m_grid->logicalDpiY()));
    }
    if (m_grid) m_grid->setDefaultSizes(unit, unit);
    FillCells(cellsKey);
    // The rows beyond RowCount copy the row above with the index advanced.
    for (int r = std::max(1, m_rowCount); r < matrixRows(); ++r) {
        for (int c = 0; c < m_colCount; ++c) {
            clsSheetCellId& e = matrixAt(c, r);
            const clsSheetCellId& above = matrixAt(c, r - 1);
            e.cell = above.cell;
            ++e.cell.index;
            e.flags = uint8_t((e.flags & ~7) | (above.flags & 7));
        }
    }
}

clsSheeRowAtr& cuiSheet::rowAt(int row) {
    if (row >= int(m_rows.size())) m_rows.resize(size_t(row + row / 2 + 1));
    return m_rows[size_t(row)];
}

const clsSheeRowAtr& cuiSheet::rowEntry(int row) const {
    static const clsSheeRowAtr none;
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)] : none;
}

void cuiSheet::appendRow(int line) {
    clsSheeRowAtr& entry = rowAt(m_rowCount);
    entry.line = line;
    if (!keepsRowSelect()) entry.select = m_layout.rowSelect;
    ++m_rowCount;
}

void cuiSheet::LayoutRows(const QString& key) {
    const QStringList lines = m_table.getTextBlock(key).split('\n');
    m_layout = LayoutState();
    m_rowCount = 0;
    int cols = 0;
    for (int i = 0; i < lines.size(); ++i) {
        m_layout.line = i;
        if (m_layout.skip > 0) {
            --m_layout.skip;
            continue;
        }
        const QString& line = lines[i];
        if (line.startsWith(':')) {
            for (const QString& d : groupsOf(line.mid(1)))
                ApplyDirective(d);
            if (m_layout.loopStart >= 0 && m_layout.loopEnd >= 0) {
                // An empty list loop (count 0) uses its body once and closes all the same.
                for (int k = 1; k < m_layout.loopCount; ++k)
                    for (int j = 0; j < m_layout.rowsInLoop; ++j)
                        appendRow(m_layout.loopStart + 1 + j);
                m_layout.loopStart = m_layout.loopEnd = m_layout.loopCount = -1;
                m_layout.rowsInLoop = 0;
            }
            continue;
        }
        cols = std::max(cols, int(cuiCellParser::splitRow(line).size()));
        appendRow(i);
        if (m_layout.loopStart >= 0 && m_layout.loopEnd < 0)
            ++m_layout.rowsInLoop;
        else
            m_layout.rowsInLoop = 0;
    }
    if (m_rowCount == 0 || cols == 0) cmcFatal::stop(QStringLiteral("Illegal Cell assign"));
    m_colCount = cols;
    if (m_grid) {
        m_grid->setColCount(cols);
        m_grid->setRowCount(m_rowCount);
    }
}

void cuiSheet::allocateMatrix(int cols, int rows) {
    m_matrix.clear();
    m_matrix.resize(size_t(cols) * size_t(rows));
    m_matrixRows = rows;
}

void cuiSheet::setRowCount(int n) {
    m_rowCount = n;
    if (m_grid) m_grid->setRowCount(n);
}

clsSheetCellId& cuiSheet::CellAt(int col, int row) {
    if (row >= m_rowCount) cmcFatal::stop(QStringLiteral("Illegal Cell selection"));
    return matrixAt(col, row);
}

clsSheetCellId& cuiSheet::matrixAt(int col, int row) {
    if (m_matrix.empty() || col < 0 || row < 0 || col >= m_colCount || row >= m_matrixRows)
        cmcFatal::stop(QStringLiteral("Illegal Cell selection"));
    return m_matrix[size_t(row) * size_t(m_colCount) + size_t(col)];
}

void cuiSheet::measureFit(int col, int row) {
    const cuiCell& cell = CellAt(col, row).cell;
    if (!cell.fitWidth && !cell.fitHeight) return;
    const cuiFont* f = cell.effectiveFont();
    const QFont font = f ? f->toQFont(m_printer ? m_scale : 1.0) : QFont();
    const QFontMetricsF fm = m_printer ? QFontMetricsF(font, m_printer) : QFontMetricsF(font);
    double w = 0, h = 0;
    for (const QString& line : cell.displayText.split('\n')) {
        w = std::max(w, fm.horizontalAdvance(line));
        h += fm.height();
    }
    const double s = m_scale;
    if (cell.fitWidth)
        m_grid->setColWidth(col, std::max(m_grid->colWidth(col), int(w + 8 * s + 0.5)));
    if (cell.fitHeight)
        m_grid->setRowHeight(row, std::max(m_grid->rowHeight(row), int(h + 2 * s + 0.5)));
}

void cuiSheet::FillCells(const QString& key) {
    const QStringList lines = m_table.getTextBlock(key).split('\n');
    int prevCells = 0;
    for (int r = 0; r < m_rowCount; ++r) {
        OnRowBuilt(r);
        const int line = rowEntry(r).line;
        if (r > 0 && line == rowEntry(r - 1).line) {
            for (int c = 0; c < prevCells; ++c) {
                OnCellBuilt(c, r);
                cuiCell& cell = CellAt(c, r).cell;
                cell = CellAt(c, r - 1).cell;
                ++cell.index;
            }
            if (m_grid) m_grid->setRowHeight(r, m_grid->rowHeight(r - 1));
        } else {
            const QStringList texts = cuiCellParser::splitRow(lines.value(line));
            for (int c = 0; c < texts.size(); ++c) {
                OnCellBuilt(c, r);
                m_parser->parse(CellAt(c, r).cell, texts[c], &m_basic, m_counters);
                if (m_grid) measureFit(c, r);
            }
            prevCells = int(texts.size());
        }
        const bool join = m_multiSelect != MultiNone && rowEntry(r).select;
        for (int c = 0; c < m_colCount; ++c) {
            clsSheetCellId& e = CellAt(c, r);
            if (e.cell.selectable) {
                m_lowCol = std::min(m_lowCol, c);
                m_lowRow = std::min(m_lowRow, r);
            }
            e.flags = uint8_t(join ? (e.flags | 1) : (e.flags & ~1));
        }
    }
    if (!m_printer) {
        if (!m_hosted) {
            if (m_resetWidths) {
                for (const QString& name : widthRegistryNames())
                    cuiSheetEnv::current().deleteKey(widthPath(name));
            } else {
                LoadColumnWidths();
            }
            SaveColumnWidths();
        }
    } else {
        LoadColumnWidths();
    }
    m_resetWidths = false;
}

void cuiSheet::OnRowBuilt(int) {}
void cuiSheet::OnCellBuilt(int, int) {}

QString cuiSheet::GetTitle() {
    return m_title;
}

bool cuiSheet::IsPrintable() {
    if (m_noPrint) return false;
    return cuiSheetEnv::current().mayPrint(m_command);
}

bool cuiSheet::CanPrint() {
    return IsPrintable();
}

// ---- stored column widths ------------------------------------------------------------

QList<QString> cuiSheet::widthRegistryNames() {
    QList<QString> names;
    const QString listKey = QStringLiteral("GI_CellWidthRegList");
    if (!m_table.hasKey(listKey)) return names;
    for (const QString& line : m_table.getTextBlock(listKey).split('\n')) {
        const int colon = line.indexOf(':');
        if (line.isEmpty() || colon < 0) break;
        names.append(line.mid(colon + 1).trimmed());
    }
    return names;
}

QString cuiSheet::widthRegistryName() {
    const QString listKey = QStringLiteral("GI_CellWidthRegList");
    if (!m_table.hasKey(listKey)) return QString();
    for (const QString& line : m_table.getTextBlock(listKey).split('\n')) {
        const int colon = line.indexOf(':');
        if (line.isEmpty() || colon < 0) break;
        if (line.left(colon).trimmed() == m_key) return line.mid(colon + 1).trimmed();
    }
    return QString();
}

void cuiSheet::LoadColumnWidths() {
    if (!m_grid || m_rowCount <= 0) return;
    const QString name = widthRegistryName();
    if (name.isEmpty()) return;
    const int row = m_fixedRows < m_rowCount ? m_fixedRows : m_rowCount - 1;
    m_loadingWidths = true;
    for (int c = 0; c < m_colCount; ++c) {
        if (!CellAt(c, row).cell.selectable) continue;
        int v = 0;
        if (!cuiSheetEnv::current().readInt(widthPath(name), QString::number(c), v)) continue;
        if (m_printer)
            v = int(std::lround(v * m_scale));
        else
            v = std::clamp(v, 10, 650);
        m_grid->setColWidth(c, v);
    }
    m_loadingWidths = false;
}

void cuiSheet::SaveColumnWidths() {
    if (!m_grid || m_rowCount <= 0) return;
    const QString name = widthRegistryName();
    if (name.isEmpty()) return;
    // Before the first selection the current row is a header row: use the first
    // non-fixed row then.
    int row = m_grid->row();
    if (row < m_fixedRows || row >= m_rowCount)
        row = m_fixedRows < m_rowCount ? m_fixedRows : m_rowCount - 1;
    for (int c = 0; c < m_colCount; ++c) {
        if (CellAt(c, row).cell.selectable)
            cuiSheetEnv::current().writeInt(widthPath(name), QString::number(c),
                                            m_grid->colWidth(c));
    }
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
    if (event->code < EV_RepaintAll || event->code > EV_RepaintFrom) return;
    cuiCell ref;
    if (event->data.size() >= 12) {
        const auto* v = reinterpret_cast<const int32_t*>(event->data.constData());
        ref.category = v[0];
        ref.label = v[1];
        ref.index = v[2];
    } else {
        // Without a reference cell the value (a channel, an index) comes in p2.
        ref.category = 0;
        ref.label = event->p1;
        ref.index = event->p2;
    }
    static const RepaintMode modes[] = {RepaintLabelled, RepaintCategory,  RepaintLabel,
                                        RepaintIndex,    RepaintIndexUpTo, RepaintIndexFrom};
    RepaintMatching(ref, modes[event->code - EV_RepaintAll]);
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
    if (m_grid->col() >= m_colCount || m_grid->row() >= m_rowCount) return;
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
    const int lastCol = std::min(m_grid->lastVisibleCol(), m_colCount - 1);
    const int lastRow = std::min(m_grid->lastVisibleRow(), m_rowCount - 1);
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
    return found;
}

// ---- selection -----------------------------------------------------------------------

bool cuiSheet::isMarked(int col, int row) const {
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_matrixRows) return false;
    const uint8_t f = m_matrix[size_t(row) * size_t(m_colCount) + size_t(col)].flags;
    return (f & 1) && (f & 6);
}

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

void cuiSheet::clearMarks() {
    for (auto& e : m_matrix)
        e.flags &= uint8_t(~6);
}

void cuiSheet::updateMarks(int oldCol, int oldRow, int newCol, int newRow, bool extend) {
    const bool joinable = (CellAt(oldCol, oldRow).flags & 1) && (CellAt(newCol, newRow).flags & 1);
    if (extend && joinable && m_anchorCol >= 0 && m_anchorRow >= 0 && m_anchorRow < m_rowCount) {
        const bool lines = m_multiSelect == MultiLine;
        auto inside = [&](int c, int r, int c0, int r0, int c1, int r1) {
            return c >= std::min(c0, c1) && c <= std::max(c0, c1) && r >= std::min(r0, r1) &&
                   r <= std::max(r0, r1);
        };
        const int spanC0 = lines ? 0 : std::min({m_anchorCol, oldCol, newCol});
        const int spanC1 = lines ? m_colCount - 1 : std::max({m_anchorCol, oldCol, newCol});
        const int spanR0 = std::min({m_anchorRow, oldRow, newRow});
        const int spanR1 = std::max({m_anchorRow, oldRow, newRow});
        const int selC0 = lines ? 0 : m_anchorCol;
        const int selC1 = lines ? m_colCount - 1 : newCol;
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
    for (int r = 0; r < m_rowCount; ++r)
        for (int c = 0; c < m_colCount; ++c) {
            clsSheetCellId& e = CellAt(c, r);
            if (e.cell.label == label && e.cell.index >= first && e.cell.index <= last)
                e.flags |= 2;
        }
}

void cuiSheet::currentRange(int& first, int& last) {
    first = last = -1;
    if (!m_grid || m_anchorRow < 0 || m_anchorRow >= m_rowCount) return;
    const int r0 = std::min(m_anchorRow, m_grid->row());
    const int r1 = std::max(m_anchorRow, m_grid->row());
    for (int r = r0; r <= r1; ++r)
        for (int c = 0; c < m_colCount; ++c) {
            if (!isMarked(c, r) || !CellAt(c, r).cell.hasLabel()) continue;
            const int i = CellAt(c, r).cell.index;
            first = first < 0 ? i : std::min(first, i);
            last = std::max(last, i);
        }
}

bool cuiSheet::gridSelectCell(int col, int row) {
    if (m_selecting) return true;
    cmcEvMan* ev = cmcEvMan::instance();
    if (ev) postStatus(ev);
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount) return false;
    const clsSheetCellId& target = CellAt(col, row);
    if (!target.cell.selectable) return false;
    const bool extend = m_multiSelect != MultiNone && (m_shiftHeld || m_mouseDown);
    if (extend && m_multiSelecting && !(target.flags & 1)) return false;
    const int oldCol = m_grid->col(), oldRow = m_grid->row();
    if (col != oldCol || row != oldRow) {
        if (ev) {
            const int32_t id[3] = {target.cell.category, target.cell.label, target.cell.index};
            ev->postData(EV_SheetData, id, int(sizeof id));
        }
        if (row != oldRow && !m_hosted) {
            m_grid->invalidateRow(oldRow);
            m_grid->invalidateRow(row);
        }
    }
    if (oldCol < m_colCount && oldRow < m_rowCount) updateMarks(oldCol, oldRow, col, row, extend);
    return true;
}

void cuiSheet::updateCellMenu(bool rebuild) {
    if (!m_grid || isPrinting() || m_building || !m_grid->hasFocus()) return;
    if (m_grid->col() >= m_colCount || m_grid->row() >= m_rowCount) return;
    const cuiCell& cell = CellAt(m_grid->col(), m_grid->row()).cell;
    const QString key = cell.effectivePopupMenu();
    if (!rebuild && key == m_cellMenuKey && (m_cellMenu || key.isEmpty())) {
        if (m_cellMenu) m_cellMenu->setOwnerCell(&cell);
        return;
    }
    dropCellMenu();
    m_cellMenuKey = key;
    cmcEvMan* ev = cmcEvMan::instance();
    if (ev) ev->post(EV_MenuAct, 0, CL_Menu_Edit_Top);
    if (key.isEmpty()) return;
    m_cellMenu = std::make_unique<cuiMenu>(nullptr, m_table, key, m_source, m_images);
    m_cellMenu->setOwnerCell(&cell);
    // An item sends its label to the current cell as a menu command.
    m_cellMenu->setClickHandler([this](const cuiCell& item) {
        ExecuteCellCommand(m_grid->col(), m_grid->row(), 0, item.label, QString());
    });
    // Its shortcuts with a modifier (Ctrl+C, Ctrl+V ...) work while the grid has the focus;
    // plain keys (Enter) stay the grid's own.
    for (QAction* action : m_cellMenu->actions()) {
        const QKeySequence keys = action->shortcut();
        if (keys.isEmpty() || !(keys[0].keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            continue;
        action->setShortcutContext(Qt::WidgetShortcut);
        m_grid->addAction(action);
    }
    if (ev) ev->postWithText(EV_MenuRebuildPopup, 0, CL_Menu_Edit_Top, key);
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
    if (!m_grid || m_grid->col() >= m_colCount || m_grid->row() >= m_rowCount) return;
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
    for (int r = 0; r < m_rowCount; ++r)
        for (int c = 0; c < m_colCount; ++c) {
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
        const int n = horizontal ? m_colCount : m_rowCount;
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
                const int m = horizontal ? m_rowCount : m_colCount;
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
    if (col <= m_lowCol) m_grid->setLeftCol(m_grid->fixedCols());
    if (row <= m_lowRow) m_grid->setTopRow(m_grid->fixedRows());
}

// ---- commands ------------------------------------------------------------------------

void cuiSheet::ExecuteCellCommand(int col, int row, int code, int argument, const QString& text,
                                  bool hasText) {
    if (!m_source || col < 0 || row < 0 || col >= m_colCount || row >= m_rowCount) return;
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

    if (m_hosted) {
        if (code == 13 || code == 256) {
            m_source->execute(CellAt(col, row).cell, command, context);
            if (m_frame && m_frame->window() != m_owner) m_frame->window()->hide();
        }
        return;
    }
    bool rangeSelected = false;
    int wait = 30;
    for (int guard = 0; guard < 10000; ++guard) {
        cuiCellResult result = m_source->execute(CellAt(col, row).cell, command, context);
        // The dispatcher may have carried the command to another cell of the row (a key
        // typed on a row not in use goes to its key column): the rest applies there.
        if (result.redirect && SelectCellById(result.category, result.label, result.index)) {
            col = m_grid->col();
            row = m_grid->row();
        }
        if (result.action == cuiCellResult::ClearMarks) clearMarks();
        if (result.rangeSelected) {
            rangeSelected = true;
            markRange(CellAt(col, row).cell.label, result.rangeFirst, result.rangeLast);
            // The range stays the selection for the next command: its far end from the
            // current cell becomes the anchor.
            const cuiCell& here = CellAt(col, row).cell;
            const int far = here.index == result.rangeFirst ? result.rangeLast : result.rangeFirst;
            for (int r = 0; r < m_rowCount; ++r)
                if (CellAt(col, r).cell.label == here.label && CellAt(col, r).cell.index == far) {
                    m_anchorCol = col;
                    m_anchorRow = r;
                    break;
                }
        }
        if (result.popup)
            OpenPickList(col, row, result.popupKey, result.popupKind, result.popupValue);
        if (result.action == cuiCellResult::StartEditor) {
            const QString* t = result.editorText.isNull() ? nullptr : &result.editorText;
            StartEditor(col, row, t, result.selectionStart, result.selectionLength);
        }
        if (!result.followUp) break;
        if (m_grid) m_grid->viewport()->repaint();
        if (wait > 0) QThread::msleep(uint32_t(wait));
        wait = std::max(0, wait - 6);
        command = result.next;
    }
    if (!rangeSelected && m_grid && m_grid->col() < m_colCount && m_grid->row() < m_rowCount) {
        clearMarks();
        m_anchorCol = m_grid->col();
        m_anchorRow = m_grid->row();
        CellAt(m_anchorCol, m_anchorRow).flags |= 2;
    }
    if (m_grid) m_grid->viewport()->update();
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->post(EV_MenuRefresh);
}

// ---- pick list -----------------------------------------------------------------------

cuiPickList* cuiSheet::pickList() const {
    return m_pickList;
}

void cuiSheet::OpenPickList(int col, int row, const QString& key, int kind, int64_t current) {
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
    m_pickList->setItems(values, texts, current);
    m_pickList->setChosen([this, col, row, kind](int64_t value) {
        if (m_source && col < m_colCount && row < m_rowCount)
            m_source->choose(CellAt(col, row).cell, kind, value);
        if (m_grid) {
            m_grid->setFocus();
            m_grid->viewport()->update();
        }
        if (cmcEvMan* ev = cmcEvMan::instance()) ev->post(EV_MenuRefresh);
    });
    const QRect r = m_grid->cellRect(col, row);
    m_pickList->popupAt(QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size()));
}

// ---- in-place editor -----------------------------------------------------------------

// Keys of the in-place editor: Enter, Up and Down commit (Up and Down then move), Page
// Up and Page Down commit and act as grid keys, Escape cancels; losing the focus commits.
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
            m_sheet->commitEditor();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            m_sheet->commitEditor();
            m_sheet->MoveSelection(0, key->key() == Qt::Key_Up ? -1 : 1);
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
    clearMarks();
    SelectCell(col, row);
    m_editCol = col;
    m_editRow = row;
    const cuiCell& cell = CellAt(col, row).cell;
    QString value;
    if (text) {
        value = *text;
    } else if (cell.hasLabel() && m_source) {
        value = m_source->view(cell, true, false).text;
    } else {
        value = cell.displayText;
    }
    const cuiFont* f = cell.effectiveFont() ? cell.effectiveFont() : m_basic.effectiveFont();
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
    m_editorClosing = false;
    if (returnFocus && m_grid) m_grid->setFocus();
}

void cuiSheet::commitEditor() {
    if (!editorVisible() || m_editorClosing) return;
    const QString text = m_editor->toPlainText();
    const int col = m_editCol, row = m_editRow;
    HideEditor(true);
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

void cuiSheet::gridKeyPress(const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() == 0) continue;
        ExecuteCellCommand(m_grid->col(), m_grid->row(), ch.unicode(), 0, QString());
    }
}

void cuiSheet::gridKeyUp(QKeyEvent*) {}

void cuiSheet::gridMouseDown(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        const bool hit = m_multiSelecting || SelectCellAt(p.x(), p.y(), false);
        if (hit) openCellMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (editorVisible()) commitEditor();
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
    if (m_colSizingStyle && hit && row < m_grid->fixedRows()) {
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
    } else if (m_colSizingStyle && !hit) {
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

void cuiSheet::gridWheel(int steps) {
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
            ev->post(EV_MenuAct, 0, CL_Menu_Edit_Top);
            ev->post(EV_MenuRefresh);
        }
    }
    if (m_grid) m_grid->viewport()->update();
}

int cuiSheet::gridColumnResizing(int col, int width) {
    const int row = m_fixedRows < m_rowCount ? m_fixedRows : m_rowCount - 1;
    if (row < 0 || !CellAt(col, row).cell.selectable) return width;
    int maxWidth = 650;
    if (!m_loadingWidths) {
        int fixed = 0;
        for (int c = 0; c < m_grid->fixedCols(); ++c)
            fixed += m_grid->colWidth(c);
        maxWidth = std::clamp(m_grid->clientWidth() - fixed, 10, 650);
    }
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
    if (!m_grid || col < 0 || col >= m_colCount) return;
    double w = 0;
    for (int r = 0; r < m_rowCount; ++r) {
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
    if (m_building || !m_grid || col >= m_colCount || row >= m_rowCount) return;
    if (cellRect.width() <= 0 || cellRect.height() <= 0) return;
    const double s = m_scale;
    // Joined cells: the first cell of the run is painted over the whole run.
    const double unit = painter.device() == m_grid->viewport() ? 1.0 : s;
    int first = col;
    QRect rect = cellRect;
    while (first > 0 && CellAt(first, row).cell.joinLeft) {
        --first;
        rect.setLeft(rect.left() - int(std::lround(m_grid->colWidth(first) * unit)));
    }
    int last = col;
    while (last + 1 < m_colCount && CellAt(last + 1, row).cell.joinLeft) {
        ++last;
        rect.setRight(rect.right() + int(std::lround(m_grid->colWidth(last) * unit)));
    }
    const cuiCell& cell = CellAt(first, row).cell;
    const bool printing = isPrinting();
    const bool selected = !printing && isShownSelected(first, row);

    QString text = cell.displayText;
    cuiCellView view;
    if (cell.hasLabel()) {
        if (text.isEmpty()) text = QStringLiteral(" ");
        if (m_source) {
            view = m_source->view(cell, selected, printing);
            text = view.hasText ? view.text : QString();
        }
    }

    const cuiFont* f = cell.effectiveFont() ? cell.effectiveFont() : m_basic.effectiveFont();
    cuiFont defaultFont;
    if (!f) f = &defaultFont;
    QColor background;
    QColor foreground = cuiColor::toQColor(f->color);
    const bool plainColour = cell.color == cuiColor::clWindow || cell.color == cuiColor::clWhite;
    if (printing) {
        background = plainColour ? Qt::white : QColor(96, 96, 96);
        foreground = plainColour ? Qt::black : Qt::white;
    } else if (!selected || editorVisible()) {
        if (m_colorSelectLine && row == m_grid->row() && first >= m_grid->fixedCols() && !m_hosted)
            background = selectLineColor();
        else
            background = cuiColor::toQColor(cell.color);
    } else if (!m_grid->hasFocus() && !m_hosted) {
        background = inactiveSelectColor();
        if (f->color == cuiColor::clBtnFace || f->color == cuiColor::clSilver ||
            f->color == cuiColor::clGrayText || foreground == background)
            foreground = cuiColor::toQColor(cuiColor::clWindow);
    } else {
        background = cuiColor::toQColor(cuiColor::clHighlight);
        foreground = cuiColor::toQColor(cuiColor::clHightlightText);
    }

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.fillRect(rect, background);

    // Lines.
    const QColor lineColour = plainColour || printing ? QColor(128, 128, 128) : Qt::white;
    painter.setPen(lineColour);
    if (cell.bottomLine) painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    const uint8_t mark = CellAt(last, row).cell.rightMark;
    if (mark == cuiCell::FullLine)
        painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    else if (mark == cuiCell::ShortMark)
        painter.drawLine(rect.right(), rect.top() + rect.height() * 7 / 10, rect.right(),
                         rect.bottom());

    // Text placement.
    const QFont font = f->toQFont(printing ? s : 1.0);
    painter.setFont(font);
    painter.setPen(foreground);
    const QFontMetrics fm(font, painter.device());
    const QStringList lines = text.split('\n');
    const int lineH = fm.height();
    const int textH = lineH * int(lines.size());
    const int H = rect.height();
    const int W = rect.width();
    int y = rect.top() + int(s + 0.5);
    if (cell.vAlign == cuiCell::Middle)
        y = rect.top() + (H - textH) / 2;
    else if (cell.vAlign == cuiCell::Bottom)
        y = rect.top() + (H - textH) - int(s + 0.5) - 1;
    int textRight = rect.left();
    for (const QString& line : lines) {
        const int w = fm.horizontalAdvance(line);
        int x = rect.left() + int(4 * s + 0.5);
        if (cell.hAlign == cuiCell::Centre)
            x = rect.left() + (W - w) / 2;
        else if (cell.hAlign == cuiCell::Right)
            x = rect.left() + (W - w) - int(4 * s + 0.5);
        x = std::max(x, rect.left());
        painter.drawText(x, y + fm.ascent(), line);
        textRight = std::max(textRight, x + w);
        y += lineH;
    }

    // Check glyph.
    if (view.checkBox >= 0) {
        const int size = std::max(4, std::min(H - 2, int(13 * (printing ? s : 1.0))));
        int gx = rect.right() - size;
        if (cell.hAlign == cuiCell::Right)
            gx = rect.left() + size / 8;
        else if (textRight + 2 + size <= rect.right())
            gx = textRight + 2;
        const QRect glyph(gx, rect.bottom() - size, size, size);
        const int image = view.checkBox ? cuiCheckImages::Ticked : cuiCheckImages::Unticked;
        const std::vector<QPixmap>* images = m_images ? m_images : &cuiCheckImages::list();
        if (!printing && int(images->size()) > image && !(*images)[size_t(image)].isNull()) {
            painter.drawPixmap(glyph, (*images)[size_t(image)]);
        } else {
            painter.setPen(printing ? Qt::black : foreground);
            painter.drawRect(glyph.adjusted(0, 0, -1, -1));
            if (view.checkBox) {
                const QPolygon tick({QPoint(glyph.left() + size / 5, glyph.top() + size / 2),
                                     QPoint(glyph.left() + size * 2 / 5, glyph.bottom() - size / 5),
                                     QPoint(glyph.right() - size / 5, glyph.top() + size / 5)});
                painter.drawPolyline(tick);
            }
        }
    }
    painter.restore();
}
