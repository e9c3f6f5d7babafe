#pragma once
// An address range of the image, both ends inclusive. Lists of ranges end at the first pair
// whose first address is above its last or that does not lie wholly inside the image; the
// program ends its lists with {1, 0}.

#include <cstdint>

struct cmcAdrRange {
    int32_t first;
    int32_t last;
};
