#pragma once
// The lists of the model: for every list number its rows and row-operation flags, and for
// the lists whose rows are records in the image (27..38) where the records and their
// validity bitmap lie. The numbers and tables are this radio's (imcListFacts.h); this is
// the lookup the framework uses.

#include "cmcListLayout.h"
#include "imcListFacts.h"

#include <cstdint>

class cmcListInfo {
  public:
    // Rows and flags of a list number; a number outside 0..40 has no rows.
    static cmcListRange range(int32_t list);
    // The record layout of a list, or nullptr for lists without records in the image.
    static const cmcListLayout* layout(int32_t list);
};
