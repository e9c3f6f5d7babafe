// Numbers that are not numbers: text that is not a number in a cell's own format ("1e-5",
// "0x10", "-1e308") is refused by a list import with or without clamping, by the
// command-line import with --clamp, and by a cell typed in the editor; clamping only ever
// brings a number that is out of range into range.

#include "CliRunner.h"
#include "ListImages.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "imcCsvLists.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList NotNumbers{"1e-5", "0x10", "-1e308", "f=3.5", "7.1.2", "14,2", "12abc"};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_notnumbers : public QObject {
    Q_OBJECT

  private slots:
    // The cells read their texts from the English overlay.
    void initTestCase() { cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL")); }
    void cleanupTestCase() { cmcFCache::instance().setTable(nullptr); }

    void importRefusesThem_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("clamp");
        for (const QString& v : NotNumbers)
            for (bool clamp : {false, true})
                QTest::newRow(qPrintable(v + (clamp ? QStringLiteral(", clamped") : QString())))
                    << v << clamp;
    }
    void importRefusesThem() {
        QFETCH(QString, value);
        QFETCH(bool, clamp);
        cmcEeprom image(ListImages::populated());
        const cmcEeprom before(image);
        cmcCsvOptions options;
        options.clamp = clamp;
        const QByteArray text = "row,rx_frequency\n95,\"" + value.toUtf8() + "\"\n";
        const cmcCsvResult result = cmcCsvList::read(
            image, nullptr, imcCsvLists::layouts(*imcCsvLists::find(QStringLiteral("channels"))),
            text, options);
        QVERIFY(!result.ok());
        QCOMPARE(result.errors.size(), size_t(1));
        const QString error = result.errors[0].describe();
        QVERIFY2(
            error.startsWith(
                QStringLiteral("line 2, column 2 (rx_frequency): '%1' is not a frequency in MHz")
                    .arg(value)),
            qPrintable(error));
        QVERIFY(result.clamped.empty());
        QVERIFY(image == before);
    }

    // Clamping still does its work on numbers: too high, too low.
    void clampTakesNumbersOutOfRange() {
        cmcEeprom image(ListImages::populated());
        cmcCsvOptions options;
        options.clamp = true;
        const cmcCsvResult result = cmcCsvList::read(
            image, nullptr, imcCsvLists::layouts(*imcCsvLists::find(QStringLiteral("channels"))),
            "row,rx_frequency\n95,45\n96,0.001\n", options);
        QVERIFY(result.ok());
        QCOMPARE(result.clamped.size(), size_t(2));
        cmcCellDispatch d(&image);
        QCOMPARE(d.text(CT_ChannelList, CL_ChL_FreqR, 94), QStringLiteral("29.999990"));
        QCOMPARE(d.text(CT_ChannelList, CL_ChL_FreqR, 95), QStringLiteral("0.030000"));
    }

    // Typed into a cell: refused, the image as it was; a number with the unit goes in.
    void typedIntoACell() {
        cmcEeprom image(ListImages::populated());
        cmcCellDispatch d(&image);
        const QString was = d.text(CT_ChannelList, CL_ChL_FreqR, 0);
        for (const QString& v : NotNumbers) {
            const cmcEeprom before(image);
            QVERIFY2(!d.commit(CT_ChannelList, CL_ChL_FreqR, 0, v), qPrintable(v));
            QVERIFY2(image == before, qPrintable(v));
        }
        QCOMPARE(d.text(CT_ChannelList, CL_ChL_FreqR, 0), was);
        QVERIFY(d.commit(CT_ChannelList, CL_ChL_FreqR, 0, QStringLiteral("14.2 MHz")));
        QCOMPARE(d.text(CT_ChannelList, CL_ChL_FreqR, 0), QStringLiteral("14.200000"));
    }

    // The command-line import with --clamp: status 13, the line and the value named, the
    // file as it was.
    void cliImportWithClamp() {
        QTemporaryDir dir;
        const QString icf = dir.filePath(QStringLiteral("f.icf"));
        QCOMPARE(cli({QStringLiteral("new"), icf}).exitCode, 0);
        const QByteArray before = readAll(icf);
        for (const char* value : {"1e-5", "0x10", "-1e308"}) {
            const QString csv = dir.filePath(QStringLiteral("plan.csv"));
            QFile f(csv);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray("row,rx_frequency\n4,") + value + "\n");
            f.close();
            const CliRun r = cli({QStringLiteral("import"), icf, QStringLiteral("channels"), csv,
                                  QStringLiteral("--clamp")});
            QCOMPARE(r.exitCode, 13);
            QVERIFY2(
                r.err.contains(
                    QStringLiteral("'%1' is not a frequency in MHz").arg(QLatin1String(value))),
                qPrintable(r.err));
            QCOMPARE(readAll(icf), before);
        }
    }
};

QTEST_GUILESS_MAIN(tst_notnumbers)
#include "tst_notnumbers.moc"
