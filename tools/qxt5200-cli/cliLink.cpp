#include "cliLink.h"

#include "cliConsole.h"
#include "cliVerb.h"
#include "cmcCloneMessage.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "cmcOverlayFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

const char* cliLink::OptionsHelp =
    "Link options:\n"
#ifdef Q_OS_WIN
    "  --port N|COMn    serial port: N or COMn is the port COMn, 1 to 256 (default: 1)\n"
#else
    "  --port N|DEVICE  serial port number (from 1, in the order of the serial devices\n"
    "                   present) or a device path such as /dev/ttyUSB0 (default: 1)\n"
#endif
    "  --speed high|low 38400 or 9600 baud on the serial port (default: high)\n"
    "  --tcp HOST:PORT  clone over TCP instead (an IPv4 address, e.g. 127.0.0.1:41000)";

namespace {

struct runState {
    bool done = false;
    int status = -1;
    const std::function<int(dst_CDrv_Result&)>* onResult = nullptr;
};

// What the last operation's result said beyond its status (a refused or partly done write),
// for the error line that follows it.
dst_CDrv_Result& lastOutcome() {
    static dst_CDrv_Result outcome;
    return outcome;
}

void finished(void* context, dst_CDrv_Result* result) {
    auto* s = static_cast<runState*>(context);
    s->done = true;
    s->status = result->status;
    lastOutcome().refused = result->refused;
    lastOutcome().partlyWritten = result->partlyWritten;
    if (s->status == 0 && s->onResult && *s->onResult) s->status = (*s->onResult)(*result);
}

void drawBar(const QString& label, int done, int total) {
    const int width = 40;
    const int filled = total > 0 ? int(qint64(done) * width / total) : 0;
    const int percent = total > 0 ? int(qint64(done) * 100 / total) : 0;
    std::fprintf(stderr, "\r%-8s [%s%s] %3d%%", label.toLocal8Bit().constData(),
                 QByteArray(filled, '#').constData(), QByteArray(width - filled, '.').constData(),
                 percent);
    std::fflush(stderr);
}

// The clone messages come from the overlay of the data folder when there is one.
void openOverlay() {
    static bool tried = false;
    if (tried) return;
    tried = true;
    const QString dir = cmcOverlayFiles::dataDir();
    if (!QFileInfo(QDir(dir).filePath(QStringLiteral("QXT5200.OVL"))).isFile()) return;
    if (cmcGTex::mainTable().hasKey(QStringLiteral("GI_Mess_CloneErr_Head"))) return;
    int language = 0;
    cmcOverlayFiles().open(dir, QStringLiteral("QXT5200"), language);
}

} // namespace

bool cliLink::parse(QStringList& args, QString* error) {
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--port") || a == QLatin1String("--speed") ||
            a == QLatin1String("--tcp")) {
            if (!hasValue) {
                *error = QStringLiteral("%1 needs a value").arg(a);
                return false;
            }
            const QString v = args[++i];
            if (a == QLatin1String("--port")) {
                m_port = cmcComm::PortNumberOf(v);
                m_device = cmcComm::DeviceName(m_port);
                m_tcp = false;
                if (m_port < 1) {
                    *error = QStringLiteral("bad port '%1'").arg(v);
                    return false;
                }
            } else if (a == QLatin1String("--speed")) {
                if (v != QLatin1String("high") && v != QLatin1String("low")) {
                    *error = QStringLiteral("--speed is high or low");
                    return false;
                }
                m_high = v == QLatin1String("high");
            } else {
                const int colon = int(v.lastIndexOf(QLatin1Char(':')));
                bool ok = false;
                const uint port = colon > 0 ? v.mid(colon + 1).toUInt(&ok) : 0;
                if (!ok || port < 1 || port > 65535) {
                    *error = QStringLiteral("--tcp needs HOST:PORT");
                    return false;
                }
                m_tcp = true;
                m_host = v.left(colon);
                m_tcpPort = uint16_t(port);
            }
        } else {
            rest << a;
        }
    }
    args = rest;
    return true;
}

void cliLink::configure(cmcCloneDrv& driver) const {
    driver.SetTcpLink(m_tcp, m_host, m_tcpPort);
    if (!m_tcp)
        driver.SetLink(m_port,
                       m_high ? QStringLiteral("38400,N,8,1") : QStringLiteral("9600,N,8,1"));
    driver.SetEchoCheck(true);
    driver.SetAckBlock(128);
    driver.SetStepTimeout(1000);
}

QString cliLink::describe() const {
    if (m_tcp) return QStringLiteral("tcp %1:%2").arg(m_host).arg(m_tcpPort);
    const QString device = cmcComm::DeviceName(m_port);
    return QStringLiteral("serial %1 at %2")
        .arg(device.isEmpty() ? QStringLiteral("port %1 (not present)").arg(m_port) : device,
             m_high ? QStringLiteral("38400,N,8,1") : QStringLiteral("9600,N,8,1"));
}

int cliLink::run(cmcCloneDrv& driver,
                 const std::function<bool(cmcCloneDrv::Callback, void*)>& start,
                 const std::function<int(dst_CDrv_Result&)>& onResult, int total,
                 const QString& label) const {
    runState state;
    state.onResult = &onResult;
    lastOutcome().refused = lastOutcome().partlyWritten = false;
    if (!start(&finished, &state)) return CS_LinkOpen;
    const bool bar = total > 0 && cliStderrIsTerminal();
    QElapsedTimer shown;
    shown.start();
    while (!state.done) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (bar && shown.elapsed() >= 100) {
            drawBar(label, driver.DataByteCount(), total);
            shown.restart();
        }
    }
    if (bar) {
        if (state.status == 0) drawBar(label, total, total);
        std::fprintf(stderr, "\n");
    }
    return state.status;
}

void cliLink::reportStatus(int status) const {
    if (status == 0) return;
    openOverlay();
    cmcCloneMessage::Link link;
    link.tcp = m_tcp;
    link.comPort = m_port;
    link.tcpAddress = m_host;
    link.tcpPort = m_tcpPort;
    // The notes of the operation that ended with this status; a status from elsewhere (a
    // check of the result) has none.
    dst_CDrv_Result result;
    result.status = status;
    if (status == CS_BadFrame) result.refused = lastOutcome().refused;
    if (status != CS_Ok) result.partlyWritten = lastOutcome().partlyWritten;
    QString text = cmcCloneMessage::Text(result, link);
    if (status == CS_LinkOpen && !m_tcp) text += QStringLiteral("\n(%1)").arg(describe());
    cliError(QStringLiteral("error %1: %2").arg(status).arg(text));
}
