// Feeds arbitrary bytes to the clone-file reader. Besides the sanitizers' findings, a read
// that fails must leave the image exactly as it was, and one that succeeds must have loaded
// exactly the required range.

#include "cmcEeprom.h"
#include "cmcIcfFile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

bool acceptTwo(void*, int32_t revision) {
    return revision == 2;
}

const cmcAdrRange Repeater[] = {{0x0000, 0x00D6}, {1, 0}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static cmcEeprom image(QxMap::ImageSize);
    static const cmcEeprom before = [] {
        cmcEeprom e(QxMap::ImageSize);
        for (int32_t a = 0; a < e.GetSize(); ++a)
            e.SetByte(a, uint8_t(a * 31 + 5));
        return e;
    }();
    image = before;

    cmcIcfFile file(image);
    file.setModelCode(0x7041);
    file.setExtraCode(0x0001);
    file.setMapRevCheck(&acceptTwo, nullptr);
    file.setReportErrors(false);
    const int code = file.readBytes(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)),
        size % 2 ? Repeater : nullptr);
    if (code < 0 || code > 9) std::abort();
    if (code != ICF_Ok && image != before) std::abort();
    if (code == ICF_Ok && size % 2 && file.loadedCount() != 0xD7) std::abort();
    return 0;
}
