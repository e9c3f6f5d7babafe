// The cell reference parser ("category.label[index]:text", as definitions and the
// command-line verbs write references) fed the fuzzer's text, with the channel numbers of
// a bank sheet. Unknown names and bad references are fatal stops, which the hook turns into
// exceptions; a crash or a reference that parses into a cell outside the name tables is a
// finding.

#include "cmcCellNames.h"
#include "cmcCellObj.h"
#include "cmcCellTexts.h"
#include "cmcFCache.h"
#include "cmcFatal.h"
#include "cmcGTex.h"

#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    static cmcGTex table;
    table.attachLines(cmcCellTexts::lines());
    cmcFCache::instance().setTable(&table);
    cmcFatal::setShowMessage(false);
    cmcFatal::setEndingHook([](const QString& text) { throw cmcFatalError(text); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1024) return 0;
    const QString reference =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    static const int32_t channels[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (const int32_t* numbers : {static_cast<const int32_t*>(nullptr), channels}) {
        cmcCellObj cell;
        try {
            cell.parseReference(reference, numbers);
        } catch (const cmcFatalError&) {
            continue;
        }
        if (cell.category < 0 || cell.category > CT_None || cell.label < 0 || cell.label > CL_None)
            std::abort();
    }
    return 0;
}
