// The recovery journal's cost for a document with all 500 channels in use: the safe write
// (clone file and companion, each through a temporary file renamed over the old one), on
// the disk and in a RAM-backed folder, and the check the shell's task makes every 50 ms
// while the user types (nothing due: the image compared with the last one seen). Medians
// and worst cases of many runs, in milliseconds; the aim is below 5 ms for a write.
//   bench_journal [RUNS]

#include "BenchRadio.h"
#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"
#include "cmcTick.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indRecoveryJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures figures(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

cmcEeprom document() {
    cmcEeprom image(QxRadio::ImageSize);
    const QString initial = QDir(QCoreApplication::applicationDirPath())
                                .filePath(QStringLiteral("../bin/QXT5200_Initial.icf"));
    if (indCloneFile::readInitial(initial, image) != ICF_Ok)
        std::printf("(initial data not found: %s)\n", qPrintable(initial));
    cmcCellDispatch d(&image);
    const char* const modes[] = {"USB", "LSB", "CW", "AM"};
    for (int row = 0; row < 500; ++row) {
        d.commit(CT_ChannelList, CL_ChL_FreqR, row, QString::number(1.6 + row * 0.05, 'f', 5));
        d.commit(CT_ChannelList, CL_ChL_Name, row, QStringLiteral("CH %1").arg(row));
        d.commit(CT_ChannelList, CL_ChL_Mode, row, QString::fromLatin1(modes[row % 4]));
    }
    return image;
}

// Writes of the journal, each after one channel's name changed.
Figures writes(const QString& folder, cmcEeprom image, int runs, bool* ok) {
    indRecoveryJournal journal(folder, QStringLiteral("bench"));
    cmcCellDispatch d(&image);
    std::vector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < runs; ++i) {
        d.commit(CT_ChannelList, CL_ChL_Name, i % 500, QStringLiteral("RUN %1").arg(i));
        t.start();
        *ok = journal.writeNow(image, true, QStringLiteral("/tmp/channels.icf"), {}) && *ok;
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    journal.remove();
    return figures(ms);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The cells read their texts from the English overlay.
    cmcGTex texts;
    benchUseEnglishTexts(texts);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const cmcEeprom image = document();

    bool ok = true;
    QTemporaryDir disk;
    const Figures onDisk = writes(disk.path(), image, runs, &ok);
    QTemporaryDir ram(QStringLiteral("/dev/shm/bench_journal-XXXXXX"));
    const Figures inRam = ram.isValid() ? writes(ram.path(), image, runs, &ok) : Figures{};

    // The shell's check while typing: a change every poll, never due.
    uint32_t now = 0;
    cmcTick::setClock([&now] { return now; });
    indRecoveryJournal journal(disk.path(), QStringLiteral("bench"));
    cmcEeprom typing = image;
    std::vector<double> polls;
    QElapsedTimer t;
    for (int i = 0; i < runs * 10; ++i) {
        typing.SetByte(QxRadio::CommentAddr, uint8_t('A' + i % 26));
        now += 50;
        t.start();
        const bool wrote = journal.poll(typing, true, QString(), {});
        if (!wrote)
            polls.push_back(double(t.nsecsElapsed()) / 1e6);
        else
            now = 0; // the longest delay came: start the next burst
    }
    journal.remove();
    cmcTick::setClock({});
    const Figures poll = figures(polls);

    std::printf("recovery journal of a 500-channel document (%d runs):\n", runs);
    std::printf("  write (clone file + companion, safe):  median %.3f ms, worst %.3f ms%s\n",
                onDisk.median, onDisk.worst, ok ? "" : " (A WRITE FAILED)");
    if (ram.isValid())
        std::printf("  the same into a RAM-backed folder:      median %.3f ms, worst %.3f ms\n",
                    inRam.median, inRam.worst);
    std::printf("  check per shell tick while typing:      median %.4f ms, worst %.4f ms\n",
                poll.median, poll.worst);
    return ok ? 0 : 1;
}
