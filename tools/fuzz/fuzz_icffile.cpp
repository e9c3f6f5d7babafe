// Feeds arbitrary bytes to the clone-file reader. Besides the sanitizers' findings, a read
// that fails must leave the image exactly as it was, and one that succeeds must have loaded
// exactly the required range.

#include "cmcEeprom.h"
#include "cmcIcfFile.h"
#include "imcRadioFacts.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

bool acceptTwo(void*, int32_t revision) {
    return revision == QxRadio::CloneMapRevision;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static cmcEeprom image(QxRadio::ImageSize);
    static const cmcEeprom before = [] {
        cmcEeprom e(QxRadio::ImageSize);
        for (int32_t a = 0; a < e.GetSize(); ++a)
            e.SetByte(a, uint8_t(a * 31 + 5));
        return e;
    }();
    image = before;

    cmcIcfFile file(image);
    file.setModelCode(QxRadio::ModelCode);
    file.setExtraCode(QxRadio::ExtraCode);
    file.setMapRevCheck(&acceptTwo, nullptr);
    const int code = file.readBytes(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)),
        size % 2 ? QxRadio::RepeaterData : nullptr);
    if (code < 0 || code > 9) std::abort();
    if (code != ICF_Ok && image != before) std::abort();
    if (code == ICF_Ok && size % 2 && file.loadedCount() != QxRadio::RepeaterLast + 1) std::abort();
    return 0;
}
