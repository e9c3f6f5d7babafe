#include "cuiSegmentSet.h"

#include "cmcGTex.h"

#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

QPainterPath cuiSegment::path() const {
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    for (const auto& t : triangles) {
        p.moveTo(t[0]);
        p.lineTo(t[1]);
        p.lineTo(t[2]);
        p.closeSubpath();
    }
    return p;
}

bool cuiSegmentSet::parseLine(const QString& line, cuiSegment& segment) {
    segment = cuiSegment();
    const QStringList parts = line.split(QLatin1Char('|'));
    bool ok = false;
    const int count = parts.first().trimmed().toInt(&ok);
    if (!ok || count == 0 || parts.size() - 1 != std::abs(count)) return false;
    segment.flag = count > 0;
    static const QRegularExpression point(
        QStringLiteral("^\\s*\\(\\s*(-?[0-9.]+)\\s*,\\s*(-?[0-9.]+)\\s*\\)"));
    for (int g = 1; g < parts.size(); ++g) {
        QString rest = parts[g];
        std::array<QPointF, 3> triangle;
        for (QPointF& p : triangle) {
            const QRegularExpressionMatch m = point.match(rest);
            if (!m.hasMatch()) return false;
            bool okX = false, okY = false;
            p = QPointF(m.captured(1).toDouble(&okX), m.captured(2).toDouble(&okY));
            if (!okX || !okY) return false;
            rest = rest.mid(m.capturedLength());
        }
        if (!rest.trimmed().isEmpty()) return false;
        segment.triangles.push_back(triangle);
    }
    return true;
}

void cuiSegmentSet::load(cmcGTex& table, const QString& key) {
    m_segments.clear();
    m_badLines.clear();
    if (!table.hasKey(key)) return;
    const QStringList lines = table.getTextBlock(key).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.startsWith(QLatin1Char('#'))) break;
        if (line.startsWith(QLatin1String("//"))) continue;
        if (line.trimmed().isEmpty() && i == lines.size() - 1) break;
        cuiSegment segment;
        if (!parseLine(line, segment)) m_badLines.append(i);
        m_segments.push_back(segment);
    }
}

QRectF cuiSegmentSet::bounds() const {
    QRectF box;
    for (const cuiSegment& s : m_segments)
        box = box.united(s.path().boundingRect());
    return box;
}

uint32_t cuiSegmentSet::segmentsOf(QChar c) {
    constexpr uint32_t a = 1u << A, b = 1u << B, cc = 1u << C, d = 1u << D, e = 1u << E,
                       f = 1u << F, g = 1u << G;
    switch (c.unicode()) {
    case '0':
    case 'O':
        return a | b | cc | d | e | f;
    case '1':
    case 'I':
        return b | cc;
    case '2':
    case 'Z':
        return a | b | d | e | g;
    case '3':
        return a | b | cc | d | g;
    case '4':
        return b | cc | f | g;
    case '5':
    case 'S':
    case 's':
        return a | cc | d | f | g;
    case '6':
        return a | cc | d | e | f | g;
    case '7':
        return a | b | cc;
    case '8':
    case 'B':
        return a | b | cc | d | e | f | g;
    case '9':
        return a | b | cc | d | f | g;
    case 'A':
    case 'a':
        return a | b | cc | e | f | g;
    case 'b':
        return cc | d | e | f | g;
    case 'C':
        return a | d | e | f;
    case 'c':
        return d | e | g;
    case 'D':
    case 'd':
        return b | cc | d | e | g;
    case 'E':
    case 'e':
        return a | d | e | f | g;
    case 'F':
    case 'f':
        return a | e | f | g;
    case 'G':
        return a | cc | d | e | f;
    case 'H':
        return b | cc | e | f | g;
    case 'h':
        return cc | e | f | g;
    case 'i':
        return cc;
    case 'J':
    case 'j':
        return b | cc | d;
    case 'L':
    case 'l':
        return d | e | f;
    case 'n':
    case 'N':
        return cc | e | g;
    case 'o':
        return cc | d | e | g;
    case 'P':
    case 'p':
        return a | b | e | f | g;
    case 'q':
        return a | b | cc | f | g;
    case 'r':
    case 'R':
        return e | g;
    case 't':
    case 'T':
        return d | e | f | g;
    case 'U':
        return b | cc | d | e | f;
    case 'u':
    case 'v':
        return cc | d | e;
    case 'y':
    case 'Y':
        return b | cc | d | f | g;
    case '-':
        return g;
    case '_':
        return d;
    case '=':
        return d | g;
    default:
        return 0;
    }
}

std::vector<uint32_t> cuiSegmentSet::cellsOf(const QString& text) {
    std::vector<uint32_t> cells;
    for (const QChar c : text) {
        if (c == QLatin1Char('.') && !cells.empty() && !(cells.back() & (1u << Point))) {
            cells.back() |= 1u << Point;
            continue;
        }
        cells.push_back(c == QLatin1Char('.') ? 1u << Point : segmentsOf(c));
    }
    return cells;
}

void cuiSegmentSet::paintCell(QPainter& painter, const QRectF& box, uint32_t lit, const QColor& on,
                              const QColor& off) const {
    const QRectF from = bounds();
    if (from.isEmpty() || box.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.translate(box.topLeft());
    painter.scale(box.width() / from.width(), box.height() / from.height());
    painter.translate(-from.topLeft());
    for (size_t n = 0; n < m_segments.size(); ++n) {
        const bool isLit = n < 32 && (lit >> n & 1u);
        if (!isLit && !m_segments[n].flag) continue;
        painter.setBrush(isLit ? on : off);
        painter.drawPath(m_segments[n].path());
    }
    painter.restore();
}

void cuiSegmentSet::paintText(QPainter& painter, const QRectF& area, const QString& text,
                              const QColor& on, const QColor& off) const {
    const QRectF from = bounds();
    if (from.isEmpty() || area.isEmpty()) return;
    const double h = area.height();
    const double w = h * from.width() / from.height();
    const double gap = w * 0.25;
    double x = area.left();
    for (const uint32_t lit : cellsOf(text)) {
        paintCell(painter, QRectF(x, area.top(), w, h), lit, on, off);
        x += w + gap;
    }
}
