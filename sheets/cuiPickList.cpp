#include "cuiPickList.h"

#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiCell.h"
#include "cuiCellParser.h"
#include "cuiCellSource.h"
#include "cuiGrid.h"
#include "cuiPopupPlace.h"
#include "cuiSheet.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The item cells: category CT_Null, the free labels Flex0 (the item's text, or its number
// in a two-column list) and Flex1 (its name), the item number as index.
const char* const kItemRef = "%CT_Null.Flex0";
const char* const kNameRef = "%CT_Null.Flex1";

// "12 NAME" -> "12" and "NAME"; "-" (no row) -> "-" and "".
QString numberPart(const QString& text) {
    const int space = text.indexOf(QLatin1Char(' '));
    return space < 0 ? text : text.left(space);
}

QString namePart(const QString& text) {
    const int space = text.indexOf(QLatin1Char(' '));
    return space < 0 ? QString() : text.mid(space + 1);
}

} // namespace

// Serves the item cells (the item's text; Enter or a click chooses it) and passes every
// other cell to the program's source.
class cuiPickList::Source : public cuiCellSource {
  public:
    explicit Source(cuiPickList* list) : m_list(list) {}

    cuiCellView view(const cuiCell& cell, bool selected, bool printing) override {
        if (isItem(cell)) {
            cuiCellView v;
            v.hasText = true;
            const QString text = m_list->itemText(cell.index);
            if (!m_list->m_twoColumns)
                v.text = text;
            else
                v.text = cell.label == Flex0 ? numberPart(text) : namePart(text);
            return v;
        }
        cuiCellSource* g = global();
        return g ? g->view(cell, selected, printing) : cuiCellView();
    }
    cuiCellResult execute(const cuiCell& cell, const cuiCellCommand& command,
                          const cuiCellContext& context) override {
        if (isItem(cell)) {
            if (command.code == 13 || command.code == 256) m_list->pick(cell.index);
            return cuiCellResult();
        }
        cuiCellSource* g = global();
        return g ? g->execute(cell, command, context) : cuiCellResult();
    }
    void menuState(cuiCell& cell, const cuiCell* owner) override {
        if (cuiCellSource* g = global()) g->menuState(cell, owner);
    }
    bool choose(const cuiCell& cell, int kind, int64_t value) override {
        cuiCellSource* g = global();
        return g && g->choose(cell, kind, value);
    }
    bool rowChoices(int kind, std::vector<int64_t>& values, QStringList& texts) override {
        cuiCellSource* g = global();
        return g && g->rowChoices(kind, values, texts);
    }
    void activate(const cuiCell& cell, const cuiCell* owner) override {
        if (cuiCellSource* g = global()) g->activate(cell, owner);
    }

  private:
    bool isItem(const cuiCell& cell) const {
        return cell.category == CT_Null && (cell.label == Flex0 || cell.label == Flex1) &&
               cell.index >= 0 && cell.index < m_list->count();
    }
    cuiPickList* m_list;
};

const QString& cuiPickList::sheetKey() {
    static const QString key = QStringLiteral("PickList");
    return key;
}

QStringList cuiPickList::definition(int count) {
    const QString& key = sheetKey();
    QStringList lines{
        QLatin1Char('#') + key + QStringLiteral("_Style"),
        QString(),
        QLatin1Char('#') + key + QStringLiteral("_BasicCell"),
        QStringLiteral("{<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)}"),
        QLatin1Char('#') + key + QStringLiteral("_Cells"),
    };
    // The display text only sizes the row to one line; the source gives the item's text.
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("{S<-H(%1[%2])}X").arg(QLatin1String(kItemRef)).arg(i));
    lines.append(QStringLiteral("#End_Of_Ovl"));
    return lines;
}

int32_t cuiPickList::textLabel() {
    return Flex0;
}

int32_t cuiPickList::nameLabel() {
    return Flex1;
}

QStringList cuiPickList::definitionFrom(cmcGTex& table, const QString& listKey, int count) {
    const QString cellsKey = listKey + QStringLiteral("_Cells");
    if (listKey.isEmpty() || !table.hasKey(cellsKey)) return {};
    // The heading: the lines before the loop; the row: the loop's first line.
    QStringList heading;
    QString row;
    bool inLoop = false;
    for (const QString& line : table.getTextBlock(cellsKey).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char(':'))) {
            if (line.contains(QLatin1String("LoopFrom"))) inLoop = true;
            if (line.contains(QLatin1String("LoopTo"))) break;
            continue;
        }
        if (!inLoop)
            heading.append(line);
        else if (row.isEmpty())
            row = line;
    }
    if (row.isEmpty()) return {};

    // The row's first cell shows the item's number, the second its name; the values the
    // list sheet's cells refer to are the rows of the whole list, not the items offered.
    static const QRegularExpression reference(QStringLiteral("\\(%[^)]*\\)"));
    const QStringList cells = cuiCellParser::splitRow(row);
    auto itemRow = [&](int item) {
        QStringList out;
        for (int c = 0; c < cells.size(); ++c) {
            QString cell = cells[c];
            const QString ref =
                c == 0   ? QStringLiteral("(%1[%2])").arg(QLatin1String(kItemRef)).arg(item)
                : c == 1 ? QStringLiteral("(%1[%2])").arg(QLatin1String(kNameRef)).arg(item)
                         : QString();
            cell.replace(reference, ref);
            out.append(cell);
        }
        return out.join(QLatin1Char('|'));
    };

    // The cell models the lines use come along; a pick list has no cell menus.
    static const QRegularExpression menu(QStringLiteral("\\(PopupMenu=[^)]*\\)"));
    static const QRegularExpression model(QStringLiteral("\\(\\$([A-Za-z0-9_]+)\\)"));
    const QString& key = sheetKey();
    QStringList lines{QLatin1Char('#') + key + QStringLiteral("_Style"),
                      table.getText(listKey + QStringLiteral("_Style"), 0),
                      QLatin1Char('#') + key + QStringLiteral("_BasicCell"),
                      table.getText(listKey + QStringLiteral("_BasicCell"), 0),
                      QLatin1Char('#') + key + QStringLiteral("_Cells")};
    lines.append(heading);
    for (int i = 0; i < count; ++i)
        lines.append(itemRow(i));
    QStringList models;
    for (int i = 0; i < lines.size(); ++i) {
        auto it = model.globalMatch(lines[i]);
        while (it.hasNext()) {
            const QString name = it.next().captured(1);
            if (models.contains(name)) continue;
            models.append(name);
            // A model may use others: they are scanned as they are appended.
            lines.append(QStringLiteral("#CellModel_") + name);
            lines.append(table.getText(QStringLiteral("CellModel_") + name, 0));
        }
    }
    for (QString& line : lines)
        line.remove(menu);
    lines.append(QStringLiteral("#End_Of_Ovl"));
    return lines;
}

cuiPickList::cuiPickList(QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint),
      m_source(std::make_unique<Source>(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setWindowTitle(QGuiApplication::applicationDisplayName());
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->attach(&cuiPickList::eventListener, this);
}

cuiPickList::~cuiPickList() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->detach(&cuiPickList::eventListener, this);
    m_chosen = nullptr;
    m_sheet.reset();
}

void cuiPickList::eventListener(void* context, const cmcEvent* event) {
    auto* list = static_cast<cuiPickList*>(context);
    if (event->code == EV_SheetWindow && list->m_ownerId != 0 && event->p2 == list->m_ownerId &&
        list->isVisible())
        list->cancel();
}

cuiGrid* cuiPickList::grid() const {
    return m_sheet ? m_sheet->grid() : nullptr;
}

void cuiPickList::release() {
    m_current = currentItem();
    m_sheet.reset();
    m_table.reset();
}

void cuiPickList::setItems(const std::vector<int64_t>& values, const QStringList& texts,
                           int64_t current, cmcGTex* table, const QString& listKey) {
    ++m_generation;
    release();
    m_values = values;
    m_texts = texts;
    m_current = -1;
    if (values.empty()) return;
    int row = 0;
    for (size_t i = 0; i < values.size(); ++i)
        if (values[i] == current) row = int(i);
    m_current = row;

    QStringList lines;
    if (table) lines = definitionFrom(*table, listKey, int(values.size()));
    m_twoColumns = !lines.isEmpty();
    if (!m_twoColumns) lines = definition(int(values.size()));
    m_table = std::make_unique<cmcGTex>();
    m_table->attachLines(lines);
    m_sheet = std::make_unique<cuiSheet>(this, *m_table);
    m_sheet->setKey(sheetKey());
    m_sheet->setHosted(true);
    m_sheet->setCellSource(m_source.get());
    m_sheet->setTarget(m_twoColumns ? Flex1 : Flex0, row);
    m_sheet->Build();
    layout()->addWidget(m_sheet->frame());
    for (int c = 0; c < m_sheet->colCount(); ++c)
        m_sheet->AutoFitColumn(c);
    cuiGrid* g = m_sheet->grid();
    // The window takes the size of its items, however few: no widget's least size stands
    // in the way.
    for (QWidget* w = g; w && w != this; w = w->parentWidget())
        w->setMinimumSize(1, 1);
    g->setMouseTracking(true);
    g->viewport()->setMouseTracking(true);
    g->installEventFilter(this);
}

int cuiPickList::currentItem() const {
    const cuiGrid* g = grid();
    if (!g) return m_current;
    if (g->col() < 0 || g->row() < 0 || g->col() >= m_sheet->colCount() ||
        g->row() >= m_sheet->rowCount())
        return -1;
    const cuiCell& cell = m_sheet->CellObjectAt(g->col(), g->row());
    const bool item = cell.category == CT_Null && (cell.label == Flex0 || cell.label == Flex1);
    return item && cell.index < count() ? cell.index : -1;
}

int64_t cuiPickList::currentValue() const {
    const int i = currentItem();
    return i >= 0 && i < count() ? m_values[size_t(i)] : -1;
}

void cuiPickList::popupAt(const QRect& cell) {
    if (!m_sheet) return;
    cuiGrid* g = m_sheet->grid();
    // At least as wide as the calling cell from where the window starts: the last column
    // takes what is missing.
    int width = 0;
    for (int c = 0; c < g->colCount(); ++c)
        width += g->colWidth(c);
    const int last = g->colCount() - 1;
    if (last >= 0 && width < cell.width() - 8)
        g->setColWidth(last, g->colWidth(last) + cell.width() - 8 - width);
    cuiPopupPlace::showFitted(this, g, cell, m_frameExtra);
    // Bring the selected item into view now that the grid has its size.
    g->setTopRow(g->fixedRows());
    g->setLeftCol(g->fixedCols());
    g->setCurrent(g->col(), std::max(0, g->row()), true);
}

// An item starts with the prefix by its text, or, for a row of a list ("12 NAME"), by its
// name as well.
bool cuiPickList::startsWith(int item, const QString& prefix) const {
    const QString text = itemText(item);
    if (text.startsWith(prefix, Qt::CaseInsensitive)) return true;
    bool numbered = false;
    numberPart(text).toInt(&numbered);
    return numbered && namePart(text).startsWith(prefix, Qt::CaseInsensitive);
}

void cuiPickList::selectItem(int item) {
    if (!m_sheet) return;
    for (const int32_t label : {m_twoColumns ? Flex1 : Flex0, Flex0})
        if (m_sheet->SelectCellById(CT_Null, label, item)) return;
}

void cuiPickList::typeAhead(const QString& text, bool fromTop) {
    const int n = count();
    if (text.isEmpty() || n == 0) return;
    const bool goesOn = !fromTop && m_searchClock.isValid() &&
                        m_searchClock.elapsed() <= QApplication::keyboardInputInterval();
    m_searchClock.start();
    m_search = goesOn ? m_search + text : text;
    // "LLL": the next item that starts with L, each time.
    const bool sameKey = m_search.count(m_search.back()) == m_search.size();
    const QString prefix = sameKey ? QString(m_search.back()) : m_search;
    const int current = fromTop ? -1 : currentItem();
    const int first = current < 0 ? 0 : (sameKey ? current + 1 : current);
    auto find = [&](const QString& p) {
        for (int k = 0; k < n; ++k) {
            const int i = (first + k) % n;
            if (startsWith(i, p)) return i;
        }
        return -1;
    };
    int hit = find(prefix);
    if (hit < 0 && m_search.size() > 1) {
        // The characters typed before lead nowhere with this one: it starts a new search.
        m_search = text;
        hit = find(text);
    }
    if (hit >= 0) selectItem(hit);
}

void cuiPickList::pick(int item, bool allRows) {
    if (!isVisible() || item < 0 || item >= count()) return;
    const int64_t value = m_values[size_t(item)];
    const QString text = itemText(item);
    hide();
    if (m_chosen) m_chosen(value, text, allRows);
}

bool cuiPickList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && m_sheet && watched == m_sheet->grid()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            pick(currentItem(), true);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void cuiPickList::cancel() {
    hide();
}

void cuiPickList::keyPressEvent(QKeyEvent* event) {
    // Keys the grid does not take (or keys sent to the window itself).
    switch (event->key()) {
    case Qt::Key_Escape:
        cancel();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick(currentItem());
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (m_sheet) m_sheet->MoveSelection(0, event->key() == Qt::Key_Up ? -1 : 1);
        return;
    default:
        // A character the list's grid did not take: type-ahead.
        if (!event->text().isEmpty() && event->text().at(0).isPrint() &&
            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            typeAhead(event->text());
            return;
        }
        QFrame::keyPressEvent(event);
    }
}

// A closed list lets its sheet go once control is back in the loop (it may be closing from
// inside one of the sheet's own events); a list opened again meanwhile keeps its new sheet.
void cuiPickList::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    const unsigned generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == m_generation && !isVisible()) release();
    });
}
