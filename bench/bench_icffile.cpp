// Time to save a whole-image clone file and to read it back (median of 50 runs each).

#include "cmcEeprom.h"
#include "cmcIcfFile.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int Runs = 50;
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.icf");

    cmcEeprom image(QxRadio::ImageSize);
    for (int32_t a = 0; a < image.GetSize(); ++a)
        image.SetByte(a, uint8_t(a * 13 + 7));
    image.SetBlock(QxRadio::IdentityAddr, reinterpret_cast<const uint8_t*>(QxRadio::IdentityText),
                   QxRadio::IdentityLen);
    image.SetByte(QxRadio::MapRevisionAddr, 2);
    const cmcEeprom loaded(image);

    std::vector<double> save, saveRam, read, open;
    QElapsedTimer t;
    auto timeSaves = [&](const QString& target, std::vector<double>& times) {
        for (int i = 0; i < Runs; ++i) {
            cmcEeprom work(image);
            t.start();
            const int code = indCloneFile::save(target, work, loaded);
            times.push_back(double(t.nsecsElapsed()) / 1e6);
            if (code != ICF_Ok) {
                std::printf("save failed: %d\n", code);
                return false;
            }
        }
        return true;
    };
    if (!timeSaves(path, save)) return 1;
    // The same save where the sync to disk costs nothing: the program's own share.
    QTemporaryDir ramDir(QStringLiteral("/dev/shm/bench_icffile-XXXXXX"));
    if (ramDir.isValid() && !timeSaves(ramDir.filePath("bench.icf"), saveRam)) return 1;
    for (int i = 0; i < Runs; ++i) {
        cmcEeprom back(QxRadio::ImageSize);
        cmcIcfFile file(back);
        file.setModelCode(QxRadio::ModelCode);
        file.setExtraCode(QxRadio::ExtraCode);
        file.setMapRevCheck(&indCloneFile::acceptCloneMapRev, nullptr);
        t.start();
        const int code = file.read(path, QxRadio::WholeImage);
        read.push_back(double(t.nsecsElapsed()) / 1e6);
        if (code != ICF_Ok) {
            std::printf("read failed: %d\n", code);
            return 1;
        }
    }
    for (int i = 0; i < Runs; ++i) {
        cmcEeprom working(QxRadio::ImageSize);
        t.start();
        const int code = indCloneFile::open(path, working);
        open.push_back(double(t.nsecsElapsed()) / 1e6);
        if (code != ICF_Ok) {
            std::printf("open failed: %d\n", code);
            return 1;
        }
    }
    std::printf("whole-image clone file (65,520 bytes, 4,098 lines), median of %d runs:\n", Runs);
    std::printf("  save (write, temporary file, rename): %.3f ms\n", median(save));
    if (!saveRam.empty())
        std::printf("  save into a RAM-backed folder:        %.3f ms\n", median(saveRam));
    std::printf("  read with coverage check:             %.3f ms\n", median(read));
    std::printf("  open (read, identity, coverage):      %.3f ms\n", median(open));
    return 0;
}
