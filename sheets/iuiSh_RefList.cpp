#include "iuiSh_RefList.h"

#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiGrid.h"
#include "cuiPopupPlace.h"
#include "cuiSheet.h"
#include "iuiSh_MultiTable.h"

#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

iuiSh_RefList::iuiSh_RefList(QWidget* parent, cmcGTex& table, int kind, const QString& command,
                             int32_t ownerId)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint), m_ownerId(ownerId) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(table.getText(QStringLiteral("GI_Sys_AppTitle")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QString state, key, arguments;
    cuiSheet::splitCommand(command, state, key, arguments);
    if (kind == KindMultiTable)
        m_sheet = std::make_unique<iuiSh_MultiTable>(this, table);
    else
        m_sheet = std::make_unique<cuiSheet>(this, table);
    m_sheet->setKey(key);
    m_sheet->setCommand(command);
    m_sheet->SetArguments(arguments);
    m_sheet->setHosted(true);
    m_sheet->Build();
    layout->addWidget(m_sheet->frame());
    cuiGrid* g = m_sheet->grid();
    for (QWidget* w = g; w && w != this; w = w->parentWidget())
        w->setMinimumSize(1, 1);
    g->setMouseTracking(true);
    g->viewport()->setMouseTracking(true);
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->attach(&iuiSh_RefList::eventListener, this);
}

iuiSh_RefList::~iuiSh_RefList() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->detach(&iuiSh_RefList::eventListener, this);
    m_sheet.reset();
}

// Event 21 (edits are committed before a command) and event 1 naming the owner close the
// window once control is back in the loop: it may be the sheet's own event.
void iuiSh_RefList::eventListener(void* context, const cmcEvent* event) {
    auto* self = static_cast<iuiSh_RefList*>(context);
    const bool close = event->code == EV_BeforePrint ||
                       (event->code == EV_SheetWindow && event->p2 == self->m_ownerId);
    if (close && self->isVisible()) {
        self->hide();
        QTimer::singleShot(0, self, [self] { self->close(); });
    }
}

void iuiSh_RefList::popupAt(const QRect& cell) {
    QSize extra(4, 4);
    cuiPopupPlace::showFitted(this, m_sheet->grid(), cell, extra);
}

void iuiSh_RefList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}
