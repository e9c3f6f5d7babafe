#pragma once
// The memory image: a flat, owned copy of the radio's configuration memory. It knows
// nothing of what its bytes mean; cells put wider and narrower values together from bytes.
// Byte access outside the image is a programming error and a fatal stop; block access that
// does not lie wholly inside the image does nothing.

#include <cstdint>
#include <memory>

class cmcEeprom {
  public:
    cmcEeprom() = default;
    explicit cmcEeprom(int32_t size) { SetSize(size); }
    cmcEeprom(const cmcEeprom& other) { *this = other; }
    cmcEeprom& operator=(const cmcEeprom& other);

    bool operator==(const cmcEeprom& other) const;
    bool operator!=(const cmcEeprom& other) const { return !(*this == other); }

    // Resizes when n differs, and in every case with n > 0 clears all bytes to 0.
    void SetSize(int32_t n);
    int32_t GetSize() const { return m_size; }
    bool IsValidAddress(int32_t a) const { return a >= 0 && a < m_size; }
    void Fill(uint8_t b);

    void SetByte(int32_t a, uint8_t b);
    uint8_t GetByte(int32_t a) const;
    // Copy n bytes when 0 <= a < size, n >= 1 and a + n <= size; otherwise nothing.
    void SetBlock(int32_t a, const uint8_t* src, int32_t n);
    void GetBlock(int32_t a, uint8_t* dst, int32_t n) const;

    const uint8_t* data() const { return m_data.get(); }
    uint8_t* data() { return m_data.get(); }

  private:
    bool blockInside(int32_t a, int32_t n) const {
        return a >= 0 && a < m_size && n >= 1 && int64_t(a) + n <= m_size;
    }

    int32_t m_size = 0;
    std::unique_ptr<uint8_t[]> m_data;
};
