#include "iuiSh_MultiTable.h"

iuiSh_MultiTable::iuiSh_MultiTable(QWidget* owner, cmcGTex& table)
    : cuiSheet(owner, std::make_unique<iuiSh_MultiTableLayout>(table)) {}
