// qxt5200-cli's cell verbs, run as a separate process on real clone files: get, set, list.

#include "CliRunner.h"
#include "cmcEeprom.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QX_RUNTIME_DIR "/qxt5200-cli" QX_EXE_SUFFIX), args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) return r;
    r.status = p.exitCode();
    r.out = QString::fromLocal8Bit(cliText(p.readAllStandardOutput()));
    r.err = QString::fromLocal8Bit(cliText(p.readAllStandardError()));
    return r;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_CliCells : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void setThenGet();
    void setToOtherFile();
    void refusedLeavesFile_data();
    void refusedLeavesFile();
    void list();
    void overlayOption();
    void namedNetworkIsSound();

  private:
    QString file() const { return m_dir->filePath(QStringLiteral("f.icf")); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_CliCells::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QFile::copy(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"), file()));
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner);
}

void tst_CliCells::setThenGet() {
    Run r =
        runCli({QStringLiteral("set"), file(), QStringLiteral("CT_ChannelList.CL_ChL_FreqR[0]=7.1"),
                QStringLiteral("CT_ChannelList.CL_ChL_Name[0]=Harbour"),
                QStringLiteral("CL_USetM_LcdContrast=99")});
    QCOMPARE(r.status, 0);
    r = runCli({QStringLiteral("get"), file(), QStringLiteral("CT_ChannelList.CL_ChL_FreqR[0]"),
                QStringLiteral("CT_ChannelList.CL_ChL_FreqT[0]"),
                QStringLiteral("CT_ChannelList.CL_ChL_Name[0]"),
                QStringLiteral("CL_USetM_LcdContrast")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QStringLiteral("7.100000\n<-\nHarbour\n10\n"));

    // The saved file is a clone file the program opens, with the bytes in place.
    cmcEeprom image(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::open(file(), image), 0);
    QCOMPARE(image.GetByte(0x052F), uint8_t(0x60)); // 7,100,000 = 0x6C5660
    QCOMPARE(image.GetByte(0x052F + 1), uint8_t(0x56));
    QCOMPARE(image.GetByte(0xA962), uint8_t(10));
}

void tst_CliCells::setToOtherFile() {
    const QByteArray before = readAll(file());
    const QString out = m_dir->filePath(QStringLiteral("out.icf"));
    Run r = runCli({QStringLiteral("set"), file(), QStringLiteral("-o"), out,
                    QStringLiteral("CL_VFO_A_Band2=3.5")});
    QCOMPARE(r.status, 0);
    QCOMPARE(readAll(file()), before);
    r = runCli({QStringLiteral("get"), out, QStringLiteral("CL_VFO_A_Band2")});
    QCOMPARE(r.out, QStringLiteral("3.500000\n"));
}

void tst_CliCells::refusedLeavesFile_data() {
    QTest::addColumn<QStringList>("assignments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("row not in use")
        << QStringList{QStringLiteral("CT_ChannelList.CL_ChL_Name[4]=x")} << 13
        << "the row is not in use (set CL_ChL_FreqR first)";
    QTest::newRow("unreadable frequency, after a good one")
        << QStringList{QStringLiteral("CT_ChannelList.CL_ChL_FreqR[1]=5"),
                       QStringLiteral("CT_ChannelList.CL_ChL_FreqR[1]=abc")}
        << 13 << "did not take 'abc'";
    QTest::newRow("no such item") << QStringList{QStringLiteral("CL_USetM_BackLight=DIM")} << 13
                                  << "did not take 'DIM'";
    QTest::newRow("unknown label") << QStringList{QStringLiteral("CL_USetM_Bogus=1")} << 12
                                   << "Cannot use the specified cell.";
    QTest::newRow("channel reference")
        << QStringList{QStringLiteral("CL_ChL_Name[@ch0]=x")} << 12 << "Ch No. Error";
    QTest::newRow("no text") << QStringList{QStringLiteral("CL_USetM_BackLight")} << 64
                             << "is not REF=TEXT";
}

void tst_CliCells::refusedLeavesFile() {
    QFETCH(QStringList, assignments);
    const QByteArray before = readAll(file());
    const Run r = runCli(QStringList{QStringLiteral("set"), file()} + assignments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(readAll(file()), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 1); // no temporary file left
}

void tst_CliCells::list() {
    QCOMPARE(runCli({QStringLiteral("set"), file(),
                     QStringLiteral("CT_AddressList.CL_AddrL_Name[2]=Base"),
                     QStringLiteral("CT_AddressList.CL_AddrL_Id[2]=123456"),
                     QStringLiteral("CT_AddressList.CL_AddrL_CallType[2]=PHONE")})
                 .status,
             0);
    const Run r = runCli({QStringLiteral("list"), file(), QStringLiteral("CT_AddressList")});
    QCOMPARE(r.status, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0),
             QStringLiteral("row\tCL_AddrL_Name\tCL_AddrL_Id\tCL_AddrL_CallType\tCL_AddrL_Channel\t"
                            "CL_AddrL_Network\tCL_AddrL_Phone\tCL_AddrL_Msg\tCL_AddrL_Emergency"));
    // A row put in use has no channel, network, phone or message, and its emergency flag
    // starts at the first item.
    QVERIFY2(lines.contains(QStringLiteral("2\tBase\t123456\tPHONE\t\t\t\t\tOFF")),
             qPrintable(r.out));
    for (const QString& line : lines.mid(1))
        QCOMPARE(line.count(u'\t'), 8);

    QCOMPARE(runCli({QStringLiteral("list"), file(), QStringLiteral("CT_Mch")}).status, 12);
    QCOMPARE(runCli({QStringLiteral("list"), file(), QStringLiteral("CT_Nothing")}).status, 12);
    QCOMPARE(runCli({QStringLiteral("list"), m_dir->filePath(QStringLiteral("missing.icf")),
                     QStringLiteral("CT_ChannelList")})
                 .status,
             1);
}

void tst_CliCells::overlayOption() {
    QCOMPARE(runCli({QStringLiteral("set"), file(), QStringLiteral("CL_SetM_AleScanCallTime=auto"),
                     QStringLiteral("--overlay"), QStringLiteral(QX_TEST_DATA_DIR "/cells.ovl")})
                 .status,
             0);
    const Run r =
        runCli({QStringLiteral("get"), file(), QStringLiteral("CL_SetM_AleScanCallTime"),
                QStringLiteral("--overlay"), QStringLiteral(QX_TEST_DATA_DIR "/cells.ovl")});
    QCOMPARE(r.out, QStringLiteral("AUTO\n"));
    QCOMPARE(runCli({QStringLiteral("get"), file(), QStringLiteral("CL_Null"),
                     QStringLiteral("--overlay"), m_dir->filePath(QStringLiteral("none.ovl"))})
                 .status,
             64);
}

// A network named in a new file reads its first scan type and call system and numbers
// within their limits, and names no channel.
void tst_CliCells::namedNetworkIsSound() {
    const QString target = m_dir->filePath(QStringLiteral("new.icf"));
    QCOMPARE(runCli({QStringLiteral("new"), target}).status, 0);
    QCOMPARE(runCli({QStringLiteral("set"), target,
                     QStringLiteral("CT_NetworkList.CL_NetL_Name[0]=NET1")})
                 .status,
             0);
    const Run r =
        runCli({QStringLiteral("get"), target, QStringLiteral("CT_NetworkList.CL_NetL_ScanType[0]"),
                QStringLiteral("CT_NetworkList.CL_NetL_CallSys[0]"),
                QStringLiteral("CT_NetworkList.CL_NetL_DetectTime[0]"),
                QStringLiteral("CT_NetworkList.CL_NetL_Preamble[0]")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QStringLiteral("OFF\nSELCALL\n  0.1\n0\n"));

    cmcEeprom image(QxRadio::ImageSize);
    QCOMPARE(indCloneFile::open(target, image), 0);
    for (int32_t a = 0x6B87 + 22; a < 0x6B87 + 22 + 63; ++a)
        QCOMPARE(image.GetByte(a), uint8_t(0));
}

QTEST_GUILESS_MAIN(tst_CliCells)
#include "tst_cli_cells.moc"
