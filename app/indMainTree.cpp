// The controller's side of the navigation tree: the warning check list that marks the
// nodes of sheets whose data needs attention, and the tree's adjustment to the document
// (nodes of modes that are off, the memory-channel branch).

#include "cmcCellDispatch.h"
#include "cmcCellRequest.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cuiCell.h"
#include "cuiCellParser.h"
#include "cuiMainTree.h"
#include "indMain.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

namespace {

// Tree overlays: 0 shows the error badge, 1 the warning badge.
constexpr int ErrorOverlay = 0;
constexpr int WarningOverlay = 1;

// State flags of tree nodes that exist only in certain modes.
constexpr int FlagMakerOnly = 0;
constexpr int FlagSecondMode = 1;
constexpr int FlagVariantA = 3;
constexpr int FlagVariantB = 4;

const QString kChannelTop = QStringLiteral("GI_Sheet_Memory_CH_Top");

struct CheckResult {
    QString sheet;
    QString text;
    bool error = false;
    bool warning = false;
};

// Evaluates one check cell given as a cell text; its option names the sheet it concerns.
CheckResult evaluate(cuiCellParser& parser, const QString& cellText) {
    cuiCell cell;
    parser.parse(cell, cellText, nullptr, nullptr);
    cmcCellRequest r(cell.category, cell.label, cell.index);
    cmcCellDispatch::global().dispatch(r);
    return {cell.option, r.fl.display, r.error, r.warning};
}

} // namespace

int indMain::RefreshAfterChange() {
    cmcGTex& text = cmcGTex::mainTable();
    cuiCellParser parser(text);
    QList<CheckResult> results;
    for (int i = 0;; ++i) {
        const QString line = text.getText(QStringLiteral("GI_WarningCheckList"), i);
        if (line.startsWith(QLatin1Char('#'))) break;
        if (line.trimmed().isEmpty()) continue;
        results << evaluate(parser, line);
    }
    // The channel check of the one bank.
    const int bank = 0;
    results << evaluate(parser,
                        QStringLiteral("{(%CL_Check_Mch:[St_ChBank]GI_Sheet_Mch_%1,Bank %2)}")
                            .arg(QString(), QString::number(bank)));

    int errors = 0;
    QStringList errorSheets, warningSheets;
    for (const CheckResult& c : results) {
        if (c.error) {
            ++errors;
            errorSheets << c.sheet;
        }
        if (c.warning) warningSheets << c.sheet;
    }
    m_warnings = int(warningSheets.size());

    // The marks go on the tree's nodes; a collapsed branch shows them on its visible
    // ancestor. Errors win over warnings on the same node.
    if (cuiMainTree* t = tree()) {
        t->ClearOverlays(nullptr);
        t->MarkNodes(nullptr, warningSheets, WarningOverlay);
        t->MarkNodes(nullptr, errorSheets, ErrorOverlay);
        QTreeWidgetItemIterator it(t->view());
        for (; *it; ++it)
            (*it)->setToolTip(0, QString());
        for (const CheckResult& c : results) {
            if (!c.error && !c.warning) continue;
            if (QTreeWidgetItem* node = t->FindNodeByCommand(c.sheet)) node->setToolTip(0, c.text);
        }
    }
    if (auto* ev = cmcEvMan::instance()) {
        ev->post(EV_BankCaptions);
        ev->post(EV_ListChanged);
    }
    return errors;
}

void indMain::AdjustTree() {
    cuiMainTree* t = tree();
    if (!t) return;
    QTreeWidget* view = t->view();
    const QString selected = t->CommandOf(view->currentItem());

    if (!m_makerMode) t->RemoveFlaggedNodes(FlagMakerOnly);
    // This model has no second mode and neither of the two variants.
    t->RemoveFlaggedNodes(FlagSecondMode);
    t->RemoveFlaggedNodes(FlagVariantA);
    t->RemoveFlaggedNodes(FlagVariantB);

    if (QTreeWidgetItem* top = t->FindNodeByCommand(kChannelTop)) {
        const bool expanded = top->isExpanded();
        t->RemoveChildren(top);
        t->AddBranch(top, QStringLiteral("GI_Tree_Branch_Mch_BankOperation"));
        t->AddBranch(top, QStringLiteral("GI_Tree_Branch_Mch_Bank"));
        top->setExpanded(expanded);
    }

    // The sheet that was selected stays selected where its node still exists; otherwise
    // the node that took the old one's place, or the first.
    if (t->CommandOf(view->currentItem()) != selected) {
        QTreeWidgetItem* node = t->FindNodeByCommand(selected);
        if (!node) node = view->currentItem();
        if (!node) node = view->topLevelItem(0);
        if (node) view->setCurrentItem(node);
    }
    // The rebuilt branch has lost its marks.
    RefreshAfterChange();
    if (auto* ev = cmcEvMan::instance()) ev->send(EV_ListChanged);
}

void indMain::OnEvent(const cmcEvent* event) {
    cuiMain::OnEvent(event);
    switch (event->code) {
    case EV_TreeRebuild:
        BuildTree();
        break;
    case EV_TreeAdjust:
        AdjustTree();
        break;
    case EV_AdjustWindow:
        OpenAdjustWindow();
        break;
    default:
        break;
    }
}
