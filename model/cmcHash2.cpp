#include "cmcHash2.h"

QString cmcHash2::overlapMessage() const {
    return QStringLiteral("Overlapped Hash2 table.");
}
