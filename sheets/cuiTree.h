#pragma once
// The navigation tree, built from its definition: T_BasicCell (the basic cell of every
// node) and T_Body (one node per line, its depth the number of characters before the
// first "+", the rest a cell text). A node's caption is the cell's display text, its icon
// the image index, and its sheet command the option of the cell reference. Warnings show
// as overlays on the icons (image 11 is overlay 0, image 10 overlay 1).

#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

#include "cuiCell.h"

class cmcGTex;
class cuiCellParser;
class QTreeWidget;
class QTreeWidgetItem;

class cuiTree : public QObject {
    Q_OBJECT
  public:
    // images: the image list shared with the sheets (not owned; may be null).
    cuiTree(QWidget* owner, cmcGTex& table, const QString& key,
            const std::vector<QPixmap>* images = nullptr);
    ~cuiTree() override;

    void BuildTree();
    // Adds the nodes of a body key under parent (the controller's dynamic branches).
    void AddBranch(QTreeWidgetItem* parent, const QString& bodyKey);

    QTreeWidgetItem* FindNodeByCommand(const QString& command) const;
    cuiCell* SelectedCell() const;
    cuiCell* CellOf(const QTreeWidgetItem* node) const;
    // The command (the cell's option) of a node.
    QString CommandOf(const QTreeWidgetItem* node) const;

    void ClearOverlays(QTreeWidgetItem* start);
    int MarkNodes(QTreeWidgetItem* start, const QStringList& commands, int overlay);
    void RemoveFlaggedNodes(int flag);
    void RemoveChildren(QTreeWidgetItem* node);

    // Overlay shown on a node (-1: none).
    int OverlayOf(const QTreeWidgetItem* node) const;
    int ImageOf(const QTreeWidgetItem* node) const;
    int SelectedImageOf(const QTreeWidgetItem* node) const;
    void SetImage(QTreeWidgetItem* node, int image);

    // Pause between a change of selection and nodeChanged, in ms.
    void setChangeDelay(int ms) { m_delay.setInterval(ms); }
    int changeDelay() const { return m_delay.interval(); }

    QTreeWidget* view() const { return m_view; }
    const cuiCell& basicCell() const { return m_basic; }
    int cellCount() const { return int(m_cells.size()); }

  signals:
    void nodeChanged(QTreeWidgetItem* node);

  protected:
    // Nodes in tree order from start up to start's next sibling (the whole tree from the
    // first node when start is null).
    QList<QTreeWidgetItem*> range(QTreeWidgetItem* start) const;
    void setOverlay(QTreeWidgetItem* node, int overlay);
    void refreshIcon(QTreeWidgetItem* node);
    void freeCells(QTreeWidgetItem* node);
    QList<QTreeWidgetItem*> allNodes() const;

    QWidget* m_owner;
    cmcGTex& m_table;
    QString m_key;
    const std::vector<QPixmap>* m_images;
    std::unique_ptr<cuiCellParser> m_parser;
    QTreeWidget* m_view = nullptr;
    cuiCell m_basic;
    std::vector<std::unique_ptr<cuiCell>> m_cells;
    QTimer m_delay;

  private:
    int walk(const QStringList& lines, int pos, QTreeWidgetItem* parent);
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& cellText);
};
