// qxt5200-cli find and sort, run as separate processes on real clone files: find prints
// each match by its cell name in tree order and frequencies match by value; sort writes a
// file whose addresses still name the channels they named, and refuses unknown lists and
// columns without writing.

#include "CliRunner.h"
#include "ListImages.h"
#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_CliTidy : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_lists;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    static cmcEeprom open(const QString& file) {
        cmcEeprom image;
        image.SetSize(QxRadio::ImageSize);
        if (indCloneFile::open(file, image) != 0) qWarning("cannot open %s", qPrintable(file));
        return image;
    }

  private slots:
    void initTestCase() {
        cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL"));
        cmcEeprom loaded;
        loaded.SetSize(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::readInitial(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"),
                                           loaded),
                 0);
        // The lists and settings over the initial data, which gives the file its identity.
        cmcEeprom image(loaded);
        for (int32_t a = QxRadio::UserWriteFirst; a <= QxRadio::UserWriteLast; ++a)
            image.SetByte(a, ListImages::populated().GetByte(a));
        m_lists = path(QStringLiteral("lists.icf"));
        QCOMPARE(indCloneFile::save(m_lists, image, loaded), 0);
    }

    void findPrintsCellNames_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("first"); // the first lines printed
        QTest::addColumn<int>("lines");
        QTest::newRow("names in tree order")
            << "net"
            << QStringList{"CT_NetworkList.CL_NetL_Name[0]\tNetworks, row 1, Name: Net 0",
                           "CT_NetworkList.CL_NetL_Name[2]\tNetworks, row 3, Name: Net 2"}
            << 12;
        QTest::newRow("a frequency by value")
            << "2.0"
            << QStringList{"CT_ChannelList.CL_ChL_FreqR[0]\tChannel List, row 1, RX Frequency "
                           "(MHz): 2.000000"}
            << 2; // its transmit frequency is the same

        QTest::newRow("digits of identifiers")
            << "100028"
            << QStringList{"CT_AddressList.CL_AddrL_Id[4]\tAddress List, row 5, Address: 100028"}
            << 1;
    }
    void findPrintsCellNames() {
        QFETCH(QString, text);
        QFETCH(QStringList, first);
        QFETCH(int, lines);
        const CliRun r = cli({QStringLiteral("find"), m_lists, text});
        QCOMPARE(r.exitCode, 0);
        const QStringList out = r.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(out.mid(0, first.size()), first);
        QCOMPARE(out.size(), lines);
    }

    void findNothing() {
        const CliRun r = cli({QStringLiteral("find"), m_lists, QStringLiteral("zebra")});
        QCOMPARE(r.exitCode, 15);
        QVERIFY(r.out.isEmpty());
    }

    void sortKeepsWhatAddressesName() {
        const QString out = path(QStringLiteral("sorted.icf"));
        const CliRun r = cli({QStringLiteral("sort"), m_lists, QStringLiteral("channels"),
                              QStringLiteral("name:desc,rx_frequency"), QStringLiteral("-o"), out});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith(QLatin1String("channels: ")), qPrintable(r.out));
        cmcEeprom before = open(m_lists), after = open(out);
        cmcCellDispatch b(&before), a(&after);
        QVERIFY(b.text(CT_ChannelList, CL_ChL_Name, 0) != a.text(CT_ChannelList, CL_ChL_Name, 0));
        for (int row = 0; row < 30; row += 4) {
            // "NNN name": the number changed with the sort, the name did not.
            const QString was = b.text(CT_AddressList, CL_AddrL_Channel, row);
            const QString is = a.text(CT_AddressList, CL_AddrL_Channel, row);
            QCOMPARE(is.section(u' ', 1, -1), was.section(u' ', 1, -1));
        }
    }

    void sortRefusesWithoutWriting_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("no such list") << QStringList{"planets", "name"} << 12 << "planets";
        QTest::newRow("no such column")
            << QStringList{"channels", "colour"} << 12 << "channels has no column 'colour'";
        QTest::newRow("memberships")
            << QStringList{"net-channels", "name"} << 12 << "no list of records";
        QTest::newRow("missing column") << QStringList{"channels"} << 64 << "usage";
    }
    void sortRefusesWithoutWriting() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        const QString out = path(QStringLiteral("refused.icf"));
        const CliRun r = cli(QStringList{QStringLiteral("sort"), m_lists} + args +
                             QStringList{QStringLiteral("-o"), out});
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_GUILESS_MAIN(tst_CliTidy)
#include "tst_cli_tidy.moc"
