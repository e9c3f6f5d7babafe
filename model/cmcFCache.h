#pragma once
// The selection-list cache. A selection list is a set of items (value, text) read from the
// text table under a list key: the key's lines up to the first starting with '#', each line
// either "value<TAB>text" or just "text" (then the value is the line's position). Items are
// kept in value order. Lists are cached under "%s#%d" (list key, list kind) in a cmcHash2
// table and live until the cache is cleared (the text table was reopened).

#include "cmcHash2.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class cmcGTex;

struct cmcSelList {
    QString key;
    int kind = 0;
    std::vector<int64_t> values; // ascending
    QStringList texts;

    int count() const { return int(values.size()); }
    // Position of the item with value v, or -1.
    int find(int64_t v) const;
    // The text of the item with value v, or "error" when there is none.
    QString textOf(int64_t v) const;
};

class cmcFCache {
  public:
    // The process-wide cache; it reads the main text table unless another one is set.
    static cmcFCache& instance();

    // Uses this table from now on (nullptr: the main text table) and empties the cache.
    void setTable(cmcGTex* table);
    cmcGTex& table();

    // The list of a key and kind, read on first use. A missing key is fatal (text table).
    const cmcSelList& get(const QString& key, int kind);
    // Empties the cache; every list is read again on next use.
    void clear();
    // Bumped by every clear, so that holders of list pointers know to fetch again.
    uint32_t generation() const { return m_generation; }

    // Reads a list's items straight from a table.
    static void readList(cmcGTex& table, const QString& key, cmcSelList& out);

  private:
    cmcFCache() = default;
    cmcGTex* m_table = nullptr;
    std::unique_ptr<cmcHash2> m_index = std::make_unique<cmcHash2>();
    std::vector<std::unique_ptr<cmcSelList>> m_lists;
    uint32_t m_generation = 1;
};

// A selection list named in code, with its resolved list kept until the cache changes.
struct cmcSelRef {
    const char* key;
    int kind;
    mutable const cmcSelList* list = nullptr;
    mutable uint32_t generation = 0;

    const cmcSelList& get() const;
};
