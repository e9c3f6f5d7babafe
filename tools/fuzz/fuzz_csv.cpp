// The list import fed the fuzzer's bytes: the first byte picks the list, the second the
// import mode and clamping, the rest is the text. A file is user input, so a fatal stop is a
// finding like a crash; an import that reports errors must leave the image exactly as it
// was, and one that succeeds must say which layout it read.

#include "cmcCsvList.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "imcCsvLists.h"
#include "imcRadioFacts.h"

#include <QByteArray>
#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    static cmcGTex table;
    table.openFile(QStringLiteral(QX_SOURCE_DIR "/data/QXT5200_ENG.OVL"));
    cmcFCache::instance().setTable(&table);
    cmcFatal::setShowMessage(false);
    cmcFatal::setEndingHook([](const QString&) { std::abort(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 16384) return 0;
    static const cmcEeprom before = [] {
        cmcEeprom e(QxRadio::ImageSize);
        e.Fill(0xFF);
        return e;
    }();
    static cmcEeprom image(QxRadio::ImageSize);
    image = before;

    const auto& lists = imcCsvLists::all();
    const cmcCsvTable& list = *lists[data[0] % lists.size()];
    cmcCsvOptions options;
    options.mode = cmcCsvOptions::Mode(data[1] % 3);
    options.clamp = data[1] & 4;
    const QByteArray text =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const cmcCsvResult result =
        cmcCsvList::read(image, nullptr, imcCsvLists::layouts(list), text, options);
    if (!result.ok() && image != before) std::abort();
    if (result.ok() && !result.table) std::abort();
    return 0;
}
