#include "datCh.h"

#include "cmcEeprom.h"

#include <cstring>

namespace {

uint32_t readU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void writeU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

bool allFF(const uint8_t* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i] != 0xFF) return false;
    return true;
}

void setBit(cmcEeprom& image, int32_t byteAddr, int bit, bool on) {
    const uint8_t b = image.GetByte(byteAddr);
    const uint8_t m = uint8_t(1u << bit);
    image.SetByte(byteAddr, on ? uint8_t(b | m) : uint8_t(b & ~m));
}

} // namespace

uint32_t datCh::clampFrequency(uint32_t raw) {
    const int32_t v = int32_t(raw);
    if (v < 0) return 0;
    if (uint32_t(v) > QxList::MaxFrequency) return QxList::MaxFrequency;
    return uint32_t(v);
}

bool datCh::blank(int offset, int n) const {
    return allFF(bytes + offset, n);
}

bool datCh::load(const cmcEeprom& img, int32_t l, int32_t r) {
    list = l;
    row = r;
    image = &img;
    inUse = valid = erased = false;
    freqR = freqT = 0;
    std::memset(bytes, 0xFF, sizeof bytes);
    size = 0;
    m_layout = cmcListInfo::layout(l);
    if (!m_layout || r < 0 || r >= m_layout->rows) {
        m_layout = nullptr;
        return false;
    }
    size = m_layout->size;
    img.GetBlock(m_layout->base + r * size, bytes, size);
    erased = allFF(bytes, size);
    // Channel bits never written name no channel, not every channel.
    if (list == QxList::Network && erasedBits(bytes + QxRec::NetChBits))
        std::memset(bytes + QxRec::NetChBits, 0, QxList::ChBitsSize);
    if (list == QxList::Channel) {
        freqR = clampFrequency(readU32(bytes + QxRec::ChFreqR));
        freqT = clampFrequency(readU32(bytes + QxRec::ChFreqT));
    }
    evaluate();
    return true;
}

void datCh::evaluate() {
    using namespace QxRec;
    switch (list) {
    case QxList::Channel:
        inUse = freqR != 0;
        valid = freqR != 0 && freqT != 0 && !blank(ChName, ChNameLen);
        break;
    case QxList::Address:
    case QxList::Network:
        inUse = valid = !blank(0, NameLen);
        break;
    case QxList::Message:
    case QxList::AleMessage:
    case QxList::AleNetId:
        inUse = !blank(0, size);
        valid = list == QxList::AleNetId ? !blank(AleId, 5) : inUse;
        break;
    case QxList::PhoneLink:
    case QxList::Profile:
        inUse = !blank(PlId, PlIdLen);
        valid = inUse && !blank(0, NameLen);
        break;
    case QxList::AleSelfId:
    case QxList::AleCallId:
        inUse = !blank(AleId, AleIdLen) || bytes[AleGroup] < 255;
        valid = !blank(AleId, 5) || bytes[AleGroup] < 255;
        break;
    default:
        inUse = valid = false;
    }
}

void datCh::store(cmcEeprom& img) {
    if (!m_layout) return;
    if (list == QxList::Channel) {
        freqR = clampFrequency(freqR);
        freqT = clampFrequency(freqT);
        writeU32(bytes + QxRec::ChFreqR, freqR);
        writeU32(bytes + QxRec::ChFreqT, freqT);
    }
    evaluate();
    if (list == QxList::Network) keepValidMembers(img);
    img.SetBlock(m_layout->base + row * size, bytes, size);
    setBit(img, m_layout->bitmap + row / 8, row % 8, !valid);

    // A channel that is not valid cannot be a member of a network or a channel group.
    if (list == QxList::Channel && !valid) {
        // Channel bits never written already name no channel; they stay as they are.
        const cmcListLayout* net = cmcListInfo::layout(QxList::Network);
        for (int n = 0; n < QxList::NetworkCount; ++n) {
            const int32_t bits = net->base + n * net->size + QxList::NetworkChBitsOffset;
            if (!erasedBits(img, bits)) setBit(img, bits + row / 8, row % 8, false);
        }
        for (int g = 0; g < QxList::AleGroupCount; ++g)
            setBit(img, QxList::AleGroupBase + g * QxList::AleGroupSize + row / 8, row % 8, false);
    }
}

void datCh::keepValidMembers(const cmcEeprom& img) {
    uint8_t* bits = bytes + QxRec::NetChBits;
    for (int32_t ch = 0; ch < QxList::ChBitsSize * 8; ++ch) {
        const uint8_t mask = uint8_t(1u << (ch % 8));
        if ((bits[ch / 8] & mask) && !channelValid(img, ch)) bits[ch / 8] &= uint8_t(~mask);
    }
}

bool datCh::erasedBits(const uint8_t* bits) {
    return allFF(bits, QxList::ChBitsSize);
}

bool datCh::erasedBits(const cmcEeprom& img, int32_t address) {
    uint8_t bits[QxList::ChBitsSize];
    img.GetBlock(address, bits, QxList::ChBitsSize);
    return erasedBits(bits);
}

bool datCh::invalidBit(const cmcEeprom& img, const cmcListLayout& layout, int32_t r) {
    return (img.GetByte(layout.bitmap + r / 8) >> (r % 8)) & 1;
}

bool datCh::channelInUse(const cmcEeprom& img, int32_t r) {
    if (r < 0 || r >= QxList::ChannelRows) return false;
    static const cmcListLayout* ch = cmcListInfo::layout(QxList::Channel);
    uint8_t b[4];
    img.GetBlock(ch->base + r * ch->size + QxRec::ChFreqR, b, 4);
    return clampFrequency(readU32(b)) != 0;
}

bool datCh::channelValid(const cmcEeprom& img, int32_t r) {
    datCh rec;
    return rec.load(img, QxList::Channel, r) && rec.valid;
}

int32_t datCh::usedChannels(const cmcEeprom& img, int32_t first, int32_t last) {
    if (first < 0 || last > 499 || first > last) return -1;
    int32_t n = 0;
    for (int32_t r = first; r <= last; ++r)
        if (channelInUse(img, r)) ++n;
    return n;
}
