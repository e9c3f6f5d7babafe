// The controller's side of the navigation tree: the warning check list marks the nodes of
// the sheets whose data needs attention (errors refuse a clone write), and the tree follows
// the document (events 25 and 26).

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcListInfo.h"
#include "cuiMainTree.h"
#include "datCh.h"
#include "indCloneMan.h"
#include "indMain.h"

#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace {

const QString kChannels = QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0");
const QString kAddresses = QStringLiteral("GI_Sheet_AddrL");
const QString kNetworks = QStringLiteral("GI_Sheet_NetL");
const QString kChannelTop = QStringLiteral("GI_Sheet_Memory_CH_Top");

using Change = std::function<void(cmcEeprom&)>;

int32_t channelAddress(int32_t row, int offset) {
    const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
    return ch->base + row * ch->size + offset;
}

} // namespace
Q_DECLARE_METATYPE(Change)

class tst_treemarks : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;

    cuiMainTree* tree() const { return m_main->tree(); }
    int overlayOf(const QString& command) const {
        QTreeWidgetItem* node = tree()->FindNodeByCommand(command);
        return node ? tree()->OverlayOf(node) : -2;
    }
    void commit(int32_t category, int32_t label, int32_t index, const QString& text) {
        QVERIFY(cmcCellDispatch::global().commit(category, label, index, text));
    }

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-tree-"));
        m_main = m_editor->main.get();
        QVERIFY(tree());
    }
    void cleanup() { m_editor.reset(); }

    void initialDataHasNoMarks() {
        QCOMPARE(m_main->RefreshAfterChange(), 0);
        QCOMPARE(m_main->warningCount(), 0);
        QTreeWidgetItemIterator it(tree()->view());
        for (; *it; ++it)
            QCOMPARE(tree()->OverlayOf(*it), -1);
    }

    void marksFollowTheData_data() {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("overlay"); // 0 error, 1 warning
        QTest::addColumn<QString>("tip");

        QTest::newRow("channel without a name") << Change([](cmcEeprom&) {
            QVERIFY(cmcCellDispatch::global().commit(CT_ChannelList, CL_ChL_FreqR, 3,
                                                     QStringLiteral("7.1")));
        }) << kChannels << 1 << "Channels without a name: 4";
        QTest::newRow("channel with an unknown mode") << Change([](cmcEeprom& image) {
            QVERIFY(cmcCellDispatch::global().commit(CT_ChannelList, CL_ChL_FreqR, 0,
                                                     QStringLiteral("7.1")));
            QVERIFY(cmcCellDispatch::global().commit(CT_ChannelList, CL_ChL_Name, 0,
                                                     QStringLiteral("A")));
            image.SetByte(channelAddress(0, QxRec::ChMode), 9);
        }) << kChannels << 0 << "Channels with an unknown mode: 1";
        QTest::newRow("address naming an empty channel") << Change([](cmcEeprom& image) {
            QVERIFY(cmcCellDispatch::global().commit(CT_AddressList, CL_AddrL_Name, 7,
                                                     QStringLiteral("Base")));
            const cmcListLayout* ad = cmcListInfo::layout(QxList::Address);
            image.SetByte(ad->base + 7 * ad->size + QxRec::AdChannel, 42);
            image.SetByte(ad->base + 7 * ad->size + QxRec::AdChannel + 1, 0);
        }) << kAddresses << 1 << "Addresses naming a channel not in use: 8";
        QTest::newRow("network without channels") << Change([](cmcEeprom&) {
            QVERIFY(cmcCellDispatch::global().commit(CT_NetworkList, CL_NetL_Name, 2,
                                                     QStringLiteral("Net")));
        }) << kNetworks << 1 << "Networks without channels: 3";
    }

    void marksFollowTheData() {
        QFETCH(Change, change);
        QFETCH(QString, sheet);
        QFETCH(int, overlay);
        QFETCH(QString, tip);
        tree()->view()->expandAll();
        change(m_main->workingImage());
        QCOMPARE(m_main->RefreshAfterChange(), overlay == 0 ? 1 : 0);
        QCOMPARE(overlayOf(sheet), overlay);
        QVERIFY2(tree()->FindNodeByCommand(sheet)->toolTip(0).contains(tip),
                 qPrintable(tree()->FindNodeByCommand(sheet)->toolTip(0)));

        // A collapsed branch shows the mark on its visible ancestor (collapsing refreshes).
        QTreeWidgetItem* parent = tree()->FindNodeByCommand(sheet)->parent();
        parent->setExpanded(false);
        QCOMPARE(tree()->OverlayOf(parent), overlay);
        parent->setExpanded(true);
        QCOMPARE(tree()->OverlayOf(parent), -1);

        // Undone, the mark goes.
        m_main->workingImage() = m_main->savedSnapshot();
        QCOMPARE(m_main->RefreshAfterChange(), 0);
        QCOMPARE(overlayOf(sheet), -1);
        QVERIFY(tree()->FindNodeByCommand(sheet)->toolTip(0).isEmpty());
    }

    void dataErrorRefusesCloneWrite() {
        commit(CT_ChannelList, CL_ChL_FreqR, 0, QStringLiteral("7.1"));
        m_main->workingImage().SetByte(channelAddress(0, QxRec::ChMode), 200);
        ScriptedPrompt prompt;
        m_main->cloneWrite();
        QVERIFY(prompt.texts().contains(
            cmcGTex::mainTable().getTextBlock(QStringLiteral("GI_Mess_DataError"))));
        QVERIFY(!m_main->cloneMan().IsBusy());
    }

    void newKeepsTheChannelCaptionWithoutAComment() {
        ScriptedPrompt prompt;
        m_main->New(); // posts the (empty) comment as the bank's name
        cmcEvMan::instance()->dispatchStep();
        QCOMPARE(tree()->FindNodeByCommand(kChannels)->text(0), QStringLiteral("Channel List"));
        cmcEvMan::instance()->postWithText(EV_Comment, 0, 0, QStringLiteral("Fleet A"));
        cmcEvMan::instance()->dispatchStep();
        QCOMPARE(tree()->FindNodeByCommand(kChannels)->text(0), QStringLiteral("Fleet A"));
    }

    void makerOnlyNodesNeedTheMakerMode() {
        const QString dump = QStringLiteral("GI_Sheet_EeDebugWin");
        QVERIFY(!tree()->FindNodeByCommand(dump));
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Ok);
        m_main->ActivateMakerMode();
        QVERIFY(tree()->FindNodeByCommand(dump));
        QVERIFY(m_main->ShowSheetNow(dump)); // the whole image in the sheet area
    }

    void treeRebuildAndAdjust() {
        // Event 25 builds a new tree.
        QPointer<cuiMainTree> old = tree();
        cmcEvMan::instance()->post(EV_TreeRebuild);
        cmcEvMan::instance()->dispatchStep();
        QVERIFY(old.isNull());
        QVERIFY(tree());

        // Event 26 builds the channel branch again and keeps the selected sheet.
        QTreeWidgetItem* channels = tree()->FindNodeByCommand(kChannels);
        QVERIFY(channels);
        tree()->view()->setCurrentItem(channels);
        cmcEvMan::instance()->send(EV_TreeAdjust);
        QTreeWidgetItem* top = tree()->FindNodeByCommand(kChannelTop);
        QCOMPARE(top->childCount(), 2);
        QCOMPARE(tree()->CommandOf(top->child(1)), kChannels);
        QCOMPARE(tree()->CommandOf(tree()->view()->currentItem()), kChannels);
        QVERIFY(tree()->view()->currentItem() != nullptr);

        // The rebuilt branch carries its marks again.
        commit(CT_ChannelList, CL_ChL_FreqR, 5, QStringLiteral("3.5"));
        m_main->RefreshAfterChange();
        cmcEvMan::instance()->send(EV_TreeAdjust);
        QCOMPARE(overlayOf(kChannels), 1);
    }
};

QTEST_MAIN(tst_treemarks)
#include "tst_treemarks.moc"
