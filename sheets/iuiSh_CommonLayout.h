#pragma once
// The layout of a sheet whose definition may hold the product-capability blocks
// ("Only_Pmr", "Only_notTARN", "Only_Maker" …): each skips the next n lines when the radio
// lacks the capability; other directives are those of every sheet.

#include "cuiSheetLayout.h"

class iuiSh_CommonLayout : public cuiSheetLayout {
  public:
    using cuiSheetLayout::cuiSheetLayout;
    void ApplyDirective(const QString& directive) override;
};
