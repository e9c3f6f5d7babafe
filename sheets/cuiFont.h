#pragma once
// The font of a cell as the definitions describe it: character set, face, colour, height,
// style and pitch. A font text is seven comma-separated fields (character set, face name,
// colour, height, size, style, pitch); an empty or unrecognised field leaves its property
// unchanged, "%n" scales the current value by n / 100 (truncated, at least 1). The character
// set chooses a family that has its script when the face lacks it.

#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <cstdint>

class cuiFont {
  public:
    enum Style : uint8_t { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };

    // The platform's default font (the application font's family, clWindowText).
    cuiFont();

    void applyText(const QString& text);

    int charset = 1;
    QString face;
    uint32_t color = 0;
    // Heights beyond this many pixels (either sign) are taken as this: a definition cannot
    // ask for a font larger than any page.
    static constexpr int MaxHeight = 1000;

    int height = -11; // negative: character height in pixels
    uint8_t style = 0;
    int pitch = 0;

    // Point size derived from the height at 96 pixels per inch.
    int size() const;
    void setSize(int points);

    // The font to draw with; scale multiplies the pixel height (printing).
    QFont toQFont(double scale = 1.0) const;

    static bool charsetFromName(const QString& name, int& value);
    // The script a Windows character set stands for; Any for the sets that keep the face
    // as it is (ANSI, default, Mac, OEM).
    static QFontDatabase::WritingSystem writingSystemOf(int charset);
    // The family to draw a face with in a character set: the face itself when it has the
    // set's script, else the first installed family that has it, else the face.
    static QString familyFor(const QString& face, int charset);
};
