// The clone manager on its own: the progress arithmetic, the link dialogs' acceptance
// rules, and transfers against the simulated radio with the progress window up and the
// main window disabled meanwhile.

#include "ScriptedPrompt.h"
#include "cloneSimProcess.h"
#include "clsLinkInput.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cuiCloneProgress.h"
#include "cuiLinkDialog.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indCloneMan.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Outcome {
    int calls = 0;
    int status = -1;
    int operation = 0;
    cmcEeprom image;
};

void capture(void* context, dst_CDrv_Result* r) {
    auto* o = static_cast<Outcome*>(context);
    ++o->calls;
    o->status = r->status;
    o->operation = r->operation;
    o->image = r->image;
}

// What the application's read handler would do: the image identity check.
void readCheck(void*, dst_CDrv_Result* r) {
    if (r->status == CS_Ok) r->status = imcCloneCheck::CheckReadImage(r->image);
}
void infoCheck(void*, dst_CDrv_Result* r) {
    r->status = imcCloneCheck::CheckInfo(*r);
}
void identifyCheck(void*, dst_CDrv_Result* r) {
    r->status = imcCloneCheck::CheckIdentify(*r);
}

} // namespace

class tst_CloneMan : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void litSegments_data();
    void litSegments();
    void comPortInput_data();
    void comPortInput();
    void tcpAddressInput_data();
    void tcpAddressInput();
    void tcpPortInput_data();
    void tcpPortInput();
    void readWithProgress_data();
    void readWithProgress();
    void missingInfoHandler();
    void linkOpenMessageSaysWhy();
    void searchEndsBeforeItsMessage();
    void tcpMessagesSpeakOfTheAdapter();
    void writeFailureMessages_data();
    void writeFailureMessages();
#ifndef Q_OS_WIN
    void comPortDialogListsDevices();
#endif

  private:
    QTemporaryDir m_dir;
    cmcEeprom m_radioImage;
    QString m_radioFile;
};

void tst_CloneMan::initTestCase() {
    QVERIFY(cmcGTex::mainTable().openFile(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_ENG.OVL")));
    QVERIFY(m_dir.isValid());
    m_radioImage = cloneTestImage(5200);
    m_radioFile = m_dir.filePath("radio.icf");
    cmcIcfFile f(m_radioImage);
    f.setModelCode(QxRadio::ModelCode);
    f.setExtraCode(QxRadio::ExtraCode);
    f.setMapRevision(QxRadio::CloneMapRevision);
    QCOMPARE(f.write(m_radioFile, QxRadio::WholeImage), 0);
}

void tst_CloneMan::litSegments_data() {
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("lit");
    QTest::newRow("half") << 4000 << 8000 << 16;
    QTest::newRow("all") << 8000 << 8000 << 32;
    QTest::newRow("nothing yet") << 0 << 8000 << 0;
    QTest::newRow("just below one") << 242 << 8000 << 0;
    QTest::newRow("one") << 243 << 8000 << 1;
    QTest::newRow("one short of the end") << 7999 << 8000 << 32;
    QTest::newRow("no total") << 5 << 0 << 0;
    QTest::newRow("whole image, no overflow") << 65520 << 65520 << 32;
    QTest::newRow("second of two ports") << 2 << 2 << 32;
    QTest::newRow("first of two ports") << 1 << 2 << 16;
}

void tst_CloneMan::litSegments() {
    QFETCH(int, done);
    QFETCH(int, total);
    QFETCH(int, lit);
    QCOMPARE(cuiCloneProgressBox::litSegments(done, total), lit);
}

void tst_CloneMan::comPortInput_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("256") << "256" << true;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("257") << "257" << false;
    QTest::newRow("negative") << "-3" << false;
    QTest::newRow("text") << "COM" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("digits and text") << "12a" << false;
#ifndef Q_OS_WIN
    QTest::newRow("device path") << "/dev/ttyUSB-qx-test" << true;
    QTest::newRow("relative path") << "ttyUSB0" << false;
#endif
}

void tst_CloneMan::comPortInput() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    const int port = clsLinkInput::comPort(text);
    QCOMPARE(port != 0, accepted);
    if (!accepted) return;
    QVERIFY(port >= 1 && port <= 256);
    bool isNumber = false;
    const int n = text.toInt(&isNumber);
    if (isNumber)
        QCOMPARE(port, n);
    else
        QCOMPARE(cmcComm::DeviceName(port), text); // the path is the port kept
}

void tst_CloneMan::tcpAddressInput_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("10.0.0.1") << "10.0.0.1" << true;
    QTest::newRow("255.255.255.255") << "255.255.255.255" << true;
    QTest::newRow("0.0.0.0") << "0.0.0.0" << true;
    QTest::newRow("three groups") << "10.0.0" << false;
    QTest::newRow("group above 255") << "10.0.0.256" << false;
    QTest::newRow("five groups") << "1.2.3.4.5" << false;
    QTest::newRow("four digits") << "1234.1.1.1" << false;
    QTest::newRow("empty group") << "1..2.3" << false;
    QTest::newRow("trailing dot") << "1.2.3." << false;
    QTest::newRow("letters") << "a.b.c.d" << false;
    QTest::newRow("sign") << "+1.2.3.4" << false;
    QTest::newRow("blank") << " 1.2.3.4" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_CloneMan::tcpAddressInput() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(clsLinkInput::tcpAddress(text), accepted);
}

void tst_CloneMan::tcpPortInput_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::newRow("1024") << "1024" << 1024;
    QTest::newRow("65535") << "65535" << 65535;
    QTest::newRow("1023") << "1023" << 0;
    QTest::newRow("65536") << "65536" << 0;
    QTest::newRow("text") << "http" << 0;
    QTest::newRow("empty") << "" << 0;
}

void tst_CloneMan::tcpPortInput() {
    QFETCH(QString, text);
    QFETCH(int, port);
    QCOMPARE(clsLinkInput::tcpPort(text), port);
}

// A whole read: the progress window is up, cannot be closed and grows, the main window is
// disabled until the result arrives, and a second operation is refused meanwhile.
void tst_CloneMan::readWithProgress_data() {
    QTest::addColumn<int>("link");
    QTest::addColumn<bool>("readHandler");
    QTest::newRow("serial") << int(cloneSimProcess::Serial) << true;
    QTest::newRow("tcp, no read handler: 8") << int(cloneSimProcess::Tcp) << false;
}

void tst_CloneMan::readWithProgress() {
    QFETCH(int, link);
    QFETCH(bool, readHandler);
    ScriptedPrompt prompt;
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Link(link), {"--file", m_radioFile}));

    QMainWindow main;
    main.resize(800, 600);
    main.show();
    indCloneMan man;
    man.setMainWindow(&main);
    indCloneMan::LinkSettings settings;
    if (link == cloneSimProcess::Tcp) {
        settings.tcpLink = true;
        settings.tcpAddress = QStringLiteral("127.0.0.1");
        settings.tcpPort = sim.tcpPort();
    } else {
        settings.comPort = cmcComm::PortNumberOf(sim.address());
    }
    man.setLink(settings);
    man.SetCodes(QxRadio::ModelCode, 0);
    man.SetImageSize(QxRadio::ImageSize);
    man.setInfoHandler(&infoCheck, nullptr);
    if (readHandler) man.setReadHandler(&readCheck, nullptr);

    Outcome info;
    QVERIFY(man.Info(&capture, &info));
    QVERIFY(!main.isEnabled());
    QVERIFY(!man.progressWindow()); // an information exchange shows no progress
    QVERIFY(!man.Info(&capture, &info));
    QTRY_COMPARE_WITH_TIMEOUT(info.calls, 1, 20000);
    QCOMPARE(info.status, 0);
    QVERIFY(main.isEnabled());

    Outcome read;
    QVERIFY(man.Read(QxRadio::CloneRead, &capture, &read));
    QCOMPARE(man.total(), 65520);
    QVERIFY(!main.isEnabled());
    QPointer<cuiCloneProgress> window = man.progressWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Cloning"));
    QVERIFY(window->isVisible());
    QVERIFY(window->isEnabled()); // still painted as active while its owner is disabled
    window->close();
    QVERIFY(window->isVisible()); // the user cannot close it
    QVERIFY(!man.Info(&capture, &info));
    man.SetPortList({1});
    QVERIFY(!man.StartSearch(&capture, &info));
    QTRY_VERIFY_WITH_TIMEOUT(window && window->box()->lit() >= 8, 60000);
    QVERIFY(read.calls == 0);
    QTRY_COMPARE_WITH_TIMEOUT(read.calls, 1, 60000);
    QCOMPARE(read.status, readHandler ? 0 : int(CS_Missing));
    QVERIFY(read.image == m_radioImage);
    QVERIFY(main.isEnabled());
    QVERIFY(!man.progressWindow());
    QCOMPARE(prompt.texts(), readHandler ? QStringList() : QStringList{man.ErrorText(8)});
    QCOMPARE(info.calls, 1); // the refused operations never called back
}

// Without the application's information handler an information result is status 11.
void tst_CloneMan::missingInfoHandler() {
    ScriptedPrompt prompt;
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Tcp, {"--file", m_radioFile}));
    indCloneMan man;
    indCloneMan::LinkSettings settings;
    settings.tcpLink = true;
    settings.tcpAddress = QStringLiteral("127.0.0.1");
    settings.tcpPort = sim.tcpPort();
    man.setLink(settings);
    man.SetCodes(QxRadio::ModelCode, 0);
    man.SetImageSize(QxRadio::ImageSize);
    Outcome info;
    QVERIFY(man.Info(&capture, &info));
    QTRY_COMPARE_WITH_TIMEOUT(info.calls, 1, 20000);
    QCOMPARE(info.status, int(CS_InfoMismatch));
    QCOMPARE(prompt.texts(), QStringList({man.ErrorText(11)}));
    QCOMPARE(prompt.entries().at(0).icon, cmcPromptIcon::Error);
    QCOMPARE(prompt.entries().at(0).caption, cmcGTex::mainTable().getText("GI_Sys_AppTitle"));
}

// A serial device that does not open: the status message with the port number, and below
// it why the device did not open.
void tst_CloneMan::linkOpenMessageSaysWhy() {
    ScriptedPrompt prompt;
#ifdef Q_OS_WIN
    const QString device = cmcComm::DeviceName(256); // no COM256 here
#else
    const QString device = m_dir.filePath("ttyQX-missing");
#endif
    const int port = cmcComm::PortNumberOf(device);
    QVERIFY(port > 0);
    indCloneMan man;
    indCloneMan::LinkSettings settings;
    settings.comPort = port;
    man.setLink(settings);
    man.SetCodes(QxRadio::ModelCode, 0);
    man.setInfoHandler(&infoCheck, nullptr);
    Outcome info;
    QVERIFY(man.Info(&capture, &info));
    QTRY_COMPARE_WITH_TIMEOUT(info.calls, 1, 20000);
    QCOMPARE(info.status, int(CS_LinkOpen));
    QCOMPARE(prompt.entries().size(), 1);
    const QString text = prompt.texts().at(0);
    cmcGTex& t = cmcGTex::mainTable();
    // The headline names the port and, off Windows, the device behind its number.
    QVERIFY(text.startsWith(cmcComm::FormatPortText(t.getText("GI_Mess_CloneErr_Head", 2), port) +
                            "\n\n" + t.getText("GI_Mess_CloneErr_Check", 0)));
#ifndef Q_OS_WIN
    QVERIFY2(text.contains(QStringLiteral("(COM%1 (%2))").arg(port).arg(device)), qPrintable(text));
#endif
    QVERIFY(text.endsWith("\n\n" + t.getText("GI_Mess_CloneErr_Device", 1).arg(device)));

#ifndef Q_OS_WIN // a COM port is no file that a test could make
    // A file that exists but is no serial device.
    QFile plain(device);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(!man.ErrorText(2).contains(t.getText("GI_Mess_CloneErr_Device", 1).arg(device)));
    QVERIFY(man.ErrorText(2).contains(device));
#endif
}

// Over TCP the message speaks of the network adapter at its address and port, not of the
// cable and the COM port; a search, which asks serial ports, keeps the cable's texts.
// A write the radio refused says so; one cut off after data went out says that the radio must
// be written again; a connection the adapter closed has its own headline and the adapter's
// checks.
void tst_CloneMan::writeFailureMessages_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("partly");
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<QString>("head");
    QTest::addColumn<bool>("cableChecks");
    const QString refused = QStringLiteral("Write error (the transceiver refused the write).");
    QTest::newRow("refused at once") << 6 << true << false << false << refused << true;
    QTest::newRow("refused after data") << 6 << true << true << false << refused << true;
    QTest::newRow("time-out after data")
        << 5 << false << true << false << "Communication error (time-out)." << true;
    QTest::newRow("bad frame in a read")
        << 6 << false << false << false << "Communication error (bad data frame)." << true;
    QTest::newRow("adapter closed the connection")
        << 19 << false << true << true
        << "Communication error (the network adapter closed the connection)." << false;
}

void tst_CloneMan::writeFailureMessages() {
    QFETCH(int, status);
    QFETCH(bool, refused);
    QFETCH(bool, partly);
    QFETCH(bool, tcp);
    QFETCH(QString, head);
    QFETCH(bool, cableChecks);
    indCloneMan man;
    indCloneMan::LinkSettings settings;
    settings.tcpLink = tcp;
    settings.tcpAddress = QStringLiteral("127.0.0.1");
    settings.tcpPort = 41000;
    man.setLink(settings);
    dst_CDrv_Result result;
    result.status = status;
    result.refused = refused;
    result.partlyWritten = partly;
    const QString text = man.ErrorText(result);
    cmcGTex& t = cmcGTex::mainTable();
    QVERIFY2(text.startsWith(head + "\n\n"), qPrintable(text));
    QCOMPARE(text.contains(t.getTextBlock("GI_Mess_CloneErr_PartWrite")), partly);
    QCOMPARE(text.contains(t.getText("GI_Mess_CloneErr_Check", 1)), cableChecks);
    QCOMPARE(text.contains(t.getText("GI_Mess_CloneErr_TcpCheck", 1).left(20)), !cableChecks);
}

void tst_CloneMan::tcpMessagesSpeakOfTheAdapter() {
    ScriptedPrompt prompt;
    QTcpServer closed; // a port that was free a moment ago: nothing answers there
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    indCloneMan man;
    indCloneMan::LinkSettings settings;
    settings.comPort = 2;
    settings.tcpLink = true;
    settings.tcpAddress = QStringLiteral("127.0.0.1");
    settings.tcpPort = port;
    man.setLink(settings);
    man.SetCodes(QxRadio::ModelCode, 0);
    man.setInfoHandler(&infoCheck, nullptr);
    Outcome info;
    QVERIFY(man.Info(&capture, &info));
    QTRY_COMPARE_WITH_TIMEOUT(info.calls, 1, 20000);
    // A refused connection is a link that did not open, told at once, not a time-out.
    QCOMPARE(info.status, int(CS_LinkOpen));
    QCOMPARE(prompt.texts().size(), 1);
    const QString text = prompt.texts().at(0);
    cmcGTex& t = cmcGTex::mainTable();
    const QString adapter = QStringLiteral("address (127.0.0.1) and port (%1)").arg(port);
    QVERIFY2(text.startsWith(
                 QStringLiteral("Cannot connect to the network adapter at 127.0.0.1, port %1.\n\n")
                     .arg(port)),
             qPrintable(text));
    QVERIFY2(text.contains(adapter), qPrintable(text));
    QVERIFY2(text.contains("in clone mode"), qPrintable(text));
    QVERIFY2(!text.contains("COM") && !text.contains("cable"), qPrintable(text));

    // Status 2 over TCP names the address it tried.
    QVERIFY(man.ErrorText(2).startsWith(
        QStringLiteral("Cannot connect to the network adapter at 127.0.0.1, port %1.\n\n")
            .arg(port)));

    // A search keeps the serial texts, whatever the TCP setting says.
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial, {"--other-model"}));
    man.setSearchHandler(&identifyCheck, nullptr);
    man.SetPortList({cmcComm::PortNumberOf(sim.address())});
    Outcome search;
    QVERIFY(man.StartSearch(&capture, &search));
    QTRY_COMPARE_WITH_TIMEOUT(search.calls, 1, 20000);
    QCOMPARE(search.status, int(CS_NoRadio));
    QCOMPARE(prompt.texts().size(), 2);
    QVERIFY(prompt.texts().at(1).contains(t.getText("GI_Mess_CloneErr_Check", 2)));
    QVERIFY(!prompt.texts().at(1).contains("network adapter"));
}

#ifndef Q_OS_WIN
// The COM port dialog lists the serial devices by number and device; choosing one fills the
// box, and a double click accepts it.
void tst_CloneMan::comPortDialogListsDevices() {
    ScriptedPrompt prompt;
    cloneSimProcess sim;
    QVERIFY(sim.start(cloneSimProcess::Serial));
    const int port = cmcComm::PortNumberOf(sim.address());
    cuiLinkDialog dialog(cuiLinkDialog::ComPort, QStringLiteral("1"), nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QListWidget* list = dialog.portList();
    QVERIFY(list);
    const QList<QListWidgetItem*> found = list->findItems(
        QStringLiteral("COM%1 (%2)").arg(port).arg(sim.address()), Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QCOMPARE(list->count(), int(cmcComm::PortTable().size()));
    list->scrollToItem(found.at(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.at(0)).center());
    QCOMPARE(dialog.edit()->text(), QString::number(port));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(found.at(0)).center());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.acceptedNumber(), port);
    QVERIFY(prompt.texts().isEmpty());
}
#endif

namespace {
// A user who takes a while to read each box: the event loop runs meanwhile, as it does
// under a real message box.
class ReadingPrompt : public ScriptedPrompt {
  public:
    void tell(const QString& text, const QString& caption, cmcPromptIcon icon) override {
        ScriptedPrompt::tell(text, caption, icon);
        QElapsedTimer reading;
        reading.start();
        while (reading.elapsed() < 400)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};
} // namespace

// A search that found no radio shows its message once the search is over: the last port
// is not asked again while the box is up, and the completion runs once.
void tst_CloneMan::searchEndsBeforeItsMessage() {
    ReadingPrompt prompt;
    cloneSimProcess sim;
    const QString log = m_dir.filePath("search.log");
    QVERIFY(sim.start(cloneSimProcess::Serial, {"--other-model", "--log", log}));
    indCloneMan man;
    man.SetCodes(QxRadio::ModelCode, 0);
    man.setSearchHandler(&identifyCheck, nullptr);
    man.SetPortList({cmcComm::PortNumberOf(sim.address())});
    Outcome search;
    QVERIFY(man.StartSearch(&capture, &search));
    QTRY_COMPARE_WITH_TIMEOUT(search.calls, 1, 20000);
    QCOMPARE(search.status, int(CS_NoRadio));
    QVERIFY(!man.IsBusy());
    QCOMPARE(prompt.texts(), QStringList({man.ErrorText(18)}));
    QTRY_VERIFY(QFile(log).size() > 0);
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll().count("FE EE EF E0"), 1);
    QCOMPARE(search.calls, 1);
}

QTEST_MAIN(tst_CloneMan)
#include "tst_cloneman.moc"
