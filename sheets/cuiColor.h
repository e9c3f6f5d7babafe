#pragma once
// Colours of the definition language. A colour is held in 32 bits: an RGB colour as blue,
// green, red in the three low bytes (high byte 0), or a system colour as its index in the
// low byte with high byte 0xFF. Only the 38 framework names are accepted in definitions.

#include <QColor>
#include <QString>
#include <cstdint>

namespace cuiColor {

constexpr uint32_t System = 0xFF000000u;
constexpr uint32_t clWindow = System | 5;
constexpr uint32_t clWindowText = System | 8;
constexpr uint32_t clHighlight = System | 13;
constexpr uint32_t clHightlightText = System | 14;
constexpr uint32_t clBtnFace = System | 15;
constexpr uint32_t clGrayText = System | 17;
constexpr uint32_t clSilver = 0x00C0C0C0u;
constexpr uint32_t clWhite = 0x00FFFFFFu;
constexpr uint32_t clBlack = 0x00000000u;

constexpr uint32_t rgb(int r, int g, int b) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}

// Looks a colour name up (case-sensitive); false leaves value unchanged.
bool fromName(const QString& name, uint32_t& value);
// The colour to paint with: system colours come from the application palette.
QColor toQColor(uint32_t value);
// The 32-bit form of an RGB colour.
uint32_t fromQColor(const QColor& c);
bool isSystem(uint32_t value);

} // namespace cuiColor
