// What changed between two images: one line per changed cell in the sheets' terms (list,
// row, heading, old and new value; settings by caption), memberships by network, then the
// changed bytes no cell shows; a row is only looked at when its own bytes changed.

#include "ListImages.h"
#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcListInfo.h"
#include "imcCsvLists.h"
#include "imcImageDiff.h"
#include "imcListFacts.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QTest>
#include <functional>

namespace {

using Edit = std::function<void(cmcEeprom&)>;

void typed(cmcEeprom& image, int32_t category, int32_t label, int32_t row, const QString& text) {
    cmcCellDispatch d(&image);
    ListImages::set(d, category, label, row, text);
}

} // namespace

Q_DECLARE_METATYPE(Edit)

class tst_ImageDiff : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL")); }
    void cleanupTestCase() { cmcFCache::instance().setTable(nullptr); }

    void equalImages() {
        const imcImageDiffResult r =
            imcImageDiff::compare(ListImages::populated(), ListImages::populated());
        QVERIFY(r.equal());
        QVERIFY(r.lines(ListImages::populated(), ListImages::populated()).isEmpty());
    }

    void oneChange_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("sheet"); // the tree command of the cell's sheet
        QTest::newRow("channel name")
            << Edit([](cmcEeprom& i) { typed(i, CT_ChannelList, CL_ChL_Name, 3, "Quay"); })
            << QStringList{"Channel List, row 4, Name: Pier, 1 -> Quay"}
            << "[St_ChBank]GI_Sheet_Mch_,Bank 0";
        QTest::newRow("mode") << Edit([](cmcEeprom& i) {
            typed(i, CT_ChannelList, CL_ChL_Mode, 0, "LSB");
        }) << QStringList{"Channel List, row 1, Mode: USB -> LSB"}
                              << "[St_ChBank]GI_Sheet_Mch_,Bank 0";
        QTest::newRow("network membership") << Edit([](cmcEeprom& i) {
            typed(i, CT_NetworkChannels, CL_EnabledChBit_0 - 2, 6, "ON");
        }) << QStringList{"Net Channels, row 7, 3 Net 2: OFF -> ON"}
                                            << "GI_Sheet_NetCh";
        QTest::newRow("setting") << Edit([](cmcEeprom& i) {
            typed(i, CT_Null, CL_USetM_LcdContrast, 0, "7");
        }) << QStringList{"User Settings, LCD contrast: 255 -> 7"}
                                 << "GI_Sheet_USetM";
        QTest::newRow("byte no cell shows") << Edit([](cmcEeprom& i) { i.SetByte(0xB000, 0x12); })
                                            << QStringList{"0xB000: FF -> 12"} << "";
        QTest::newRow("channel group membership") << Edit([](cmcEeprom& i) {
            cmcCellDispatch d(&i);
            d.setCurrentGroup(33);
            ListImages::set(d, CT_AleChannels, CL_Ale_ChGrpL_ChBit_Selected, 3, "ON");
        }) << QStringList{"Channel Groups, row 4, Group 34: OFF -> ON"}
                                                  << "GI_Sheet_AleChGrp";
        // Network 2 is not in use: its channel bits mean nothing, and no cell shows them.
        QTest::newRow("membership of a network not in use") << Edit([](cmcEeprom& i) {
            const cmcListLayout* net = cmcListInfo::layout(QxList::Network);
            const int32_t bits = net->base + 1 * net->size + QxList::NetworkChBitsOffset;
            i.SetByte(bits, uint8_t(i.GetByte(bits) ^ 0x40)); // channel 7
        }) << QStringList{} << "";
        QTest::newRow("a name shown elsewhere is not a change there")
            << Edit([](cmcEeprom& i) { typed(i, CT_NetworkList, CL_NetL_Name, 2, "Coast"); })
            << QStringList{"Networks, row 3, Name: Net 2 -> Coast"} << "GI_Sheet_NetL";
    }
    void oneChange() {
        QFETCH(Edit, edit);
        QFETCH(QStringList, lines);
        QFETCH(QString, sheet);
        cmcEeprom after(ListImages::populated());
        edit(after);
        const imcImageDiffResult r = imcImageDiff::compare(ListImages::populated(), after);
        QCOMPARE(r.lines(ListImages::populated(), after), lines);
        QCOMPARE(r.equal(), lines.isEmpty());
        if (!r.cells.empty()) {
            QCOMPARE(r.cells.front().sheet, sheet);
            // The cell the line names shows the new value in the new image.
            const imcCellChange& c = r.cells.front();
            cmcCellDispatch d(&after);
            if (c.group >= 0) d.setCurrentGroup(c.group);
            cmcCellRequest read(c.category, c.label, c.index);
            d.dispatch(read);
            QVERIFY(read.checkBox >= 0 || read.fl.display == c.after);
        }
    }

    // A blank radio with five channels imported: the five rows' fields and nothing else —
    // not the memberships of networks and groups nobody uses, not their bytes.
    void blankRadioWithImport() {
        cmcEeprom blank(QxRadio::ImageSize);
        QCOMPARE(
            indCloneFile::readInitial(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"), blank),
            0);
        cmcEeprom after(blank);
        const QByteArray csv = "row,rx_frequency,tx_frequency,mode,name\r\n"
                               "1,7.100000,,USB,Harbour\r\n2,7.200000,,LSB,Quay\r\n"
                               "3,8.300000,,USB,Pier\r\n4,9.400000,,CW,Coast\r\n"
                               "5,10.500000,,USB,Light\r\n";
        const cmcCsvTable* channels = imcCsvLists::find(QStringLiteral("channels"));
        QVERIFY(channels);
        const cmcCsvResult imported =
            cmcCsvList::read(after, &blank, {channels}, csv, cmcCsvOptions());
        QVERIFY(imported.ok());
        const imcImageDiffResult r = imcImageDiff::compare(blank, after);
        QVERIFY(r.bytes.empty());
        QVERIFY(!r.cells.empty());
        for (const imcCellChange& c : r.cells) {
            QCOMPARE(c.where, QStringLiteral("Channel List"));
            QVERIFY2(c.row >= 1 && c.row <= 5, qPrintable(c.describe()));
        }
        QVERIFY(r.lines(blank, after).contains("Channel List, row 4, Name: (empty) -> Coast"));
    }

    // All of them at once: lists first in the tree's order, then settings, then bytes.
    void order() {
        cmcEeprom after(ListImages::populated());
        after.SetByte(0xB001, 0x00);
        typed(after, CT_Null, CL_USetM_LcdContrast, 0, "7");
        typed(after, CT_ChannelList, CL_ChL_Name, 3, "Quay");
        typed(after, CT_ChannelList, CL_ChL_Mode, 0, "LSB");
        const QStringList lines = imcImageDiff::compare(ListImages::populated(), after)
                                      .lines(ListImages::populated(), after);
        QCOMPARE(lines, (QStringList{"Channel List, row 1, Mode: USB -> LSB",
                                     "Channel List, row 4, Name: Pier, 1 -> Quay",
                                     "User Settings, LCD contrast: 255 -> 7", "0xB001: FF -> 00"}));
    }
};

QTEST_GUILESS_MAIN(tst_ImageDiff)
#include "tst_imagediff.moc"
