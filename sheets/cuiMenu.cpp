#include "cuiMenu.h"

#include "cuiDepthBody.h"

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiCellParser.h"
#include "cuiCellSource.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

cuiMenu::cuiMenu(QWidget* parent, cmcGTex& table, const QString& key, cuiCellSource* source,
                 const std::vector<QPixmap>* images)
    : m_table(table), m_key(key), m_source(source), m_images(images),
      m_parser(std::make_unique<cuiCellParser>(table)), m_menu(new QMenu(parent)) {
    m_parser->parse(m_basic, m_table.getText(key + QStringLiteral("_BasicCell"), 0), nullptr,
                    nullptr);
    walk(m_table.getTextBlock(key + QStringLiteral("_Body")).split('\n'), 0, m_menu.data());
    connect(m_menu.data(), &QMenu::aboutToShow, this, &cuiMenu::RefreshStates);
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->attach(&cuiMenu::listener, this);
}

cuiMenu::~cuiMenu() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->detach(&cuiMenu::listener, this);
    delete m_menu.data();
}

namespace {

// The key named after a caption's tab ("Ctrl+Z", or in the language's own words through
// Qt's translation, "Strg+Z"); empty when the text names no key.
QKeySequence shownKeys(const QString& shown) {
    for (const auto format : {QKeySequence::PortableText, QKeySequence::NativeText}) {
        const QKeySequence keys = QKeySequence::fromString(shown, format);
        if (keys.count() == 1 && keys[0].key() != Qt::Key_unknown) return keys;
    }
    return {};
}

// An item whose key another command takes (the window's Undo, the find bar) shows that key
// as its shortcut, so that the menu draws it and a screen reader hears it as the shortcut
// rather than as part of the name; bound to the menu's own widget, the key never fires
// the item. A text that names no key stays in the caption after a tab.
void showKeys(QAction* action, const QString& caption, const QString& shown) {
    const QKeySequence keys = shownKeys(shown);
    if (keys.isEmpty()) {
        action->setText(caption + u'\t' + shown);
        return;
    }
    action->setText(caption);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
}

} // namespace

int cuiMenu::walk(const QStringList& lines, int pos, QMenu* parent) {
    const auto add = [this](QMenu* menu, const QString& text) { return addItem(menu, text); };
    // Deeper lines are the items of the last item's submenu, made on first use.
    const auto submenu = [this](QAction* last, QMenu* menu) {
        if (!last) return menu;
        if (!last->menu()) {
            auto* m = new QMenu(menu);
            last->setMenu(m);
            connect(m, &QMenu::aboutToShow, this, &cuiMenu::RefreshStates);
        }
        return last->menu();
    };
    return cuiDepthBody::walk(lines, pos, parent, add, submenu);
}

QAction* cuiMenu::addItem(QMenu* parent, const QString& cellText) {
    auto cell = std::make_unique<cuiCell>();
    m_parser->parse(*cell, cellText, m_itemParent ? m_itemParent : &m_basic, nullptr);
    // A tab separates the caption from the shortcut text in the definitions.
    QString caption = cell->displayText;
    const QString shown = caption.section('\t', 1).trimmed();
    caption = caption.section('\t', 0, 0);
    if (caption == QLatin1String("-")) return parent->addSeparator();
    QAction* action = parent->addAction(caption);
    if (!cell->option.isEmpty()) {
        action->setShortcut(QKeySequence(cell->option));
        if (m_addingForeign) action->setShortcutContext(Qt::WidgetShortcut);
    } else if (!shown.isEmpty()) {
        showKeys(action, caption, shown);
    }
    action->setData(QVariant::fromValue<quintptr>(quintptr(cell.get())));
    if (m_images && cell->imageIndex >= 0 && cell->imageIndex < int(m_images->size()))
        action->setIcon(QIcon((*m_images)[size_t(cell->imageIndex)]));
    const cuiCell* c = cell.get();
    connect(action, &QAction::triggered, this, [this, c] {
        if (m_click)
            m_click(*c);
        else if (cuiCellSource* s = m_source ? m_source : cuiCellSource::global()) {
            s->activate(*c, ownerCell());
            RefreshStates();
        }
    });
    m_cells.push_back(std::move(cell));
    return action;
}

const cuiCell* cuiMenu::cellOf(const QAction* action) const {
    return action ? reinterpret_cast<const cuiCell*>(action->data().value<quintptr>()) : nullptr;
}

QList<QAction*> cuiMenu::actions() const {
    QList<QAction*> all;
    std::function<void(QMenu*)> collect = [&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (cellOf(a)) all.append(a);
            if (a->menu()) collect(a->menu());
        }
    };
    collect(m_menu.data());
    return all;
}

QAction* cuiMenu::actionOf(int32_t label) const {
    for (QAction* a : actions())
        if (cellOf(a)->label == label) return a;
    return nullptr;
}

namespace {

// The letter after a single '&' (a mnemonic), or a null character.
QChar mnemonicOf(const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] != u'&') return caption[i + 1].toLower();
        ++i; // "&&" is a literal ampersand
    }
    return {};
}

} // namespace

void cuiMenu::addMnemonics(const QList<QAction*>& actions) {
    QString taken;
    for (const QAction* a : actions)
        if (const QChar m = mnemonicOf(a->text()); !m.isNull()) taken += m;
    for (QAction* a : actions) {
        const QString text = a->text();
        if (a->isSeparator() || text.isEmpty() || !mnemonicOf(text).isNull()) continue;
        for (int i = 0; i < text.size() && text[i] != u'\t'; ++i) {
            const QChar c = text[i].toLower();
            if (!c.isLetterOrNumber() || taken.contains(c)) continue;
            taken += c;
            a->setText(QString(text).insert(i, u'&'));
            break;
        }
    }
}

QString cuiMenu::keepMnemonic(const QString& before, const QString& caption) {
    const QChar m = mnemonicOf(before);
    if (m.isNull() || caption.contains(u'&')) return caption;
    for (int i = 0; i < caption.size(); ++i)
        if (caption[i].toLower() == m) return QString(caption).insert(i, u'&');
    return caption;
}

void cuiMenu::applyState(QAction* action, cuiCell& cell) {
    cuiCellSource* source = m_source ? m_source : cuiCellSource::global();
    cell.stateFlags &= uint16_t(~0x1Fu);
    if (source) source->menuState(cell, ownerCell());
    action->setCheckable(cell.flag(0));
    action->setChecked(cell.flag(0));
    action->setVisible(!cell.flag(1));
    action->setEnabled(!cell.flag(2));
    if (cell.flag(3)) {
        // A caption of the moment ("Undo RX Frequency, CH 6"); its key stays the item's.
        const QString caption = keepMnemonic(action->text(), cell.displayText.section(u'\t', 0, 0));
        const QString shown = cell.displayText.section(u'\t', 1).trimmed();
        if (shown.isEmpty() || !action->shortcut().isEmpty())
            action->setText(caption);
        else
            showKeys(action, caption, shown);
    }
    if (m_images && cell.imageIndex >= 0 && cell.imageIndex < int(m_images->size()))
        action->setIcon(QIcon((*m_images)[size_t(cell.imageIndex)]));
}

void cuiMenu::RefreshStates() {
    for (QAction* a : actions())
        applyState(a, *const_cast<cuiCell*>(cellOf(a)));
}

void cuiMenu::AddItems(int32_t label, const QString& bodyKey) {
    QMenu* target = m_menu.data();
    if (label != cuiCell::NoLabel) {
        QAction* item = actionOf(label);
        if (!item) return;
        if (!item->menu()) {
            auto* m = new QMenu(m_menu.data());
            item->setMenu(m);
            connect(m, &QMenu::aboutToShow, this, &cuiMenu::RefreshStates);
        }
        target = item->menu();
    }
    // The items start from their own menu's basic cell (a pop-up menu's category).
    const QString basicKey = bodyKey.chopped(5) + QStringLiteral("_BasicCell");
    if (bodyKey.endsWith(QLatin1String("_Body")) && m_table.hasKey(basicKey)) {
        std::unique_ptr<cuiCell>& basic = m_foreignBasics[basicKey];
        if (!basic) {
            basic = std::make_unique<cuiCell>();
            m_parser->parse(*basic, m_table.getText(basicKey, 0), nullptr, nullptr);
        }
        m_itemParent = basic.get();
    }
    m_addingForeign = true;
    walk(m_table.getTextBlock(bodyKey).split('\n'), 0, target);
    m_addingForeign = false;
    m_itemParent = nullptr;
}

void cuiMenu::RemoveChildren(int32_t label) {
    QAction* item = actionOf(label);
    if (!item || !item->menu()) return;
    std::function<void(QMenu*)> drop = [&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (a->menu()) drop(a->menu());
            const cuiCell* c = cellOf(a);
            m_cells.erase(
                std::remove_if(m_cells.begin(), m_cells.end(),
                               [c](const std::unique_ptr<cuiCell>& p) { return p.get() == c; }),
                m_cells.end());
            m->removeAction(a);
            delete a;
        }
    };
    drop(item->menu());
}

void cuiMenu::listener(void* context, const cmcEvent* event) {
    auto* self = static_cast<cuiMenu*>(context);
    switch (event->code) {
    case EV_MenuRefresh:
        self->RefreshStates();
        break;
    case EV_MenuAct:
        if (const auto act = cmcEvMenuAct::read(event)) self->RemoveChildren(act->item);
        break;
    case EV_MenuRebuildPopup:
        if (const auto popup = cmcEvMenuPopup::read(event)) {
            const QString body = popup->key + QStringLiteral("_Body");
            if (!popup->key.isEmpty() && self->m_table.hasKey(body))
                self->AddItems(popup->item, body);
        }
        break;
    default:
        break;
    }
}
