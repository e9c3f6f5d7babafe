// Frame and block arithmetic of the clone protocol, the serial settings text, the TCP
// client's limits, and the driver's handling of crafted replies from a scripted peer on a
// loopback socket.

#include "cloneSimProcess.h"
#include "cmcCloneDrv.h"
#include "cmcCloneMessage.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "cmcTcpClient.h"
#include "imcCloneCheck.h"
#include "imcCloneDrv.h"
#include "imcRadioFacts.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <algorithm>
#include <functional>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// A radio made of a script: every complete frame the driver sends (without FD) goes to the
// handler, whose answer is sent back. Nothing is echoed, as on any TCP link.
class scriptPeer : public QObject {
  public:
    std::function<QByteArray(const QByteArray& frame)> handler;
    QList<QByteArray> frames;

    scriptPeer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* s = m_server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                for (char c : s->readAll()) {
                    if (uint8_t(c) == 0xFE)
                        m_in = QByteArray(1, c);
                    else if (m_in.isEmpty())
                        continue;
                    else if (uint8_t(c) == 0xFD) {
                        frames << m_in;
                        if (handler) s->write(handler(m_in));
                        m_in.clear();
                    } else
                        m_in.append(c);
                }
            });
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        });
    }
    void configure(cmcCloneDrv& drv) {
        drv.SetTcpLink(true, "127.0.0.1", m_server.serverPort());
        drv.SetCodes(0x7041, 0);
        drv.SetImageSize(0xFFF0);
        drv.SetEchoCheck(true); // no effect on TCP: nothing echoes there
        drv.SetAckBlock(128);
    }

  private:
    QTcpServer m_server;
    QByteArray m_in;
};

QByteArray radioBlock(int32_t address, const QByteArray& data) {
    return cmcCloneDrv::DataFrame(reinterpret_cast<const uint8_t*>(data.constData()), address,
                                  int32_t(data.size()), 0xEF, 0xEE);
}

QByteArray radioEnd(const char* count) {
    return hex("FEFEEFEEE5") + "Vexo Inc." + count + hex("FD");
}

} // namespace

class tst_CloneFrames : public QObject {
    Q_OBJECT
  private slots:
    void commandFrames();
    void blockText();
    void settingsText_data();
    void settingsText();
    void writeSplitsBlocksAtSixteen();
    void readReplies_data();
    void readReplies();
    void identifyReply_data();
    void identifyReply();
    void adjustmentReply_data();
    void adjustmentReply();
    void tcpClientLimits();
    void serialPortOpenTwice();
    void infoChecks_data();
    void infoChecks();
    void imageIdentity();
    void statusMessage();
    void tcpStatusMessage_data();
    void tcpStatusMessage();
};

void tst_CloneFrames::commandFrames() {
    QCOMPARE(cmcCloneDrv::CommandFrame(0xE0, 0x7041, 0), hex("FEFEEEEFE070410000FD"));
    QCOMPARE(imcCloneDrv::CommandFrame(0x7041, 0x02, 0x01), hex("FEFEEEEFE87041000002"
                                                                "3031"
                                                                "FD"));
    // The speed-change script: 9,600 baud, then 20 x FE and the E8 01 "09" frame.
    const QString script = imcCloneDrv::SpeedChangeScript(0x7041);
    QVERIFY(script.startsWith("(9600,N,8,1)"));
    cmcBuff b;
    b.AppendHexText(script.mid(12));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(b.GetData()), b.GetLength()),
             QByteArray(20, char(0xFE)) + hex("EEEFE87041000001"
                                              "3039"
                                              "FD"));
    QCOMPARE(cmcCloneDrv::EndFrame(100), hex("FEFEEEEFE5") + "Vexo Inc.64" + hex("FD"));
}

void tst_CloneFrames::blockText() {
    uint8_t data[16];
    for (int i = 0; i < 16; ++i)
        data[i] = uint8_t(i);
    const QByteArray text = cmcCloneDrv::BlockText(data, 0x0010, 16);
    QCOMPARE(text, QByteArray("001010"
                              "000102030405060708090A0B0C0D0E0F"
                              "68"));
    QCOMPARE(cmcCloneDrv::DataFrame(data, 0x0010, 16).size(), 46);
}

void tst_CloneFrames::settingsText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<bool>("check");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("9600,n,8,1") << "9600,n,8,1" << 9600u << 0 << false << 8 << 0;
    QTest::newRow("9600,N,8,1") << "9600,N,8,1" << 9600u << 0 << false << 8 << 0;
    QTest::newRow("38400,N,8,1") << "38400,N,8,1" << 38400u << 0 << false << 8 << 0;
    QTest::newRow("even 7 two") << "4800,E,7,2" << 4800u << 2 << true << 7 << 2;
    QTest::newRow("odd") << "1200,o,8,1" << 1200u << 1 << true << 8 << 0;
    QTest::newRow("mark") << "1200,M,8,1" << 1200u << 3 << true << 8 << 0;
    QTest::newRow("other letter is none") << "1200,X,8,1" << 1200u << 0 << false << 8 << 0;
    QTest::newRow("9 bits give 8") << "9600,N,9,1" << 9600u << 0 << false << 8 << 0;
    QTest::newRow("3 bits give 4") << "9600,N,3,1" << 9600u << 0 << false << 4 << 0;
    QTest::newRow("one and a half") << "9600,N,8,1.5" << 9600u << 0 << false << 8 << 1;
}

void tst_CloneFrames::settingsText() {
    QFETCH(QString, text);
    const cmcComm::Settings s = cmcComm::ParseSettings(text);
    QTEST(s.baud, "baud");
    QTEST(int(s.parity), "parity");
    QTEST(s.parityCheck, "check");
    QTEST(int(s.dataBits), "dataBits");
    QTEST(int(s.stopBits), "stopBits");
    QCOMPARE(cmcComm::WriteTimeoutPerByte(38400), 2u);
    QCOMPARE(cmcComm::WriteTimeoutPerByte(9600), 10u);
}

void tst_CloneFrames::writeSplitsBlocksAtSixteen() {
    scriptPeer peer;
    peer.handler = [](const QByteArray& f) {
        if (uint8_t(f[3]) == 0xE3) return QByteArray(1, char(0xFB));
        if (uint8_t(f[3]) == 0xE5) return hex("FEFEEFEEE600FD");
        return QByteArray();
    };
    cmcCloneDrv drv;
    peer.configure(drv);
    cmcEeprom image = cloneTestImage(5);
    const cmcAdrRange ranges[] = {{0x0008, 0x0025}, {1, 0}};
    const cloneOutcome o =
        cloneRun([&](auto cb, void* ctx) { return drv.StartWrite(image, ranges, cb, ctx); });
    QCOMPARE(o.status, 0);
    QCOMPARE(peer.frames.size(), 5);
    const struct { int32_t address, length; } blocks[] = {{0x0008, 8}, {0x0010, 16}, {0x0020, 6}};
    for (int i = 0; i < 3; ++i) {
        const QByteArray expected = cmcCloneDrv::DataFrame(image.data() + blocks[i].address,
                                                           blocks[i].address, blocks[i].length);
        QCOMPARE(peer.frames[i + 1] + char(0xFD), expected.mid(1));
    }
    QCOMPARE(peer.frames[4], hex("FEEEEFE5") + "Vexo Inc.03");
}

// Crafted read replies: the driver's verdict on each.
void tst_CloneFrames::readReplies_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("storedAt"); // an address whose byte must have arrived, or -1

    QByteArray hundred;
    for (int i = 0; i < 100; ++i)
        hundred += radioBlock(16 * i, QByteArray(16, char(i)));
    QTest::newRow("100 frames, count 64") << hundred + radioEnd("64") << 0 << 0x0630;
    QTest::newRow("100 frames, count 63") << hundred + radioEnd("63") << 7 << -1;
    QTest::newRow("odd block lengths")
        << radioBlock(0x0100, "\x11\x22\x33") + radioBlock(0x0103, "\x44\x55\x66\x77\x88") +
               radioEnd("02")
        << 0 << 0x0107;
    QTest::newRow("one byte block") << radioBlock(0x0200, "\x5A") + radioEnd("01") << 0 << 0x0200;
    QByteArray lower = radioBlock(0x00A0, QByteArray(16, '\xAB'));
    lower = lower.left(5) + lower.mid(5, lower.size() - 6).toLower() + lower.right(1);
    QTest::newRow("lower-case hex") << lower + radioEnd("01") << 6 << -1;
    QByteArray badSum = radioBlock(0x0010, QByteArray(16, '\x01'));
    badSum[badSum.size() - 2] = badSum[badSum.size() - 2] == '0' ? '1' : '0';
    QTest::newRow("bad checksum") << badSum + radioEnd("01") << 6 << -1;
    QTest::newRow("block at FFF0")
        << radioBlock(0xFFF0, QByteArray(16, '\0')) + radioEnd("01") << 9 << -1;
    QTest::newRow("other maker") << hex("FEFEEFEEE5") + "Vexo Ltd.00" + hex("FD") << 6 << -1;
    QTest::newRow("other command") << hex("FEFEEFEEE7303030303030303030FD") << 6 << -1;
    QTest::newRow("overlong frame")
        << hex("FEFEEFEEE4") + QByteArray(600, '0') + hex("FD") << 6 << -1;
}

void tst_CloneFrames::readReplies() {
    QFETCH(QByteArray, reply);
    QFETCH(int, status);
    QFETCH(int, storedAt);
    scriptPeer peer;
    peer.handler = [reply](const QByteArray& f) {
        return uint8_t(f[3]) == 0xE2 ? reply : QByteArray();
    };
    cmcCloneDrv drv;
    peer.configure(drv);
    cloneFastClock clock(4);
    const cloneOutcome o =
        cloneRun([&](auto cb, void* ctx) { return drv.StartRead(nullptr, cb, ctx); });
    QCOMPARE(o.status, status);
    if (storedAt >= 0) QVERIFY(o.image.GetByte(storedAt) != 0);
}

void tst_CloneFrames::identifyReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("code2");
    QTest::addColumn<int>("infoLength");
    QByteArray info(32, '\x02');
    info[0] = 32;
    QTest::newRow("model reply") << hex("FEFEEFEEE170410001") + info + hex("FD") << 0 << 1 << 32;
    QTest::newRow("leading FE run")
        << QByteArray(5, char(0xFE)) + hex("EFEEE170410000") + info + hex("FD") << 0 << 0 << 32;
    QTest::newRow("nibble above 9") << hex("FEFEEFEEE17A410001") + info + hex("FD") << 6 << 0 << 0;
    QTest::newRow("too short") << hex("FEFEEFEEE17041FD") << 6 << 0 << 0;
    QTest::newRow("wrong command") << hex("FEFEEFEEE270410001FD") << 6 << 0 << 0;
}

void tst_CloneFrames::identifyReply() {
    QFETCH(QByteArray, reply);
    QFETCH(int, status);
    scriptPeer peer;
    peer.handler = [reply](const QByteArray&) { return reply; };
    cmcCloneDrv drv;
    peer.configure(drv);
    const cloneOutcome o = cloneRun([&](auto cb, void* ctx) { return drv.StartIdentify(cb, ctx); });
    QCOMPARE(o.status, status);
    if (status == 0) {
        QCOMPARE(o.code1, 0x7041);
        QTEST(o.code2, "code2");
        QTEST(int(o.information.size()), "infoLength");
    }
    QCOMPARE(peer.frames.value(0), hex("FEEEEFE070410000"));
}

void tst_CloneFrames::adjustmentReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("two result bytes")
        << hex("FEFEEFEEE87041000003") + "12AB" + hex("FD") << 0 << hex("12AB");
    QTest::newRow("other model ignored")
        << hex("FEFEEFEEE87042000003") + "12AB" + hex("FD") << 5 << hex("0000");
    QTest::newRow("other command ignored")
        << hex("FEFEEFEEE17041000003") + "12AB" + hex("FD") << 5 << hex("0000");
}

// A single adjustment command with a result: the reply's hexadecimal pair fills it; a
// reply for another model is ignored and the wait ends by time-out.
void tst_CloneFrames::adjustmentReply() {
    QFETCH(QByteArray, reply);
    scriptPeer peer;
    peer.handler = [reply](const QByteArray& f) {
        return uint8_t(f[3]) == 0xE8 ? reply : QByteArray();
    };
    imcCloneDrv drv;
    peer.configure(drv);
    drv.SetEchoCheck(false);
    uint8_t result[2] = {};
    drv.SetCommand(0x03, 0x05, result);
    cloneFastClock clock(4);
    const cloneOutcome o = cloneRun([&](auto cb, void* ctx) { return drv.StartCommand(cb, ctx); });
    QTEST(o.status, "status");
    QTEST(QByteArray(reinterpret_cast<char*>(result), 2), "result");
    QCOMPARE(peer.frames.value(0), hex("FEEEEFE87041000003") + "05");
}

void tst_CloneFrames::tcpClientLimits() {
    cmcTcpClient c;
    QVERIFY(!c.Connect(50000, QString()));
    QVERIFY(!c.IsValid());
    QVERIFY(!c.Connect(50000, "10.0.0"));
    uint32_t a = 0;
    QVERIFY(cmcTcpClient::ParseAddress("10.0.0.1", &a));
    QCOMPARE(a, 0x0A000001u);
    QVERIFY(!cmcTcpClient::ParseAddress("1.2.3.4.5", &a));
    QVERIFY(!cmcTcpClient::ParseAddress("1234.1.1.1", &a));
    QVERIFY(!cmcTcpClient::ParseAddress("10.0.0.256", &a));

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QVERIFY(c.Connect(server.serverPort(), "127.0.0.1"));
    QCOMPARE(c.Port(), server.serverPort());
    // Nothing leaves before the connection stands, so the buffer fills.
    const QByteArray big(31950, 'x');
    QCOMPARE(c.Write(reinterpret_cast<const uint8_t*>(big.constData()), int(big.size())), 31950);
    QCOMPARE(c.Pending(), 31950);
    const QByteArray more(100, 'y');
    QCOMPARE(c.Write(reinterpret_cast<const uint8_t*>(more.constData()), 100), 0);
    QCOMPARE(c.Pending(), 31950);
    QTRY_VERIFY(!c.IsConnecting());
    uint8_t buf[16];
    QCOMPARE(c.Read(buf, 16), 0); // nothing to read: at once, nothing
    // The buffer drains in 1,024-byte chunks once connected.
    QTRY_COMPARE(c.Pending(), 0);
    QTcpSocket* s = server.nextPendingConnection();
    QVERIFY(s);
    QTRY_COMPARE(s->bytesAvailable(), qint64(31950));
    c.Disconnect();
    QVERIFY(!c.IsValid());
}

void tst_CloneFrames::serialPortOpenTwice() {
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial));
    const int port = cmcComm::PortNumberOf(sim.address());
    QVERIFY(port >= 1);
    QCOMPARE(cmcComm::PortNumberOf(sim.address()), port); // stable
    QCOMPARE(cmcComm::DeviceName(port), sim.address());
    cmcComm comm;
    QVERIFY(comm.Open(port, "38400,N,8,1"));
    QVERIFY(!comm.Open(port, "9600,N,8,1"));
    QVERIFY(comm.IsOpen());
    QCOMPARE(comm.LineSettings().baud, 38400u);
    uint8_t buf[256];
    QCOMPARE(comm.Read(buf, 256), 0);
    // The simulated radio echoes: ten bytes written come back as ten bytes queued.
    const uint8_t ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    comm.Write(ten, 10);
    QTRY_COMPARE(comm.InQueueCount(), 10);
    QCOMPARE(comm.PendingOutput(), 0);
    QCOMPARE(comm.Read(buf, 256), 10);
    QCOMPARE(QByteArray(reinterpret_cast<char*>(buf), 10),
             QByteArray(reinterpret_cast<const char*>(ten), 10));
    comm.Close();
    QVERIFY(!comm.IsOpen());
    QCOMPARE(comm.Read(buf, 256), 0);
    // The listing opens every port of the table once and leaves this one closed.
    int ports[cmcComm::MaxPorts] = {};
    int count = 0;
    QVERIFY(comm.EnumeratePorts(ports, &count));
    QVERIFY(std::find(ports, ports + count, port) != ports + count);
    QVERIFY(!comm.IsOpen());
}

void tst_CloneFrames::infoChecks_data() {
    QTest::addColumn<int>("code1");
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<int>("status");
    QByteArray good(32, '\0');
    good[0] = 32;
    good[2] = 2;
    QByteArray wrongLength = good;
    wrongLength[0] = 31;
    QByteArray wrongKind = good;
    wrongKind[2] = 3;
    QTest::newRow("this model") << 0x7041 << good << 0;
    QTest::newRow("other model") << 0x7042 << good << 11;
    QTest::newRow("first byte not the length") << 0x7041 << wrongLength << 11;
    QTest::newRow("kind 3") << 0x7041 << wrongKind << 14;
    QTest::newRow("empty block") << 0x7041 << QByteArray() << 11;
}

void tst_CloneFrames::infoChecks() {
    QFETCH(int, code1);
    QFETCH(QByteArray, info);
    dst_CDrv_Result r;
    r.code1 = code1;
    r.information.Set(reinterpret_cast<const uint8_t*>(info.constData()), int32_t(info.size()));
    QTEST(imcCloneCheck::CheckInfo(r), "status");
    r.code2 = 2;
    QCOMPARE(imcCloneCheck::CheckIdentify(r), 11);
}

void tst_CloneFrames::imageIdentity() {
    cmcEeprom image = cloneTestImage(3);
    QCOMPARE(imcCloneCheck::CheckReadImage(image), 0);
    cmcEeprom other = image;
    other.SetByte(QxRadio::MakerTextAddr, 'X');
    QCOMPARE(imcCloneCheck::CheckImageIdentity(other, false), 0);
    QCOMPARE(imcCloneCheck::CheckReadImage(other), 15);
    other = image;
    other.SetByte(QxRadio::MapRevisionAddr, 3);
    QCOMPARE(imcCloneCheck::CheckReadImage(other), 15);
    other = image;
    other.SetByte(QxRadio::IdentityAddr + 5, '2');
    QCOMPARE(imcCloneCheck::CheckReadImage(other), 15);
    QCOMPARE(imcCloneCheck::RangeBytes(QxRadio::UserWrite), 0xAA60 - 0x0500);
}

void tst_CloneFrames::statusMessage() {
    QVERIFY(!cmcCloneMessage::Plain(5).isEmpty());
    QVERIFY(cmcCloneMessage::Text(0, 1).isEmpty());
    cmcGTex& t = cmcGTex::mainTable();
    t.openFile(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL"));
    QStringList check;
    for (int i = 0; i < 4; ++i)
        check << t.getText("GI_Mess_CloneErr_Check", i);
    // A number with no device behind it is named by the number alone.
    const QString head =
        QString::asprintf(t.getText("GI_Mess_CloneErr_Head", 2).toLatin1().constData(), 250);
    QCOMPARE(cmcCloneMessage::Text(2, 250), head + "\n\n" + check.join('\n'));
    QVERIFY(head.contains("(COM250)"));
    QCOMPARE(cmcCloneMessage::Text(16, 1), t.getText("GI_Mess_CloneErr_Head", 16) + "\n\n");

#ifndef Q_OS_WIN
    // Off Windows a number is a place in the port table: the texts also name the device.
    const int port = cmcComm::PortNumberOf("/dev/qx-test-usb0");
    const QString name = QStringLiteral("COM%1 (/dev/qx-test-usb0)").arg(port);
    QCOMPARE(cmcComm::DisplayName(port), name);
    QVERIFY(cmcCloneMessage::Text(2, port).startsWith(
        QStringLiteral("Cannot open the communication port (%1).\n\n").arg(name)));
    QCOMPARE(cmcComm::FormatPortText("found on COM%d.", port),
             QStringLiteral("found on %1.").arg(name));
#endif
    QCOMPARE(cmcComm::DisplayName(250), QStringLiteral("COM250"));
}

// Over TCP the messages speak of the network adapter, its address and port, instead of the
// programming cable and the COM port.
void tst_CloneFrames::tcpStatusMessage_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QList<int>>("items");
    QTest::newRow("link not opened")
        << 2 << "Cannot connect to the network adapter at 10.0.0.7, port 41000."
        << QList<int>{0, 1, 2, 3};
    QTest::newRow("time-out") << 5 << "" << QList<int>{0, 1, 2, 3};
    QTest::newRow("other model") << 11 << "" << QList<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("power") << 13 << "" << QList<int>{6, 7};
}

void tst_CloneFrames::tcpStatusMessage() {
    QFETCH(int, status);
    QFETCH(QString, head);
    QFETCH(QList<int>, items);
    cmcGTex& t = cmcGTex::mainTable();
    t.openFile(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL"));
    cmcCloneMessage::Link link;
    link.tcp = true;
    link.comPort = 3;
    link.tcpAddress = "10.0.0.7";
    link.tcpPort = 41000;
    const QString text = cmcCloneMessage::Text(status, link);
    QStringList lines;
    for (int i : items)
        lines << t.getText("GI_Mess_CloneErr_TcpCheck", i)
                     .replace("%1", "10.0.0.7")
                     .replace("%2", "41000");
    if (head.isEmpty()) head = t.getText("GI_Mess_CloneErr_Head", status);
    QCOMPARE(text, head + "\n\n" + lines.join('\n'));
    QVERIFY2(!text.contains("COM") && !text.contains("cable"), qPrintable(text));
    if (items.contains(1)) {
        QVERIFY(text.contains("network adapter is switched on"));
        QVERIFY(text.contains("clone mode"));
        QVERIFY(text.contains("address (10.0.0.7) and port (41000)"));
    }
}

QTEST_GUILESS_MAIN(tst_CloneFrames)
#include "tst_cloneframes.moc"
