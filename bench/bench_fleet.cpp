// Several radios at once: the write of one clone file into one radio, then into eight radios
// side by side, each a simulated radio on its own pseudo-terminal pacing its line at 38,400
// baud; then the same with per-radio values (each radio its own ALE self address, found by
// the serial number it reports, the radios waiting for each other after identifying). The
// drivers share one event loop; the figure of interest is how much longer eight radios take
// than one (the aim: at most 1.10 times).

#include "BenchRadio.h"
#include "cmcComm.h"
#include "cmcEeprom.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "imcCloneCheck.h"
#include "imcFleetClone.h"
#include "imcFleetSheet.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Writes source into the radios given, all at once; the seconds it took and the worst status.
double fleetWrite(const std::vector<std::unique_ptr<cloneSimProcess>>& sims, int count,
                  const cmcEeprom& source, const imcFleetSheet* sheet, int* worst) {
    QList<imcFleetClone::Link> links;
    for (int i = 0; i < count; ++i) {
        imcFleetClone::Link l;
        l.comPort = cmcComm::PortNumberOf(sims[size_t(i)]->address());
        l.name = sims[size_t(i)]->address();
        links << l;
    }
    imcFleetClone fleet;
    fleet.setLinks(links);
    fleet.setSheet(sheet, false);
    QElapsedTimer t;
    t.start();
    if (!fleet.startWrite(source, QxRadio::UserWrite)) return -1;
    while (fleet.isRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    *worst = fleet.worstStatus();
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const cmcEeprom image = cloneTestImage(5200);
    const QString file = dir.filePath("radio.icf");
    if (!cloneWriteImageFile(file, image)) return 1;
    const cmcEeprom source = benchWriteSource(image);

    constexpr int Radios = 8;
    cmcGTex texts;
    benchUseEnglishTexts(texts);
    // A row per radio, keyed by its serial number: its own self address.
    imcFleetSheet sheet;
    sheet.addColumn(QStringLiteral("CT_AleSelfIndId.CL_Ale_SelfId_Id[0]"));
    for (int i = 0; i < Radios; ++i)
        sheet.setValue(sheet.addRow(QStringLiteral("BENCH-%1").arg(i + 1)), 0,
                       QStringLiteral("STATION%1").arg(i + 1));

    std::vector<std::unique_ptr<cloneSimProcess>> sims;
    for (int i = 0; i < Radios; ++i) {
        sims.push_back(std::make_unique<cloneSimProcess>());
        if (!sims.back()->start(cloneSimProcess::Serial,
                                {"--file", file, "--baud", "38400", "--serial",
                                 QStringLiteral("BENCH-%1").arg(i + 1)})) {
            std::printf("simulator did not start\n");
            return 1;
        }
    }
    std::printf("write to several radios, simulated radios on pseudo-terminals at 38400 baud\n");
    int status = -1;
    const double one = fleetWrite(sims, 1, source, nullptr, &status);
    std::printf("  1 radio : %7.2f s (status %d, 0x0500-0xAA5F)\n", one, status);
    const double all = fleetWrite(sims, Radios, source, nullptr, &status);
    std::printf("  %d radios: %7.2f s (worst status %d)\n", Radios, all, status);
    std::printf("  ratio %.3f (aim: at most 1.10)\n", one > 0 ? all / one : 0.0);
    std::printf("with per-radio values (a self address of its own for each radio)\n");
    const double oneOwn = fleetWrite(sims, 1, source, &sheet, &status);
    std::printf("  1 radio : %7.2f s (status %d)\n", oneOwn, status);
    const double allOwn = fleetWrite(sims, Radios, source, &sheet, &status);
    std::printf("  %d radios: %7.2f s (worst status %d)\n", Radios, allOwn, status);
    std::printf("  ratio to one radio %.3f (aim: at most 1.10); to one plain radio %.3f\n",
                oneOwn > 0 ? allOwn / oneOwn : 0.0, one > 0 ? allOwn / one : 0.0);
    return 0;
}
