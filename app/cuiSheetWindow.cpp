#include "cuiSheetWindow.h"

#include "cmcGTex.h"
#include "cuiGrid.h"
#include "cuiSheet.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QVBoxLayout>

cuiSheetWindow::cuiSheetWindow(const QString& command, cmcGTex& table, QWidget* owner)
    : QDialog(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(table.getText(QStringLiteral("GI_Sys_AppTitle")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_sheet.reset(cuiSheet::create(this, command, table));
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

// The grid's columns and rows plus the title panel and the frames around them.
QSize cuiSheetWindow::sheetSize() const
{
    const cuiGrid* grid = m_sheet->grid();
    if (!grid) return m_sheet->frame()->sizeHint();
    int width = 0, height = 0;
    for (int c = 0; c < grid->colCount(); ++c) width += grid->colWidth(c);
    for (int r = 0; r < grid->rowCount(); ++r) height += grid->rowHeight(r);
    const int gridFrame = 2 * grid->frameWidth() + 4;
    int above = 0;
    if (const QLayout* layout = m_sheet->frame()->layout()) {
        for (int i = 0; i < layout->count(); ++i) {
            const QWidget* w = layout->itemAt(i)->widget();
            if (w && w != grid) above += w->sizeHint().height();
        }
    }
    return QSize(width + gridFrame, height + gridFrame + above);
}
