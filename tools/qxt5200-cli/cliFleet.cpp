#include "cliFleet.h"

#include "cliConsole.h"
#include "cliVerb.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "cmcOverlayFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

namespace {

const char* const HighSpeed = "38400,N,8,1";
const char* const LowSpeed = "9600,N,8,1";

// The clone messages come from the overlay of the data folder when there is one.
void openOverlay() {
    if (cmcGTex::mainTable().hasKey(QStringLiteral("GI_Mess_CloneErr_Head"))) return;
    const QString dir = cmcOverlayFiles::dataDir();
    if (!QFileInfo(QDir(dir).filePath(QStringLiteral("QXT5200.OVL"))).isFile()) return;
    int language = 0;
    cmcOverlayFiles().open(dir, QStringLiteral("QXT5200"), language);
}

QString phaseText(const imcFleetClone::Radio& r) {
    switch (r.phase) {
    case imcFleetClone::Identifying:
        return QStringLiteral("identifying");
    case imcFleetClone::Writing:
        return QStringLiteral("writing");
    case imcFleetClone::Verifying:
        return QStringLiteral("verifying");
    case imcFleetClone::Reading:
        return QStringLiteral("reading");
    case imcFleetClone::Done:
        return r.status == 0 ? QStringLiteral("done") : QStringLiteral("error %1").arg(r.status);
    default:
        return QString();
    }
}

void drawLines(const imcFleetClone& fleet, int width, bool again) {
    const int bar = 30;
    if (again) std::fprintf(stderr, "\x1b[%dA", fleet.count());
    for (int i = 0; i < fleet.count(); ++i) {
        const int total = std::max(1, fleet.total());
        const int done = std::min(fleet.done(i), total);
        const int filled = int(qint64(done) * bar / total);
        std::fprintf(stderr, "\r\x1b[K%-*s [%s%s] %3d%% %s\n", width,
                     fleet.radio(i).link.name.toLocal8Bit().constData(),
                     QByteArray(filled, '#').constData(), QByteArray(bar - filled, '.').constData(),
                     int(qint64(done) * 100 / total),
                     phaseText(fleet.radio(i)).toLocal8Bit().constData());
    }
    std::fflush(stderr);
}

} // namespace

namespace cliFleet {

bool parseLinks(QStringList& args, QList<imcFleetClone::Link>* links, QString* error) {
    QStringList rest;
    bool high = true;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a != QLatin1String("--port") && a != QLatin1String("--speed") &&
            a != QLatin1String("--tcp")) {
            rest << a;
            continue;
        }
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 needs a value").arg(a);
            return false;
        }
        const QString v = args[++i];
        imcFleetClone::Link link;
        if (a == QLatin1String("--speed")) {
            if (v != QLatin1String("high") && v != QLatin1String("low")) {
                *error = QStringLiteral("--speed is high or low");
                return false;
            }
            high = v == QLatin1String("high");
            continue;
        }
        if (a == QLatin1String("--port")) {
            link.comPort = cmcComm::PortNumberOf(v);
            if (link.comPort < 1) {
                *error = QStringLiteral("bad port '%1'").arg(v);
                return false;
            }
            const QString device = cmcComm::DeviceName(link.comPort);
            link.name = device.isEmpty() ? QStringLiteral("port %1").arg(link.comPort) : device;
        } else {
            const int colon = int(v.lastIndexOf(QLatin1Char(':')));
            bool ok = false;
            const uint port = colon > 0 ? v.mid(colon + 1).toUInt(&ok) : 0;
            if (!ok || port < 1 || port > 65535) {
                *error = QStringLiteral("--tcp needs HOST:PORT");
                return false;
            }
            link.tcp = true;
            link.host = v.left(colon);
            link.tcpPort = uint16_t(port);
            link.name = QStringLiteral("%1:%2").arg(link.host).arg(port);
        }
        links->append(link);
    }
    if (links->isEmpty()) {
        imcFleetClone::Link first;
        const QString device = cmcComm::DeviceName(1);
        first.name = device.isEmpty() ? QStringLiteral("port 1") : device;
        links->append(first);
    }
    for (imcFleetClone::Link& link : *links)
        if (!link.tcp) link.serialSettings = QString::fromLatin1(high ? HighSpeed : LowSpeed);
    args = rest;
    return true;
}

void run(imcFleetClone& fleet, const QString&) {
    openOverlay();
    const bool lines = cliStderrIsTerminal();
    int width = 4;
    for (int i = 0; i < fleet.count(); ++i)
        width = std::max(width, int(fleet.radio(i).link.name.size()));
    bool drawn = false;
    QElapsedTimer shown;
    shown.start();
    while (fleet.isRunning()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (lines && shown.elapsed() >= 100) {
            drawLines(fleet, width, drawn);
            drawn = true;
            shown.restart();
        }
    }
    if (lines) drawLines(fleet, width, drawn);
}

void printTable(const imcFleetClone& fleet) {
    openOverlay();
    QStringList links{QStringLiteral("link")}, serials{QStringLiteral("serial")};
    for (int i = 0; i < fleet.count(); ++i) {
        links << fleet.radio(i).link.name;
        serials << fleet.identity(i).shownSerial();
    }
    int lw = 0, sw = 0;
    for (const QString& s : links)
        lw = std::max(lw, int(s.size()));
    for (const QString& s : serials)
        sw = std::max(sw, int(s.size()));
    // A write with per-radio values names the values each radio got.
    QStringList values{QStringLiteral("values")};
    bool perRadio = false;
    for (int i = 0; i < fleet.count(); ++i) {
        const QString& applied = fleet.radio(i).applied;
        perRadio =
            perRadio || !applied.isEmpty() || fleet.radio(i).status == imcFleetClone::LeftOut;
        values << (applied.isEmpty() ? QStringLiteral("-") : applied);
    }
    int vw = 0;
    for (const QString& s : values)
        vw = std::max(vw, int(s.size()));
    auto line = [&](int i, const QString& status, const QString& message) {
        QString text =
            QStringLiteral("%1  %2  %3  ").arg(links[i], -lw).arg(serials[i], -sw).arg(status, -6);
        if (perRadio) text += QStringLiteral("%1  ").arg(values[i], -vw);
        cliOut(text + message);
    };
    line(0, QStringLiteral("status"), QStringLiteral("message"));
    for (int i = 0; i < fleet.count(); ++i)
        line(i + 1, QString::number(fleet.radio(i).status),
             fleet.radio(i).status == 0 ? QStringLiteral("OK") : fleet.message(i));
}

void reportFailure(const imcFleetClone& fleet, int i) {
    openOverlay();
    const int status = fleet.radio(i).status;
    if (status == 0) return;
    QString text = fleet.fullMessage(i);
    if (fleet.count() > 1)
        cliError(QStringLiteral("error %1 (%2): %3")
                     .arg(status)
                     .arg(fleet.radio(i).link.name, fleet.message(i)));
    else
        cliError(QStringLiteral("error %1: %2").arg(status).arg(text));
}

} // namespace cliFleet
