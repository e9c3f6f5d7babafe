#include "cuiCellPainter.h"

#include "cuiCellSource.h"
#include "cuiCheckImages.h"
#include "cuiSheetLayout.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

cuiCellPainter::cuiCellPainter(const cuiSheetLayout& layout, cuiCellSource* source)
    : m_layout(layout), m_source(source) {}

QSize cuiCellPainter::blockSize(int c0, int r0, int c1, int r1, double scale) const {
    double w = 0, h = 0;
    for (int c = c0; c <= c1 && c < m_layout.colCount(); ++c)
        w += m_layout.colWidth(c);
    for (int r = r0; r <= r1 && r < m_layout.rowCount(); ++r)
        h += m_layout.rowHeight(r);
    return QSize(int(std::lround(w * scale)), int(std::lround(h * scale)));
}

QPolygonF cuiCellPainter::tickPolygon(const QRectF& cell) {
    const double w = cell.width(), h = cell.height();
    const double s = 0.7 * std::min(w, h);
    const double x = cell.left() + (w > h ? ((w - h) + 0.3 * h) / 2 : 0.3 * w / 2);
    const double y = cell.top() + (h > w ? ((h - w) + 0.3 * w) / 2 : 0.3 * h / 2);
    static constexpr double corners[6][2] = {{0, 0.4},    {0, 0.6},    {0.4, 1.0},
                                             {1.0, 0.35}, {1.0, 0.15}, {0.4, 0.7}};
    QPolygonF tick;
    for (const auto& c : corners)
        tick << QPointF(x + c[0] * s, y + c[1] * s);
    return tick;
}

void cuiCellPainter::paintBlock(QPainter& painter, int c0, int r0, int c1, int r1,
                                const clsCellLook& look) const {
    c1 = std::min(c1, m_layout.colCount() - 1);
    r1 = std::min(r1, m_layout.rowCount() - 1);
    const double s = look.deviceSizes ? 1.0 : look.scale;
    double y = 0;
    for (int r = r0; r <= r1; ++r) {
        const double h = m_layout.rowHeight(r) * s;
        double x = 0;
        for (int c = c0; c <= c1; ++c) {
            const double w = m_layout.colWidth(c) * s;
            QRect rect(int(std::lround(x)), int(std::lround(y)),
                       int(std::lround(x + w)) - int(std::lround(x)),
                       int(std::lround(y + h)) - int(std::lround(y)));
            x += w;
            if (rect.width() <= 0 || rect.height() <= 0) continue;
            int first = c, last = c;
            m_layout.joinedRun(c, r, first, last);
            for (int j = c - 1; j >= first; --j)
                rect.setLeft(rect.left() - int(std::lround(m_layout.colWidth(j) * s)));
            for (int j = c + 1; j <= last; ++j)
                rect.setRight(rect.right() + int(std::lround(m_layout.colWidth(j) * s)));
            paintRun(painter, first, last, r, rect, look);
        }
        y += h;
    }
}

cuiCellView cuiCellPainter::view(int col, int row, bool selected, bool printing) const {
    const cuiCell& cell = m_layout.CellAt(col, row).cell;
    cuiCellView view;
    view.hasText = true;
    view.text = cell.displayText;
    if (cell.hasLabel()) {
        if (view.text.isEmpty()) view.text = QStringLiteral(" ");
        if (m_source) {
            view = m_source->view(cell, selected, printing);
            if (!view.hasText) view.text.clear();
        }
    }
    return view;
}

void cuiCellPainter::paintRun(QPainter& painter, int first, int last, int row, const QRect& rect,
                              const clsCellLook& look) const {
    const cuiCell& cell = m_layout.CellAt(first, row).cell;
    const double s = look.scale;
    const bool printing = look.printing;

    const cuiCellView view = this->view(first, row, look.selected, printing);
    const QString& text = view.text;

    const cuiFont* f =
        cell.effectiveFont() ? cell.effectiveFont() : m_layout.basicCell().effectiveFont();
    cuiFont defaultFont;
    if (!f) f = &defaultFont;
    QColor background;
    QColor foreground = cuiColor::toQColor(f->color);
    const bool plainColour = cell.color == cuiColor::clWindow || cell.color == cuiColor::clWhite;
    if (printing) {
        background = plainColour ? Qt::white : QColor(96, 96, 96);
        foreground = plainColour ? Qt::black : Qt::white;
    } else {
        switch (look.fill) {
        case clsCellLook::CellColour:
            background = cuiColor::toQColor(cell.color);
            break;
        case clsCellLook::SelectLine:
            background = look.selectLine;
            break;
        case clsCellLook::InactiveSelect:
            background = look.inactiveSelect;
            if (f->color == cuiColor::clBtnFace || f->color == cuiColor::clSilver ||
                f->color == cuiColor::clGrayText || foreground == background)
                foreground = cuiColor::toQColor(cuiColor::clWindow);
            break;
        case clsCellLook::Highlight:
            background = cuiColor::toQColor(cuiColor::clHighlight);
            foreground = cuiColor::toQColor(cuiColor::clHightlightText);
            break;
        }
    }

    if (view.disabled && !printing) foreground = cuiColor::toQColor(cuiColor::clGrayText);

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.fillRect(rect, background);

    // Lines.
    const QColor lineColour = plainColour || printing ? QColor(128, 128, 128) : Qt::white;
    painter.setPen(lineColour);
    if (cell.bottomLine) painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    const uint8_t mark = m_layout.CellAt(last, row).cell.rightMark;
    if (mark == cuiCell::FullLine)
        painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    else if (mark == cuiCell::ShortMark)
        painter.drawLine(rect.right(), rect.top() + rect.height() * 7 / 10, rect.right(),
                         rect.bottom());

    // Text placement.
    const QFont font = f->toQFont(printing && !look.deviceSizes ? s : 1.0);
    painter.setFont(font);
    painter.setPen(foreground);
    const QFontMetrics fm(font, painter.device());
    const QStringList lines = text.split('\n');
    const int lineH = fm.height();
    const int textH = lineH * int(lines.size());
    const int H = rect.height();
    const int W = rect.width();
    int y = rect.top() + int(s + 0.5);
    if (cell.vAlign == cuiCell::Middle)
        y = rect.top() + (H - textH) / 2;
    else if (cell.vAlign == cuiCell::Bottom)
        y = rect.top() + (H - textH) - int(s + 0.5) - 1;
    int textRight = rect.left();
    for (const QString& line : lines) {
        const int w = fm.horizontalAdvance(line);
        int x = rect.left() + int(4 * s + 0.5);
        if (cell.hAlign == cuiCell::Centre)
            x = rect.left() + (W - w) / 2;
        else if (cell.hAlign == cuiCell::Right)
            x = rect.left() + (W - w) - int(4 * s + 0.5);
        x = std::max(x, rect.left());
        painter.drawText(x, y + fm.ascent(), line);
        textRight = std::max(textRight, x + w);
        y += lineH;
    }

    if (view.tick) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(foreground);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.drawPolygon(tickPolygon(QRectF(rect)));
    }

    // Check glyph.
    if (view.checkBox >= 0) {
        const int size = std::max(4, std::min(H - 2, int(13 * (printing ? s : 1.0))));
        int gx = rect.right() - size;
        if (cell.hAlign == cuiCell::Right)
            gx = rect.left() + size / 8;
        else if (textRight + 2 + size <= rect.right())
            gx = textRight + 2;
        const QRect glyph(gx, rect.bottom() - size, size, size);
        const int image = view.checkBox ? cuiCheckImages::Ticked : cuiCheckImages::Unticked;
        const std::vector<QPixmap>* images = m_images ? m_images : &cuiCheckImages::list();
        if (!printing && int(images->size()) > image && !(*images)[size_t(image)].isNull()) {
            painter.drawPixmap(glyph, (*images)[size_t(image)]);
        } else {
            painter.setPen(printing ? Qt::black : foreground);
            painter.drawRect(glyph.adjusted(0, 0, -1, -1));
            if (view.checkBox) {
                const QPolygon tick({QPoint(glyph.left() + size / 5, glyph.top() + size / 2),
                                     QPoint(glyph.left() + size * 2 / 5, glyph.bottom() - size / 5),
                                     QPoint(glyph.right() - size / 5, glyph.top() + size / 5)});
                painter.drawPolyline(tick);
            }
        }
    }
    painter.restore();
}
