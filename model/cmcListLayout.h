#pragma once
// Where a list lies: the rows of a list number with their row-operation flags, and for a
// list whose rows are records in the image, where the records and their validity bitmap
// lie. A model's tables of them are its own (model/<model>/imcListFacts.h).

#include <cstdint>

struct cmcListRange {
    int32_t first = 0;
    int32_t last = -1; // last < first: the list has no rows
    int32_t flags = 0; // bit 0: rows may be copied, pasted, cleared, deleted and inserted
};

struct cmcListLayout {
    int32_t list = 0;
    int32_t base = 0; // record of row i at base + i * size
    int32_t size = 0;
    int32_t rows = 0;
    int32_t bitmap = 0; // validity bitmap: bit i % 8 of byte bitmap + i / 8 set = row not valid
};
