#pragma once
// A string hash table of buckets holding singly linked entries {key, 32-bit value}. Keys
// are compared exactly (case matters). A new entry goes to the front of its bucket; adding
// a key that is already present is a fault of the program's own tables and a fatal stop.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class cmcHash {
  public:
    explicit cmcHash(int buckets = 1031);
    virtual ~cmcHash();
    cmcHash(const cmcHash&) = delete;
    cmcHash& operator=(const cmcHash&) = delete;

    // The bucket of a key for a table of n buckets: h = 2h + k + c for every character c,
    // where k starts at n / 2 and is halved (back to n / 2 at 0) whenever the character
    // after c is odd-valued.
    static uint32_t bucketOf(const char* key, int length, uint32_t n);

    // Adds an entry; a key already present is fatal.
    void insert(const QByteArray& key, int32_t value);
    void insert(const QString& key, int32_t value) { insert(key.toLatin1(), value); }
    // Whether the key is present; its value goes to *value when given.
    bool find(const QByteArray& key, int32_t* value = nullptr) const;
    bool find(const QString& key, int32_t* value = nullptr) const {
        return find(key.toLatin1(), value);
    }

    int bucketCount() const { return int(m_buckets.size()); }
    int count() const { return m_count; }
    void clear();

  protected:
    // The fatal text for a duplicate key.
    virtual QString overlapMessage() const;

  private:
    struct Entry {
        QByteArray key;
        int32_t value;
        std::unique_ptr<Entry> next;
    };
    std::vector<std::unique_ptr<Entry>> m_buckets;
    int m_count = 0;
};
