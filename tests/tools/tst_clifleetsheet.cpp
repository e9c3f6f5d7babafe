// A fleet with its own identities from the command line, against three simulated radios
// with different serial numbers (two on pseudo-terminals, one over TCP): the radios read into
// a folder, fleet-sheet over their files, a document written with those per-radio values
// (each radio keeps its own self address and profile identifier, and gets nothing else but
// the document's change), and the refusals that send nothing to any radio.

#include "CliRunner.h"
#include "ListImages.h"
#include "cloneSimProcess.h"
#include "cmcCellDispatch.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "imcImageDiff.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const char* const Serials[3] = {"FLEET-A", "FLEET-B", "FLEET-C"};
const char* const SelfAddresses[3] = {"SELFA", "SELFB", "SELFC"};
const char* const ProfileIds[3] = {"200001", "200002", "200003"};
const char* const SelfRef = "CT_AleSelfIndId.CL_Ale_SelfId_Id[0]";
const char* const ProfileRef = "CT_ProfileList.CL_ProfileL_Id[2]";
// The list records up to the settings block, without the band edges between them.
constexpr int32_t ListFirst = 0x052F, ListLast = 0xA961, BandFirst = 0x9076, BandLast = 0x90C5;

void typed(cmcEeprom& image, int32_t category, int32_t label, int32_t row, const QString& text) {
    cmcCellDispatch d(&image);
    ListImages::set(d, category, label, row, text);
}

QString shown(const cmcEeprom& image, int32_t category, int32_t label, int32_t row) {
    cmcEeprom copy(image);
    return cmcCellDispatch(&copy).text(category, label, row);
}

int countE3(const QString& log) {
    int n = 0;
    for (const QString& l : cloneLogLines(log))
        if (l.startsWith(QLatin1String("FE EE EF E3"))) ++n;
    return n;
}

QStringList backups(const QString& pattern) {
    return QDir(cliDataHome() + QStringLiteral("/Vexo/QX-T5200/backups"))
        .entryList({pattern}, QDir::Files, QDir::Name);
}

} // namespace

class tst_CliFleetSheet : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase() { cmcFCache::instance().setTable(nullptr); }
    void readDeriveWrite();
    void refusals_data();
    void refusals();

  private:
    // Starts the three radios, each from its own image, keeping what a write sends and
    // logging every frame.
    bool startRadios(const QString& tag);
    QStringList links() const;

    QTemporaryDir m_dir;
    cmcEeprom m_radio[3];
    QString m_files[3];
    std::unique_ptr<cloneSimProcess> m_sims[3];
    QString m_saved[3], m_logs[3];
};

void tst_CliFleetSheet::initTestCase() {
    QVERIFY(m_dir.isValid());
    cmcFCache::instance().setTable(&ListImages::overlay("QXT5200_ENG.OVL"));
    // The factory data with every list in use: the lists and their bitmaps from the list
    // tests' image, the rest (identity, settings, band edges) from the initial file.
    cmcEeprom base(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::readInitial(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"), base),
             0);
    for (int32_t a = ListFirst; a <= ListLast; ++a)
        if (a < BandFirst || a > BandLast) base.SetByte(a, ListImages::populated().GetByte(a));
    for (int i = 0; i < 3; ++i) {
        m_radio[i] = base;
        typed(m_radio[i], CT_AleSelfIndId, CL_Ale_SelfId_Id, 0, SelfAddresses[i]);
        typed(m_radio[i], CT_ProfileList, CL_ProfileL_Id, 2, ProfileIds[i]);
        m_files[i] = m_dir.filePath(QStringLiteral("memory-%1.icf").arg(i));
        QVERIFY(cloneWriteImageFile(m_files[i], m_radio[i]));
    }
}

bool tst_CliFleetSheet::startRadios(const QString& tag) {
    const cloneSimProcess::Link kinds[3] = {cloneSimProcess::Serial, cloneSimProcess::Serial,
                                            cloneSimProcess::Tcp};
    for (int i = 0; i < 3; ++i) {
        m_saved[i] = m_dir.filePath(QStringLiteral("%1-saved-%2.icf").arg(tag).arg(i));
        m_logs[i] = m_dir.filePath(QStringLiteral("%1-log-%2.txt").arg(tag).arg(i));
        // Each radio lays its information block out as its own firmware does.
        const QByteArray body = QByteArray("QX-T5200  S/N ") + Serials[i];
        m_sims[i] = std::make_unique<cloneSimProcess>();
        if (!m_sims[i]->start(kinds[i], {"--file", m_files[i], "--save", m_saved[i], "--log",
                                         m_logs[i], "--info-body", body.toHex()}))
            return false;
    }
    return true;
}

QStringList tst_CliFleetSheet::links() const {
    QStringList args;
    for (const auto& sim : m_sims)
        args << linkArgs(*sim);
    return args;
}

// Read the fleet, derive its sheet, write a changed document with it: each radio holds the
// document's change and its own values, and nothing else moved.
void tst_CliFleetSheet::readDeriveWrite() {
    QVERIFY(startRadios("flow"));
    const QString folder = m_dir.filePath("fleet-read");
    CliRun r = cli(QStringList{"read", "-o", folder} + links());
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));

    const QString sheetFile = m_dir.filePath("fleet.csv");
    QStringList files;
    for (const char* s : Serials)
        files << QDir(folder).filePath(QString::fromLatin1(s) + ".icf");
    r = cli(QStringList{"fleet-sheet"} + files + QStringList{"-o", sheetFile});
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    QByteArray csv;
    QVERIFY(cmcCsvList::readFile(sheetFile, &csv, nullptr));
    std::vector<cmcCsvRecord> records;
    QVERIFY(cmcCsvList::parse(csv, records, nullptr));
    QCOMPARE(records.size(), size_t(4));
    QCOMPARE(records[0].fields, QStringList({"radio", ProfileRef, SelfRef}));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(records[size_t(i) + 1].fields,
                 QStringList({Serials[i], ProfileIds[i], SelfAddresses[i]}));

    // The document: the first radio's data with one change for the whole fleet.
    cmcEeprom document = m_radio[0];
    typed(document, CT_ChannelList, CL_ChL_Name, 3, "Quay");
    const QString documentFile = m_dir.filePath("document.icf");
    QVERIFY(cloneWriteImageFile(documentFile, document));
    const QStringList before = backups("*_write-FLEET-*");
    r = cli(QStringList{"write", documentFile, "--per-radio", sheetFile, "--verify"} + links());
    QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));

    const QStringList after = backups("*_write-FLEET-*");
    for (int i = 0; i < 3; ++i) {
        const QString applied = QStringLiteral("CL_ProfileL_Id[2]=%1, CL_Ale_SelfId_Id[0]=%2")
                                    .arg(ProfileIds[i], SelfAddresses[i]);
        const QRegularExpression line(QRegularExpression::escape(m_sims[i]->address()) +
                                      "\\s+S/N " + Serials[i] + "\\s+0\\s+" +
                                      QRegularExpression::escape(applied) + "\\s+OK");
        QVERIFY2(r.out.contains(line), qPrintable(r.out));
        cmcEeprom memory(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(m_saved[i], memory), 0);
        const imcImageDiffResult diff = imcImageDiff::compare(m_radio[i], memory);
        QVERIFY2(diff.bytes.empty(), qPrintable(diff.lines(m_radio[i], memory).join('\n')));
        QCOMPARE(diff.cells.size(), size_t(1));
        QCOMPARE(diff.cells[0].after, QStringLiteral("Quay"));
        // Its backup is named by its serial number and holds what it was sent.
        const QStringList kept = after.filter(QStringLiteral("_write-%1.icf").arg(Serials[i]));
        QCOMPARE(
            kept.size() - before.filter(QStringLiteral("_write-%1.icf").arg(Serials[i])).size(), 1);
        cmcEeprom backup(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(
                     QDir(cliDataHome() + "/Vexo/QX-T5200/backups").filePath(kept.last()), backup),
                 0);
        QCOMPARE(shown(backup, CT_AleSelfIndId, CL_Ale_SelfId_Id, 0),
                 QString::fromLatin1(SelfAddresses[i]));
    }
}

// A sheet that must not be written: nothing goes to any radio. With the plain document
// allowed for a radio without a row, that radio gets the document as it is; when two or
// more get it, they are written all the same and a warning names them.
void tst_CliFleetSheet::refusals_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("writes");       // write commands each radio received
    QTest::addColumn<QStringList>("held"); // self addresses after a write
    const QByteArray head = QByteArray("radio,") + SelfRef + "\r\n";
    QTest::newRow("value refused")
        << head + "FLEET-A,SELFA\r\nFLEET-B,SELF B!\r\nFLEET-C,SELFC\r\n"
        << QStringList() << 35 << "line 3, column 2" << 0 << QStringList();
    QTest::newRow("same self address")
        << head + "FLEET-A,SELFA\r\nFLEET-B,SELFB\r\nFLEET-C,selfa\r\n"
        << QStringList() << 35 << "radios FLEET-A and FLEET-C are both given 'SELFA'" << 0
        << QStringList();
    QTest::newRow("radio without a row")
        << head + "FLEET-A,SELFA\r\nFLEET-B,SELFB\r\n"
        << QStringList() << 21 << "S/N FLEET-C (<link>) has no row" << 0 << QStringList();
    QTest::newRow("plain document for it") << head + "FLEET-A,SELFX\r\nFLEET-B,SELFY\r\n"
                                           << QStringList{"--plain-for-unlisted"} << 0 << "" << 1
                                           << QStringList{"SELFX", "SELFY", SelfAddresses[0]};
    QTest::newRow("plain document for two")
        << head + "FLEET-A,SELFX\r\n"
        << QStringList{"--plain-for-unlisted"} << 0
        << "warning: FILE as it is goes to 2 radios without a row in the per-radio values, "
           "which all get the same ALE self addresses and selective-call identifiers: "
           "S/N FLEET-B (<linkB>), S/N FLEET-C (<link>)"
        << 1 << QStringList{"SELFX", SelfAddresses[0], SelfAddresses[0]};
}

void tst_CliFleetSheet::refusals() {
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(int, writes);
    QFETCH(QStringList, held);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
    QVERIFY(startRadios(tag));
    const QString sheetFile = m_dir.filePath(tag + ".csv");
    QVERIFY(cmcCsvList::writeFile(sheetFile, csv, nullptr));
    const CliRun r =
        cli(QStringList{"write", m_files[0], "--per-radio", sheetFile} + options + links());
    QVERIFY2(r.exitCode == exitCode, qPrintable(r.out + r.err));
    message.replace(QLatin1String("<link>"), m_sims[2]->address())
        .replace(QLatin1String("<linkB>"), m_sims[1]->address());
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    if (!message.startsWith(QLatin1String("warning:")))
        QVERIFY2(!r.err.contains(QLatin1String("warning:")), qPrintable(r.err));
    for (int i = 0; i < 3; ++i)
        QVERIFY2(countE3(m_logs[i]) == writes, qPrintable(QString::number(i)));
    if (writes == 0) return;
    // An unlisted radio got the document's self address; the others their own.
    for (int i = 0; i < 3; ++i) {
        cmcEeprom memory(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(m_saved[i], memory), 0);
        QCOMPARE(shown(memory, CT_AleSelfIndId, CL_Ale_SelfId_Id, 0), held[i]);
    }
}

QTEST_GUILESS_MAIN(tst_CliFleetSheet)
#include "tst_clifleetsheet.moc"
