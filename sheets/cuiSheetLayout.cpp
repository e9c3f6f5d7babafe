#include "cuiSheetLayout.h"

#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcOverlayCheck.h"
#include "cuiCellParser.h"
#include "cuiSheetEnv.h"
#include "iuiSh_ChBankLayout.h"
#include "iuiSh_CommonLayout.h"
#include "iuiSh_MultiTableLayout.h"

#include <QFontMetricsF>
#include <QPaintDevice>
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

QString widthPath(const QString& registryName) {
    return QStringLiteral("Display\\") + registryName + QStringLiteral("\\colwidth");
}

} // namespace

cuiSheetLayout::cuiSheetLayout(cmcGTex& table)
    : m_table(table), m_parser(std::make_unique<cuiCellParser>(table)) {}

cuiSheetLayout::~cuiSheetLayout() = default;

// ---- command and factory -------------------------------------------------------------

void cuiSheetLayout::splitCommand(const QString& command, QString& state, QString& key,
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

cuiSheetLayout::Kind cuiSheetLayout::kindOf(const QString& state, const QString& arguments) {
    if (state == QLatin1String("St_ChBank")) return ChannelBank;
    if (state == QLatin1String("St_Common")) return Common;
    if (!arguments.isEmpty() && QStringLiteral("RXQxqM").contains(arguments.at(0)))
        return MultiTable;
    return Plain;
}

std::unique_ptr<cuiSheetLayout> cuiSheetLayout::create(Kind kind, cmcGTex& table) {
    switch (kind) {
    case ChannelBank:
        return std::make_unique<iuiSh_ChBankLayout>(table);
    case Common:
        return std::make_unique<iuiSh_CommonLayout>(table);
    case MultiTable:
        return std::make_unique<iuiSh_MultiTableLayout>(table);
    case Plain:
        break;
    }
    return std::make_unique<cuiSheetLayout>(table);
}

std::unique_ptr<cuiSheetLayout> cuiSheetLayout::create(const QString& command, cmcGTex& table) {
    QString state, key, arguments;
    splitCommand(command, state, key, arguments);
    std::unique_ptr<cuiSheetLayout> layout = create(kindOf(state, arguments), table);
    layout->setKey(key);
    layout->setCommand(command);
    layout->SetArguments(arguments);
    return layout;
}

void cuiSheetLayout::checkDefinitions(cmcGTex& table) {
    static const QString cells = QStringLiteral("_Cells");
    for (const QString& key : cmcOverlayCheck::referencedDefinitions(table)) {
        if (!key.endsWith(cells) || !table.hasKey(key)) continue;
        cuiSheetLayout layout(table);
        layout.setKey(key.chopped(cells.size()));
        layout.LayoutRows(key);
    }
}

void cuiSheetLayout::SetArguments(const QString& arguments) {
    m_arguments = arguments;
}

void cuiSheetLayout::setPrinting(bool printing, QPaintDevice* metrics, double scale) {
    m_printing = printing;
    m_metrics = printing ? metrics : nullptr;
    m_scale = printing ? scale : 1.0;
}

// ---- build ---------------------------------------------------------------------------

void cuiSheetLayout::Build() {
    ApplyStyle();
    BuildCells();
}

void cuiSheetLayout::ApplyStyle() {
    for (const QString& item : groupsOf(m_table.getText(m_key + QStringLiteral("_Style"), 0)))
        ApplyStyleItem(item);
}

void cuiSheetLayout::ApplyStyleItem(const QString& item) {
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

void cuiSheetLayout::ApplyDirective(const QString& directive) {
    const int space = directive.indexOf(' ');
    const QString word = space < 0 ? directive : directive.left(space);
    const QString arg = space < 0 ? QString() : directive.mid(space + 1).trimmed();
    const cuiSheetEnv& env = cuiSheetEnv::current();
    auto skipIf = [&](bool condition) {
        bool ok = false;
        const int n = arg.toInt(&ok);
        if (ok && condition) m_pass.skip = std::max(0, n);
    };
    if (word == QLatin1String("Only_Handy")) {
        skipIf(env.isMobile());
    } else if (word == QLatin1String("Only_Mob")) {
        skipIf(!env.isMobile());
    } else if (word == QLatin1String("Never")) {
        skipIf(true);
    } else if (word == QLatin1String("LoopFrom")) {
        m_pass.loopStart = m_pass.line;
        m_pass.loopCount = std::max(1, arg.toInt());
    } else if (word == QLatin1String("LoopTo") || word == QLatin1String("End")) {
        m_pass.loopEnd = m_pass.line;
    } else if (directive.startsWith(QLatin1String("TG List"))) {
        m_pass.loopStart = m_pass.line;
        m_pass.loopCount = env.talkgroupCount();
    } else if (directive.startsWith(QLatin1String("Ind List"))) {
        m_pass.loopStart = m_pass.line;
        m_pass.loopCount = env.individualIdCount();
    } else if (word == QLatin1String("SelectON")) {
        m_pass.rowSelect = true;
    } else if (word == QLatin1String("SelectOFF")) {
        m_pass.rowSelect = false;
    }
}

void cuiSheetLayout::BuildBasicCell() {
    QString text = m_table.getText(m_key + QStringLiteral("_BasicCell"), 0);
    if (m_printFontHeight != 0)
        text += QStringLiteral("{(Font=,,,%1,,,)}").arg(m_printFontHeight);
    else
        text += QStringLiteral("{(Font=,,,%%1,,,)}").arg(cuiSheetEnv::current().sheetFontScale());
    if (m_printing && m_printFontRatio != 100)
        text += QStringLiteral("{(Font=,,,%%1,,,)}").arg(m_printFontRatio);
    m_parser->parse(m_basic, text, nullptr, nullptr);
}

void cuiSheetLayout::BuildCells() {
    buildCellsPadded(0);
}

void cuiSheetLayout::buildCellsPadded(int matrixRowsWanted) {
    BuildBasicCell();
    const QString cellsKey = m_key + QStringLiteral("_Cells");
    LayoutRows(cellsKey);
    allocateMatrix(m_colCount, std::max(matrixRowsWanted, m_rowCount));
    // Cells without a fitted size start one definition pixel wide and high.
    m_defaultSize = m_printing ? std::max(1, int(m_scale)) : 1;
    std::fill(m_colWidths.begin(), m_colWidths.end(), m_defaultSize);
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), m_defaultSize);
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

clsSheetRowAtr& cuiSheetLayout::rowAt(int row) {
    if (row >= int(m_rows.size())) m_rows.resize(size_t(row + row / 2 + 1));
    return m_rows[size_t(row)];
}

const clsSheetRowAtr& cuiSheetLayout::rowEntry(int row) const {
    static const clsSheetRowAtr none;
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)] : none;
}

void cuiSheetLayout::appendRow(int line) {
    if (m_rowCount >= rowLimit()) tooManyRows();
    clsSheetRowAtr& entry = rowAt(m_rowCount);
    entry.line = line;
    if (!keepsRowSelect()) entry.select = m_pass.rowSelect;
    ++m_rowCount;
}

void cuiSheetLayout::tooManyRows() const {
    cmcFatal::stop(QStringLiteral("Illegal Cell assign\n'%1' has more than %2 rows.")
                       .arg(m_key)
                       .arg(rowLimit()));
}

void cuiSheetLayout::LayoutRows(const QString& key) {
    const QStringList lines = m_table.getTextBlock(key).split('\n');
    m_pass = PassState();
    m_rowCount = 0;
    int cols = 0;
    for (int i = 0; i < lines.size(); ++i) {
        m_pass.line = i;
        if (m_pass.skip > 0) {
            --m_pass.skip;
            continue;
        }
        const QString& line = lines[i];
        if (line.startsWith(':')) {
            for (const QString& d : groupsOf(line.mid(1)))
                ApplyDirective(d);
            if (m_pass.loopStart >= 0 && m_pass.loopEnd >= 0) {
                // An empty list loop (count 0) uses its body once and closes all the same.
                // A count that cannot fit stops here, before the row table grows.
                if (int64_t(m_rowCount) + int64_t(m_pass.loopCount - 1) * m_pass.rowsInLoop >
                    rowLimit())
                    tooManyRows();
                for (int k = 1; k < m_pass.loopCount; ++k)
                    for (int j = 0; j < m_pass.rowsInLoop; ++j)
                        appendRow(m_pass.loopStart + 1 + j);
                m_pass.loopStart = m_pass.loopEnd = m_pass.loopCount = -1;
                m_pass.rowsInLoop = 0;
            }
            continue;
        }
        cols = std::max(cols, int(cuiCellParser::splitRow(line).size()));
        appendRow(i);
        if (m_pass.loopStart >= 0 && m_pass.loopEnd < 0)
            ++m_pass.rowsInLoop;
        else
            m_pass.rowsInLoop = 0;
    }
    if (m_rowCount == 0 || cols == 0) cmcFatal::stop(QStringLiteral("Illegal Cell assign"));
    if (cols > MaxCols)
        cmcFatal::stop(QStringLiteral("Illegal Cell assign\n'%1' has more than %2 columns.")
                           .arg(m_key)
                           .arg(MaxCols));
    if (int64_t(cols) * m_rowCount > MaxCells)
        cmcFatal::stop(QStringLiteral("Illegal Cell assign\n'%1' has more than %2 cells.")
                           .arg(m_key)
                           .arg(MaxCells));
    m_colCount = cols;
    m_colWidths.resize(size_t(cols), m_defaultSize);
    m_rowHeights.resize(size_t(m_rowCount), m_defaultSize);
}

void cuiSheetLayout::allocateMatrix(int cols, int rows) {
    m_matrix.clear();
    m_matrix.resize(size_t(cols) * size_t(rows));
    m_matrixRows = rows;
}

void cuiSheetLayout::setRowCount(int n) {
    m_rowCount = n;
    m_rowHeights.resize(size_t(std::max(0, n)), m_defaultSize);
}

clsSheetCellId& cuiSheetLayout::CellAt(int col, int row) {
    if (row >= m_rowCount) cmcFatal::stop(QStringLiteral("Illegal Cell selection"));
    return matrixAt(col, row);
}

const clsSheetCellId& cuiSheetLayout::CellAt(int col, int row) const {
    return const_cast<cuiSheetLayout*>(this)->CellAt(col, row);
}

clsSheetCellId& cuiSheetLayout::matrixAt(int col, int row) {
    if (m_matrix.empty() || col < 0 || row < 0 || col >= m_colCount || row >= m_matrixRows)
        cmcFatal::stop(QStringLiteral("Illegal Cell selection"));
    return m_matrix[size_t(row) * size_t(m_colCount) + size_t(col)];
}

bool cuiSheetLayout::isMarked(int col, int row) const {
    if (col < 0 || row < 0 || col >= m_colCount || row >= m_matrixRows) return false;
    const uint8_t f = m_matrix[size_t(row) * size_t(m_colCount) + size_t(col)].flags;
    return (f & 1) && (f & 6);
}

void cuiSheetLayout::clearMarks() {
    for (auto& e : m_matrix)
        e.flags &= uint8_t(~6);
}

void cuiSheetLayout::joinedRun(int col, int row, int& first, int& last) const {
    first = col;
    while (first > 0 && CellAt(first, row).cell.joinLeft)
        --first;
    last = col;
    while (last + 1 < m_colCount && CellAt(last + 1, row).cell.joinLeft)
        ++last;
}

bool cuiSheetLayout::addListRow() {
    if (m_rowCount <= 0 || m_rowCount >= matrixRows()) return false;
    const int last = m_rowCount - 1;
    for (int c = 0; c < m_colCount; ++c) {
        matrixAt(c, last).flags |= 1;
        matrixAt(c, m_rowCount).flags &= uint8_t(~1);
    }
    const int height = rowHeight(last);
    setRowCount(m_rowCount + 1);
    setRowHeight(m_rowCount - 1, height);
    return true;
}

bool cuiSheetLayout::removeListRow() {
    if (m_rowCount <= 1) return false;
    const int newLast = m_rowCount - 2;
    for (int c = 0; c < m_colCount; ++c)
        matrixAt(c, newLast).flags &= uint8_t(~7);
    setRowCount(m_rowCount - 1);
    return true;
}

int cuiSheetLayout::colWidth(int col) const {
    return col >= 0 && col < int(m_colWidths.size()) ? m_colWidths[size_t(col)] : 0;
}

int cuiSheetLayout::rowHeight(int row) const {
    return row >= 0 && row < int(m_rowHeights.size()) ? m_rowHeights[size_t(row)] : 0;
}

void cuiSheetLayout::setColWidth(int col, int width) {
    if (col >= 0 && col < int(m_colWidths.size()))
        m_colWidths[size_t(col)] = std::clamp(width, 0, extentLimit());
}

void cuiSheetLayout::setRowHeight(int row, int height) {
    if (row >= 0 && row < int(m_rowHeights.size()))
        m_rowHeights[size_t(row)] = std::clamp(height, 0, extentLimit());
}

int cuiSheetLayout::fixedCols() const {
    return std::max(0, std::min(m_fixedCols, m_colCount - 1));
}

int cuiSheetLayout::fixedRows() const {
    return std::max(0, std::min(m_fixedRows, m_rowCount - 1));
}

void cuiSheetLayout::measureFit(int col, int row) {
    const cuiCell& cell = CellAt(col, row).cell;
    if (!cell.fitWidth && !cell.fitHeight) return;
    const cuiFont* f = cell.effectiveFont();
    const QFont font = f ? f->toQFont() : QFont();
    const QFontMetricsF fm = m_metrics ? QFontMetricsF(font, m_metrics) : QFontMetricsF(font);
    double w = 0, h = 0;
    for (const QString& line : cell.displayText.split('\n')) {
        w = std::max(w, fm.horizontalAdvance(line));
        h += fm.height();
    }
    const double s = m_scale;
    if (cell.fitWidth) setColWidth(col, std::max(colWidth(col), int(w + 8 * s + 0.5)));
    if (cell.fitHeight) setRowHeight(row, std::max(rowHeight(row), int(h + 2 * s + 0.5)));
}

void cuiSheetLayout::FillCells(const QString& key) {
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
            setRowHeight(r, rowHeight(r - 1));
        } else {
            const QStringList texts = cuiCellParser::splitRow(lines.value(line));
            for (int c = 0; c < texts.size(); ++c) {
                OnCellBuilt(c, r);
                m_parser->parse(CellAt(c, r).cell, texts[c], &m_basic, m_counters);
                measureFit(c, r);
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
    if (m_printing) {
        LoadColumnWidths();
    } else if (m_storesWidths) {
        if (m_resetWidths) {
            for (const QString& name : widthRegistryNames())
                cuiSheetEnv::current().deleteKey(widthPath(name));
        } else {
            LoadColumnWidths();
        }
        // Before the first selection the widths of the first row after the fixed ones
        // are the ones kept.
        SaveColumnWidths(m_fixedRows < m_rowCount ? m_fixedRows : m_rowCount - 1);
    }
    m_resetWidths = false;
}

void cuiSheetLayout::OnRowBuilt(int) {}
void cuiSheetLayout::OnCellBuilt(int, int) {}

QString cuiSheetLayout::GetTitle() {
    return m_title;
}

bool cuiSheetLayout::IsPrintable() {
    if (m_noPrint) return false;
    return cuiSheetEnv::current().mayPrint(m_command);
}

// ---- stored column widths ------------------------------------------------------------

QList<QString> cuiSheetLayout::widthRegistryNames() const {
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

QString cuiSheetLayout::widthRegistryName() const {
    const QString listKey = QStringLiteral("GI_CellWidthRegList");
    if (!m_table.hasKey(listKey)) return QString();
    for (const QString& line : m_table.getTextBlock(listKey).split('\n')) {
        const int colon = line.indexOf(':');
        if (line.isEmpty() || colon < 0) break;
        if (line.left(colon).trimmed() == m_key) return line.mid(colon + 1).trimmed();
    }
    return QString();
}

void cuiSheetLayout::LoadColumnWidths() {
    if (m_rowCount <= 0) return;
    const QString name = widthRegistryName();
    if (name.isEmpty()) return;
    const int row = m_fixedRows < m_rowCount ? m_fixedRows : m_rowCount - 1;
    for (int c = 0; c < m_colCount; ++c) {
        if (!CellAt(c, row).cell.selectable) continue;
        int v = 0;
        if (!cuiSheetEnv::current().readInt(widthPath(name), QString::number(c), v)) continue;
        if (m_printing)
            v = int(std::lround(std::clamp(v, 0, MaxExtent) * m_scale));
        else
            v = std::clamp(v, 10, 650);
        setColWidth(c, v);
    }
}

void cuiSheetLayout::SaveColumnWidths(int row) {
    if (m_rowCount <= 0 || row < 0 || row >= m_rowCount) return;
    const QString name = widthRegistryName();
    if (name.isEmpty()) return;
    // Every sheet opened saves its widths: only those that changed are written, since each
    // write goes to the settings storage at once (after a reset nothing is stored).
    cuiSheetEnv& env = cuiSheetEnv::current();
    for (int c = 0; c < m_colCount; ++c) {
        if (!CellAt(c, row).cell.selectable) continue;
        int stored = 0;
        if (!m_resetWidths && env.readInt(widthPath(name), QString::number(c), stored) &&
            stored == colWidth(c))
            continue;
        env.writeInt(widthPath(name), QString::number(c), colWidth(c));
    }
}
