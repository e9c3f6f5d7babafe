#include "cloneSimProcess.h"

#include "cmcIcfFile.h"
#include "cmcTick.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <memory>

cloneSimProcess::~cloneSimProcess() {
    stop();
}

QString cloneSimProcess::executable() {
    return QStringLiteral(QX_RUNTIME_DIR "/qxt5200-sim" QX_EXE_SUFFIX);
}

#ifdef Q_OS_WIN
namespace {
// Windows has no pseudo-terminals. Under Wine the serial cases run the Linux simulator (a
// Unix program, which Wine starts as such; scripts/windows names it in QX_LINUX_SIM) and
// let it link its pseudo-terminal into the Wine prefix as a COM port of this process.
QString linuxSimulator() {
    return qEnvironmentVariable("QX_LINUX_SIM");
}
// The Linux simulator opens the test's files by their Unix names: a path with a drive letter
// goes through the prefix's link for that drive (dosdevices/c: and so on).
QString unixPath(const QString& prefix, const QString& arg) {
    static const QRegularExpression drive(QStringLiteral("^([A-Za-z]):[\\\\/]"));
    const QRegularExpressionMatch m = drive.match(arg);
    if (!m.hasMatch()) return arg;
    return prefix + QStringLiteral("/dosdevices/") + m.captured(1).toLower() +
           QStringLiteral(":/") + QDir::fromNativeSeparators(arg.mid(3));
}
// The link the simulator for this COM port makes in the prefix.
QString comLink(const QString& prefix, int com) {
    return prefix + QStringLiteral("/dosdevices/com%1").arg(com);
}
// Wine starts a Unix program without a process handle: it can be neither waited for nor
// killed from here. The Linux simulator is started detached (it then holds none of the test's
// output either) and ended with the Unix pkill, found by its link, which no other process has;
// it is gone when its COM port no longer opens. Its link goes too, so that no later number
// leads to a pseudo-terminal that another program got since. The Unix shell runs pkill: Wine gives
// a Unix program a Windows argv[0], by which pkill would take itself for pgrep.
QHash<const cloneSimProcess*, QString>& linuxSimulators() {
    static QHash<const cloneSimProcess*, QString> running; // the link of each
    return running;
}
void endLinuxSimulator(const QString& link, const QString& comName) {
    QString pattern = QStringLiteral("--link ");
    for (const QChar c : link) {
        if (QStringLiteral(".[]()*+?{}|^$\\").contains(c)) pattern += QLatin1Char('\\');
        pattern += c;
    }
    pattern += QLatin1Char('$');
    QProcess::startDetached(QStringLiteral("/bin/sh"),
                            {QStringLiteral("-c"),
                             QStringLiteral("/usr/bin/pkill -f -- \"$0\"; exec /bin/rm -f \"$1\""),
                             pattern, link});
    QDeadlineTimer gone(10000);
    while (cmcComm::Probe(comName) == cmcCommDevice::Refusal::None && !gone.hasExpired())
        QThread::msleep(50);
}
int nextComPort() {
    static int calls = 0;
    // Tests run side by side in one prefix: each process takes its own run of numbers. A
    // number whose link is left from an earlier simulator is passed over while that link
    // leads to a device: its pseudo-terminal may now be another program's.
    for (int tries = 0; tries < 240; ++tries) {
        const int com = 10 + int((QCoreApplication::applicationPid() / 4 * 17 + calls++) % 240);
        if (cmcComm::Probe(cmcComm::DeviceName(com)) == cmcCommDevice::Refusal::Missing) return com;
    }
    return 0;
}
} // namespace
#endif

bool cloneSimProcess::start(Link link, const QStringList& args) {
    stop();
    m_killed = false;
    m_link = link;
    QStringList all = args;
    if (link == Tcp) all << QStringLiteral("--tcp") << QStringLiteral("0");
    QString program = executable();
#ifdef Q_OS_WIN
    QString comName;
    if (link == Serial) {
        const QString prefix = qEnvironmentVariable("WINEPREFIX");
        program = linuxSimulator();
        if (program.isEmpty() || prefix.isEmpty()) {
            qWarning("serial cases need Wine with QX_LINUX_SIM (see scripts/windows)");
            return false;
        }
        for (QString& arg : all)
            arg = unixPath(prefix, arg);
        const int com = nextComPort();
        if (com == 0) return false;
        comName = cmcComm::DeviceName(com);
        all << QStringLiteral("--link") << comLink(prefix, com);
    }
#endif
#ifdef Q_OS_WIN
    if (link == Serial) {
        // Its output goes nowhere: Wine would hand it the test's own (ctest's pipe), which a
        // simulator left running by a failed test would hold open.
        if (!QProcess::startDetached(QStringLiteral("/bin/sh"),
                                     QStringList{QStringLiteral("-c"),
                                                 QStringLiteral("exec \"$0\" \"$@\" </dev/null "
                                                                ">/dev/null 2>&1"),
                                                 program} +
                                         all))
            return false;
        linuxSimulators().insert(this, all.last());
        // The simulator is ready when its COM port opens.
        QDeadlineTimer ready(10000);
        while (cmcComm::Probe(comName) != cmcCommDevice::Refusal::None) {
            if (ready.hasExpired()) return false;
            QThread::msleep(50);
        }
        m_address = comName;
        return true;
    }
#endif
    m_process.setProgram(program);
    m_process.setArguments(all);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000)) return false;
    QByteArray line;
    QDeadlineTimer deadline(10000);
    while (!line.contains('\n') && !deadline.hasExpired()) {
        if (!m_process.waitForReadyRead(int(deadline.remainingTime()))) break;
        line += m_process.readAllStandardOutput();
    }
    if (!line.startsWith("READY ")) return false;
    m_address = QString::fromLocal8Bit(line.mid(6).trimmed());
    if (link == Tcp) m_port = uint16_t(m_address.section(QLatin1Char(':'), 1).toUInt());
    return true;
}

bool cloneSimProcess::stop() {
#ifdef Q_OS_WIN
    if (const QString link = linuxSimulators().take(this); !link.isEmpty()) {
        endLinuxSimulator(link, m_address);
        m_killed = true;
        return false;
    }
#endif
    if (m_process.state() == QProcess::NotRunning)
        return !m_killed && m_process.exitStatus() == QProcess::CrashExit;
    m_killed = true;
    m_process.kill();
    m_process.waitForFinished(5000);
    return false;
}

void cloneSimProcess::configure(cmcCloneDrv& driver, const QString& speed) const {
    if (m_link == Tcp) {
        driver.SetTcpLink(true, QStringLiteral("127.0.0.1"), m_port);
    } else {
        driver.SetTcpLink(false);
        driver.SetLink(cmcComm::PortNumberOf(m_address), speed);
    }
    driver.SetCodes(QxRadio::ModelCode, QxRadio::FrameCode2);
    driver.SetImageSize(QxRadio::ImageSize);
    driver.SetEchoCheck(true);
    driver.SetAckBlock(128);
    driver.SetStepTimeout(1000);
}

namespace {
void captureResult(void* context, dst_CDrv_Result* r) {
    auto* o = static_cast<cloneOutcome*>(context);
    ++o->calls;
    o->done = true;
    o->operation = r->operation;
    o->status = r->status;
    o->code1 = r->code1;
    o->code2 = r->code2;
    o->information = QByteArray(reinterpret_cast<const char*>(r->information.GetData()),
                                r->information.GetLength());
    o->image = r->image;
    o->refused = r->refused;
    o->partlyWritten = r->partlyWritten;
}
} // namespace

cloneOutcome cloneRun(const std::function<bool(cmcCloneDrv::Callback, void*)>& start,
                      int timeoutMs) {
    cloneOutcome outcome;
    if (!start(&captureResult, &outcome)) return outcome;
    QElapsedTimer t;
    t.start();
    while (!outcome.done && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // Anything after the callback (a second call would be a fault) shows up here.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return outcome;
}

cloneFastClock::cloneFastClock(int factor) {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    const uint32_t base = cmcTick::now();
    cmcTick::setClock([timer, base, factor] { return base + uint32_t(timer->elapsed() * factor); });
}

cloneFastClock::~cloneFastClock() {
    cmcTick::setClock({});
}

cmcEeprom cloneTestImage(uint32_t seed) {
    cmcEeprom image(QxRadio::ImageSize);
    QRandomGenerator rng(seed);
    for (int32_t a = 0; a < image.GetSize(); ++a)
        image.SetByte(a, uint8_t(rng.bounded(256)));
    image.SetBlock(QxRadio::IdentityAddr, reinterpret_cast<const uint8_t*>(QxRadio::IdentityText),
                   QxRadio::IdentityLen);
    image.SetByte(QxRadio::MapRevisionAddr, QxRadio::MapRevision);
    image.SetBlock(QxRadio::MakerTextAddr, reinterpret_cast<const uint8_t*>(QxRadio::MakerText),
                   QxRadio::MakerTextLen);
    return image;
}

bool cloneWriteImageFile(const QString& path, const cmcEeprom& image) {
    cmcEeprom copy = image; // the file object works on an image it may change
    cmcIcfFile f(copy);
    f.setModelCode(QxRadio::ModelCode);
    f.setExtraCode(QxRadio::ExtraCode);
    f.setMapRevision(QxRadio::CloneMapRevision);
    return f.write(path, QxRadio::WholeImage) == 0;
}

QStringList cloneLogLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
