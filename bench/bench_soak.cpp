// Soak: 200 clone reads and writes in a row against the simulated radio on a
// pseudo-terminal, most of them with one of the radio's faults switched on at random (a
// fixed seed makes the run repeatable). Prints the operations, every status seen, the
// images verified (a read that succeeded holds the radio's memory; a write that succeeded
// left the written range in the radio), the simulator crashes, and this process's memory at
// the start and at the end. Time-outs pass four times faster than real time.
//   bench_soak [OPERATIONS]

#include "BenchRadio.h"
#include "cmcCloneDrv.h"
#include "cmcComm.h"
#include "cmcEeprom.h"
#include "cmcIcfFile.h"
#include "cmcTick.h"
#include "imcCloneCheck.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Resident memory of this process in kB.
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

struct Run {
    bool done = false;
    int status = -1;
    cmcEeprom image;
};

void finished(void* context, dst_CDrv_Result* r) {
    auto* run = static_cast<Run*>(context);
    run->done = true;
    run->status = r->status;
    if (r->status == 0 && r->operation == cmcCloneDrv::OpRead) run->image = r->image;
}

// One of the simulated radio's faults, or none, for an operation.
QStringList randomFault(QRandomGenerator& rng, bool write) {
    const int block = 0x0500 + int(rng.bounded(0xA0)) * 0x100;
    switch (rng.bounded(write ? 8 : 10)) {
    case 0:
        return {"--garble-echo", QString::number(rng.bounded(4000))};
    case 1:
        return {"--die-after", QString::number(rng.bounded(write ? 600 : 3))};
    case 2:
        return {"--exit-after", QString::number(rng.bounded(write ? 600 : 3))};
    case 3:
        return write ? QStringList{"--nak-at", QString::asprintf("0x%04X", block)}
                     : QStringList{"--bad-checksum", QString::asprintf("0x%04X", block)};
    case 4:
        return write ? QStringList{"--bad-done"} : QStringList{"--missing-block", "0x0100"};
    case 5:
        return write ? QStringList{"--no-echo"} : QStringList{"--lower-hex", "0x0200"};
    case 8:
        return {"--end-count"};
    case 9:
        return {"--bad-identity"};
    default:
        return {};
    }
}

} // namespace

int main(int argc, char** argv) {
    // Anything but a count of operations (--help, a word) gets the usage, not a run.
    if (argc > 2 || (argc == 2 && std::atoi(argv[1]) <= 0)) {
        std::printf("Usage: bench_soak [OPERATIONS]\n"
                    "Runs OPERATIONS (default 200) clone reads and writes against the simulated\n"
                    "radio, most with one of its faults switched on, and prints what it saw.\n");
        return argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
                   ? 0
                   : 64;
    }
    QCoreApplication app(argc, argv);
    const int operations = argc > 1 ? std::atoi(argv[1]) : 200;
    QElapsedTimer fast;
    fast.start();
    const uint32_t base = cmcTick::now();
    cmcTick::setClock([&fast, base] { return base + uint32_t(fast.elapsed() * 4); });

    QTemporaryDir dir;
    const cmcEeprom radio = cloneTestImage(5200);
    const QString file = dir.filePath("radio.icf");
    if (!cloneWriteImageFile(file, radio)) return 1;
    const cmcEeprom source = benchWriteSource(radio);
    QRandomGenerator rng(5200); // which operations run with which fault

    QMap<int, int> statuses;
    int verified = 0, unverified = 0, crashes = 0, simFailed = 0;
    const long firstKb = residentKb();
    long startKb = -1;
    QElapsedTimer wall;
    wall.start();
    cmcCloneDrv drv;
    for (int op = 0; op < operations; ++op) {
        const bool write = op % 2 == 1;
        // Half of the operations run clean, so that verified images keep coming.
        const QStringList fault = rng.bounded(2) ? randomFault(rng, write) : QStringList{};
        const QString saved = dir.filePath("saved.icf");
        QFile::remove(saved);
        cloneSimProcess sim;
        if (!sim.start(cloneSimProcess::Serial,
                       QStringList{"--file", file, "--save", saved} + fault)) {
            ++simFailed;
            continue;
        }
        drv.SetTcpLink(false);
        drv.SetLink(cmcComm::PortNumberOf(sim.address()), "38400,N,8,1");
        drv.SetCodes(QxRadio::ModelCode, 0);
        drv.SetImageSize(QxRadio::ImageSize);
        drv.SetEchoCheck(true);
        drv.SetAckBlock(128);
        drv.SetStepTimeout(write ? 5000 : 1000);
        drv.SetAckTimeout(5000);
        Run run;
        const bool started =
            write ? drv.StartWrite(source, imcCloneCheck::WriteRanges(false), &finished, &run)
                  : drv.StartRead(QxRadio::CloneRead, &finished, &run);
        if (!started) {
            ++statuses[-1];
            sim.stop();
            continue;
        }
        while (!run.done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (!write && run.status == 0) run.status = imcCloneCheck::CheckReadImage(run.image);
        ++statuses[run.status];
        if (run.status == 0) {
            bool same = false;
            if (write) {
                // The simulator keeps what it received when the write ends.
                QDeadlineTimer deadline(3000);
                while (!QFile::exists(saved) && !deadline.hasExpired())
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                cmcEeprom back(QxRadio::ImageSize);
                same = indCloneFile::readInitial(saved, back) == 0;
                for (int32_t a = QxRadio::UserWriteFirst; same && a <= QxRadio::UserWriteLast; ++a)
                    same = back.GetByte(a) == source.GetByte(a);
            } else {
                same = run.image == radio;
            }
            ++(same ? verified : unverified);
        }
        crashes += sim.stop() ? 1 : 0;
        // The first operations settle the allocator; memory is measured from here on.
        if (op == 9) startKb = residentKb();
        // Progress on stderr, so that a long run shows it is alive; the figures go to stdout.
        if ((op + 1) % 10 == 0)
            std::fprintf(stderr, "%d/%d operations, %.0f s, %ld kB\n", op + 1, operations,
                         wall.elapsed() / 1000.0, residentKb());
    }
    const long endKb = residentKb();

    std::printf("clone soak, simulated radio on a pseudo-terminal, random faults\n");
    std::printf("operations          %d (%d reads, %d writes)\n", operations, (operations + 1) / 2,
                operations / 2);
    for (auto it = statuses.cbegin(); it != statuses.cend(); ++it)
        std::printf("  status %-3d        %d\n", it.key(), it.value());
    std::printf("images verified     %d\n", verified);
    std::printf("images wrong        %d\n", unverified);
    std::printf("simulator crashes   %d\n", crashes);
    std::printf("simulator not ready %d\n", simFailed);
    std::printf("memory at the start %ld kB\n", firstKb);
    std::printf("memory after 10 ops %ld kB\n", startKb);
    std::printf("memory at the end   %ld kB (%+ld kB)\n", endKb, endKb - startKb);
    std::printf("wall time           %.1f s\n", wall.elapsed() / 1000.0);
    return 0;
}
