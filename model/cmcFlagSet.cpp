#include "cmcFlagSet.h"

#include <algorithm>

namespace {

int clampCount(int n) {
    return std::clamp(n, 0, cmcFlagSet::MaxFlags);
}

uint32_t mask(int n) {
    return n >= 32 ? 0xFFFFFFFFu : (1u << n) - 1u;
}

} // namespace

int cmcFlagSet::count(uint32_t value, int n) {
    int set = 0;
    for (int k = 1; k <= clampCount(n); ++k)
        set += isSet(value, k) ? 1 : 0;
    return set;
}

uint32_t cmcFlagSet::fromField(uint32_t field, int n) {
    n = clampCount(n);
    return (field & mask(n)) << (MaxFlags - n);
}

uint32_t cmcFlagSet::toField(uint32_t value, int n) {
    n = clampCount(n);
    return (value >> (MaxFlags - n)) & mask(n);
}
