#include "cmcGTex.h"

#include "cmcFatal.h"
#include "cmcGTexFile.h"
#include "cmcSysReason.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <deque>

namespace {

constexpr int CacheSize = 64;
// A key found after passing more than this many other records moves to the list's head.
constexpr int MoveToFrontAfter = 10;

const QByteArrayView EndOfOverlay("End_Of_Ovl");

struct KeyRecord {
    QString key;
    qint64 start = 0;   // position of value 0
    int nextIndex = 0;  // index a sequential read returns next
    qint64 nextPos = 0; // position of that index
    KeyRecord* prev = nullptr;
    KeyRecord* next = nullptr;
};

struct CachedLine {
    qint64 bytes = 0;
    QString text;
    int prev = 0;
    int next = 0;
};

// An in-memory line as the file reader would deliver it: cut at its first line feed and at
// the longest line length.
QString memoryLine(const QString& entry) {
    qsizetype len = entry.indexOf(QLatin1Char('\n'));
    if (len < 0) len = entry.size();
    len = std::min(len, cmcGTexFile::MaxLineLength);
    return len == entry.size() ? entry : entry.left(len);
}

// The fixed text of a failed lookup, and a second paragraph naming the overlay file: the
// system's reason when the file itself could not be opened, which is what needs fixing,
// else that the file lacks the key (an empty or truncated file, a damaged line).
[[noreturn]] void notFound(const QString& key, const QString& file, bool unreadable,
                           const QString& reason) {
    QString text = QStringLiteral("GTEX Error !\nThe index '%1' was not found.").arg(key);
    if (unreadable)
        text += QStringLiteral("\n\nThe overlay file '%1' cannot be read: %2.")
                    .arg(QDir::toNativeSeparators(file), cmcSysReason(reason));
    else if (!file.isEmpty())
        text += QStringLiteral("\n\nThe overlay file '%1' does not hold it.")
                    .arg(QDir::toNativeSeparators(file));
    cmcFatal::stop(text);
}

} // namespace

struct cmcGTex::Impl {
    enum Kind { None = 0, Lines = 1, File = 2 };

    Kind kind = None;
    bool open = false;
    bool prepared = false;
    QString fileName;
    QStringList lines;
    cmcGTexFile file;

    qint64 scanPos = 0;
    bool scanUnfinished = true;

    // Key records in file order except for moves to the front; the hash finds the first
    // occurrence of each key among the records scanned so far.
    std::deque<KeyRecord> records;
    KeyRecord* head = nullptr;
    KeyRecord* tail = nullptr;
    QHash<QString, KeyRecord*> index;

    // Recently read file lines by position, most recently used first (a circular list).
    std::array<qint64, CacheSize> cachePos{};
    std::array<CachedLine, CacheSize> cache;
    int cacheUsed = 0;
    int cacheHead = -1;
    QStringDecoder utf8{QStringDecoder::Utf8, QStringConverter::Flag::Stateless |
                                                  QStringConverter::Flag::ConvertInitialBom};

    void clear() {
        kind = None;
        open = false;
        prepared = false;
        fileName.clear();
        lines.clear();
        file.close();
        scanPos = 0;
        scanUnfinished = true;
        index.clear();
        records.clear();
        head = tail = nullptr;
        for (CachedLine& c : cache)
            c.text = QString();
        cacheUsed = 0;
        cacheHead = -1;
    }

    void prepare() {
        prepared = true;
        if (kind == Lines)
            open = true;
        else if (kind == File)
            open = file.open(fileName);
        // Room for the keys of a typical overlay (roughly one key per 128 bytes), so that the
        // hash rarely grows during a scan.
        if (open && kind == File)
            index.reserve(qsizetype(std::min<qint64>(file.size() / 128, 1 << 18)));
        if (!open) scanUnfinished = false;
    }

    void append(QString key, qint64 start) {
        KeyRecord& r = records.emplace_back();
        r.key = std::move(key);
        r.start = r.nextPos = start;
        r.prev = tail;
        if (tail)
            tail->next = &r;
        else
            head = &r;
        tail = &r;
        // The first occurrence wins.
        KeyRecord*& first = index[r.key];
        if (!first) first = &r;
    }

    // Reads one line at the scan position, straight from the source; records a key line.
    // Returns the record added, if any.
    KeyRecord* scanStep() {
        if (!prepared) {
            prepare();
            if (!open) return nullptr;
        }
        if (kind == Lines) {
            if (scanPos >= lines.size()) {
                scanUnfinished = false;
                return nullptr;
            }
            const QString line = memoryLine(lines.at(scanPos));
            ++scanPos;
            if (line.size() < 2 || line.at(0) != QLatin1Char('#')) return nullptr;
            append(line.mid(1), scanPos);
            if (QStringView(line).mid(1) == QLatin1String("End_Of_Ovl")) scanUnfinished = false;
            return tail;
        }
        QByteArrayView text;
        qint64 bytes = 0;
        if (!file.readLine(scanPos, text, bytes)) {
            scanUnfinished = false;
            return nullptr;
        }
        scanPos += bytes;
        if (text.size() < 2 || text.at(0) != '#') return nullptr;
        const QByteArrayView key = text.sliced(1);
        append(QString::fromUtf8(key), scanPos);
        if (key == EndOfOverlay) scanUnfinished = false;
        return tail;
    }

    void moveToFront(KeyRecord* r) {
        if (r == head) return;
        r->prev->next = r->next;
        if (r->next)
            r->next->prev = r->prev;
        else
            tail = r->prev;
        r->prev = nullptr;
        r->next = head;
        head->prev = r;
        head = r;
    }

    KeyRecord* find(const QString& key) {
        if (const auto it = index.constFind(key); it != index.cend()) {
            KeyRecord* r = *it;
            // Keep the list order a linear search would give: a record found far down the
            // list moves to its head.
            const KeyRecord* p = head;
            for (int passed = 0; passed <= MoveToFrontAfter && p; ++passed, p = p->next)
                if (p == r) return r;
            moveToFront(r);
            return r;
        }
        while (scanUnfinished) {
            KeyRecord* added = scanStep();
            if (added && added->key == key) return added;
        }
        return nullptr;
    }

    void cacheToFront(int i) {
        if (i == cacheHead) return;
        CachedLine& c = cache[i];
        cache[c.prev].next = c.next;
        cache[c.next].prev = c.prev;
        CachedLine& h = cache[cacheHead];
        c.next = cacheHead;
        c.prev = h.prev;
        cache[h.prev].next = i;
        h.prev = i;
        cacheHead = i;
    }

    int cachedAt(qint64 pos) const {
        for (int i = 0; i < cacheUsed; ++i)
            if (cachePos[i] == pos) return i;
        return -1;
    }

    // A slot for a new line at the front of the cache: a free one, else the least recently
    // used one.
    int cacheSlot(qint64 pos) {
        int i;
        if (cacheUsed < CacheSize) {
            i = cacheUsed++;
            CachedLine& c = cache[i];
            if (cacheHead < 0) {
                c.prev = c.next = i;
            } else {
                CachedLine& h = cache[cacheHead];
                c.next = cacheHead;
                c.prev = h.prev;
                cache[h.prev].next = i;
                h.prev = i;
            }
        } else {
            // In a circular list the tail becomes the head by moving the head back.
            i = cache[cacheHead].prev;
        }
        cacheHead = i;
        cachePos[i] = pos;
        return i;
    }

    // Reads the line at pos for a lookup and advances pos past it; false at the end of the
    // source. With text null the line is only skipped.
    bool readLine(qint64& pos, QString* text) {
        if (kind == Lines) {
            if (pos < 0 || pos >= lines.size()) return false;
            if (text) *text = memoryLine(lines.at(pos));
            ++pos;
            return true;
        }
        if (const int i = cachedAt(pos); i >= 0) {
            cacheToFront(i);
            if (text) *text = cache[i].text;
            pos += cache[i].bytes;
            return true;
        }
        QByteArrayView line;
        qint64 bytes = 0;
        if (!file.readLine(pos, line, bytes)) return false;
        if (text) {
            CachedLine& c = cache[cacheSlot(pos)];
            c.bytes = bytes;
            decodeInto(c.text, line);
            *text = c.text;
        }
        pos += bytes;
        return true;
    }

    // Decodes into the string's own buffer, which is reused when nobody else holds it.
    void decodeInto(QString& out, QByteArrayView bytes) {
        out.resize(utf8.requiredSpace(bytes.size()));
        QChar* end = utf8.appendToBuffer(out.data(), bytes);
        out.truncate(end - out.constData());
    }

    [[noreturn]] void notFound(const QString& key) {
        const bool unreadable = kind == File && prepared && !open;
        ::notFound(key,
                   unreadable && fileName.isEmpty() ? QStringLiteral("(none)")
                   : kind == File                   ? fileName
                                                    : QString(),
                   unreadable, unreadable ? file.errorString() : QString());
    }

    // The value at index of key; false when the key or the line is not there.
    bool lookup(const QString& key, int wanted, QString& text) {
        KeyRecord* r = find(key);
        if (!r || !open || wanted < 0) return false;
        qint64 pos;
        int n;
        if (r->nextIndex > wanted) {
            pos = r->start;
            n = 0;
        } else {
            pos = r->nextPos;
            n = r->nextIndex;
        }
        for (; n < wanted; ++n)
            if (!readLine(pos, nullptr)) return false;
        if (!readLine(pos, &text)) return false;
        r->nextIndex = wanted + 1;
        r->nextPos = pos;
        return true;
    }
};

cmcGTex::cmcGTex() : d(new Impl) {}

cmcGTex::~cmcGTex() {
    delete d;
}

bool cmcGTex::openFile(const QString& path) {
    d->clear();
    d->fileName = path;
    d->kind = Impl::File;
    return true;
}

bool cmcGTex::attachLines(const QStringList& lines) {
    if (d->kind != Impl::None) return false;
    // A lookup made while there was no source finished the scan; start afresh.
    d->clear();
    d->lines = lines;
    d->kind = Impl::Lines;
    return true;
}

QString cmcGTex::getText(const QString& key, int index) {
    QString text;
    if (!d->lookup(key, index, text)) d->notFound(key);
    return text;
}

QString cmcGTex::getTextBlock(const QString& key) {
    if (!hasKey(key)) d->notFound(key);
    QString block;
    QString value;
    for (int i = 0; d->lookup(key, i, value); ++i) {
        if (value.startsWith(QLatin1Char('#'))) break;
        if (i > 0) block += QLatin1Char('\n');
        block += value;
    }
    return block;
}

bool cmcGTex::hasKey(const QString& key) {
    return d->find(key) && d->open;
}

void cmcGTex::close() {
    d->clear();
}

QString cmcGTex::fileName() const {
    return d->fileName;
}

QStringList cmcGTex::indexedKeys() const {
    QStringList keys;
    for (const KeyRecord* r = d->head; r; r = r->next)
        keys << r->key;
    return keys;
}

cmcGTex& cmcGTex::mainTable() {
    static cmcGTex table;
    return table;
}

cmcGTex& cmcGTex::languageTable() {
    static cmcGTex table;
    return table;
}

bool cmcHelpGTex::openFile(const QString& path) {
    if (d->kind != Impl::None) return false;
    return cmcGTex::openFile(path);
}

cmcHelpGTex& cmcHelpGTex::helpTable() {
    static cmcHelpGTex table;
    return table;
}
