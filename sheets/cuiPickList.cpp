#include "cuiPickList.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>

cuiPickList::cuiPickList(QWidget* parent) : QListWidget(parent) {
    setWindowFlags(Qt::Popup);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    connect(this, &QListWidget::itemEntered, this, [this](QListWidgetItem* item) { setCurrentItem(item); });
    connect(this, &QListWidget::itemActivated, this, [this] { choose(); });
    connect(this, &QListWidget::itemClicked, this, [this] { choose(); });
}

void cuiPickList::setItems(const std::vector<int64_t>& values, const QStringList& texts,
                           int64_t current) {
    clear();
    m_values = values;
    int row = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        addItem(int(i) < texts.size() ? texts[int(i)] : QString());
        if (values[i] == current) row = int(i);
    }
    if (count() > 0) setCurrentRow(row);
}

int64_t cuiPickList::currentValue() const {
    const int row = currentRow();
    return row >= 0 && row < int(m_values.size()) ? m_values[size_t(row)] : -1;
}

void cuiPickList::popupAt(const QRect& cell) {
    const int rows = std::min(count(), 12);
    const int h = std::max(1, rows) * std::max(sizeHintForRow(0), 12) + 2 * frameWidth();
    const int w = std::max(cell.width(), sizeHintForColumn(0) + 2 * frameWidth() + 20);
    QRect r(cell.left(), cell.bottom() + 1, w, h);
    if (const QScreen* screen = QGuiApplication::screenAt(cell.center())) {
        if (r.bottom() > screen->availableGeometry().bottom()) r.moveBottom(cell.top() - 1);
    }
    setGeometry(r);
    show();
    setFocus();
    if (currentItem()) scrollToItem(currentItem());
}

void cuiPickList::choose() {
    const int64_t value = currentValue();
    hide();
    if (value >= 0 && m_chosen) m_chosen(value);
}

void cuiPickList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose();
        return;
    case Qt::Key_Escape:
        hide();
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void cuiPickList::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    if (isVisible() && !hasFocus()) hide();
}
