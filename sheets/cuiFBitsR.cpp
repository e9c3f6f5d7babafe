#include "cuiFBitsR.h"

#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcFlagSet.h"
#include "cmcGTex.h"
#include "cuiCellSource.h"
#include "cuiGrid.h"
#include "cuiPopupPlace.h"
#include "cuiSheet.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// The sheet's key line in the private table; the main overlay has no such key.
const QString SheetKeyLine = QStringLiteral("#GI_Sheet_FBitsR");
const QString SheetKey = SheetKeyLine.mid(1);
const QString OkCancelKey = QStringLiteral("GI_AppInd_Button_OkCancel");
const QString TitleKey = QStringLiteral("GI_AppInd_FBits_Title");

const char* const Sentences[] = {"RMC", "GGA", "GLL", "GSA", "VTG"};

} // namespace

// Serves the flag cells from the window's value and passes every other cell on.
class cuiFBitsR::Source : public cuiCellSource {
  public:
    explicit Source(cuiFBitsR& window) : m_window(window) {}

    cuiCellView view(const cuiCell& cell, bool selected, bool printing) override {
        if (!isFlag(cell)) {
            cuiCellSource* g = global();
            return g ? g->view(cell, selected, printing) : cuiCellView();
        }
        cuiCellView v;
        v.hasText = true;
        const uint32_t value = m_window.m_value;
        if (cmcFlagSet::isSet(value, cell.index)) {
            if (m_window.mode() == DrawTick)
                v.tick = true;
            else
                v.text = QStringLiteral("o");
        }
        v.disabled = !canAccept(m_window.kind(), value, m_window.count());
        return v;
    }
    cuiCellResult execute(const cuiCell& cell, const cuiCellCommand& command,
                          const cuiCellContext& context) override {
        if (!isFlag(cell)) {
            cuiCellSource* g = global();
            return g ? g->execute(cell, command, context) : cuiCellResult();
        }
        // Space or a double click; F1 and the rest belong to the program's cells.
        if (!command.hasText && (command.code == ' ' || command.code == 256)) {
            m_window.toggle(cell.index);
            return cuiCellResult();
        }
        cuiCellSource* g = global();
        return g && !command.hasText ? g->execute(cell, command, context) : cuiCellResult();
    }
    void menuState(cuiCell& cell, const cuiCell* owner) override {
        if (cuiCellSource* g = global()) g->menuState(cell, owner);
    }
    void activate(const cuiCell& cell, const cuiCell* owner) override {
        if (cuiCellSource* g = global()) g->activate(cell, owner);
    }

  private:
    bool isFlag(const cuiCell& cell) const {
        return cell.label == CL_FBits && cell.index >= 1 && cell.index <= m_window.count();
    }
    cuiFBitsR& m_window;
};

QString cuiFBitsR::headerCell(int kind, int i, int hi) {
    const QString head = QStringLiteral("|{($iChI)}");
    QString text;
    switch (kind) {
    case HeaderHex:
        text = QString::number(i, 16).toUpper();
        break;
    case HeaderKeys:
        text = QString::number(i == 10 ? 0 : i);
        break;
    case HeaderDigits:
        text = i < 10 ? QString::number(i) : i == 17 ? QStringLiteral("Z") : QString(QChar(i + 55));
        break;
    case HeaderLetters:
        text = QString(QChar(i + 64));
        break;
    case HeaderSentences:
        text = i >= 1 && i <= 5 ? QLatin1String(Sentences[i - 1]) : QString::number(i);
        break;
    case HeaderBitNumbers:
        text = QStringLiteral("B%1").arg(hi - i);
        break;
    default:
        text = QString::number(i);
        break;
    }
    return head + text + QLatin1Char('|');
}

QStringList cuiFBitsR::definition(int lo, int hi, int kind) {
    QString header, flags;
    const int n = hi - lo + 1;
    for (int i = lo; i <= hi; ++i)
        header += headerCell(kind, i, hi);
    for (int k = 1; k <= n; ++k) {
        flags += QStringLiteral("|{($eWh)^(%CL_FBits[%1])}9|").arg(k);
        if (k < n) flags += QStringLiteral("{($iQp)}");
    }
    return {
        SheetKeyLine + QStringLiteral("_Style"),
        QStringLiteral("(FixedCols=1)(FixedRows=1)"),
        SheetKeyLine + QStringLiteral("_BasicCell"),
        QStringLiteral("{($Basic)(PopupMenu=GI_PMenu_NoItem)}"),
        SheetKeyLine + QStringLiteral("_Cells"),
        header,
        flags,
        QStringLiteral("#"),
        QStringLiteral("#CellModel_iChI"),
        QStringLiteral("^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)"),
        QStringLiteral("#CellModel_eWh"),
        QStringLiteral("S<_WHB"),
        QStringLiteral("#CellModel_iQp"),
        QStringLiteral("(%CT_Null.CL_Misc_QuarterPillar)"),
        QStringLiteral("#CellModel_Basic"),
        QStringLiteral("<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)"
                       "(PopupMenu=GI_PMenu_Edit)"),
        QStringLiteral("#GI_PMenu_NoItem_BasicCell"),
        QStringLiteral("{($Basic)}"),
        QStringLiteral("#GI_PMenu_NoItem_Body"),
        QStringLiteral("+No item\t{(%CT_PopupMenu.CL_PMenu_NoItem)}"),
        QStringLiteral("#"),
        QStringLiteral("#GI_PMenu_Edit_BasicCell"),
        QStringLiteral("{($Basic)(%CT_PopupMenu.)}"),
        QStringLiteral("#GI_PMenu_Edit_Body"),
        QStringLiteral("+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}"),
        QStringLiteral("#"),
        QStringLiteral("#End_Of_Ovl"),
    };
}

bool cuiFBitsR::canAccept(int kind, uint32_t value, int count) {
    return kind != HeaderSentences || cmcFlagSet::count(value, count) <= MaxSentences;
}

cuiFBitsR::cuiFBitsR(const cuiCell& caller, const Setup& setup, QWidget* owner,
                     cuiCellSource* source, const QRect& callerRect)
    : QDialog(owner), m_callerSource(source), m_setup(setup), m_value(setup.value),
      m_count(std::clamp(setup.hi - setup.lo + 1, 1, int(cmcFlagSet::MaxFlags))),
      m_source(std::make_unique<Source>(*this)) {
    m_setup.hi = m_setup.lo + m_count - 1;
    // Only the calling cell's identity is kept: its sheet may go before the window does.
    m_caller.category = caller.category;
    m_caller.label = caller.label;
    m_caller.index = caller.index;
    m_caller.option = caller.option;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("BitField"));
    cmcGTex& text = cmcGTex::mainTable();
    setWindowTitle(text.getText(TitleKey, 0));

    cmcGTex* table = &text;
    QString key = m_setup.sheetKey;
    if (key.isEmpty()) {
        m_table = std::make_unique<cmcGTex>();
        m_table->attachLines(definition(m_setup.lo, m_setup.hi, m_setup.kind));
        table = m_table.get();
        key = SheetKey;
    }
    m_sheet = std::make_unique<cuiSheet>(this, *table);
    m_sheet->setKey(key);
    m_sheet->setCellSource(m_source.get());
    m_sheet->Build();
    // The separators between the flags are quarter pillars: a short mark at the bottom.
    for (int r = 0; r < m_sheet->rowCount(); ++r)
        for (int c = 0; c < m_sheet->colCount(); ++c)
            if (m_sheet->CellObjectAt(c, r).label == CL_Misc_QuarterPillar)
                m_sheet->CellObjectAt(c, r).rightMark = cuiCell::ShortMark;

    m_ok = new QPushButton(text.getText(OkCancelKey, 0));
    m_cancel = new QPushButton(text.getText(OkCancelKey, 1));
    m_ok->setDefault(true);
    m_note = new QLabel(text.getText(TitleKey, 1));
    m_note->setWordWrap(true);
    m_note->setVisible(false);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 4);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_sheet->frame());
    layout->addWidget(m_note);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &cuiFBitsR::accept);
    connect(m_cancel, &QPushButton::clicked, this, &cuiFBitsR::reject);

    cuiGrid* grid = m_sheet->grid();
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    updateState();
    place(owner, callerRect);
    grid->setFocus();
}

cuiFBitsR::~cuiFBitsR() {
    // The sheet goes first: its grid still asks the source while it is destroyed.
    m_sheet.reset();
}

// The sheet's whole width and height, the button row below it (at least as wide as the
// two buttons and 8 pixels), by the calling cell like a pop-up list.
void cuiFBitsR::place(QWidget* owner, const QRect& callerRect) {
    cuiGrid* grid = m_sheet->grid();
    QWidget* frame = m_sheet->frame();
    int width = 2 * grid->frameWidth(), height = 2 * grid->frameWidth();
    for (int c = 0; c < grid->colCount(); ++c)
        width += grid->colWidth(c);
    for (int r = 0; r < grid->rowCount(); ++r)
        height += grid->rowHeight(r);
    for (const QWidget* w = grid->parentWidget(); w; w = w->parentWidget()) {
        if (const auto* f = qobject_cast<const QFrame*>(w)) {
            width += 2 * f->frameWidth();
            height += 2 * f->frameWidth();
        }
        if (const QLayout* l = w->layout()) {
            const QMargins m = l->contentsMargins();
            width += m.left() + m.right();
            height += m.top() + m.bottom();
        }
        if (w == frame) break;
    }
    const int buttonsWidth = m_ok->sizeHint().width() + m_cancel->sizeHint().width() + 8;
    // The sheet keeps its own height: the window does not grow empty rows below it.
    frame->setMinimumWidth(std::max(width, buttonsWidth));
    frame->setFixedHeight(height);
    m_note->setMaximumWidth(frame->minimumWidth());
    adjustSize();
    const QSize wanted = sizeHint().expandedTo(minimumSizeHint());

    QRect area(QPoint(0, 0), QSize(1024, 768));
    const QPoint probe =
        callerRect.isEmpty() && owner ? owner->frameGeometry().center() : callerRect.center();
    if (const QScreen* screen = QGuiApplication::screenAt(probe))
        area = screen->availableGeometry();
    else if (const QScreen* primary = QGuiApplication::primaryScreen())
        area = primary->availableGeometry();
    if (!callerRect.isEmpty()) {
        // The window with its frame goes where the place says, so that its title bar
        // does not cover the calling cell.
        const QRect placed = cuiPopupPlace::place(callerRect, wanted, area).rect;
        resize(placed.size());
        move(placed.topLeft());
        return;
    }
    resize(wanted);
    const QPoint centre = owner ? owner->frameGeometry().center() : area.center();
    move(centre - QPoint(wanted.width() / 2, wanted.height() / 2));
}

void cuiFBitsR::toggle(int k) {
    if (k < 1 || k > m_count) return;
    m_value = cmcFlagSet::toggled(m_value, k);
    updateState();
    if (m_sheet) m_sheet->RepaintMatching(cuiCell(), cuiSheet::RepaintLabelled);
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->post(cmcEvRepaint{EV_RepaintAll});
}

void cuiFBitsR::updateState() {
    const bool accepted = canAccept(m_setup.kind, m_value, m_count);
    m_ok->setEnabled(accepted && !m_sent);
    m_note->setVisible(!accepted);
}

void cuiFBitsR::accept() {
    if (m_sent || !canAccept(m_setup.kind, m_value, m_count)) return;
    m_sent = true;
    m_ok->setEnabled(false);
    cuiCellSource* target = m_callerSource ? m_callerSource : cuiCellSource::global();
    if (target) {
        cuiCellCommand command;
        command.code = 13;
        command.hasText = true;
        command.text = QString::number(m_value);
        target->execute(m_caller, command, cuiCellContext());
    }
    QDialog::accept();
}
