#pragma once
// A sheet on screen whose definition may hold the product-capability blocks, laid out by
// iuiSh_CommonLayout.

#include "cuiSheet.h"

class iuiSh_Common : public cuiSheet {
  public:
    iuiSh_Common(QWidget* owner, cmcGTex& table);
};
