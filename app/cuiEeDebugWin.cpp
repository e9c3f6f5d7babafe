#include "cuiEeDebugWin.h"

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcDumpCells.h"
#include "cmcEeprom.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiDispatchSource.h"
#include "cuiGrid.h"
#include "cuiMain.h"
#include "cuiSheet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

// The global dispatcher's cells, noting the first value of every byte typed here.
class cuiEeDebugWin::Source : public cuiDispatchSource {
  public:
    Source(cuiEeDebugWin& window)
        : cuiDispatchSource(&cmcCellDispatch::global()), m_window(window) {}

    cuiCellResult execute(const cuiCell& cell, const cuiCellCommand& command,
                          const cuiCellContext& context) override {
        const cmcEeprom& image = m_window.m_shell.workingImage();
        int32_t address = addressOf(cell.label, cell.index);
        if (address >= image.GetSize()) address = -1;
        const uint8_t before = address >= 0 ? image.GetByte(address) : 0;
        const cuiCellResult result = cuiDispatchSource::execute(cell, command, context);
        if (result.changed && address >= 0 && !m_window.m_original.contains(address))
            m_window.m_original.insert(address, before);
        return result;
    }

  private:
    cuiEeDebugWin& m_window;
};

cuiEeDebugWin::cuiEeDebugWin(cuiMain& shell, QWidget* owner)
    : cuiSheetWindow(QStringLiteral("GI_Sheet_EeDebugWin"), cmcGTex::mainTable(), owner),
      m_shell(shell), m_source(std::make_unique<Source>(*this)) {
    setObjectName(QStringLiteral("MemoryDump"));
    sheet()->setCellSource(m_source.get());

    cmcGTex& text = cmcGTex::mainTable();
    const QString okCancel = QStringLiteral("GI_AppInd_Button_OkCancel");
    m_ok = new QPushButton(text.getText(okCancel, 0));
    m_cancel = new QPushButton(text.getText(okCancel, 1));
    m_setComp = new QPushButton(QStringLiteral("Set Comp"));
    m_redraw = new QPushButton(QStringLiteral("Redraw"));
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 4, 8, 8);
    buttons->addWidget(m_setComp);
    buttons->addWidget(m_redraw);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    // Enter belongs to the grid (it opens and commits the editor), never to a button.
    for (QPushButton* b : {m_ok, m_cancel, m_setComp, m_redraw}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
    QSize size(width(), height() + buttons->sizeHint().height());
    if (const QScreen* shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() * 9 / 10);
    resize(size);
    if (owner) move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));

    connect(m_ok, &QPushButton::clicked, this, &cuiEeDebugWin::accept);
    connect(m_cancel, &QPushButton::clicked, this, &cuiEeDebugWin::reject);
    connect(m_setComp, &QPushButton::clicked, this, [] {
        if (auto* ev = cmcEvMan::instance()) {
            ev->post(EV_CopyImage);
            ev->post(EV_ChangeSettled);
        }
    });
    connect(m_redraw, &QPushButton::clicked, this, [] {
        if (auto* ev = cmcEvMan::instance()) ev->post(EV_TreeAdjust);
    });
    if (auto* ev = cmcEvMan::instance()) ev->attach(&cuiEeDebugWin::eventCallback, this);
    if (cuiGrid* grid = sheet()->grid()) grid->setFocus();
}

cuiEeDebugWin::~cuiEeDebugWin() {
    if (auto* ev = cmcEvMan::instance()) ev->detach(&cuiEeDebugWin::eventCallback, this);
}

QPoint cuiEeDebugWin::cellOfAddress(int32_t address) {
    return QPoint(LeadCols + 2 * (address % BytesPerRow), LeadRows + address / BytesPerRow);
}

int32_t cuiEeDebugWin::addressOf(int32_t label, int32_t index) {
    return cmcDumpCells::addressOf(label, index);
}

void cuiEeDebugWin::accept() {
    m_original.clear();
    cuiSheetWindow::accept();
}

void cuiEeDebugWin::reject() {
    if (!m_original.isEmpty()) {
        cmcEeprom& image = m_shell.workingImage();
        for (auto it = m_original.cbegin(); it != m_original.cend(); ++it)
            if (it.key() < image.GetSize()) image.SetByte(it.key(), it.value());
        m_original.clear();
        m_shell.WorkingImageChanged();
    }
    cuiSheetWindow::reject();
}

void cuiEeDebugWin::eventCallback(void* context, const cmcEvent* event) {
    static_cast<cuiEeDebugWin*>(context)->onEvent(event);
}

void cuiEeDebugWin::onEvent(const cmcEvent* event) {
    if (event->code == EV_ChangeSettled) {
        sheet()->RepaintMatching(cuiCell(), cuiSheet::RepaintLabelled);
    } else if (const auto target = cmcEvDebugAddress::read(event)) {
        const int32_t address = target->address;
        if (address < 0 || address >= m_shell.workingImage().GetSize()) return;
        const QPoint cell = cellOfAddress(address);
        if (cell.x() < sheet()->colCount() && cell.y() < sheet()->rowCount())
            sheet()->SelectCell(cell.x(), cell.y());
    }
}
