#include "cuiMainTree.h"

#include "cmcEvMan.h"
#include "cuiSheet.h"
#include "cuiSheetEnv.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

cuiMainTree::cuiMainTree(QWidget* owner, cmcGTex& table, const std::vector<QPixmap>* images)
    : cuiTree(owner, table, QStringLiteral("GI_Tree_Main"), images) {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->attach(&cuiMainTree::listener, this);
}

cuiMainTree::~cuiMainTree() {
    if (cmcEvMan* ev = cmcEvMan::instance()) ev->detach(&cuiMainTree::listener, this);
}

void cuiMainTree::listener(void* context, const cmcEvent* event) {
    auto* tree = static_cast<cuiMainTree*>(context);
    if (event->code == EV_BankCaptions)
        tree->UpdateBankIcons();
    else if (const auto caption = cmcEvBankCaption::read(event))
        tree->SetBankCaption(caption->bank, caption->caption);
}

void cuiMainTree::UpdateBankIcons() {
    const cuiSheetEnv& env = cuiSheetEnv::current();
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        QString state, key, args;
        cuiSheet::splitCommand(CommandOf(*it), state, key, args);
        if (state != QLatin1String("St_ChBank") || !args.startsWith(QLatin1String("Bank")))
            continue;
        int pos = 4;
        while (pos < args.size() && args[pos] == ' ')
            ++pos;
        int end = pos;
        while (end < args.size() && args[end].isDigit())
            ++end;
        if (end == pos) continue;
        const int bank = args.mid(pos, end - pos).toInt();
        const bool valid = bank >= 0 && bank < env.bankCount();
        const int icon = env.bankCapabilityA(bank)   ? (valid ? 9 : 8)
                         : env.bankCapabilityB(bank) ? (valid ? 7 : 6)
                                                     : (valid ? 5 : 4);
        if (icon != ImageOf(*it)) SetImage(*it, icon);
    }
}

void cuiMainTree::SetBankCaption(int bank, const QString& text) {
    for (QTreeWidgetItemIterator it(m_view); *it; ++it) {
        QString state, key, args;
        cuiSheet::splitCommand(CommandOf(*it), state, key, args);
        if (state != QLatin1String("St_ChBank")) continue;
        bool ok = false;
        const int b = args.mid(5).trimmed().toInt(&ok);
        if (ok && b == bank) {
            // A bank without a name keeps the caption of its definition.
            const cuiCell* cell = CellOf(*it);
            (*it)->setText(0, text.isEmpty() && cell ? cell->displayText : text);
            SetImage(*it, ImageOf(*it));
            return;
        }
    }
}
