#pragma once
// A menu built from its definition: M_BasicCell (line 0, the basic cell) and M_Body (one
// item per line, its depth the characters before the first "+", the rest a cell text).
// An item's caption is the display text, its shortcut the option text, its icon the
// image index. Before the menu shows, every item's cell is asked for its state: flag 0
// ticks the item, 1 hides it, 2 disables it, 3 takes the caption from the display text.
// The menu listens to the event bus: 9 refreshes the states, 10 with a label removes the
// children of the item with that label, 11 with a label and a key adds the items of the
// key's body under it (showing their shortcuts without taking the keys). A caption with a
// tab shows the text after it as the shortcut when the cell names none.

#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "cuiCell.h"

class cmcGTex;
class cuiCellParser;
class cuiCellSource;
class QAction;
struct cmcEvent;

class cuiMenu : public QObject {
    Q_OBJECT
  public:
    using ClickHandler = std::function<void(const cuiCell& item)>;

    // source: the cell dispatcher (the global one when null). images: not owned.
    cuiMenu(QWidget* parent, cmcGTex& table, const QString& key, cuiCellSource* source = nullptr,
            const std::vector<QPixmap>* images = nullptr);
    ~cuiMenu() override;

    QMenu* menu() const { return m_menu; }
    const QString& key() const { return m_key; }
    // Replaces the default click (the item's cell activated through the dispatcher).
    void setClickHandler(ClickHandler handler) { m_click = std::move(handler); }
    // The cell a pop-up menu was opened on (passed along with states and clicks).
    void setOwnerCell(const cuiCell* owner) { m_ownerCell = owner; }
    // For a menu whose owner cell changes (the main menu's Edit items belong to whatever
    // cell is current): asked each time instead of the fixed owner.
    using OwnerProvider = std::function<const cuiCell*()>;
    void setOwnerProvider(OwnerProvider provider) { m_ownerProvider = std::move(provider); }
    const cuiCell* ownerCell() const { return m_ownerProvider ? m_ownerProvider() : m_ownerCell; }

    void RefreshStates();
    // Adds the items of bodyKey under the item with label (the top level for none).
    void AddItems(int32_t label, const QString& bodyKey);
    void RemoveChildren(int32_t label);

    QAction* actionOf(int32_t label) const;
    const cuiCell* cellOf(const QAction* action) const;
    QList<QAction*> actions() const;

    // Gives each caption without one a mnemonic (Alt+letter opens it from the menu bar):
    // its first letter or digit that no caption before it took. The definitions' captions
    // carry none, and a menu bar without them cannot be opened from the keyboard.
    static void addMnemonics(const QList<QAction*>& actions);
    // A caption that replaces one with a mnemonic keeps it on the same letter, if it has it.
    static QString keepMnemonic(const QString& before, const QString& caption);

  private:
    int walk(const QStringList& lines, int pos, QMenu* parent);
    QAction* addItem(QMenu* parent, const QString& cellText);
    void applyState(QAction* action, cuiCell& cell);
    static void listener(void* context, const cmcEvent* event);

    cmcGTex& m_table;
    QString m_key;
    cuiCellSource* m_source;
    const std::vector<QPixmap>* m_images;
    std::unique_ptr<cuiCellParser> m_parser;
    QPointer<QMenu> m_menu; // deleted with the menu object unless its parent went first
    cuiCell m_basic;
    std::vector<std::unique_ptr<cuiCell>> m_cells;
    ClickHandler m_click;
    const cuiCell* m_ownerCell = nullptr;
    OwnerProvider m_ownerProvider;
    // Items added by AddItems show their shortcuts but do not take the keys: those belong
    // to the menu the items come from.
    bool m_addingForeign = false;
    const cuiCell* m_itemParent = nullptr;                       // while adding: their basic cell
    std::map<QString, std::unique_ptr<cuiCell>> m_foreignBasics; // by key, for their items
};
