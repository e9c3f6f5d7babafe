#include "cuiToolBar.h"

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiCellParser.h"
#include "cuiCellSource.h"

#include <QAction>

cuiToolBar::cuiToolBar(QWidget* parent, cmcGTex& table, const QString& key, cuiCellSource* source,
                       const std::vector<QPixmap>* images)
    : m_source(source), m_images(images), m_bar(new QToolBar(parent)) {
    cuiCellParser parser(table);
    parser.parse(m_basic, table.getText(key + QStringLiteral("_BasicCell"), 0), nullptr, nullptr);
    m_bar->setContentsMargins(4, 0, 0, 0);
    for (const QString& line : table.getTextBlock(key + QStringLiteral("_Body")).split('\n')) {
        if (line.startsWith('#')) break;
        auto cell = std::make_unique<cuiCell>();
        parser.parse(*cell, line, &m_basic, nullptr);
        if (cell->displayText == QLatin1String("-")) {
            m_actions.append(m_bar->addSeparator());
            continue;
        }
        if (cell->displayText == QLatin1String("/")) {
            // QToolBar has no second row: a thin separator marks the break.
            m_actions.append(m_bar->addSeparator());
            ++m_rowBreaks;
            continue;
        }
        QAction* action = m_bar->addAction(cell->displayText);
        action->setToolTip(cell->displayText);
        action->setData(QVariant::fromValue<quintptr>(quintptr(cell.get())));
        applyImage(action, *cell);
        const cuiCell* c = cell.get();
        connect(action, &QAction::triggered, this, [this, c] {
            if (m_click)
                m_click(*c);
            else if (cuiCellSource* s = m_source ? m_source : cuiCellSource::global())
                s->activate(*c, nullptr);
        });
        m_actions.append(action);
        m_cells.push_back(std::move(cell));
    }
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->attach(&cuiToolBar::listener, this);
}

cuiToolBar::~cuiToolBar() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->detach(&cuiToolBar::listener, this);
    delete m_bar.data();
}

const cuiCell* cuiToolBar::cellOf(const QAction* action) const {
    return action ? reinterpret_cast<const cuiCell*>(action->data().value<quintptr>()) : nullptr;
}

void cuiToolBar::applyImage(QAction* action, const cuiCell& cell) {
    if (m_images && cell.imageIndex >= 0 && cell.imageIndex < int(m_images->size()))
        action->setIcon(QIcon((*m_images)[size_t(cell.imageIndex)]));
}

void cuiToolBar::RefreshStates() {
    cuiCellSource* source = m_source ? m_source : cuiCellSource::global();
    for (QAction* action : m_actions) {
        auto* cell = const_cast<cuiCell*>(cellOf(action));
        if (!cell) {
            action->setChecked(false);
            continue;
        }
        cell->stateFlags &= uint16_t(~0x1Fu);
        if (source) source->menuState(*cell, nullptr);
        action->setCheckable(cell->flag(0));
        action->setChecked(cell->flag(0));
        action->setEnabled(!cell->flag(2));
        applyImage(action, *cell);
    }
}

void cuiToolBar::listener(void* context, const cmcEvent* event) {
    if (event->code == EV_Controller) static_cast<cuiToolBar*>(context)->RefreshStates();
}
