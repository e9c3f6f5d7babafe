#include "cmcHash.h"

#include "cmcFatal.h"

cmcHash::cmcHash(int buckets) : m_buckets(size_t(buckets > 0 ? buckets : 1)) {}

cmcHash::~cmcHash() {
    clear();
}

uint32_t cmcHash::bucketOf(const char* key, int length, uint32_t n) {
    uint32_t h = 0;
    uint32_t k = n / 2;
    for (int i = 0; i < length; ++i) {
        h = 2 * h + k + uint8_t(key[i]);
        const uint8_t after = i + 1 < length ? uint8_t(key[i + 1]) : 0;
        if (after & 1) {
            k /= 2;
            if (k == 0) k = n / 2;
        }
    }
    return n ? h % n : 0;
}

void cmcHash::insert(const QByteArray& key, int32_t value) {
    if (find(key)) cmcFatal::stop(overlapMessage());
    auto& head = m_buckets[bucketOf(key.constData(), int(key.size()), uint32_t(m_buckets.size()))];
    auto entry = std::make_unique<Entry>();
    entry->key = key;
    entry->value = value;
    entry->next = std::move(head);
    head = std::move(entry);
    ++m_count;
}

bool cmcHash::find(const QByteArray& key, int32_t* value) const {
    const Entry* e =
        m_buckets[bucketOf(key.constData(), int(key.size()), uint32_t(m_buckets.size()))].get();
    for (; e; e = e->next.get()) {
        if (e->key == key) {
            if (value) *value = e->value;
            return true;
        }
    }
    return false;
}

void cmcHash::clear() {
    // Unlink iteratively so that long chains do not recurse in the destructors.
    for (auto& head : m_buckets) {
        while (head)
            head = std::move(head->next);
    }
    m_count = 0;
}

QString cmcHash::overlapMessage() const {
    return QStringLiteral("Overlapped Hash table.");
}
