// The navigation tree: the depth walk of the body, finding nodes by command, warning
// overlays on expanded and collapsed branches, node removal, bank icons and captions.

#include "SheetTestKit.h"
#include "cmcEvMan.h"
#include "cuiMainTree.h"

#include <QSignalSpy>
#include <QTreeWidget>
#include <QWidget>
#include <QtTest>
#include <memory>

namespace {

// "A(B,C(D)),E": captions with children in parentheses.
QString shape(QTreeWidgetItem* item) {
    QString s = item->text(0);
    if (item->childCount()) {
        QStringList kids;
        for (int i = 0; i < item->childCount(); ++i)
            kids << shape(item->child(i));
        s += '(' + kids.join(',') + ')';
    }
    return s;
}

QString shape(QTreeWidget* view) {
    QStringList top;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        top << shape(view->topLevelItem(i));
    return top.join(',');
}

std::vector<QPixmap> images() {
    std::vector<QPixmap> list;
    for (int i = 0; i < 12; ++i) {
        QPixmap p(16, 16);
        p.fill(QColor::fromHsv(i * 30, 255, 255));
        list.push_back(p);
    }
    return list;
}

const QStringList mainBody{
    "+{(%:GI_Sheet_Common)}Common",
    " +{(%:[St_ChBank]GI_Sheet_Mch_0,Bank 0)(ImageIndex=2)}Bank 0",
    " +{(%:[St_ChBank]GI_Sheet_Mch_0,Bank 3)(ImageIndex=2)}Bank 3",
    " +{(%:[St_ChBank]GI_Sheet_Mch_0,Other)(ImageIndex=2)}Other",
    " +{(%:GI_Sheet_Lists)(Flag1=1)}Lists",
    "  +{(%:GI_Sheet_Channel)}Channel",
    "  +{(%:GI_Sheet_Address)}Address",
    "+{(%:GI_Sheet_Setup)(Flag4=1)}Setup",
    " +{(%:GI_Sheet_Deep)}Deep",
    "#",
};

struct TreeFixture {
    SheetTable defs;
    QWidget host;
    std::vector<QPixmap> icons = images();
    std::unique_ptr<cuiMainTree> tree;
    explicit TreeFixture(const QStringList& body = mainBody) {
        defs.add("GI_Tree_Main_BasicCell", {"{(ImageIndex=1)(%CT_Null.CL_Null)}"});
        defs.add("GI_Tree_Main_Body", body);
        tree = std::make_unique<cuiMainTree>(&host, defs.table(), &icons);
        tree->BuildTree();
    }
    QTreeWidgetItem* node(const QString& command) const { return tree->FindNodeByCommand(command); }
};

} // namespace

class tst_Tree : public QObject {
    Q_OBJECT
  private slots:
    void depthWalk_data();
    void depthWalk();
    void nodesCarryCells();
    void findNodeByCommandIsExact_data();
    void findNodeByCommandIsExact();
    void markNodes_data();
    void markNodes();
    void clearOverlaysStopsAtNextSibling();
    void removeFlaggedNodesAndChildren();
    void bankIconsAndCaptions();
    void changeDelay();
};

void tst_Tree::depthWalk_data() {
    QTest::addColumn<QStringList>("body");
    QTest::addColumn<QString>("shape");
    QTest::newRow("nested") << mainBody
                            << "Common(Bank 0,Bank 3,Other,Lists(Channel,Address)),Setup(Deep)";
    QTest::newRow("shallower second line ends the walk") << QStringList{"  +A", " +B", "+C"} << "A";
    QTest::newRow("deep jump becomes a child") << QStringList{"+A", "    +B", "+C"} << "A(B),C";
    QTest::newRow("back two levels") << QStringList{"+A", " +B", "  +C", "+D"} << "A(B(C)),D";
    QTest::newRow("hash line ends the body") << QStringList{"+A", "#Next", "+B"} << "A";
    QTest::newRow("depth counts any characters") << QStringList{"+A", "x+B", "y+C"} << "A(B,C)";
}

void tst_Tree::depthWalk() {
    QFETCH(QStringList, body);
    QFETCH(QString, shape);
    TreeFixture f(body);
    QCOMPARE(::shape(f.tree->view()), shape);
}

void tst_Tree::nodesCarryCells() {
    TreeFixture f;
    QTreeWidgetItem* bank = f.node("[St_ChBank]GI_Sheet_Mch_0,Bank 0");
    QVERIFY(bank);
    QCOMPARE(f.tree->ImageOf(bank), 2);
    QCOMPARE(f.tree->ImageOf(f.node("GI_Sheet_Common")), 1); // inherited from the basic cell
    QVERIFY(f.tree->view()->topLevelItem(0)->isExpanded());
    QVERIFY(!f.tree->view()->topLevelItem(1)->isExpanded());
    f.tree->view()->setCurrentItem(bank);
    QCOMPARE(f.tree->SelectedCell()->option, QString("[St_ChBank]GI_Sheet_Mch_0,Bank 0"));
    QCOMPARE(f.tree->cellCount(), 9);
}

void tst_Tree::findNodeByCommandIsExact_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("caption");
    QTest::newRow("exact") << "GI_Sheet_Channel"
                           << "Channel";
    QTest::newRow("case differs") << "gi_sheet_channel"
                                  << "";
    QTest::newRow("prefix only") << "GI_Sheet_Chan"
                                 << "";
    QTest::newRow("other bank arguments") << "[St_ChBank]GI_Sheet_Mch_0,Bank 3"
                                          << "Bank 3";
    QTest::newRow("unknown bank") << "[St_ChBank]GI_Sheet_Mch_0,Bank 1"
                                  << "";
}

void tst_Tree::findNodeByCommandIsExact() {
    QFETCH(QString, command);
    QFETCH(QString, caption);
    TreeFixture f;
    QTreeWidgetItem* node = f.tree->FindNodeByCommand(command);
    QCOMPARE(node ? node->text(0) : QString(), caption);
}

void tst_Tree::markNodes_data() {
    QTest::addColumn<bool>("listsExpanded");
    QTest::newRow("expanded branch") << true;
    QTest::newRow("collapsed branch") << false;
}

void tst_Tree::markNodes() {
    QFETCH(bool, listsExpanded);
    TreeFixture f;
    QTreeWidgetItem* lists = f.node("GI_Sheet_Lists");
    lists->setExpanded(listsExpanded);
    const int n = f.tree->MarkNodes(nullptr, {"GI_Sheet_Address", "GI_Sheet_Deep"}, 0);
    // Only the first top-level branch is in range: Deep lies after its next sibling.
    QCOMPARE(n, 1);
    QCOMPARE(f.tree->OverlayOf(f.node("GI_Sheet_Address")), 0);
    QCOMPARE(f.tree->OverlayOf(lists), listsExpanded ? -1 : 0);
    QCOMPARE(f.tree->OverlayOf(f.node("GI_Sheet_Channel")), -1);
    QCOMPARE(f.tree->OverlayOf(f.node("GI_Sheet_Common")), -1); // expanded start node
    QCOMPARE(f.tree->OverlayOf(f.node("GI_Sheet_Deep")), -1);

    // A collapsed start node shows the warning of its branch.
    QTreeWidgetItem* setup = f.node("GI_Sheet_Setup");
    QCOMPARE(f.tree->MarkNodes(setup, {"GI_Sheet_Deep"}, 1), 1);
    QCOMPARE(f.tree->OverlayOf(setup), 1);
}

void tst_Tree::clearOverlaysStopsAtNextSibling() {
    TreeFixture f;
    QTreeWidgetItem* lists = f.node("GI_Sheet_Lists");
    f.tree->MarkNodes(lists, {"GI_Sheet_Channel", "GI_Sheet_Address"}, 0);
    f.tree->MarkNodes(f.node("GI_Sheet_Setup"), {"GI_Sheet_Deep"}, 0);
    f.tree->ClearOverlays(f.node("GI_Sheet_Channel"));
    QCOMPARE(f.tree->OverlayOf(f.node("GI_Sheet_Channel")), -1);
    QCOMPARE(f.tree->OverlayOf(f.node("GI_Sheet_Address")), 0); // the next sibling stops it
    f.tree->ClearOverlays(f.node("GI_Sheet_Address"));          // no next sibling: to the end
    QCOMPARE(f.tree->OverlayOf(f.node("GI_Sheet_Address")), -1);
    QCOMPARE(f.tree->OverlayOf(f.node("GI_Sheet_Deep")), -1);
}

void tst_Tree::removeFlaggedNodesAndChildren() {
    TreeFixture f;
    f.tree->RemoveFlaggedNodes(1);
    QCOMPARE(shape(f.tree->view()), QString("Common(Bank 0,Bank 3,Other),Setup(Deep)"));
    QCOMPARE(f.tree->cellCount(), 6);
    f.tree->RemoveChildren(f.node("GI_Sheet_Common"));
    QCOMPARE(shape(f.tree->view()), QString("Common,Setup(Deep)"));
    QCOMPARE(f.tree->cellCount(), 3);
    f.tree->RemoveFlaggedNodes(4);
    QCOMPARE(shape(f.tree->view()), QString("Common"));
    QCOMPARE(f.tree->cellCount(), 1);
}

void tst_Tree::bankIconsAndCaptions() {
    cmcEvMan events;
    TreeFixture f;
    events.send(EV_BankCaptions);
    QCOMPARE(f.tree->ImageOf(f.node("[St_ChBank]GI_Sheet_Mch_0,Bank 0")), 5);
    QCOMPARE(f.tree->ImageOf(f.node("[St_ChBank]GI_Sheet_Mch_0,Bank 3")), 4);
    QCOMPARE(f.tree->ImageOf(f.node("[St_ChBank]GI_Sheet_Mch_0,Other")), 2);
    QCOMPARE(f.tree->SelectedImageOf(f.node("[St_ChBank]GI_Sheet_Mch_0,Bank 0")), 5);

    events.sendWithText(EV_Comment, 3, 0, "Marine");
    QCOMPARE(f.node("[St_ChBank]GI_Sheet_Mch_0,Bank 3")->text(0), QString("Marine"));
    QCOMPARE(f.node("[St_ChBank]GI_Sheet_Mch_0,Bank 0")->text(0), QString("Bank 0"));
}

void tst_Tree::changeDelay() {
    qRegisterMetaType<QTreeWidgetItem*>();
    TreeFixture f;
    f.tree->setChangeDelay(30);
    QSignalSpy spy(f.tree.get(), &cuiTree::nodeChanged);
    f.tree->view()->setCurrentItem(f.node("GI_Sheet_Channel"));
    f.tree->view()->setCurrentItem(f.node("GI_Sheet_Address"));
    QCOMPARE(spy.count(), 0);
    QVERIFY(spy.wait(1000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(f.tree->SelectedCell()->option, QString("GI_Sheet_Address"));
}

QTEST_MAIN(tst_Tree)
#include "tst_tree.moc"
