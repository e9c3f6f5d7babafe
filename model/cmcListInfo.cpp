#include "cmcListInfo.h"

cmcListRange cmcListInfo::range(int32_t list) {
    if (list < 0 || list >= QxList::ListCount) return {};
    return QxList::Ranges[list];
}

const cmcListLayout* cmcListInfo::layout(int32_t list) {
    for (const auto& l : QxList::Layouts)
        if (l.list == list) return &l;
    return nullptr;
}
