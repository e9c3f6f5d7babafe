#include "iuiSh_Common.h"

#include "iuiSh_CommonLayout.h"

iuiSh_Common::iuiSh_Common(QWidget* owner, cmcGTex& table)
    : cuiSheet(owner, std::make_unique<iuiSh_CommonLayout>(table)) {}
