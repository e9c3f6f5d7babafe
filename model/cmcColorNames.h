#pragma once
// The colour names of the definition language ("clWindow", "clGray" ...) in a 101-bucket
// hash table. A colour is 32 bits: an RGB colour as blue, green, red in the three low
// bytes (high byte 0), or a platform system colour as its index in the low byte with high
// byte 0xFF.

#include <QString>
#include <cstdint>

class cmcColorNames {
  public:
    static constexpr int Buckets = 101;
    static constexpr int Count = 38;

    // The colour of a name; false (and *colour unchanged) for an unknown name.
    static bool find(const QString& name, uint32_t* colour);

    static constexpr uint32_t rgb(int r, int g, int b) {
        return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
    }
    static constexpr uint32_t system(int index) { return 0xFF000000u | uint32_t(index); }
    static bool isSystem(uint32_t colour) { return (colour >> 24) == 0xFF; }

    static constexpr uint32_t clWindow = 0xFF000005u;
};
