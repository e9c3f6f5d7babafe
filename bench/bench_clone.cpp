// Clone transfer speed: a full read and a full (editor-range) write through a
// pseudo-terminal against the simulated radio pacing its line at 38,400 baud, each as a
// ratio of the ideal line time (bytes on the wire / 3,840 bytes per second); then the same
// transfers over loopback TCP without pacing.

#include "BenchRadio.h"
#include "cmcCloneDrv.h"
#include "cmcComm.h"
#include "cmcEeprom.h"
#include "cmcIcfFile.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Run {
    bool done = false;
    int status = -1;
};

void finished(void* context, dst_CDrv_Result* r) {
    auto* run = static_cast<Run*>(context);
    run->done = true;
    run->status = r->status;
}

double timed(const std::function<bool(cmcCloneDrv::Callback, void*)>& start, int* status) {
    Run run;
    QElapsedTimer t;
    t.start();
    if (!start(&finished, &run)) return -1;
    while (!run.done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    *status = run.status;
    return t.nsecsElapsed() / 1e9;
}

// Bytes on the wire of a transfer (the echo is the same bytes on a single-wire bus).
constexpr double FrameBytes = 46, CommandBytes = 10, EndBytes = 17, DoneBytes = 7;
double readWireBytes() {
    return CommandBytes + 4095 * FrameBytes + EndBytes;
}
double writeWireBytes() {
    constexpr int bytes = QxRadio::UserWriteLast + 1 - QxRadio::UserWriteFirst;
    const int frames = bytes / 16;
    const int acks = 1 + bytes / 128;
    return CommandBytes + acks + frames * FrameBytes + EndBytes + DoneBytes;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const cmcEeprom image = cloneTestImage(5200);
    const QString file = dir.filePath("radio.icf");
    if (!cloneWriteImageFile(file, image)) return 1;
    const cmcEeprom source = benchWriteSource(image);

    const double lineRate = 3840.0;
    std::printf("clone transfer, simulated radio\n");
    for (bool tcp : {false, true}) {
        cloneSimProcess sim;
        QStringList args{"--file", file};
        if (!tcp)
            args << "--baud"
                 << "38400";
        if (!sim.start(tcp ? cloneSimProcess::Tcp : cloneSimProcess::Serial, args)) {
            std::printf("simulator did not start\n");
            return 1;
        }
        cmcCloneDrv drv;
        sim.configure(drv);
        int status = -1;
        const double read =
            timed([&](auto cb, void* ctx) { return drv.StartRead(QxRadio::CloneRead, cb, ctx); },
                  &status);
        const int readStatus = status;
        drv.SetStepTimeout(5000);
        drv.SetAckTimeout(5000);
        const double write = timed(
            [&](auto cb, void* ctx) { return drv.StartWrite(source, QxRadio::UserWrite, cb, ctx); },
            &status);
        if (tcp) {
            std::printf("  tcp loopback, unpaced: full read  %7.2f s (status %d)\n", read,
                        readStatus);
            std::printf("  tcp loopback, unpaced: full write %7.2f s (status %d, 0x0500-0xAA5F)\n",
                        write, status);
        } else {
            const double idealRead = readWireBytes() / lineRate;
            const double idealWrite = writeWireBytes() / lineRate;
            std::printf("  serial pty, 38400 baud: full read  %7.2f s, line time %7.2f s, ratio "
                        "%.3f (status %d)\n",
                        read, idealRead, read / idealRead, readStatus);
            std::printf("  serial pty, 38400 baud: full write %7.2f s, line time %7.2f s, ratio "
                        "%.3f (status %d, 0x0500-0xAA5F)\n",
                        write, idealWrite, write / idealWrite, status);
        }
    }
    return 0;
}
