// Text table speed over a generated overlay of about 2 MB and 20,000 keys: the first lookup
// of the last key (a full lazy scan), repeated lookups of 100 recently used keys, and
// sequential reads of one long key's lines. Prints figures only.

#include "cmcGTex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int KeyCount = 20000;
constexpr int ListLines = 5000;
const QString ListKey = QStringLiteral("GI_Bench_List");

QString keyName(int k) {
    return QStringLiteral("GI_Bench_Key_%1").arg(k, 5, 10, QLatin1Char('0'));
}

qint64 writeOverlay(const QString& path) {
    QByteArray out;
    out.reserve(3 * 1024 * 1024);
    out += "Generated overlay for the text table benchmark\n";
    for (int k = 0; k < KeyCount; ++k) {
        out += '#' + keyName(k).toLatin1() + '\n';
        for (int v = 0; v < 3; ++v)
            out += "Text value " + QByteArray::number(v) + " of key " + QByteArray::number(k) +
                   " ....\n";
        if (k == KeyCount / 2) {
            out += '#' + ListKey.toLatin1() + '\n';
            for (int i = 0; i < ListLines; ++i)
                out += "List entry " + QByteArray::number(i) + "\tvalue\n";
        }
    }
    out += "#End_Of_Ovl\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(out) != out.size()) return -1;
    return out.size();
}

double seconds(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.ovl");
    const qint64 size = writeOverlay(path);
    if (size < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("overlay: %.2f MB, %d keys plus one list key of %d lines\n", double(size) / 1e6,
                KeyCount, ListLines);

    cmcGTex table;
    const QString lastKey = keyName(KeyCount - 1);
    qsizetype sink = 0;

    // Full lazy scan: the first lookup of the last key, on a freshly opened table.
    std::vector<double> scans;
    for (int run = 0; run < 5; ++run) {
        table.openFile(path);
        QElapsedTimer t;
        t.start();
        sink += table.getText(lastKey).size();
        scans.push_back(seconds(t) * 1e3);
    }
    std::printf("full scan (first lookup of the last key): first %.2f ms, best of 5 %.2f ms\n",
                scans.front(), *std::min_element(scans.begin(), scans.end()));

    // 100 recently used keys spread over the file, looked up in turn.
    std::vector<QString> keys;
    for (int i = 0; i < 100; ++i)
        keys.push_back(keyName(i * (KeyCount / 100) + 37));
    for (const QString& k : keys)
        sink += table.getText(k).size();
    const int lookups = 4000000;
    QElapsedTimer t;
    t.start();
    for (int n = 0; n < lookups; ++n)
        sink += table.getText(keys[size_t(n % 100)]).size();
    std::printf("lookups of 100 recently used keys: %.0f per second\n", lookups / seconds(t));

    // The same for 40 keys, whose lines all fit in the line cache.
    t.restart();
    for (int n = 0; n < lookups; ++n)
        sink += table.getText(keys[size_t(n % 40)]).size();
    std::printf("lookups of 40 recently used keys: %.0f per second\n", lookups / seconds(t));

    // Sequential reads through one key's lines, index 0, 1, 2 ...
    const int passes = 400;
    t.restart();
    for (int p = 0; p < passes; ++p)
        for (int i = 0; i < ListLines; ++i)
            sink += table.getText(ListKey, i).size();
    std::printf("sequential reads of one key's lines: %.0f lines per second\n",
                double(passes) * ListLines / seconds(t));

    std::printf("(checksum %lld)\n", static_cast<long long>(sink));
    return 0;
}
