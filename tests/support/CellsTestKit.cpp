#include "CellsTestKit.h"

#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcGTex.h"

#include <memory>
#include <vector>

namespace CellsTestKit {

cmcGTex& useCellsOverlay() {
    static cmcGTex table;
    static bool opened = false;
    if (!opened) {
        table.openFile(QStringLiteral(QX_TEST_DATA_DIR "/cells.ovl"));
        opened = true;
    }
    cmcFCache::instance().setTable(&table);
    return table;
}

QString hex(const uint8_t* p, int n) {
    QStringList parts;
    for (int i = 0; i < n; ++i)
        parts << QStringLiteral("%1").arg(p[i], 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(u' ');
}

QString hex(const cmcEeprom& image, int32_t address, int n) {
    std::vector<uint8_t> b(static_cast<size_t>(n));
    image.GetBlock(address, b.data(), n);
    return hex(b.data(), n);
}

} // namespace CellsTestKit
