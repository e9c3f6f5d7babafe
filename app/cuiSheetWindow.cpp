#include "cuiSheetWindow.h"

#include "cmcGTex.h"
#include "cuiGrid.h"
#include "cuiSheet.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

cuiSheetWindow::cuiSheetWindow(const QString& command, cmcGTex& table, QWidget* owner)
    : cuiSheetWindow([&](QWidget* self) { return cuiSheet::create(self, command, table); }, table,
                     owner) {}

cuiSheetWindow::cuiSheetWindow(const SheetMaker& make, cmcGTex& table, QWidget* owner)
    : QDialog(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(table.getText(QStringLiteral("GI_Sys_AppTitle")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_sheet.reset(make(this));
    m_sheet->Build();
    layout->addWidget(m_sheet->frame());
    m_sheet->frame()->show();

    QSize size = sheetSize();
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
    if (owner) move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
}

cuiSheetWindow::~cuiSheetWindow() = default;

// The grid's columns and rows plus everything around them: the frames and layout margins
// between the grid and the sheet's frame, the title panel and the scroll bars the grid
// always shows.
QSize cuiSheetWindow::sheetSize() const {
    const cuiGrid* grid = m_sheet->grid();
    const QWidget* frame = m_sheet->frame();
    if (!grid) return frame->sizeHint();
    int width = 2 * grid->frameWidth() + grid->verticalScrollBar()->sizeHint().width();
    int height = 2 * grid->frameWidth() + grid->horizontalScrollBar()->sizeHint().height();
    for (int c = 0; c < grid->colCount(); ++c)
        width += grid->colWidth(c);
    for (int r = 0; r < grid->rowCount(); ++r)
        height += grid->rowHeight(r);
    for (const QWidget* w = grid->parentWidget(); w; w = w->parentWidget()) {
        if (const auto* f = qobject_cast<const QFrame*>(w)) {
            width += 2 * f->frameWidth();
            height += 2 * f->frameWidth();
        }
        if (const QLayout* layout = w->layout()) {
            const QMargins m = layout->contentsMargins();
            width += m.left() + m.right();
            height += m.top() + m.bottom();
            // Panels beside the grid's branch (the title) stack above or below it.
            for (int i = 0; i < layout->count(); ++i) {
                const QWidget* item = layout->itemAt(i)->widget();
                if (item && item != grid && !item->isAncestorOf(grid))
                    height += std::max(item->sizeHint().height(), item->minimumHeight()) +
                              layout->spacing();
            }
        }
        if (w == frame) break;
    }
    return QSize(width, height);
}
