#pragma once
// A tool bar built from its definition: T_BasicCell (line 0) and T_Body (one button per
// line, a cell text). "-" is a separator, "/" a thin separator that starts a new button
// row; any other button shows the cell's image and has its display text as hint. On event
// 20 every button asks its cell for its state: flag 0 presses it, flag 2 disables it.

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QToolBar>
#include <functional>
#include <memory>
#include <vector>

#include "cuiCell.h"

class cmcGTex;
class cuiCellSource;
struct cmcEvent;

class cuiToolBar : public QObject {
    Q_OBJECT
  public:
    using ClickHandler = std::function<void(const cuiCell& button)>;

    cuiToolBar(QWidget* parent, cmcGTex& table, const QString& key, cuiCellSource* source = nullptr,
               const std::vector<QPixmap>* images = nullptr);
    ~cuiToolBar() override;

    QToolBar* bar() const { return m_bar; }
    void setClickHandler(ClickHandler handler) { m_click = std::move(handler); }
    void RefreshStates();

    // Buttons in line order (separators have no cell).
    QList<QAction*> buttons() const { return m_actions; }
    const cuiCell* cellOf(const QAction* action) const;
    // Where a new button row starts (after the thin separators).
    int rowBreaks() const { return m_rowBreaks; }

  private:
    static void listener(void* context, const cmcEvent* event);
    void applyImage(QAction* action, const cuiCell& cell);

    cuiCellSource* m_source;
    const std::vector<QPixmap>* m_images;
    QPointer<QToolBar> m_bar;
    cuiCell m_basic;
    std::vector<std::unique_ptr<cuiCell>> m_cells;
    QList<QAction*> m_actions;
    ClickHandler m_click;
    int m_rowBreaks = 0;
};
