#pragma once
// The pick list: a small window under a cell listing the items of a selection list or the
// rows of another list, the current value selected. The pointer selects the item it is
// over; Enter, a double click or a click chooses; Escape or losing the focus closes it
// without a choice.

#include <QListWidget>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class cuiPickList : public QListWidget {
    Q_OBJECT
  public:
    using Chosen = std::function<void(int64_t value)>;

    explicit cuiPickList(QWidget* parent = nullptr);

    // Fills the list and selects the item with value current (the first if none).
    void setItems(const std::vector<int64_t>& values, const QStringList& texts, int64_t current);
    void setChosen(Chosen chosen) { m_chosen = std::move(chosen); }
    // Shows the list below (or above, when there is no room) a rectangle in global
    // coordinates.
    void popupAt(const QRect& cellGlobal);
    int64_t currentValue() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void choose();
    std::vector<int64_t> m_values;
    Chosen m_chosen;
};
