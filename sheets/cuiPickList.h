#pragma once
// The pick list: a borderless window under a cell that lists the items of a selection list
// or the rows of another list as a sheet of its own, the current value selected. Its sheet
// is a plain cuiSheet hosted in this window and built from a definition generated into a
// private text table, one row per item: a one-column list, or, for a list that the overlay
// defines as a sheet of its own ("GI_Sheet_Sel_ChannelList" ...), that sheet's style,
// heading and row cells with one row per item (the row's number and its name). The
// window's cell source serves the item cells and passes every other cell to the global
// source. The pointer selects the item it is over, Up and Down move (wrapping), a click or
// Enter chooses; Escape, a click outside or event 1 naming the owner closes it without a
// choice.

#include <QElapsedTimer>
#include <QFrame>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class cmcGTex;
class cuiGrid;
struct cmcEvent;
class cuiSheet;

class cuiPickList : public QFrame {
    Q_OBJECT
  public:
    // text: the item's text; allRows: chosen with Ctrl+Enter, for every selected row.
    using Chosen = std::function<void(int64_t value, const QString& text, bool allRows)>;

    // parent: the calling sheet's top-level window, which owns the pick list.
    explicit cuiPickList(QWidget* parent = nullptr);
    ~cuiPickList() override;

    // Builds the list's sheet and selects the item with value current (the first if none).
    // With a list sheet's key in table the list takes that sheet's look and two columns;
    // an item's text is then its number, a space and its name.
    void setItems(const std::vector<int64_t>& values, const QStringList& texts, int64_t current,
                  cmcGTex* table = nullptr, const QString& listKey = QString());
    // The id of the window the list belongs to: event 1 with this id in p2 closes it.
    void setOwnerId(int32_t id) { m_ownerId = id; }
    void setChosen(Chosen chosen) { m_chosen = std::move(chosen); }
    // Sizes the window to its sheet and shows it by a cell rectangle in global coordinates.
    void popupAt(const QRect& cellGlobal);

    // Type-ahead, as list boxes do it: characters typed in quick succession go to the first
    // item from the selected one on that they start (the item's text, or for a row of a
    // list its number or its name, case ignored); the same character typed again moves on to the
    // next such item, round to the first. fromTop starts a new search at the first item
    // (the character that opened the list). A text that no item starts leaves the
    // selection where it was.
    void typeAhead(const QString& text, bool fromTop = false);

    int count() const { return int(m_values.size()); }
    QString itemText(int i) const { return m_texts.value(i); }
    int64_t currentValue() const;
    // The hosted sheet and its grid (null before the first setItems and after closing).
    cuiSheet* sheet() const { return m_sheet.get(); }
    cuiGrid* grid() const;

    // The key of the generated sheet definition.
    static const QString& sheetKey();
    // The generated definition of a list of count items.
    static QStringList definition(int count);
    // The definition of a list of count items in the look of the list sheet listKey of
    // table: its style, its heading lines and its row line once per item (empty when
    // table has no such sheet).
    static QStringList definitionFrom(cmcGTex& table, const QString& listKey, int count);
    // The item cells' labels: the item's text (one column) or its number, and its name.
    static int32_t textLabel();
    static int32_t nameLabel();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Ctrl+Enter on the list's grid chooses for every selected row.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class Source;
    static void eventListener(void* context, const cmcEvent* event);
    void pick(int item, bool allRows = false);
    void cancel();
    void release();
    int currentItem() const;
    bool startsWith(int item, const QString& prefix) const;
    void selectItem(int item);

    int32_t m_ownerId = 0;
    bool m_twoColumns = false;
    std::vector<int64_t> m_values;
    QStringList m_texts;
    int m_current = -1; // the item selected when the sheet was released
    unsigned m_generation = 0;
    QSize m_frameExtra{4, 4}; // the window's size beyond the grid's client area
    Chosen m_chosen;
    QString m_search;            // the characters typed so far
    QElapsedTimer m_searchClock; // since the last one
    std::unique_ptr<Source> m_source;
    std::unique_ptr<cmcGTex> m_table;
    std::unique_ptr<cuiSheet> m_sheet;
};
