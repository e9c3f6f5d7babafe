#pragma once
// The segments from which display characters are drawn, read from the text key
// "GI_PCG_Seg_Data": each line up to one beginning with "#" is a segment, except comment
// lines beginning with "//". A segment line is a count N and N groups, each "|" and three
// points "(x,y)": the segment is the union of those triangles. A negative count clears the
// segment's flag. A flagged segment belongs to every character cell and shows faintly when
// unlit, as on the radio's display; an unflagged one (the decimal point) shows only lit.
//
// Characters light segments in the order of the data: a (top), b (upper right), c (lower
// right), d (bottom), e (lower left), f (upper left), g (middle) and the decimal point.

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class QPainter;
class cmcGTex;

struct cuiSegment {
    bool flag = true;
    std::vector<std::array<QPointF, 3>> triangles;
    QPainterPath path() const;
};

class cuiSegmentSet {
  public:
    enum Segment { A, B, C, D, E, F, G, Point };

    // Reads the set from the table; a key the table lacks gives an empty set. A line that
    // cannot be read gives an empty segment (so that the others keep their numbers) and
    // is named in badLines().
    void load(cmcGTex& table, const QString& key = QStringLiteral("GI_PCG_Seg_Data"));
    // One segment line; false when it cannot be read.
    static bool parseLine(const QString& line, cuiSegment& segment);

    const std::vector<cuiSegment>& segments() const { return m_segments; }
    // Body line numbers (from 0) of the lines that could not be read.
    const QList<int>& badLines() const { return m_badLines; }
    // The box holding every segment (one character cell).
    QRectF bounds() const;

    // The segments a character lights, bit n for segment n; 0 for characters the
    // display cannot show.
    static uint32_t segmentsOf(QChar c);
    // The characters of a text, one cell each; a "." lights the point of the cell before.
    static std::vector<uint32_t> cellsOf(const QString& text);

    // Draws one character cell scaled into box: lit segments in on, the other flagged
    // ones in off.
    void paintCell(QPainter& painter, const QRectF& box, uint32_t lit, const QColor& on,
                   const QColor& off) const;
    // Draws a text left to right, each cell as high as area, keeping the set's proportions.
    void paintText(QPainter& painter, const QRectF& area, const QString& text, const QColor& on,
                   const QColor& off) const;

  private:
    std::vector<cuiSegment> m_segments;
    QList<int> m_badLines;
};
