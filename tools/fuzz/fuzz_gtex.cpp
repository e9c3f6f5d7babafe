// The text-table reader over an overlay file made of the fuzzer's bytes. The whole file is
// indexed (a lookup of a key that is not there scans to the end), then every key found is
// read as a text block and value by value, forwards and backwards: the values must agree
// whatever the order of the reads, which exercises the line cache and the remembered read
// positions. A lookup past the end of the file is a fatal stop, which the hook turns into
// an exception.

#include "cmcFatal.h"
#include "cmcGTex.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>

namespace {

QString g_path;

bool value(cmcGTex& table, const QString& key, int index, QString& text) {
    try {
        text = table.getText(key, index);
        return true;
    } catch (const cmcFatalError&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    g_path = QDir::temp().filePath(
        QStringLiteral("fuzz_gtex_%1.ovl").arg(QCoreApplication::applicationPid()));
    cmcFatal::setShowMessage(false);
    cmcFatal::setEndingHook([](const QString& text) { throw cmcFatalError(text); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        QFile file(g_path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        if (file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            std::abort();
    }
    cmcGTex table;
    table.openFile(g_path);
    if (table.hasKey(QStringLiteral("\x01 no such key"))) std::abort();
    const QStringList keys = table.indexedKeys();
    int checked = 0;
    for (const QString& key : keys) {
        if (++checked > 32) break;
        if (!table.hasKey(key)) continue; // a key after the end marker
        try {
            (void)table.getTextBlock(key);
        } catch (const cmcFatalError&) {
            std::abort(); // the key exists: its block never fails
        }
        constexpr int Values = 4;
        QString forward[Values];
        bool got[Values];
        for (int i = 0; i < Values; ++i)
            got[i] = value(table, key, i, forward[i]);
        for (int i = Values - 1; i >= 0; --i) {
            QString again;
            const bool ok = value(table, key, i, again);
            if (ok != got[i] || (ok && again != forward[i])) std::abort();
        }
    }
    return 0;
}
