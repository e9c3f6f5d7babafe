#pragma once
// One cell of a sheet definition: which value it is (category, label, index, text) and how
// it looks (flags, colour, font, caption). Cells own nothing of the radio's data; every
// value is reached through the cell dispatcher (cmcCellDispatch).
//
// Cell references read category "." label "[" index "]" ":" text; the index may be a
// channel reference "@ch" d that takes the d-th of the caller's channel numbers.

#include "cmcCellNames.h"
#include "cmcColorNames.h"

#include <QString>
#include <cstdint>
#include <memory>

// A font that the sheet layer attaches to a cell; the model only owns and copies it.
class cmcCellFont {
  public:
    virtual ~cmcCellFont() = default;
    virtual std::unique_ptr<cmcCellFont> clone() const = 0;
};

class cmcCellObj {
  public:
    // Bits of the three flag bytes.
    enum Flag : uint32_t {
        F_HAlignMask = 0x3, // 0 left, 1 centre, 2 right
        F_VAlignShift = 2,
        F_VAlignMask = 0x3 << 2, // 0 top, 1 middle, 2 bottom
        F_FitWidth = 1u << 4,
        F_FitHeight = 1u << 5,
        F_JoinLeft = 1u << 6,
        F_BottomLine = 1u << 7,
        F_RightMarkShift = 8,
        F_RightMarkMask = 0x3u << 8, // 0 none, 1 full line, 2 short mark
        F_Selectable = 1u << 10,
        F_RowSelect = 1u << 11,
        F_StateShift = 12,       // state flags 0..8 in bits 12..20
        F_Ticked = 1u << 12,     // state flag 0: menu item ticked / tool button pressed
        F_Hidden = 1u << 13,     // state flag 1
        F_Disabled = 1u << 14,   // state flag 2
        F_CaptionSet = 1u << 15, // state flag 3: the caption replaces the item's text
        F_MenuStateMask = 0xFu << 12,
        F_AllBits = 0xFFFFFFu,
    };
    static constexpr uint32_t stateFlag(int n) { return 1u << (F_StateShift + n); }

    static constexpr int ChannelNumberCount = 10;

    cmcCellObj() = default;
    explicit cmcCellObj(const cmcCellObj* templ) : m_template(templ) { reset(); }
    cmcCellObj(const cmcCellObj& other) { *this = other; }
    cmcCellObj& operator=(const cmcCellObj& other);

    // Clears every field to its default, then takes the template's fields (not its font
    // and not its second text) when a template is set.
    void reset();

    // Parses a cell reference into category, label, index and text. channelNumbers points
    // to ChannelNumberCount numbers or is null. Unknown names and bad channel references
    // are fatal.
    void parseReference(const QString& reference, const int32_t* channelNumbers = nullptr);
    // Sets the caption from a text with escapes (\n line break, \_ blank, \( computed
    // channel number ), \x the character x).
    void setCaption(const QString& text, const int32_t* channelNumbers = nullptr);
    static QString processCaption(const QString& text, const int32_t* channelNumbers);

    int32_t category = CT_None;
    int32_t label = CL_None;
    int32_t index = 0;
    QString text;
    int32_t setting = -1;
    uint32_t flags = 0;
    uint32_t colour = cmcColorNames::clWindow;
    std::unique_ptr<cmcCellFont> font;
    QString secondText;
    QString caption;
    int32_t imageIndex = -1;

    void setTemplate(const cmcCellObj* t) { m_template = t; }
    const cmcCellObj* getTemplate() const { return m_template; }

  private:
    const cmcCellObj* m_template = nullptr;
};
