#include "cmcEeprom.h"

#include "cmcFatal.h"

#include <algorithm>
#include <cstring>

cmcEeprom& cmcEeprom::operator=(const cmcEeprom& other) {
    if (this == &other) return *this;
    SetSize(other.m_size);
    if (m_size > 0) std::memcpy(m_data.get(), other.m_data.get(), size_t(m_size));
    return *this;
}

bool cmcEeprom::operator==(const cmcEeprom& other) const {
    if (m_size != other.m_size) return false;
    return m_size == 0 || std::memcmp(m_data.get(), other.m_data.get(), size_t(m_size)) == 0;
}

void cmcEeprom::SetSize(int32_t n) {
    if (n != m_size) {
        m_data.reset();
        m_size = 0;
        if (n > 0) {
            m_data = std::make_unique<uint8_t[]>(size_t(n));
            m_size = n;
        }
    }
    if (m_size > 0) std::memset(m_data.get(), 0, size_t(m_size));
}

void cmcEeprom::Fill(uint8_t b) {
    if (m_size > 0) std::memset(m_data.get(), b, size_t(m_size));
}

void cmcEeprom::SetByte(int32_t a, uint8_t b) {
    if (!IsValidAddress(a))
        cmcFatal::stop(QStringLiteral("Out of EEPROM image address (SetByte)."));
    m_data[size_t(a)] = b;
}

uint8_t cmcEeprom::GetByte(int32_t a) const {
    if (!IsValidAddress(a))
        cmcFatal::stop(QStringLiteral("Out of EEPROM image address (GetByte)."));
    return m_data[size_t(a)];
}

void cmcEeprom::SetBlock(int32_t a, const uint8_t* src, int32_t n) {
    if (!blockInside(a, n) || !src) return;
    std::memmove(m_data.get() + a, src, size_t(n));
}

void cmcEeprom::GetBlock(int32_t a, uint8_t* dst, int32_t n) const {
    if (!blockInside(a, n) || !dst) return;
    std::memmove(dst, m_data.get() + a, size_t(n));
}
