#include "cuiSheetEnv.h"

#include "cmcCellNames.h"

namespace {
cuiSheetEnv* g_installed = nullptr;
}

cuiSheetEnv& cuiSheetEnv::current() {
    static cuiSheetEnv fallback;
    return g_installed ? *g_installed : fallback;
}

void cuiSheetEnv::install(cuiSheetEnv* env) {
    g_installed = env;
}

int32_t cuiSheetEnv::categoryByName(const QString& name) const {
    return cmcCellNames::categoryOf(name);
}

int32_t cuiSheetEnv::labelByName(const QString& name) const {
    return cmcCellNames::labelOf(name);
}
