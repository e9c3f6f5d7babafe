// Settings store, recent files, single-instance guard, window clamp and the message-box
// prompt service. Every settings test uses INI files in a temporary folder and its own
// guard name, so nothing touches the user's settings and parallel runs do not meet.

#include "cmcRecent.h"
#include "cmcSingleInstance.h"
#include "cuiMessageBoxPrompt.h"
#include "cuiWindowClamp.h"
#include "indEnviron.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLocalServer>
#include <QMessageBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

const QString KeyPath = QStringLiteral("Software\\Vexo\\QX-T5200");

QString uniqueName() {
    static int counter = 0;
    return QStringLiteral("qxtst-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

// A temporary settings folder and the stores opened on it.
struct Store {
    QTemporaryDir dir;
    QString mutex = uniqueName();

    std::unique_ptr<indEnviron> open(QSize screen = QSize(1024, 768)) {
        indEnviron::Options options;
        options.settingsFolder = dir.path();
        options.screenSize = screen;
        return std::make_unique<indEnviron>(mutex, KeyPath, KeyPath, options);
    }
    QString userFile() const { return dir.path() + "/user/Vexo/QX-T5200.ini"; }
    QString systemFile() const { return dir.path() + "/system/Vexo/QX-T5200.ini"; }
    QVariant stored(const QString& key) const {
        return QSettings(userFile(), QSettings::IniFormat).value(key);
    }
    void setStored(const QString& key, const QVariant& value) {
        QSettings s(userFile(), QSettings::IniFormat);
        s.setValue(key, value);
    }
    void removeStored(const QString& key) {
        QSettings s(userFile(), QSettings::IniFormat);
        s.remove(key);
    }
    QByteArray userFileBytes() const {
        QFile f(userFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Saves a complete set in which every field differs from its default.
    void writeCustomSet() {
        auto env = open();
        env->comPort = 7;
        env->comSpeedHigh = 0;
        env->currentDirectory = "/data/radios";
        env->recent.addToFront("/data/radios/b.icf");
        env->recent.addToFront("/data/radios/a.icf");
        env->fontSizePercentage = 150;
        env->toolbarVisible = false;
        env->fontSizePrinter = 9;
        env->windowLeft = -20;
        env->windowTop = 33;
        env->windowWidth = 640;
        env->windowHeight = 480;
        env->splitterV = 250;
        env->modelType = 1;
        env->language = 2;
        env->makerReserveWord = "mk";
        env->adjustModeWord = "adj";
        env->tcpAddress = "10.1.2.3";
        env->tcpPort = 4001;
        env->comDevice = "/dev/ttyUSB3";
        env->windowMaximized = true;
    }
};

const QStringList AllStoredKeys = {"Global/BBT",
                                   "Global/ComPort",
                                   "Global/ComSpeedHigh",
                                   "Global/Current Directory",
                                   "View Option/FontSize Percentage",
                                   "View Option/Toolbar Visible",
                                   "View Option/FontSize Printer",
                                   "Window Position/Left",
                                   "Window Position/Top",
                                   "Window Position/Width",
                                   "Window Position/Height",
                                   "Window Position/SplitterV",
                                   "Window Position/Maximized",
                                   "Clone Option/TCP Address",
                                   "Clone Option/TCP Port",
                                   "Clone Option/Serial Device",
                                   "Setup/ModelType",
                                   "Setup/Language",
                                   "Password/MakerReserveMode",
                                   "Password/AdjustMode",
                                   "Recent File List/Recent0",
                                   "Recent File List/Recent9"};

} // namespace

class tst_environ : public QObject {
    Q_OBJECT

  private slots:
    void firstStartTakesDefaults();
    void storedSetRoundTrips();
    void adapterForOneRunIsNotStored();
    void explicitSaveIsTheOnlyOne();
    void clampsOnRead_data();
    void clampsOnRead();
    void rejectedSettingsBecomeDefaults_data();
    void rejectedSettingsBecomeDefaults();
    void defaultWindow_data();
    void defaultWindow();
    void revisionIsFirstThreeCharacters();

    void recentMovesAndDrops();
    void recentShortensInCurrentDirectory();
    void recentAllTenWritten();

    void accessWordsStoredEncoded_data();
    void accessWordsStoredEncoded();
    void malformedAccessWordRejectsSettings();

    void editFormRecords();
    void genericOperations();

    void secondInstanceNeitherReadsNorSaves();
    void staleServerIsTakenOver();
    void instancePerDisplay();

    void windowClamp_data();
    void windowClamp();
    void windowClampHugeValues_data();
    void windowClampHugeValues();

    void messageBoxAnswers_data();
    void messageBoxAnswers();
};

void tst_environ::firstStartTakesDefaults() {
    Store store;
    {
        auto env = store.open();
        QVERIFY(env->isFirstInstance());
        QCOMPARE(env->settingsMarker, indEnviron::ValidMarker);
        QCOMPARE(env->comPort, 1);
        QCOMPARE(env->comSpeedHigh, 1);
        QCOMPARE(env->tcpAddress, QString(indEnviron::DefaultTcpAddress));
        QCOMPARE(env->tcpPort, indEnviron::DefaultTcpPort);
        QCOMPARE(env->fontSizePercentage, 100);
        QVERIFY(env->toolbarVisible);
        QCOMPARE(env->fontSizePrinter, 10);
        QCOMPARE(env->splitterV, 200);
        QCOMPARE(env->recent.count(), 0);
        QCOMPARE(env->makerReserveWord, indEnviron::builtInMakerWord());
        QVERIFY(env->adjustModeWord.isEmpty());
    }
    // The exit writes the complete set.
    for (const QString& key : AllStoredKeys)
        QVERIFY2(QSettings(store.userFile(), QSettings::IniFormat).contains(key), qPrintable(key));
    QCOMPARE(store.stored("Global/BBT").toInt(), 753951);
}

void tst_environ::storedSetRoundTrips() {
    Store store;
    store.writeCustomSet();
    auto env = store.open();
    QCOMPARE(env->comPort, 7);
    QCOMPARE(env->comSpeedHigh, 0);
    QCOMPARE(env->currentDirectory, QString("/data/radios"));
    QCOMPARE(env->recent.entryText(0, QString()), QString("/data/radios/a.icf"));
    QCOMPARE(env->recent.entryText(1, QString()), QString("/data/radios/b.icf"));
    QCOMPARE(env->fontSizePercentage, 150);
    QVERIFY(!env->toolbarVisible);
    QCOMPARE(env->fontSizePrinter, 9);
    QCOMPARE(QRect(env->windowLeft, env->windowTop, env->windowWidth, env->windowHeight),
             QRect(-20, 33, 640, 480));
    QCOMPARE(env->splitterV, 250);
    QCOMPARE(env->modelType, 1);
    QCOMPARE(env->language, 2);
    QCOMPARE(env->makerReserveWord, QString("mk"));
    QCOMPARE(env->adjustModeWord, QString("adj"));
    // The adapter and the serial device chosen by path come back, the link itself does not.
    QCOMPARE(env->tcpAddress, QString("10.1.2.3"));
    QCOMPARE(env->tcpPort, 4001);
    QVERIFY(!env->tcpLink);
    QCOMPARE(env->comDevice, QString("/dev/ttyUSB3"));
    QVERIFY(env->windowMaximized);
}

// An adapter given for one run (the command line's --tcp) is used, not stored: the one
// stored before comes back, unless the user set another one meanwhile.
void tst_environ::adapterForOneRunIsNotStored() {
    Store store;
    store.writeCustomSet();
    {
        auto env = store.open();
        env->presetTcpForThisRun("127.0.0.1", 5000);
        QVERIFY(env->tcpLink);
        QCOMPARE(env->tcpAddress, QString("127.0.0.1"));
        QCOMPARE(env->tcpPort, 5000);
    }
    {
        auto env = store.open();
        QCOMPARE(env->tcpAddress, QString("10.1.2.3"));
        QCOMPARE(env->tcpPort, 4001);
        env->presetTcpForThisRun("127.0.0.1", 5000);
        env->tcpAddress = "192.168.7.9"; // the user's choice during the run
    }
    auto env = store.open();
    QCOMPARE(env->tcpAddress, QString("192.168.7.9"));
    QCOMPARE(env->tcpPort, 4001);
}

void tst_environ::explicitSaveIsTheOnlyOne() {
    Store store;
    {
        auto env = store.open();
        env->comPort = 5;
        env->save();
        env->comPort = 6;
    }
    QCOMPARE(store.stored("Global/ComPort").toInt(), 5);
}

void tst_environ::clampsOnRead_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("expected");

    QTest::newRow("port 0") << "Global/ComPort" << 0 << 1;
    QTest::newRow("port 300") << "Global/ComPort" << 300 << 256;
    QTest::newRow("port 256") << "Global/ComPort" << 256 << 256;
    QTest::newRow("speed 5") << "Global/ComSpeedHigh" << 5 << 1;
    QTest::newRow("speed -1") << "Global/ComSpeedHigh" << -1 << 0;
    QTest::newRow("font 10") << "View Option/FontSize Percentage" << 10 << 25;
    QTest::newRow("font 5000") << "View Option/FontSize Percentage" << 5000 << 1000;
    QTest::newRow("printer 20") << "View Option/FontSize Printer" << 20 << 12;
    QTest::newRow("printer 6") << "View Option/FontSize Printer" << 6 << 8;
}

void tst_environ::clampsOnRead() {
    QFETCH(QString, key);
    QFETCH(int, stored);
    QFETCH(int, expected);

    Store store;
    store.writeCustomSet();
    store.setStored(key, stored);
    auto env = store.open();
    const int value = key == "Global/ComPort"                    ? env->comPort
                      : key == "Global/ComSpeedHigh"             ? env->comSpeedHigh
                      : key == "View Option/FontSize Percentage" ? env->fontSizePercentage
                                                                 : env->fontSizePrinter;
    QCOMPARE(value, expected);
    // A clamped value is not a rejected set: the rest stays as stored.
    QCOMPARE(env->splitterV, 250);
}

void tst_environ::rejectedSettingsBecomeDefaults_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value"); // invalid: the value is deleted

    QTest::newRow("marker changed") << "Global/BBT" << QVariant(753950);
    QTest::newRow("marker deleted") << "Global/BBT" << QVariant();
    QTest::newRow("port deleted") << "Global/ComPort" << QVariant();
    QTest::newRow("port not a number") << "Global/ComPort" << QVariant("COM3");
    QTest::newRow("directory deleted") << "Global/Current Directory" << QVariant();
    QTest::newRow("last recent deleted") << "Recent File List/Recent9" << QVariant();
    QTest::newRow("printer font deleted") << "View Option/FontSize Printer" << QVariant();
    QTest::newRow("splitter deleted") << "Window Position/SplitterV" << QVariant();
    QTest::newRow("language deleted") << "Setup/Language" << QVariant();
    QTest::newRow("adjust word deleted") << "Password/AdjustMode" << QVariant();
    QTest::newRow("whole key deleted") << "Window Position" << QVariant();
}

void tst_environ::rejectedSettingsBecomeDefaults() {
    QFETCH(QString, key);
    QFETCH(QVariant, value);

    Store store;
    store.writeCustomSet();
    if (value.isValid())
        store.setStored(key, value);
    else
        store.removeStored(key);

    {
        auto env = store.open(QSize(800, 600));
        QCOMPARE(env->settingsMarker, indEnviron::ValidMarker);
        QCOMPARE(env->comPort, 1);
        QCOMPARE(env->comSpeedHigh, 1);
        QVERIFY(env->currentDirectory.isEmpty());
        QCOMPARE(env->recent.count(), 0);
        QCOMPARE(env->fontSizePercentage, 100);
        QVERIFY(env->toolbarVisible);
        QCOMPARE(env->fontSizePrinter, 10);
        QCOMPARE(QRect(env->windowLeft, env->windowTop, env->windowWidth, env->windowHeight),
                 QRect(40, 18, 720, 540));
        QCOMPARE(env->splitterV, 200);
        QCOMPARE(env->modelType, 0);
        QCOMPARE(env->language, 0);
        QCOMPARE(env->makerReserveWord, indEnviron::builtInMakerWord());
        QVERIFY(env->adjustModeWord.isEmpty());
        QCOMPARE(env->tcpAddress, QString(indEnviron::DefaultTcpAddress));
        QCOMPARE(env->tcpPort, indEnviron::DefaultTcpPort);
    }
    // The next exit repairs the stored set.
    for (const QString& k : AllStoredKeys)
        QVERIFY2(QSettings(store.userFile(), QSettings::IniFormat).contains(k), qPrintable(k));
    QCOMPARE(store.stored("Global/BBT").toInt(), 753951);
    QCOMPARE(store.stored("Global/ComPort").toInt(), 1);
    QCOMPARE(store.stored("Window Position/Width").toInt(), 720);
    auto again = store.open();
    QCOMPARE(again->windowWidth, 720); // read back, not defaulted for the other screen
}

void tst_environ::defaultWindow_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("window");
    QTest::newRow("1024x768") << QSize(1024, 768) << QRect(112, 50, 800, 600);
    QTest::newRow("800x600") << QSize(800, 600) << QRect(40, 18, 720, 540);
    QTest::newRow("1920x1080") << QSize(1920, 1080) << QRect(560, 144, 800, 600);
}

void tst_environ::defaultWindow() {
    QFETCH(QSize, screen);
    QFETCH(QRect, window);
    Store store;
    auto env = store.open(screen);
    QCOMPARE(QRect(env->windowLeft, env->windowTop, env->windowWidth, env->windowHeight), window);
}

void tst_environ::revisionIsFirstThreeCharacters() {
    Store store;
    {
        QSettings system(store.systemFile(), QSettings::IniFormat);
        system.setValue("Revision", "1.23b");
    }
    auto env = store.open();
    QCOMPARE(env->revision, QString("1.2"));

    // Rejected user settings do not blank the installation's revision.
    Store rejected;
    {
        QSettings system(rejected.systemFile(), QSettings::IniFormat);
        system.setValue("Revision", "2.0");
    }
    rejected.writeCustomSet();
    rejected.setStored("Global/BBT", 1);
    QCOMPARE(rejected.open()->revision, QString("2.0"));
}

void tst_environ::recentMovesAndDrops() {
    cmcRecent recent;
    for (int i = 0; i < 10; ++i)
        recent.addToFront(QString("/d/f%1.icf").arg(i));
    QCOMPARE(recent.count(), 10);

    // Reopening a listed file (any case) moves it to the top without a duplicate.
    recent.addToFront("/D/F3.ICF");
    QCOMPARE(recent.count(), 10);
    QCOMPARE(recent.entryText(0, QString()), QString("/D/F3.ICF"));
    QCOMPARE(recent.entryText(1, QString()), QString("/d/f9.icf"));
    QCOMPARE(recent.entryText(9, QString()), QString("/d/f0.icf"));

    // An eleventh file drops the oldest.
    recent.addToFront("/d/new.icf");
    QCOMPARE(recent.count(), 10);
    QCOMPARE(recent.entryText(0, QString()), QString("/d/new.icf"));
    QCOMPARE(recent.entryText(9, QString()), QString("/d/f1.icf"));
    QCOMPARE(recent.entryText(10, QString()), QString());

    // Loading appends in stored order; repeats and empty values collapse.
    cmcRecent loaded;
    for (const char* p : {"/a.icf", "/b.icf", "/A.icf", "", "", ""})
        loaded.addToBack(p);
    QCOMPARE(loaded.count(), 3);
    QCOMPARE(loaded.entryText(0, QString()), QString("/b.icf"));
    QCOMPARE(loaded.entryText(1, QString()), QString("/A.icf"));
    QCOMPARE(loaded.entryText(2, QString()), QString());
}

void tst_environ::recentShortensInCurrentDirectory() {
    cmcRecent recent;
    recent.addToFront("/home/tech/radios/site.icf");
    recent.addToFront("/home/tech/radios/sub/other.icf");
    QCOMPARE(recent.entryText(1, "/home/tech/radios"), QString("site.icf"));
    QCOMPARE(recent.entryText(1, "/HOME/Tech/Radios/"), QString("site.icf"));
    QCOMPARE(recent.entryText(0, "/home/tech/radios"), QString("/home/tech/radios/sub/other.icf"));
    // After the current directory changes the entry shows its full path again.
    QCOMPARE(recent.entryText(1, "/home/tech"), QString("/home/tech/radios/site.icf"));
    QCOMPARE(recent.entryText(1, "/home/tech/radio"), QString("/home/tech/radios/site.icf"));
}

void tst_environ::recentAllTenWritten() {
    Store store;
    {
        auto env = store.open();
        env->currentDirectory = "/d";
        env->recent.addToFront("/d/one.icf");
        env->recent.addToFront("/d/two.icf");
    }
    QCOMPARE(store.stored("Recent File List/Recent0").toString(), QString("/d/two.icf"));
    QCOMPARE(store.stored("Recent File List/Recent1").toString(), QString("/d/one.icf"));
    for (int i = 2; i < 10; ++i) {
        const QVariant v = store.stored(QString("Recent File List/Recent%1").arg(i));
        QVERIFY2(v.isValid() && v.toString().isEmpty(), qPrintable(QString::number(i)));
    }
    // Read back: the order holds and the eight empty places become one empty entry.
    auto env = store.open();
    QCOMPARE(env->settingsMarker, indEnviron::ValidMarker);
    QCOMPARE(env->recent.count(), 3);
    QCOMPARE(env->recent.entryText(0, "/d"), QString("two.icf"));
}

void tst_environ::accessWordsStoredEncoded_data() {
    QTest::addColumn<QString>("maker");
    QTest::addColumn<QString>("adjust");
    QTest::newRow("plain") << "Tech2024"
                           << "adj-1";
    QTest::newRow("both empty") << ""
                                << "";
    QTest::newRow("one character") << "x"
                                   << "9";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Ωmega päss") << QString::fromUtf8("ß");
}

void tst_environ::accessWordsStoredEncoded() {
    QFETCH(QString, maker);
    QFETCH(QString, adjust);
    Store store;
    {
        auto env = store.open();
        env->makerReserveWord = maker;
        env->adjustModeWord = adjust;
    }
    const QString storedMaker = store.stored("Password/MakerReserveMode").toString();
    const QString storedAdjust = store.stored("Password/AdjustMode").toString();
    QVERIFY(!storedMaker.isEmpty());
    QVERIFY(!storedAdjust.isEmpty());
    QVERIFY(storedMaker != maker);
    QVERIFY(storedAdjust != adjust);
    if (maker.isEmpty()) QCOMPARE(storedMaker.size(), 2);

    auto env = store.open();
    QCOMPARE(env->settingsMarker, indEnviron::ValidMarker);
    QCOMPARE(env->makerReserveWord, maker);
    QCOMPARE(env->adjustModeWord, adjust);
}

void tst_environ::malformedAccessWordRejectsSettings() {
    // An empty stored value means the built-in word; text no word encodes to rejects the set.
    Store store;
    store.writeCustomSet();
    store.setStored("Password/MakerReserveMode", "");
    {
        auto env = store.open();
        QCOMPARE(env->comPort, 7);
        QCOMPARE(env->makerReserveWord, indEnviron::builtInMakerWord());
    }
    for (const char* bad : {"ABC", "ZZ", "0g"}) {
        store.setStored("Password/AdjustMode", bad);
        auto env = store.open();
        QVERIFY2(env->comPort == 1, bad);
        QVERIFY(env->adjustModeWord.isEmpty());
    }
}

void tst_environ::editFormRecords() {
    Store store;
    {
        auto env = store.open();
        QVERIFY(env->editForm("Debug") == nullptr);
        env->storeEditForm("Debug", 10, 20, 300, 200, 1, 2, 3, 4, 2, true);
        env->storeEditForm("BitField", 5, 6, 70, 80, -1, -1, -1, -1, 0, false);
        env->storeEditForm("Debug", 11, 21, 301, 201, 1, 2, 3, 4, 0, true);
        QCOMPARE(env->editForms().size(), size_t(2));
        QCOMPARE(env->editForms().front().name, QString("Debug")); // stored last, first
        dst_EditForm* debug = env->editForm("Debug");
        QVERIFY(debug);
        QCOMPARE(debug->left, 11);
        QCOMPARE(debug->further[3], 4);
        QVERIFY(debug->open);
    }
    QCOMPARE(store.stored("EditForm Position/Debug_Width").toInt(), 301);
    QCOMPARE(store.stored("EditForm Position/BitField_WindowState").toInt(), 0);
    // Lookup from the store on the next run: the window's own values reset, not open.
    {
        auto env = store.open();
        QVERIFY(env->editForms().empty());
        dst_EditForm* debug = env->editForm("Debug");
        QVERIFY(debug);
        QCOMPARE(QRect(debug->left, debug->top, debug->width, debug->height),
                 QRect(11, 21, 301, 201));
        QCOMPARE(debug->further[0], -1);
        QVERIFY(!debug->open);
        QCOMPARE(env->editForm("Debug"), debug);
    }
    // A record missing one of its five values is no record.
    store.removeStored("EditForm Position/BitField_Top");
    auto env = store.open();
    QVERIFY(env->editForm("BitField") == nullptr);
}

void tst_environ::genericOperations() {
    Store store;
    const QString widths = KeyPath + "\\Display\\Channels\\colwidth";
    {
        auto env = store.open();
        QCOMPARE(env->readInteger(widths, "3"), -1);
        QVERIFY(env->writeInteger(widths, "3", 88));
        QVERIFY(env->writeInteger(widths, "4", 0));
        QCOMPARE(env->readInteger(widths, "3"), 88);
        QCOMPARE(env->readInteger(widths, "4"), 0);
        QCOMPARE(env->readInteger(indEnviron::Root::LocalMachine, widths, "3"), -1);
        // The values are stored at once, beside the store's own values.
        QCOMPARE(store.stored("Display/Channels/colwidth/3").toInt(), 88);
    }
    auto env = store.open();
    QCOMPARE(env->settingsMarker, indEnviron::ValidMarker);
    QCOMPARE(env->readInteger(widths, "3"), 88);
    env->deleteKey(KeyPath, "Display\\Channels\\colwidth");
    QCOMPARE(env->readInteger(widths, "3"), -1);
    QCOMPARE(env->readInteger(widths, "4"), -1);
    QCOMPARE(env->readInteger(KeyPath + "\\Global", "BBT"), 753951);
    env->deleteKey(KeyPath, "");
    QCOMPARE(env->readInteger(KeyPath + "\\Global", "BBT"), 753951);
}

void tst_environ::secondInstanceNeitherReadsNorSaves() {
    Store store;
    store.writeCustomSet();
    auto first = store.open();
    QVERIFY(first->isFirstInstance());
    QSignalSpy flashes(&first->instanceGuard(), &cmcSingleInstance::flashRequested);

    const QByteArray before = store.userFileBytes();
    {
        auto second = store.open();
        QVERIFY(!second->isFirstInstance());
        QVERIFY(second->settingsMarker != indEnviron::ValidMarker);
        QCOMPARE(second->comPort, 1); // not read
        second->comPort = 99;
        second->save();
        QVERIFY(second->editForm("Debug") == nullptr);
        QVERIFY(second->flashFirstInstance());
    }
    QCOMPARE(store.userFileBytes(), before);
    QVERIFY(flashes.wait(2000) || flashes.count() == 1);
    QCOMPARE(flashes.count(), 1);

    // Once the first one is gone, the next start is first again.
    first.reset();
    QVERIFY(store.open()->isFirstInstance());
}

void tst_environ::staleServerIsTakenOver() {
#ifdef Q_OS_UNIX
    // A crashed instance leaves its socket file behind with nobody listening.
    const QString base = uniqueName();
    cmcSingleInstance probe(base);
    const QString path = QDir::tempPath() + "/" + probe.serverName();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    QVERIFY(size_t(native.size()) < sizeof(addr.sun_path));
    memcpy(addr.sun_path, native.constData(), native.size());
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ::close(fd);
    QVERIFY(QFile::exists(path));

    QVERIFY(probe.acquire());
    cmcSingleInstance second(base);
    QVERIFY(!second.acquire());
#else
    QSKIP("stale socket files exist on Unix only");
#endif
}

// One instance per desktop session: a second display of the same user starts its own,
// a second start on the same display is turned away.
void tst_environ::instancePerDisplay() {
    const QString base = uniqueName();
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY"), display = qgetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", ":91");
    cmcSingleInstance first(base);
    qputenv("DISPLAY", ":92.0");
    cmcSingleInstance otherDisplay(base);
    qputenv("DISPLAY", ":91");
    cmcSingleInstance sameDisplay(base);
    if (!wayland.isNull()) qputenv("WAYLAND_DISPLAY", wayland);
    display.isNull() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", display);

    QVERIFY(first.serverName() != otherDisplay.serverName());
    QVERIFY(first.acquire());
    QVERIFY(otherDisplay.acquire());
    QVERIFY(!sameDisplay.acquire());
}

void tst_environ::windowClamp_data() {
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("work");
    QTest::addColumn<QPoint>("expected");
    const QRect screen(0, 0, 1920, 1040);
    QTest::newRow("inside") << QRect(100, 100, 800, 600) << screen << QPoint(100, 100);
    // Off an edge: wholly back inside, title bar and all.
    QTest::newRow("right of it") << QRect(3000, 100, 800, 600) << screen << QPoint(1120, 100);
    QTest::newRow("left of it") << QRect(-2000, 100, 800, 600) << screen << QPoint(0, 100);
    QTest::newRow("above it") << QRect(100, -300, 800, 600) << screen << QPoint(100, 0);
    QTest::newRow("below it") << QRect(100, 5000, 800, 600) << screen << QPoint(100, 440);
    QTest::newRow("mostly right of it")
        << QRect(1600, 100, 800, 600) << screen << QPoint(1120, 100);
    QTest::newRow("mostly below it") << QRect(100, 800, 800, 600) << screen << QPoint(100, 440);
    QTest::newRow("mostly left of it") << QRect(-500, 10, 800, 600) << screen << QPoint(0, 10);
    // Most of it inside: left where the user put it.
    QTest::newRow("partly left stays") << QRect(-300, 10, 800, 600) << screen << QPoint(-300, 10);
    QTest::newRow("partly right stays") << QRect(1300, 10, 800, 600) << screen << QPoint(1300, 10);
    QTest::newRow("partly below stays") << QRect(10, 600, 800, 600) << screen << QPoint(10, 600);
    QTest::newRow("task bar on top")
        << QRect(50, 10, 800, 600) << QRect(0, 40, 1920, 1040) << QPoint(50, 40);
    // A tiny work area: the window shrinks to it and lies in it.
    QTest::newRow("tiny area") << QRect(500, 500, 800, 600) << QRect(0, 0, 10, 10) << QPoint(0, 0);
}

void tst_environ::windowClamp() {
    QFETCH(QRect, window);
    QFETCH(QRect, work);
    QFETCH(QPoint, expected);
    const QRect result = cuiWindowClamp::apply(window, work);
    QCOMPARE(result.topLeft(), expected);
    QCOMPARE(result.size(), window.size().boundedTo(work.size()));
}

// Numbers a settings file may hold: sizes far beyond the screen shrink to it, and values
// whose sums overflow 32 bits are handled without overflow (run under UBSan).
void tst_environ::windowClampHugeValues_data() {
    QTest::addColumn<qint64>("left");
    QTest::addColumn<qint64>("top");
    QTest::addColumn<qint64>("width");
    QTest::addColumn<qint64>("height");
    QTest::addColumn<QRect>("expected");
    const qint64 big = 2147483647;
    QTest::newRow("huge size") << qint64(0) << qint64(0) << qint64(16777215) << qint64(16777215)
                               << QRect(0, 0, 1920, 1040);
    QTest::newRow("overflowing sum")
        << big << qint64(10) << big << qint64(600) << QRect(0, 10, 1920, 600);
    QTest::newRow("most negative") << -big - 1 << -big - 1 << big << big << QRect(0, 0, 1920, 1040);
    // Stored Left and Top of 2^31 - 1 put a 1280 x 900 window wholly on the screen.
    QTest::newRow("largest left and top")
        << big << big << qint64(1280) << qint64(900) << QRect(640, 140, 1280, 900);
    QTest::newRow("zero size") << qint64(100) << qint64(100) << qint64(0) << qint64(-5)
                               << QRect(100, 100, 1, 1);
}

void tst_environ::windowClampHugeValues() {
    QFETCH(qint64, left);
    QFETCH(qint64, top);
    QFETCH(qint64, width);
    QFETCH(qint64, height);
    QFETCH(QRect, expected);
    QCOMPARE(cuiWindowClamp::apply(left, top, width, height, QRect(0, 0, 1920, 1040)), expected);
}

void tst_environ::messageBoxAnswers_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press"); // a QMessageBox::StandardButton, or 0 to close the box
    QTest::addColumn<int>("answer");
    using B = cmcPromptButtons;
    QTest::newRow("ok") << int(B::Ok) << int(QMessageBox::Ok) << int(PA_Ok);
    QTest::newRow("ok-cancel cancel")
        << int(B::OkCancel) << int(QMessageBox::Cancel) << int(PA_Cancel);
    QTest::newRow("yes-no no") << int(B::YesNo) << int(QMessageBox::No) << int(PA_No);
    QTest::newRow("yes-no-cancel yes")
        << int(B::YesNoCancel) << int(QMessageBox::Yes) << int(PA_Yes);
    QTest::newRow("retry") << int(B::RetryCancel) << int(QMessageBox::Retry) << int(PA_Retry);
    QTest::newRow("escape on yes-no-cancel") << int(B::YesNoCancel) << 0 << int(PA_Cancel);
    QTest::newRow("escape on ok") << int(B::Ok) << 0 << int(PA_Ok);
}

void tst_environ::messageBoxAnswers() {
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);

    QString seenText;
    QString seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    int seenButtons = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        seenButtons = int(box->standardButtons());
        if (press)
            box->button(QMessageBox::StandardButton(press))->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    cuiMessageBoxPrompt prompt;
    const int result =
        prompt.ask("Overwrite?", "QX-T5200", cmcPromptButtons(buttons), cmcPromptIcon::Warning);
    QCOMPARE(result, answer);
    QCOMPARE(seenText, QString("Overwrite?"));
    QCOMPARE(seenTitle, QString("QX-T5200"));
    QCOMPARE(seenIcon, QMessageBox::Warning);
    QCOMPARE(seenButtons, int(cuiMessageBoxPrompt::boxButtons(cmcPromptButtons(buttons))));
}

QTEST_MAIN(tst_environ)
#include "tst_environ.moc"
