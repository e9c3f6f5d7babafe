// Cell reads through the dispatcher: the display text of every field of every row of the
// 500-row channel list, as a sheet repaint asks for them.

#include "cmcCellDispatch.h"
#include "cmcCellTexts.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "imcRadioFacts.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    cmcGTex texts;
    texts.attachLines(cmcCellTexts::lines());
    cmcFCache::instance().setTable(&texts);

    cmcEeprom image(QxRadio::ImageSize);
    image.Fill(0xFF);
    cmcCellDispatch dispatch(&image);
    for (int row = 0; row < 500; ++row) {
        dispatch.commit(CT_ChannelList, CL_ChL_FreqR, row,
                        QString::number(1.6 + row * 0.05, 'f', 5));
        if (row % 3) dispatch.commit(CT_ChannelList, CL_ChL_FreqT, row, QStringLiteral("20.25"));
        dispatch.commit(CT_ChannelList, CL_ChL_Name, row, QStringLiteral("CHANNEL %1").arg(row));
        dispatch.commit(CT_ChannelList, CL_ChL_Mode, row, QStringLiteral("USB"));
    }

    const int32_t labels[] = {CL_ChL_Name, CL_ChL_FreqR, CL_ChL_FreqT, CL_ChL_Mode};
    const int passes = argc > 1 ? std::atoi(argv[1]) : 400;
    size_t chars = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int pass = 0; pass < passes; ++pass) {
        for (int row = 0; row < 500; ++row) {
            for (int32_t label : labels) {
                cmcCellRequest r(CT_ChannelList, label, row);
                dispatch.dispatch(r);
                chars += size_t(r.fl.display.size());
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double reads = double(passes) * 500 * 4;
    std::printf("channel-list cell reads: %.0f in %.3f s\n", reads, seconds);
    std::printf("reads per second:        %.0f\n", reads / seconds);
    std::printf("ns per read:             %.1f\n", seconds * 1e9 / reads);
    std::printf("(display characters produced: %zu)\n", chars);
    return 0;
}
