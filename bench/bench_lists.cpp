// Lists as text and what changed: the full 500-channel list exported as CSV and imported
// into a blank image, and the comparison of two full images that differ in every channel
// and in every address. Each figure is the best of several runs, in milliseconds; the aim
// is below 20 ms each.

#include "BenchRadio.h"
#include "cmcCellDispatch.h"
#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "imcCsvLists.h"
#include "imcImageDiff.h"
#include "imcRadioFacts.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

double bestMs(int runs, const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
    }
    return best;
}

cmcEeprom fullImage(int variant) {
    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0xFF);
    cmcCellDispatch d(&image);
    const char* const modes[] = {"USB", "LSB", "CW", "AM"};
    for (int row = 0; row < 500; ++row) {
        d.commit(CT_ChannelList, CL_ChL_FreqR, row,
                 QString::number(1.6 + row * 0.05 + variant * 0.001, 'f', 5));
        if (row % 3) d.commit(CT_ChannelList, CL_ChL_FreqT, row, QStringLiteral("20.25"));
        d.commit(CT_ChannelList, CL_ChL_Name, row,
                 QStringLiteral("CH %1, %2").arg(row).arg(variant));
        d.commit(CT_ChannelList, CL_ChL_Mode, row, QString::fromLatin1(modes[(row + variant) % 4]));
    }
    for (int row = 0; row < 300; ++row) {
        d.commit(CT_AddressList, CL_AddrL_Name, row,
                 QStringLiteral("ST %1 %2").arg(row).arg(variant));
        d.commit(CT_AddressList, CL_AddrL_Id, row, QString::number(100000 + row * 3 + variant));
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    cmcGTex texts;
    benchUseEnglishTexts(texts);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;

    const cmcEeprom a = fullImage(0), b = fullImage(1);
    const cmcCsvTable& channels = *imcCsvLists::find(QStringLiteral("channels"));

    QByteArray csv;
    const double exportMs = bestMs(runs, [&] { csv = cmcCsvList::write(a, channels); });
    bool imported = true;
    const double importMs = bestMs(runs, [&] {
        cmcEeprom blank(QxRadio::ImageSize);
        blank.Fill(0xFF);
        imported = cmcCsvList::read(blank, nullptr, imcCsvLists::layouts(channels), csv, {}).ok() &&
                   imported;
    });
    size_t changes = 0;
    imcImageDiff::compare(a, b); // reads the sheet definitions once
    const double diffMs = bestMs(runs, [&] {
        const imcImageDiffResult r = imcImageDiff::compare(a, b);
        changes = r.cells.size() + r.bytes.size();
    });

    std::printf("export of 500 channels:   %7.2f ms (%lld bytes)\n", exportMs,
                static_cast<long long>(csv.size()));
    std::printf("import of 500 channels:   %7.2f ms (%s)\n", importMs,
                imported ? "all rows taken" : "REFUSED");
    std::printf("diff of two full images:  %7.2f ms (%zu changes)\n", diffMs, changes);
    return 0;
}
