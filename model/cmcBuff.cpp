#include "cmcBuff.h"

#include "cmcFatal.h"

#include <algorithm>
#include <cstring>
#include <vector>

void cmcBuff::Clear() {
    m_block = std::make_unique<uint8_t[]>(1);
    m_block[0] = 0;
    m_start = m_block.get();
    m_length = 0;
    m_capacity = 1;
    m_fill = 0;
}

void cmcBuff::SetLength(int32_t n) {
    if (n < 0) n = 0;
    if (n > m_capacity) {
        const int32_t capacity = std::max<int32_t>(m_length / 4 + n, 1);
        auto block = std::make_unique<uint8_t[]>(size_t(capacity));
        if (m_length > 0) std::memcpy(block.get(), m_start, size_t(m_length));
        std::memset(block.get() + m_length, m_fill, size_t(capacity - m_length));
        m_block = std::move(block);
        m_start = m_block.get();
        m_capacity = capacity;
    }
    m_length = n;
}

void cmcBuff::Assign(const cmcBuff& other) {
    if (this == &other) return;
    Set(other.GetData(), other.GetLength());
}

// Whether p points into this buffer's block (growth would free it under the caller).
bool cmcBuff::ownsBytes(const uint8_t* p) const {
    return p >= m_block.get() && p < m_start + m_capacity;
}

void cmcBuff::Set(const uint8_t* bytes, int32_t n) {
    if (n > m_capacity && ownsBytes(bytes)) {
        const std::vector<uint8_t> copy(bytes, bytes + n);
        Set(copy.data(), n);
        return;
    }
    SetLength(n);
    if (n > 0 && bytes) std::memmove(m_start, bytes, size_t(n));
}

void cmcBuff::Append(const cmcBuff& other) {
    if (this == &other) {
        const cmcBuff copy(other);
        AppendBytes(copy.GetData(), copy.GetLength());
        return;
    }
    AppendBytes(other.GetData(), other.GetLength());
}

void cmcBuff::AppendBytes(const uint8_t* bytes, int32_t n) {
    if (n <= 0 || !bytes) return;
    if (m_length + n > m_capacity && ownsBytes(bytes)) {
        const std::vector<uint8_t> copy(bytes, bytes + n);
        AppendBytes(copy.data(), n);
        return;
    }
    const int32_t old = m_length;
    SetLength(old + n);
    std::memmove(m_start + old, bytes, size_t(n));
}

void cmcBuff::AppendByte(uint8_t b) {
    const int32_t old = m_length;
    SetLength(old + 1);
    m_start[old] = b;
}

void cmcBuff::AppendFill(uint8_t b, int32_t n) {
    if (n <= 0) return;
    const int32_t old = m_length;
    SetLength(old + n);
    std::memset(m_start + old, b, size_t(n));
}

uint8_t* cmcBuff::At(int32_t i) {
    if (i < 0 || i >= m_length) cmcFatal::stop(QStringLiteral("Out of cmcBuff element !"));
    return m_start + i;
}

int cmcBuff::PopFront() {
    if (m_length <= 0) return -1;
    const int b = *m_start;
    ++m_start;
    --m_length;
    --m_capacity;
    if (consumedFront() >= CompactAfter) Compact();
    return b;
}

void cmcBuff::Compact() {
    const int32_t capacity = std::max<int32_t>(m_length, 1);
    auto block = std::make_unique<uint8_t[]>(size_t(capacity));
    block[0] = m_fill;
    if (m_length > 0) std::memcpy(block.get(), m_start, size_t(m_length));
    m_block = std::move(block);
    m_start = m_block.get();
    m_capacity = capacity;
}

static int hexNibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void cmcBuff::AppendHexText(const char* text, int32_t n) {
    int high = -1;
    for (int32_t i = 0; i < n; ++i) {
        const int v = hexNibble(text[i]);
        if (v < 0) continue;
        if (high < 0) {
            high = v;
        } else {
            AppendByte(uint8_t(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0) AppendByte(uint8_t(high << 4));
}

void cmcBuff::AppendHexText(const QString& text) {
    const QByteArray latin = text.toLatin1();
    AppendHexText(latin.constData(), int32_t(latin.size()));
}
