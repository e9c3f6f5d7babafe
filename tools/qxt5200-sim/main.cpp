// qxt5200-sim: a simulated QX-T5200 for the clone engine, on a pseudo-terminal (echoing every
// byte, as the programming cable's single-wire bus does) or on a loopback TCP port.

#include "simRadio.h"

#include "cmcOverlayFiles.h"
#include "datCh.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "qxVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// Starting memory when no clone file is given: the initial data file of the data folder,
// or a built image with this model's identity, plus a few channels to look at.
cmcEeprom defaultMemory() {
    cmcEeprom image(QxRadio::ImageSize);
    const QString initial = cmcOverlayFiles::dataDir() + QStringLiteral("QXT5200_Initial.icf");
    if (!QFileInfo::exists(initial) || indCloneFile::readInitial(initial, image) != 0) {
        image.Fill(0xFF);
        image.SetBlock(QxRadio::IdentityAddr,
                       reinterpret_cast<const uint8_t*>(QxRadio::IdentityText),
                       QxRadio::IdentityLen);
        image.SetByte(QxRadio::MapRevisionAddr, QxRadio::MapRevision);
        image.SetBlock(QxRadio::MakerTextAddr, reinterpret_cast<const uint8_t*>(QxRadio::MakerText),
                       QxRadio::MakerTextLen);
    }
    const char comment[] = "SIMULATED RADIO ";
    image.SetBlock(QxRadio::CommentAddr, reinterpret_cast<const uint8_t*>(comment),
                   QxRadio::CommentLen);
    const struct {
        uint32_t rx, tx;
        const char* name;
    } channels[] = {{3023000, 3023000, "SAR 3023"},
                    {5680000, 5680000, "SAR 5680"},
                    {8291000, 8291000, "MARINE 8291"}};
    for (int row = 0; row < 3; ++row) {
        datCh ch;
        if (!ch.load(image, 27, row)) break;
        ch.freqR = channels[row].rx;
        ch.freqT = channels[row].tx;
        std::memset(ch.bytes, 0xFF, sizeof ch.bytes);
        for (int i = 0; i < 4; ++i) {
            ch.bytes[QxRec::ChFreqR + i] = uint8_t(channels[row].rx >> (8 * i));
            ch.bytes[QxRec::ChFreqT + i] = uint8_t(channels[row].tx >> (8 * i));
        }
        ch.bytes[QxRec::ChMode] = 0;
        std::memcpy(ch.bytes + QxRec::ChName, channels[row].name, std::strlen(channels[row].name));
        ch.store(image);
    }
    return image;
}

int intValue(const QCommandLineParser& p, const QString& name, int fallback) {
    if (!p.isSet(name)) return fallback;
    bool ok = false;
    const QString v = p.value(name);
    const int n = v.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? v.mid(2).toInt(&ok, 16)
                                                                         : v.toInt(&ok);
    return ok ? n : fallback;
}

void ready(const QString& address) {
    std::printf("READY %s\n", address.toLocal8Bit().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QX_VERSION));
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated QX-T5200 radio. Prints \"READY <pty path>\" or \"READY 127.0.0.1:<port>\" "
        "when it listens."));
    p.addHelpOption();
    p.addVersionOption();
    const QList<QCommandLineOption> options = {
        {QStringLiteral("tcp"),
         QStringLiteral(
             "Listen on loopback TCP (port 0: any free port) instead of a pseudo-terminal."),
         QStringLiteral("port")},
        {QStringLiteral("link"),
         QStringLiteral("Make a symbolic link to the pseudo-terminal's device at this path."),
         QStringLiteral("path")},
        {QStringLiteral("file"), QStringLiteral("Start from this clone file."),
         QStringLiteral("file")},
        {QStringLiteral("baud"),
         QStringLiteral("Pace the output at this line rate (default: unpaced)."),
         QStringLiteral("n")},
        {QStringLiteral("save"), QStringLiteral("Keep what a write sent in this clone file."),
         QStringLiteral("file")},
        {QStringLiteral("log"), QStringLiteral("Log every frame received, one per line."),
         QStringLiteral("file")},
        {QStringLiteral("other-model"), QStringLiteral("Identify as another model.")},
        {QStringLiteral("other-code2"), QStringLiteral("Identify with code 2 = 2.")},
        {QStringLiteral("info-length"),
         QStringLiteral("Information block whose first byte is not its length.")},
        {QStringLiteral("info-kind"),
         QStringLiteral("Information block whose kind byte is not 2.")},
        {QStringLiteral("missing-block"),
         QStringLiteral("Leave out the read block at this address."), QStringLiteral("addr")},
        {QStringLiteral("bad-checksum"),
         QStringLiteral("Bad checksum on the read block at this address."), QStringLiteral("addr")},
        {QStringLiteral("lower-hex"),
         QStringLiteral("Lower-case hexadecimal in the read block at this address."),
         QStringLiteral("addr")},
        {QStringLiteral("read-last"), QStringLiteral("A read sends 0000 up to this address only."),
         QStringLiteral("addr")},
        {QStringLiteral("end-count"), QStringLiteral("Wrong frame count in the read's end frame.")},
        {QStringLiteral("maker-text"),
         QStringLiteral("Another maker text in the read's end frame.")},
        {QStringLiteral("bad-identity"),
         QStringLiteral("Send an image with another identity text.")},
        {QStringLiteral("outside-block"),
         QStringLiteral("Add a read block outside the image (0xFFF0).")},
        {QStringLiteral("silence"), QStringLiteral("Answer nothing, echo nothing.")},
        {QStringLiteral("no-echo"), QStringLiteral("Do not echo.")},
        {QStringLiteral("tcp-echo"),
         QStringLiteral("On TCP, echo every byte, as a serial bridge in front of the cable does.")},
        {QStringLiteral("garble-echo"),
         QStringLiteral("Alter the echo of the n-th byte received (from 0)."), QStringLiteral("n")},
        {QStringLiteral("nak-at"),
         QStringLiteral("Answer the write block holding this address with 0xFA."),
         QStringLiteral("addr")},
        {QStringLiteral("bad-done"), QStringLiteral("Answer the write's end frame with E6 01.")},
        {QStringLiteral("die-after"), QStringLiteral("Go silent after n frames."),
         QStringLiteral("n")},
        {QStringLiteral("exit-after"), QStringLiteral("End the process after n frames."),
         QStringLiteral("n")},
        {QStringLiteral("adjust-other-code"),
         QStringLiteral("Answer adjustment commands with another model's code 1.")},
        {QStringLiteral("corrupt-at"),
         QStringLiteral("A write stores the byte at this address altered (the write itself "
                        "succeeds)."),
         QStringLiteral("addr")},
        {QStringLiteral("serial"),
         QStringLiteral("Serial number in the information block (default SIM-0005200)."),
         QStringLiteral("text")},
        {QStringLiteral("info-body"),
         QStringLiteral("The information block after its three header bytes, in hexadecimal "
                        "(another radio's layout); replaces the model name and --serial."),
         QStringLiteral("hex")},
        {QStringLiteral("reboot-ms"),
         QStringLiteral("On TCP, restart after a read as a network adapter does: the connection "
                        "closes and connections are refused for this many milliseconds."),
         QStringLiteral("ms")},
    };
    p.addOptions(options);
    p.process(app);

    cmcEeprom memory(QxRadio::ImageSize);
    if (p.isSet(QStringLiteral("file"))) {
        const int rc = indCloneFile::open(p.value(QStringLiteral("file")), memory);
        if (rc != 0) {
            std::fprintf(stderr, "qxt5200-sim: cannot load '%s' (clone file error %d)\n",
                         p.value(QStringLiteral("file")).toLocal8Bit().constData(), rc);
            return 2;
        }
    } else {
        memory = defaultMemory();
    }

    simFaults f;
    f.otherModel = p.isSet(QStringLiteral("other-model"));
    f.otherCode2 = p.isSet(QStringLiteral("other-code2"));
    f.infoLength = p.isSet(QStringLiteral("info-length"));
    f.infoKind = p.isSet(QStringLiteral("info-kind"));
    f.missingBlock = intValue(p, QStringLiteral("missing-block"), -1);
    f.badChecksum = intValue(p, QStringLiteral("bad-checksum"), -1);
    f.lowerHex = intValue(p, QStringLiteral("lower-hex"), -1);
    f.readLast = intValue(p, QStringLiteral("read-last"), -1);
    f.endCount = p.isSet(QStringLiteral("end-count"));
    f.makerText = p.isSet(QStringLiteral("maker-text"));
    f.badIdentity = p.isSet(QStringLiteral("bad-identity"));
    f.outsideBlock = p.isSet(QStringLiteral("outside-block"));
    f.silence = p.isSet(QStringLiteral("silence"));
    f.noEcho = p.isSet(QStringLiteral("no-echo"));
    f.garbleEcho = intValue(p, QStringLiteral("garble-echo"), -1);
    f.nakAt = intValue(p, QStringLiteral("nak-at"), -1);
    f.badDone = p.isSet(QStringLiteral("bad-done"));
    f.dieAfter = intValue(p, QStringLiteral("die-after"), -1);
    f.exitAfter = intValue(p, QStringLiteral("exit-after"), -1);
    f.adjustOtherCode = p.isSet(QStringLiteral("adjust-other-code"));
    f.corruptAt = intValue(p, QStringLiteral("corrupt-at"), -1);

    simRadio radio(memory);
    radio.setFaults(f);
    radio.setBaud(intValue(p, QStringLiteral("baud"), 0));
    if (p.isSet(QStringLiteral("save"))) radio.setSavePath(p.value(QStringLiteral("save")));
    if (p.isSet(QStringLiteral("log"))) radio.setLogPath(p.value(QStringLiteral("log")));
    if (p.isSet(QStringLiteral("serial")))
        radio.setSerial(p.value(QStringLiteral("serial")).toLatin1());
    if (p.isSet(QStringLiteral("info-body")))
        radio.setInfoBody(QByteArray::fromHex(p.value(QStringLiteral("info-body")).toLatin1()));

    if (p.isSet(QStringLiteral("tcp"))) {
        // Loopback only: the simulator is never reachable from the network.
        auto* server = new QTcpServer(&app);
        if (!server->listen(QHostAddress::LocalHost,
                            quint16(intValue(p, QStringLiteral("tcp"), 0)))) {
            std::fprintf(stderr, "qxt5200-sim: cannot listen: %s\n",
                         server->errorString().toLocal8Bit().constData());
            return 2;
        }
        // A network adapter echoes nothing; a bridge in front of the cable passes its echo.
        radio.setEcho(p.isSet(QStringLiteral("tcp-echo")));
        auto* client = new QTcpSocket*(nullptr);
        QObject::connect(server, &QTcpServer::newConnection, [&radio, server, client] {
            while (QTcpSocket* s = server->nextPendingConnection()) {
                if (*client) (*client)->deleteLater();
                *client = s;
                radio.reset();
                radio.setSink([s](const char* d, qint64 n) { return s->write(d, n); });
                QObject::connect(s, &QTcpSocket::readyRead, [&radio, s] {
                    const QByteArray b = s->readAll();
                    radio.feed(b.constData(), b.size());
                });
                QObject::connect(s, &QTcpSocket::disconnected, [&radio, s, client] {
                    if (*client == s) {
                        *client = nullptr;
                        radio.setSink({});
                        radio.reset();
                    }
                    s->deleteLater();
                });
            }
        });
        const int rebootMs = intValue(p, QStringLiteral("reboot-ms"), 0);
        if (rebootMs > 0) {
            const quint16 port = server->serverPort();
            radio.setReadSentHook([server, client, rebootMs, port] {
                // Out of the socket's own handlers: the image goes out, then the line drops.
                QTimer::singleShot(0, server, [server, client, rebootMs, port] {
                    if (*client) (*client)->disconnectFromHost();
                    server->close();
                    QTimer::singleShot(rebootMs, server, [server, port] {
                        if (!server->listen(QHostAddress::LocalHost, port))
                            std::fprintf(stderr, "qxt5200-sim: cannot listen again: %s\n",
                                         server->errorString().toLocal8Bit().constData());
                    });
                });
            });
        }
        ready(QStringLiteral("127.0.0.1:%1").arg(server->serverPort()));
        return app.exec();
    }

#ifdef Q_OS_WIN
    // Windows has no pseudo-terminals; its serial side is tested by mapping a COM port of
    // Wine to the Linux simulator's pseudo-terminal.
    std::fprintf(stderr, "qxt5200-sim: no pseudo-terminal on Windows; use --tcp\n");
    return 2;
#else
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("qxt5200-sim: pseudo-terminal");
        return 2;
    }
    const QString slaveName = QString::fromLocal8Bit(ptsname(master));
    // Holding the slave open keeps the master readable while no program has the port open;
    // raw mode so that the line discipline neither echoes nor translates.
    const int slave = ::open(ptsname(master), O_RDWR | O_NOCTTY);
    termios t{};
    if (slave >= 0 && tcgetattr(slave, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    radio.setSink([master](const char* d, qint64 n) -> qint64 {
        const ssize_t w = ::write(master, d, size_t(n));
        return w < 0 ? 0 : w;
    });
    // Unpaced, input is taken as it comes. Paced, it is taken at the line rate, as a UART
    // would: what the program sent and the line has not carried yet stays queued in the
    // pseudo-terminal, where the program sees it as pending output.
    QSocketNotifier notifier(master, QSocketNotifier::Read);
    QTimer lineClock;
    QElapsedTimer busySince;
    qint64 taken = 0;
    auto readInput = [&radio, master, &busySince, &taken, &notifier, &lineClock] {
        char buf[4096];
        const int baud = radio.baud();
        if (baud <= 0) {
            for (;;) {
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n <= 0) break;
                radio.feed(buf, n);
            }
            return;
        }
        if (!busySince.isValid()) {
            busySince.start();
            taken = 0;
        }
        const qint64 due = busySince.nsecsElapsed() / 1000 * (baud / 10) / 1000000 - taken;
        if (due > 0) {
            const ssize_t n = ::read(master, buf, size_t(std::min<qint64>(due, sizeof buf)));
            if (n > 0) {
                taken += n;
                radio.feed(buf, n);
            } else {
                busySince.invalidate(); // the line went idle: no credit builds up
                notifier.setEnabled(true);
                lineClock.stop();
                return;
            }
        }
        notifier.setEnabled(false);
        if (!lineClock.isActive()) lineClock.start();
    };
    lineClock.setTimerType(Qt::PreciseTimer);
    lineClock.setInterval(1);
    QObject::connect(&lineClock, &QTimer::timeout, readInput);
    QObject::connect(&notifier, &QSocketNotifier::activated, readInput);
    QString address = slaveName;
    if (p.isSet(QStringLiteral("link"))) {
        const QString link = p.value(QStringLiteral("link"));
        QFile::remove(link);
        if (::symlink(ptsname(master), link.toLocal8Bit().constData()) != 0) {
            std::perror("qxt5200-sim: symlink");
            return 2;
        }
        address = link;
    }
    ready(address);
    const int rc = app.exec();
    if (slave >= 0) ::close(slave);
    ::close(master);
    return rc;
#endif
}
