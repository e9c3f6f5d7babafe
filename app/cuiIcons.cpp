#include "cuiIcons.h"

#include "cuiIconCache.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>
#include <map>

namespace {

// A small palette shared by every picture so the set looks of one piece.
const QColor kInk(0x2b, 0x3a, 0x4a);
const QColor kPaper(0xfb, 0xfb, 0xf7);
const QColor kBlue(0x2f, 0x6f, 0xb8);
const QColor kGreen(0x2e, 0x9a, 0x4f);
const QColor kRed(0xc8, 0x32, 0x2b);
const QColor kAmber(0xe8, 0xa3, 0x17);
const QColor kGrey(0x8a, 0x95, 0xa0);
const QColor kFolder(0xf0, 0xc0, 0x50);

using Painter = std::function<void(QPainter&)>;

QPen ink(qreal w = 1.6) {
    return QPen(kInk, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A radio front: body, display and knob; the adjustment variant carries a screwdriver.
void radio(QPainter& p, bool adjust) {
    p.setPen(ink());
    p.setBrush(QColor(0x4a, 0x55, 0x60));
    p.drawRoundedRect(QRectF(3, 9, 26, 17), 3, 3);
    p.setBrush(QColor(0x9f, 0xe0, 0xa8));
    p.drawRect(QRectF(6, 12, 12, 6));
    p.setBrush(kGrey);
    p.drawEllipse(QPointF(23.5, 17.5), 3.5, 3.5);
    p.setPen(ink(1.4));
    p.drawLine(QPointF(22, 9), QPointF(26, 2)); // antenna
    if (adjust) {
        p.setPen(QPen(kAmber, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 30), QPointF(20, 21));
        p.setPen(QPen(kInk, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 31), QPointF(10, 27));
    }
}

void folder(QPainter& p) {
    p.setPen(ink());
    p.setBrush(kFolder.darker(115));
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(12, 8);
    back.lineTo(15, 11);
    back.lineTo(29, 11);
    back.lineTo(29, 26);
    back.lineTo(3, 26);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kFolder);
    p.drawRect(QRectF(3, 14, 26, 12));
}

void page(QPainter& p, const QColor& fold = kPaper) {
    p.setPen(ink());
    p.setBrush(kPaper);
    QPainterPath path;
    path.moveTo(7, 3);
    path.lineTo(20, 3);
    path.lineTo(26, 9);
    path.lineTo(26, 29);
    path.lineTo(7, 29);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(fold);
    QPainterPath corner;
    corner.moveTo(20, 3);
    corner.lineTo(20, 9);
    corner.lineTo(26, 9);
    corner.closeSubpath();
    p.drawPath(corner);
}

void noteLines(QPainter& p, const QColor& c) {
    p.setPen(QPen(c, 1.6));
    for (int y = 13; y <= 25; y += 4)
        p.drawLine(QPointF(10, y), QPointF(23, y));
}

// A bank: a stack of channel cards with the bank's number.
void bank(QPainter& p, int n) {
    static const QColor colours[6] = {
        kBlue, kGreen, kAmber, kRed, QColor(0x7b, 0x4f, 0xb0), QColor(0x1f, 0x9a, 0xa0)};
    p.setPen(ink(1.2));
    for (int i = 2; i >= 0; --i) {
        p.setBrush(i == 0 ? colours[n % 6] : colours[n % 6].lighter(140 + 20 * i));
        p.drawRoundedRect(QRectF(4 + 2 * i, 6 + 3 * i, 22, 18), 2, 2);
    }
    QFont f;
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(4, 6, 22, 18), Qt::AlignCenter, QString::number(n));
}

// A warning (amber) or error (red) badge in the right bottom corner.
void badge(QPainter& p, bool error) {
    p.setPen(ink(1.2));
    if (error) {
        p.setBrush(kRed);
        p.drawEllipse(QRectF(15, 15, 16, 16));
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19.5, 19.5), QPointF(26.5, 26.5));
        p.drawLine(QPointF(26.5, 19.5), QPointF(19.5, 26.5));
    } else {
        p.setBrush(kAmber);
        QPainterPath tri;
        tri.moveTo(23, 14);
        tri.lineTo(31, 30);
        tri.lineTo(15, 30);
        tri.closeSubpath();
        p.drawPath(tri);
        p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(23, 19), QPointF(23, 25));
        p.drawPoint(QPointF(23, 28));
    }
}

// A plug with the port number, for the four COM port buttons.
void comPort(QPainter& p, int n) {
    p.setPen(ink());
    p.setBrush(kGrey.lighter(130));
    QPainterPath d;
    d.moveTo(3, 8);
    d.lineTo(29, 8);
    d.lineTo(26, 22);
    d.lineTo(6, 22);
    d.closeSubpath();
    p.drawPath(d);
    p.setBrush(kInk);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(9 + 4.6 * i, 13), 1.2, 1.2);
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(11.3 + 4.6 * i, 17.5), 1.2, 1.2);
    QFont f;
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kBlue);
    p.drawText(QRectF(0, 21, 32, 11), Qt::AlignCenter, QString::number(n));
}

// An arrow between the radio (left) and the computer (right): towards the computer for a
// clone read, towards the radio for a clone write.
void cloneArrow(QPainter& p, bool toRadio) {
    p.setPen(ink(1.2));
    p.setBrush(QColor(0x4a, 0x55, 0x60));
    p.drawRoundedRect(QRectF(1, 17, 13, 11), 2, 2); // radio
    p.setBrush(QColor(0x9f, 0xe0, 0xa8));
    p.drawRect(QRectF(3, 19, 6, 3));
    p.setBrush(kPaper);
    p.drawRect(QRectF(18, 3, 13, 10)); // screen
    p.drawLine(QPointF(24.5, 13), QPointF(24.5, 16));
    p.drawLine(QPointF(20, 16), QPointF(29, 16));
    const QColor c = toRadio ? kRed : kGreen;
    p.setPen(QPen(c, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath arc;
    arc.moveTo(toRadio ? QPointF(24, 20) : QPointF(7, 15));
    arc.quadTo(toRadio ? QPointF(22, 29) : QPointF(9, 6),
               toRadio ? QPointF(12, 14) : QPointF(18, 8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    const QPointF tip = toRadio ? QPointF(10, 12) : QPointF(20, 7);
    const qreal dir = toRadio ? -2.4 : 0.2; // radians of the arrow's travel at the tip
    p.setPen(QPen(c, 1));
    p.setBrush(c);
    QPolygonF head;
    head << tip << tip + QPointF(6 * std::cos(dir + 2.6), 6 * std::sin(dir + 2.6))
         << tip + QPointF(6 * std::cos(dir - 2.6), 6 * std::sin(dir - 2.6));
    p.drawPolygon(head);
}

void info(QPainter& p) {
    p.setPen(ink());
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(4, 4, 24, 24));
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPoint(QPointF(16, 10));
    p.drawLine(QPointF(16, 15), QPointF(16, 23));
}

void pen(QPainter& p) {
    p.setPen(ink(1.2));
    p.setBrush(kAmber);
    QPolygonF body;
    body << QPointF(8, 27) << QPointF(5, 24) << QPointF(22, 7) << QPointF(25, 10);
    p.drawPolygon(body);
    p.setBrush(kInk);
    QPolygonF tip;
    tip << QPointF(5, 24) << QPointF(8, 27) << QPointF(3, 29);
    p.drawPolygon(tip);
    p.setBrush(kRed);
    QPolygonF cap;
    cap << QPointF(22, 7) << QPointF(25, 10) << QPointF(28, 7) << QPointF(25, 4);
    p.drawPolygon(cap);
}

void fill(QPainter& p) {
    p.setPen(ink(1.2));
    p.setBrush(kGrey.lighter(140));
    QPolygonF bucket;
    bucket << QPointF(6, 14) << QPointF(16, 4) << QPointF(26, 14) << QPointF(16, 24);
    p.drawPolygon(bucket);
    p.setBrush(kBlue);
    QPainterPath drop;
    drop.moveTo(27, 18);
    drop.cubicTo(24, 24, 25, 28, 27, 28);
    drop.cubicTo(29, 28, 30, 24, 27, 18);
    p.drawPath(drop);
}

void slider(QPainter& p) {
    p.setPen(ink(2));
    p.drawLine(QPointF(4, 16), QPointF(28, 16));
    p.setPen(ink(1.2));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(13, 8, 6, 16), 2, 2);
    for (int x = 4; x <= 28; x += 6)
        p.drawLine(QPointF(x, 26), QPointF(x, 29));
}

void chip(QPainter& p) {
    p.setPen(ink(1.2));
    p.setBrush(kInk);
    p.drawRect(QRectF(9, 9, 14, 14));
    for (int i = 0; i < 3; ++i) {
        const qreal o = 11.5 + 4.5 * i;
        p.drawLine(QPointF(o, 5), QPointF(o, 9));
        p.drawLine(QPointF(o, 23), QPointF(o, 27));
        p.drawLine(QPointF(5, o), QPointF(9, o));
        p.drawLine(QPointF(23, o), QPointF(27, o));
    }
    p.setPen(QPen(kRed, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 12), QPointF(16, 19));
    p.drawLine(QPointF(13, 16), QPointF(16, 19));
    p.drawLine(QPointF(19, 16), QPointF(16, 19));
}

void check(QPainter& p) {
    page(p);
    p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(10, 17);
    tick.lineTo(15, 22);
    tick.lineTo(23, 11);
    p.drawPath(tick);
}

// Page navigation of the print preview: triangles with or without an end bar.
void pageNav(QPainter& p, bool forward, bool toEnd) {
    p.setPen(ink(1.2));
    p.setBrush(kBlue);
    QPolygonF tri;
    if (forward)
        tri << QPointF(10, 7) << QPointF(22, 16) << QPointF(10, 25);
    else
        tri << QPointF(22, 7) << QPointF(10, 16) << QPointF(22, 25);
    p.drawPolygon(tri);
    if (toEnd) {
        p.setBrush(kInk);
        p.drawRect(forward ? QRectF(23, 7, 3, 18) : QRectF(6, 7, 3, 18));
    }
}

void zoom(QPainter& p) {
    p.setPen(ink(2));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(4, 4, 17, 17));
    p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(28, 28));
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 12.5), QPointF(16, 12.5));
    p.drawLine(QPointF(12.5, 9), QPointF(12.5, 16));
}

void newFile(QPainter& p) {
    page(p);
    p.setPen(ink(1.2));
    p.setBrush(kAmber);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2) ? 2.5 : 6;
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        star << QPointF(12 + r * std::cos(a), 20 + r * std::sin(a));
    }
    p.drawPolygon(star);
}

void openFile(QPainter& p) {
    folder(p);
    p.setPen(QPen(kGreen, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(22, 9), QPointF(22, 2));
    p.drawLine(QPointF(19, 5), QPointF(22, 2));
    p.drawLine(QPointF(25, 5), QPointF(22, 2));
}

void saveFile(QPainter& p) {
    p.setPen(ink());
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 4, 14, 9));
    p.setBrush(kGrey.lighter(130));
    p.drawRect(QRectF(8, 18, 16, 10));
    p.setBrush(kInk);
    p.drawRect(QRectF(18, 6, 3, 5));
}

const std::map<QString, Painter>& painters() {
    static const std::map<QString, Painter> table = {
        {"imgIcon_Tree_Rig", [](QPainter& p) { radio(p, false); }},
        {"imgIcon_Tree_Folder01", [](QPainter& p) { folder(p); }},
        {"imgIcon_Tree_Note01",
         [](QPainter& p) {
             page(p);
             noteLines(p, kBlue);
         }},
        {"imgIcon_Tree_Note02",
         [](QPainter& p) {
             page(p, kAmber.lighter(150));
             noteLines(p, kGreen);
         }},
        {"imgIcon_Tree_Bank0", [](QPainter& p) { bank(p, 0); }},
        {"imgIcon_Tree_Bank1", [](QPainter& p) { bank(p, 1); }},
        {"imgIcon_Tree_Bank2", [](QPainter& p) { bank(p, 2); }},
        {"imgIcon_Tree_Bank3", [](QPainter& p) { bank(p, 3); }},
        {"imgIcon_Tree_Bank4", [](QPainter& p) { bank(p, 4); }},
        {"imgIcon_Tree_Bank5", [](QPainter& p) { bank(p, 5); }},
        // Overlays: only the badge at the right bottom, drawn over a node's own icon.
        {"imgIcon_Tree_WarnW_RB", [](QPainter& p) { badge(p, false); }},
        {"imgIcon_Tree_WarnE_RB", [](QPainter& p) { badge(p, true); }},
        {"imgIcon_ADJTree_Rig", [](QPainter& p) { radio(p, true); }},
        {"imgIcon_Bar_File_New", [](QPainter& p) { newFile(p); }},
        {"imgIcon_Bar_File_Open", [](QPainter& p) { openFile(p); }},
        {"imgIcon_Bar_File_Save", [](QPainter& p) { saveFile(p); }},
        {"imgIcon_Bar_Com1", [](QPainter& p) { comPort(p, 1); }},
        {"imgIcon_Bar_Com2", [](QPainter& p) { comPort(p, 2); }},
        {"imgIcon_Bar_Com3", [](QPainter& p) { comPort(p, 3); }},
        {"imgIcon_Bar_Com4", [](QPainter& p) { comPort(p, 4); }},
        {"imgIcon_Bar_Clone_Read", [](QPainter& p) { cloneArrow(p, false); }},
        {"imgIcon_Bar_Clone_Write", [](QPainter& p) { cloneArrow(p, true); }},
        {"imgIcon_Bar_Clone_Info", [](QPainter& p) { info(p); }},
        {"imgIcon_Bar_Pcg_Pen", [](QPainter& p) { pen(p); }},
        {"imgIcon_Bar_Pcg_Fill", [](QPainter& p) { fill(p); }},
        {"imgIcon_Bar_Pcg_Slider", [](QPainter& p) { slider(p); }},
        {"imgIcon_Bar_Flash_Write", [](QPainter& p) { chip(p); }},
        {"imgIcon_Bar_AdjCheck", [](QPainter& p) { check(p); }},
        {"imgIcon_Bar_Page_Top", [](QPainter& p) { pageNav(p, false, true); }},
        {"imgIcon_Bar_Page_Previous", [](QPainter& p) { pageNav(p, false, false); }},
        {"imgIcon_Bar_Page_Next", [](QPainter& p) { pageNav(p, true, false); }},
        {"imgIcon_Bar_Page_Last", [](QPainter& p) { pageNav(p, true, true); }},
        {"imgIcon_Bar_Page_Zoom", [](QPainter& p) { zoom(p); }},
    };
    return table;
}

// A list drawn once and kept between starts under its name in the user's cache folder.
QList<QPixmap> listOf(const QString& list, const QStringList& names, int size) {
    cuiIconCache cache(
        cuiIconCache::defaultFile(QStringLiteral("%1-icons-%2.bin").arg(list).arg(size)));
    QList<QPixmap> out;
    for (const QImage& image : cache.images(names, size, &cuiIcons::draw))
        out.append(QPixmap::fromImage(image));
    return out;
}

} // namespace

namespace cuiIcons {

const QStringList& treeNames() {
    static const QStringList names = {
        "imgIcon_Tree_Rig",    "imgIcon_Tree_Folder01", "imgIcon_Tree_Note01",
        "imgIcon_Tree_Note02", "imgIcon_Tree_Bank0",    "imgIcon_Tree_Bank1",
        "imgIcon_Tree_Bank2",  "imgIcon_Tree_Bank3",    "imgIcon_Tree_Bank4",
        "imgIcon_Tree_Bank5",  "imgIcon_Tree_WarnW_RB", "imgIcon_Tree_WarnE_RB",
        "imgIcon_ADJTree_Rig"};
    return names;
}

const QStringList& toolBarNames() {
    static const QStringList names = {
        "imgIcon_Bar_File_New",   "imgIcon_Bar_File_Open",   "imgIcon_Bar_File_Save",
        "imgIcon_Bar_Com1",       "imgIcon_Bar_Com2",        "imgIcon_Bar_Com3",
        "imgIcon_Bar_Com4",       "imgIcon_Bar_Clone_Read",  "imgIcon_Bar_Clone_Write",
        "imgIcon_Bar_Clone_Info", "imgIcon_Bar_Pcg_Pen",     "imgIcon_Bar_Pcg_Fill",
        "imgIcon_Bar_Pcg_Slider", "imgIcon_Bar_Flash_Write", "imgIcon_ADJTree_Rig",
        "imgIcon_Bar_AdjCheck",   "imgIcon_Bar_Page_Top",    "imgIcon_Bar_Page_Previous",
        "imgIcon_Bar_Page_Next",  "imgIcon_Bar_Page_Last",   "imgIcon_Bar_Page_Zoom"};
    return names;
}

QImage draw(const QString& name, int size) {
    const auto it = painters().find(name);
    if (it == painters().end() || size <= 0) return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 32.0, size / 32.0);
    it->second(p);
    p.end();
    return image;
}

QList<QPixmap> treeList(int size) {
    return listOf(QStringLiteral("tree"), treeNames(), size);
}
QList<QPixmap> toolBarList(int size) {
    return listOf(QStringLiteral("toolbar"), toolBarNames(), size);
}

} // namespace cuiIcons
