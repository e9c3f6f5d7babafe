#include "cuiWindowClamp.h"

#include <algorithm>

QRect cuiWindowClamp::apply(qint64 left, qint64 top, qint64 width, qint64 height,
                            const QRect& workArea) {
    // Edges as the window system counts them: right and bottom lie just past the area.
    const qint64 workLeft = workArea.x();
    const qint64 workTop = workArea.y();
    const qint64 workWidth = std::max<qint64>(1, workArea.width());
    const qint64 workHeight = std::max<qint64>(1, workArea.height());
    const qint64 workRight = workLeft + workWidth;
    const qint64 workBottom = workTop + workHeight;

    width = std::clamp<qint64>(width, 1, workWidth);
    height = std::clamp<qint64>(height, 1, workHeight);
    // Less than half inside: wholly inside. The sizes are bounded by the area's, so the
    // window fits.
    if (left > workRight - width / 2) left = workRight - width;
    if (left + width / 2 < workLeft) left = workLeft;
    if (top > workBottom - height / 2) top = workBottom - height;
    if (top < workTop) top = workTop;
    return QRect(int(left), int(top), int(width), int(height));
}
