#include "cuiPickList.h"

#include "cmcCellNames.h"
#include "cmcGTex.h"
#include "cuiCell.h"
#include "cuiCellSource.h"
#include "cuiGrid.h"
#include "cuiPopupPlace.h"
#include "cuiSheet.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The item cells: category CT_Null, the free label Flex0, the item number as index.
const char* const kItemRef = "%CT_Null.Flex0";

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
            v.text = m_list->itemText(cell.index);
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
        return cell.category == CT_Null && cell.label == Flex0 && cell.index >= 0 &&
               cell.index < m_list->count();
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

cuiPickList::cuiPickList(QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint),
      m_source(std::make_unique<Source>(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setWindowTitle(QGuiApplication::applicationDisplayName());
}

cuiPickList::~cuiPickList() {
    m_chosen = nullptr;
    m_sheet.reset();
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
                           int64_t current) {
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

    m_table = std::make_unique<cmcGTex>();
    m_table->attachLines(definition(int(values.size())));
    m_sheet = std::make_unique<cuiSheet>(this, *m_table);
    m_sheet->setKey(sheetKey());
    m_sheet->setHosted(true);
    m_sheet->setCellSource(m_source.get());
    m_sheet->setSavedSelection(0, row, -1, -1);
    m_sheet->Build();
    layout()->addWidget(m_sheet->frame());
    m_sheet->AutoFitColumn(0);
    cuiGrid* g = m_sheet->grid();
    g->setMouseTracking(true);
    g->viewport()->setMouseTracking(true);
}

int cuiPickList::currentItem() const {
    const cuiGrid* g = grid();
    if (!g) return m_current;
    return g->row() >= 0 && g->row() < count() ? g->row() : -1;
}

int64_t cuiPickList::currentValue() const {
    const int i = currentItem();
    return i >= 0 && i < count() ? m_values[size_t(i)] : -1;
}

void cuiPickList::popupAt(const QRect& cell) {
    if (!m_sheet) return;
    cuiGrid* g = m_sheet->grid();
    // At least as wide as the calling cell from where the window starts.
    g->setColWidth(0, std::max(g->colWidth(0), cell.width() - 8));
    QSize content(0, 0);
    for (int c = 0; c < g->colCount(); ++c)
        content.rwidth() += g->colWidth(c);
    for (int r = 0; r < g->rowCount(); ++r)
        content.rheight() += g->rowHeight(r);

    QRect area(QPoint(0, 0), QSize(1024, 768));
    if (const QScreen* screen = QGuiApplication::screenAt(cell.center()))
        area = screen->availableGeometry();
    else if (const QScreen* primary = QGuiApplication::primaryScreen())
        area = primary->availableGeometry();

    // The window is the grid's whole content plus the frames around the grid, which are
    // known once the window has been laid out: the first showing measures them.
    auto placeWindow = [&] {
        const cuiPopupPlace place = cuiPopupPlace::place(cell, content + m_frameExtra, area);
        const Qt::ScrollBarPolicy bars =
            place.scrollBars ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
        g->setHorizontalScrollBarPolicy(bars);
        g->setVerticalScrollBarPolicy(bars);
        setGeometry(place.rect);
        return place.scrollBars;
    };
    const bool bars = placeWindow();
    show();
    if (!bars) {
        const QSize extra = size() - QSize(g->clientWidth(), g->clientHeight());
        if (extra != m_frameExtra) {
            m_frameExtra = extra;
            placeWindow();
        }
    }
    g->setFocus();
    // Bring the selected item into view now that the grid has its size.
    g->setTopRow(g->fixedRows());
    g->setLeftCol(g->fixedCols());
    g->setCurrent(0, std::max(0, g->row()), true);
}

void cuiPickList::pick(int item) {
    if (!isVisible() || item < 0 || item >= count()) return;
    const int64_t value = m_values[size_t(item)];
    hide();
    if (m_chosen) m_chosen(value);
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
