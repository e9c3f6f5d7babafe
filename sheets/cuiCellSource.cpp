#include "cuiCellSource.h"

namespace {
cuiCellSource* g_global = nullptr;
}

cuiCellSource* cuiCellSource::global() {
    return g_global;
}
void cuiCellSource::setGlobal(cuiCellSource* source) {
    g_global = source;
}
