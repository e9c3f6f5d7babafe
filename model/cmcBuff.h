#pragma once
// A growable byte buffer with removal from the front: frames, received bytes and the bytes
// of hexadecimal text. Growth adds a quarter of the current length to the asked size, so
// appends are amortised; taking from the front compacts only after 4,097 bytes were taken.

#include <QString>
#include <cstdint>
#include <memory>

class cmcBuff {
  public:
    cmcBuff() { Clear(); }
    cmcBuff(const cmcBuff& other) {
        Clear();
        Assign(other);
    }
    cmcBuff& operator=(const cmcBuff& other) {
        if (this != &other) Assign(other);
        return *this;
    }

    void Clear();
    // Grows the block when n exceeds the capacity; shrinking keeps the block and its bytes.
    void SetLength(int32_t n);
    int32_t GetLength() const { return m_length; }
    int32_t GetCapacity() const { return m_capacity; }
    const uint8_t* GetData() const { return m_start; }
    uint8_t* GetData() { return m_start; }

    void Assign(const cmcBuff& other);
    void Set(const uint8_t* bytes, int32_t n);
    void Append(const cmcBuff& other);
    void AppendBytes(const uint8_t* bytes, int32_t n);
    void AppendByte(uint8_t b);
    void AppendFill(uint8_t b, int32_t n);
    // Pointer to byte i; an index outside 0..length-1 is a fatal stop.
    uint8_t* At(int32_t i);
    // Removes and returns the first byte, or -1 when empty.
    int PopFront();
    // Moves the valid bytes into a fresh block of exactly max(length, 1) bytes.
    void Compact();

    // Appends the bytes of a hexadecimal text: digit pairs become bytes (high nibble
    // first), every other character is skipped, an odd last digit becomes a high nibble.
    void AppendHexText(const QString& text);
    void AppendHexText(const char* text, int32_t n);

    // Bytes taken from the front since the block was last allocated.
    int32_t consumedFront() const { return int32_t(m_start - m_block.get()); }

    static constexpr int32_t CompactAfter = 4097;

  private:
    bool ownsBytes(const uint8_t* p) const;

    std::unique_ptr<uint8_t[]> m_block;
    uint8_t* m_start = nullptr;
    int32_t m_length = 0;
    int32_t m_capacity = 0;
    uint8_t m_fill = 0;
};
