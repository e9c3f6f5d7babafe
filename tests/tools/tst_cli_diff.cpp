// qxt5200-cli diff, run as a separate process on real clone files: two files differing in
// a channel name, a mode, a network membership, a setting and a byte no cell shows print
// one line each and exit 1; equal files print nothing and exit 0; a file that cannot be
// read exits 2.

#include "CliRunner.h"
#include "ListImages.h"
#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QTemporaryDir>
#include <QTest>

class tst_CliDiff : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    static void save(const QString& path, cmcEeprom image, const cmcEeprom& loaded) {
        QCOMPARE(indCloneFile::save(path, image, loaded), 0);
    }

  private slots:
    void initTestCase() {
        cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL"));
        cmcEeprom loaded;
        loaded.SetSize(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::readInitial(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"),
                                           loaded),
                 0);
        cmcEeprom a(loaded);
        cmcCellDispatch da(&a);
        ListImages::set(da, CT_ChannelList, CL_ChL_FreqR, 0, QStringLiteral("7.1"));
        ListImages::set(da, CT_ChannelList, CL_ChL_Name, 0, QStringLiteral("Harbour"));
        ListImages::set(da, CT_ChannelList, CL_ChL_Mode, 0, QStringLiteral("USB"));
        ListImages::set(da, CT_NetworkList, CL_NetL_Name, 0, QStringLiteral("Net A"));
        ListImages::set(da, CT_Null, CL_USetM_LcdContrast, 0, QStringLiteral("5"));
        a.SetByte(0xB000, 0x00);

        cmcEeprom b(a);
        cmcCellDispatch db(&b);
        ListImages::set(db, CT_ChannelList, CL_ChL_Name, 0, QStringLiteral("Quay"));
        ListImages::set(db, CT_ChannelList, CL_ChL_Mode, 0, QStringLiteral("LSB"));
        ListImages::set(db, CT_NetworkChannels, CL_EnabledChBit_0, 0, QStringLiteral("ON"));
        ListImages::set(db, CT_Null, CL_USetM_LcdContrast, 0, QStringLiteral("7"));
        b.SetByte(0xB000, 0x12);

        save(path("a.icf"), a, loaded);
        save(path("b.icf"), b, loaded);
        save(path("a2.icf"), a, loaded);
        cmcFCache::instance().setTable(nullptr);
    }

    void differentFiles() {
        const CliRun r = cli({"diff", path("a.icf"), path("b.icf")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{"Channel List, row 1, Mode: USB -> LSB",
                              "Channel List, row 1, Name: Harbour -> Quay",
                              "Net Channels, row 1, 1 Net A: OFF -> ON",
                              "User Settings, LCD contrast: 5 -> 7", "0xB000: 00 -> 12"}));
        QVERIFY(r.err.isEmpty());
    }

    void equalFiles() {
        const CliRun r = cli({"diff", path("a.icf"), path("a2.icf")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.isEmpty());
    }

    void unreadableFile() {
        const CliRun r = cli({"diff", path("a.icf"), path("missing.icf")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(QStringLiteral("error")));
    }
};

QTEST_GUILESS_MAIN(tst_CliDiff)
#include "tst_cli_diff.moc"
