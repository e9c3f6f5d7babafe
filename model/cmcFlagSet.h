#pragma once
// A set of up to 26 flags as the bit-field window edits it: flag k (counted from 1, left
// to right in the window) lies at bit position 26 - k of a 32-bit value. A value of the
// image with n flags (its most significant flag first) converts to and from this form.

#include <cstdint>

class cmcFlagSet {
  public:
    static constexpr int MaxFlags = 26;

    static constexpr int position(int k) { return MaxFlags - k; }
    static bool isSet(uint32_t value, int k) {
        return k >= 1 && k <= MaxFlags && ((value >> position(k)) & 1u);
    }
    static uint32_t toggled(uint32_t value, int k) {
        return k >= 1 && k <= MaxFlags ? value ^ (1u << position(k)) : value;
    }
    // How many of the flags 1 to n are set.
    static int count(uint32_t value, int n);
    // An image field of n bits (bit n - 1 is flag 1, bit 0 flag n) as the window holds it,
    // and back; bits outside the n flags are dropped.
    static uint32_t fromField(uint32_t field, int n);
    static uint32_t toField(uint32_t value, int n);
};
