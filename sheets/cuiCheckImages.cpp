#include "cuiCheckImages.h"

#include <QPainter>
#include <QPolygonF>

namespace {

QPixmap box(bool ticked) {
    const int n = cuiCheckImages::Size;
    QPixmap p(n, n);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.fillRect(1, 1, n - 2, n - 2, Qt::white);
    g.setPen(QColor(96, 96, 96));
    g.drawRect(0, 0, n - 1, n - 1);
    if (ticked) {
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(Qt::black, 2));
        g.drawPolyline(QPolygonF({QPointF(3, 6.5), QPointF(5.5, 9), QPointF(10, 3.5)}));
    }
    return p;
}

} // namespace

const std::vector<QPixmap>& cuiCheckImages::list() {
    static const std::vector<QPixmap> images = [] {
        std::vector<QPixmap> v(Ticked + 1);
        v[Unticked] = box(false);
        v[Ticked] = box(true);
        return v;
    }();
    return images;
}
