#include "cuiTree.h"

#include "cuiDepthBody.h"

#include "cmcGTex.h"
#include "cuiCellParser.h"

#include <QHeaderView>
#include <QPainter>
#include <QTreeWidget>
#include <algorithm>

namespace {
// Item data roles of a node.
constexpr int CellRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int SelectedImageRole = Qt::UserRole + 2;
constexpr int OverlayRole = Qt::UserRole + 3;
} // namespace

cuiTree::cuiTree(QWidget* owner, cmcGTex& table, const QString& key,
                 const std::vector<QPixmap>* images)
    : m_owner(owner), m_table(table), m_key(key), m_images(images),
      m_parser(std::make_unique<cuiCellParser>(table)) {
    m_view = new QTreeWidget(owner);
    m_view->setHeaderHidden(true);
    m_view->setColumnCount(1);
    m_delay.setSingleShot(true);
    m_delay.setInterval(0);
    connect(&m_delay, &QTimer::timeout, this, [this] { emit nodeChanged(m_view->currentItem()); });
    connect(m_view, &QTreeWidget::currentItemChanged, this, [this] { m_delay.start(); });
}

cuiTree::~cuiTree() {
    delete m_view;
}

void cuiTree::BuildTree() {
    m_view->clear();
    m_cells.clear();
    m_parser->parse(m_basic, m_table.getText(m_key + QStringLiteral("_BasicCell"), 0), nullptr,
                    nullptr);
    if (const cuiFont* f = m_basic.effectiveFont()) m_view->setFont(f->toQFont());
    QPalette pal = m_view->palette();
    pal.setColor(QPalette::Base, cuiColor::toQColor(m_basic.color));
    m_view->setPalette(pal);

    walk(m_table.getTextBlock(m_key + QStringLiteral("_Body")).split('\n'), 0, nullptr);
    if (QTreeWidgetItem* first = m_view->topLevelItem(0)) first->setExpanded(true);
}

void cuiTree::AddBranch(QTreeWidgetItem* parent, const QString& bodyKey) {
    walk(m_table.getTextBlock(bodyKey).split('\n'), 0, parent);
}

int cuiTree::walk(const QStringList& lines, int pos, QTreeWidgetItem* parent) {
    const auto add = [this](QTreeWidgetItem* node, const QString& text) {
        return addNode(node, text);
    };
    const auto children = [](QTreeWidgetItem* last, QTreeWidgetItem* node) {
        return last ? last : node;
    };
    return cuiDepthBody::walk(lines, pos, parent, add, children);
}

QTreeWidgetItem* cuiTree::addNode(QTreeWidgetItem* parent, const QString& cellText) {
    auto cell = std::make_unique<cuiCell>();
    m_parser->parse(*cell, cellText, &m_basic, nullptr);
    QTreeWidgetItem* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_view);
    item->setText(0, cell->displayText);
    item->setData(0, CellRole, QVariant::fromValue<quintptr>(quintptr(cell.get())));
    item->setData(0, ImageRole, cell->imageIndex);
    item->setData(0, SelectedImageRole, cell->imageIndex);
    item->setData(0, OverlayRole, -1);
    m_cells.push_back(std::move(cell));
    refreshIcon(item);
    return item;
}

cuiCell* cuiTree::CellOf(const QTreeWidgetItem* node) const {
    return node ? reinterpret_cast<cuiCell*>(node->data(0, CellRole).value<quintptr>()) : nullptr;
}

QString cuiTree::CommandOf(const QTreeWidgetItem* node) const {
    const cuiCell* cell = CellOf(node);
    return cell ? cell->option : QString();
}

cuiCell* cuiTree::SelectedCell() const {
    return CellOf(m_view->currentItem());
}

QList<QTreeWidgetItem*> cuiTree::allNodes() const {
    QList<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(m_view); *it; ++it)
        nodes.append(*it);
    return nodes;
}

QTreeWidgetItem* cuiTree::FindNodeByCommand(const QString& command) const {
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        if (CommandOf(*it) == command) return *it;
    }
    return nullptr;
}

QList<QTreeWidgetItem*> cuiTree::range(QTreeWidgetItem* start) const {
    QList<QTreeWidgetItem*> nodes;
    if (!start) start = m_view->topLevelItem(0);
    if (!start) return nodes;
    QTreeWidgetItem* parent = start->parent();
    const int index = parent ? parent->indexOfChild(start) : m_view->indexOfTopLevelItem(start);
    QTreeWidgetItem* stop = parent ? parent->child(index + 1) : m_view->topLevelItem(index + 1);
    for (QTreeWidgetItemIterator it(start); *it && *it != stop; ++it)
        nodes.append(*it);
    return nodes;
}

int cuiTree::OverlayOf(const QTreeWidgetItem* node) const {
    return node ? node->data(0, OverlayRole).toInt() : -1;
}

int cuiTree::ImageOf(const QTreeWidgetItem* node) const {
    return node ? node->data(0, ImageRole).toInt() : -1;
}

int cuiTree::SelectedImageOf(const QTreeWidgetItem* node) const {
    return node ? node->data(0, SelectedImageRole).toInt() : -1;
}

void cuiTree::SetImage(QTreeWidgetItem* node, int image) {
    if (!node) return;
    node->setData(0, ImageRole, image);
    node->setData(0, SelectedImageRole, image);
    refreshIcon(node);
}

void cuiTree::setOverlay(QTreeWidgetItem* node, int overlay) {
    node->setData(0, OverlayRole, overlay);
    refreshIcon(node);
}

void cuiTree::refreshIcon(QTreeWidgetItem* node) {
    const int image = ImageOf(node);
    if (!m_images || image < 0 || image >= int(m_images->size())) {
        node->setIcon(0, QIcon());
        return;
    }
    QPixmap pixmap = (*m_images)[size_t(image)];
    const int overlay = OverlayOf(node);
    // Overlay 0 is image 11, overlay 1 image 10.
    const int overlayImage = overlay == 0 ? 11 : overlay == 1 ? 10 : -1;
    if (overlayImage >= 0 && overlayImage < int(m_images->size())) {
        QPainter p(&pixmap);
        p.drawPixmap(0, 0, (*m_images)[size_t(overlayImage)]);
    }
    node->setIcon(0, QIcon(pixmap));
}

void cuiTree::ClearOverlays(QTreeWidgetItem* start) {
    for (QTreeWidgetItem* node : range(start)) {
        if (OverlayOf(node) >= 0) setOverlay(node, -1);
    }
}

int cuiTree::MarkNodes(QTreeWidgetItem* start, const QStringList& commands, int overlay) {
    if (!start) start = m_view->topLevelItem(0);
    int marked = 0;
    for (QTreeWidgetItem* node : range(start)) {
        if (!commands.contains(CommandOf(node))) continue;
        setOverlay(node, overlay);
        ++marked;
        if (node == start) continue;
        // Collapsed ancestors up to the start node carry the warning too.
        for (QTreeWidgetItem* up = node->parent(); up; up = up->parent()) {
            if (!up->isExpanded()) setOverlay(up, overlay);
            if (up == start) break;
        }
    }
    return marked;
}

void cuiTree::freeCells(QTreeWidgetItem* node) {
    for (int i = 0; i < node->childCount(); ++i)
        freeCells(node->child(i));
    const cuiCell* cell = CellOf(node);
    m_cells.erase(
        std::remove_if(m_cells.begin(), m_cells.end(),
                       [cell](const std::unique_ptr<cuiCell>& c) { return c.get() == cell; }),
        m_cells.end());
}

void cuiTree::RemoveChildren(QTreeWidgetItem* node) {
    if (!node) return;
    while (node->childCount() > 0) {
        QTreeWidgetItem* child = node->child(0);
        freeCells(child);
        delete child;
    }
}

void cuiTree::RemoveFlaggedNodes(int flag) {
    if (flag < 0 || flag > 8) return;
    for (bool found = true; found;) {
        found = false;
        for (QTreeWidgetItem* node : allNodes()) {
            const cuiCell* cell = CellOf(node);
            if (cell && cell->flag(flag)) {
                freeCells(node);
                delete node;
                found = true;
                break;
            }
        }
    }
}
