// qxt5200-mkinit: generates the initial clone file that the editor reads at start, the
// factory state of the radio: empty lists, settings and VFO band edges at in-range defaults.
//
// Regenerate (from the repository root) with:
//   cmake --build build --target qxt5200-mkinit && build/bin/qxt5200-mkinit
//   data/QXT5200_Initial.icf
// The output depends on nothing but this program, so the same file comes out every time.

#include "cmcEeprom.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace {

void put(cmcEeprom& image, int32_t address, const char* text) {
    image.SetBlock(address, reinterpret_cast<const uint8_t*>(text), int32_t(std::strlen(text)));
}

void put32(cmcEeprom& image, int32_t address, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        image.SetByte(address + i, uint8_t(value >> (8 * i)));
}

void fill(cmcEeprom& image, int32_t first, int32_t last, uint8_t b) {
    for (int32_t a = first; a <= last; ++a)
        image.SetByte(a, b);
}

// Single-byte settings from 0xA962 on; selections start at their first item (value 0).
struct Setting {
    int32_t address;
    uint8_t value;
};
const Setting Settings[] = {
    {0xA962, 5},    // LCD contrast 0..10
    {0xA963, 5},    // LCD dimmer 0..10
    {0xA965, 25},   // beep level 0..50
    {0xA966, 10},   // squelch level 0..50
    {0xA968, 5},    // noise blanker level 0..15
    {0xA972, 5},    // speech processor level 0..10
    {0xA973, 5},    // microphone gain 0..10
    {0xA975, 25},   // side tone level 0..50
    {0xA980, 8},    // clear talk level 1..15
    {0xA999, 1},    // ALE scan group 1..100
    {0xA99C, 1},    // ALE auto sounding group 1..100
    {0xA99D, 1},    // ALE auto sounding self identifier 1..20
    {0xA99F, 10},   // ALE sound length 5..100
    {0xA9A0, 30},   // ALE BER threshold 0..48
    {0xA9A1, 1},    // ALE Golay threshold 0..3
    {0xA9A2, 1},    // ALE error threshold 0..4
    {0xA9A4, 3},    // ALE call retries 0..99
    {0xA9A5, 4},    // ALE LQA average 1..8
    {0xA9A7, 9},    // ALE scan call time, stored minus one: 10
    {0xA9AA, 0x01}, // remote control address 0x01..0xDF
};

// Lower and upper limits of the nine VFO bands, in Hz.
const uint32_t BandLimits[9][2] = {
    {30000, 2499990},     {2500000, 5999990},   {6000000, 8999990},
    {9000000, 12999990},  {13000000, 16999990}, {17000000, 19999990},
    {20000000, 22999990}, {23000000, 25999990}, {26000000, 29999990},
};

void buildImage(cmcEeprom& image) {
    image.SetSize(QxRadio::ImageSize);
    // Erased memory, empty texts and unused list records are 0xFF; so are the validity
    // bitmaps (a set bit marks a row that is not valid) and the two bytes at 0x8FE5.
    image.Fill(0xFF);
    put(image, QxRadio::IdentityAddr, QxRadio::IdentityText);
    image.SetByte(QxRadio::MapRevisionAddr, QxRadio::MapRevision);

    // VFO band edges: A at the band's lower limit, B at its upper limit.
    for (int n = 0; n < 9; ++n) {
        put32(image, 0x9076 + 8 * n, BandLimits[n][0]);
        put32(image, 0x907A + 8 * n, BandLimits[n][1]);
    }
    // ALE channel groups: no channel selected.
    fill(image, 0x90C6, 0xA961, 0x00);
    // The settings block and the rest of the user range: zero, then the defaults.
    fill(image, 0xA962, QxRadio::DefaultRangeLast, 0x00);
    for (const Setting& s : Settings)
        image.SetByte(s.address, s.value);
    put(image, QxRadio::MakerTextAddr, QxRadio::MakerText);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 || args[1].startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "usage: qxt5200-mkinit OUTPUT.icf\n");
        return 64;
    }
    cmcEeprom image;
    buildImage(image);
    const cmcEeprom loaded(image);
    const int code = indCloneFile::save(args[1], image, loaded);
    if (code != ICF_Ok) {
        std::fprintf(stderr, "qxt5200-mkinit: cannot write '%s' (error %d)\n", qPrintable(args[1]),
                     code);
        return 1;
    }
    return 0;
}
