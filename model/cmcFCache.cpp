#include "cmcFCache.h"

#include "cmcGTex.h"

#include <algorithm>
#include <numeric>

int cmcSelList::find(int64_t v) const {
    auto it = std::lower_bound(values.begin(), values.end(), v);
    return it != values.end() && *it == v ? int(it - values.begin()) : -1;
}

QString cmcSelList::textOf(int64_t v) const {
    const int i = find(v);
    return i < 0 ? QStringLiteral("error") : texts[i];
}

cmcFCache& cmcFCache::instance() {
    static cmcFCache cache;
    return cache;
}

void cmcFCache::setTable(cmcGTex* t) {
    m_table = t;
    clear();
}

cmcGTex& cmcFCache::table() {
    return m_table ? *m_table : cmcGTex::mainTable();
}

void cmcFCache::clear() {
    m_index = std::make_unique<cmcHash2>();
    m_lists.clear();
    ++m_generation;
}

void cmcFCache::readList(cmcGTex& t, const QString& key, cmcSelList& out) {
    out.values.clear();
    out.texts.clear();
    std::vector<std::pair<int64_t, QString>> items;
    for (int i = 0;; ++i) {
        const QString line = t.getText(key, i);
        if (line.startsWith(u'#')) break;
        int64_t value = i;
        QString text = line;
        const int tab = int(line.indexOf(u'\t'));
        if (tab > 0) {
            bool ok = false;
            const int64_t v = line.left(tab).trimmed().toLongLong(&ok);
            if (ok) {
                value = v;
                text = line.mid(tab + 1);
            }
        }
        items.emplace_back(value, text);
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [v, text] : items) {
        if (!out.values.empty() && out.values.back() == v)
            continue; // the first of equal values wins
        out.values.push_back(v);
        out.texts.append(text);
    }
}

const cmcSelList& cmcFCache::get(const QString& key, int kind) {
    const QByteArray cacheKey = key.toLatin1() + '#' + QByteArray::number(kind);
    int32_t slot = -1;
    if (m_index->find(cacheKey, &slot)) return *m_lists[size_t(slot)];
    auto list = std::make_unique<cmcSelList>();
    list->key = key;
    list->kind = kind;
    readList(table(), key, *list);
    m_index->insert(cacheKey, int32_t(m_lists.size()));
    m_lists.push_back(std::move(list));
    return *m_lists.back();
}

const cmcSelList& cmcSelRef::get() const {
    cmcFCache& cache = cmcFCache::instance();
    if (!list || generation != cache.generation()) {
        list = &cache.get(QString::fromLatin1(key), kind);
        generation = cache.generation();
    }
    return *list;
}
