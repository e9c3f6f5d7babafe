#pragma once
// A sheet whose definition may hold the product-capability blocks ("Only_Pmr",
// "Only_notTARN", "Only_Maker" …): each skips the next n lines when the radio lacks the
// capability; other directives are those of every sheet.

#include "cuiSheet.h"

class iuiSh_Common : public cuiSheet {
  public:
    using cuiSheet::cuiSheet;
    void ApplyDirective(const QString& directive) override;
};
