#pragma once
// This radio's plain record fields: for each label, the list whose records hold it, where in
// the record it lies, how wide it is and which value format shows and edits it. The cell
// dispatcher looks a label up here before its own cases; fields with rules of their own
// (the channel frequencies and name, an address's network and emergency flag, the ALE slot
// and channel group) stay cases of the dispatcher (model/cmcCellDispatch.cpp).
//
// Numbers (every format but Text) are one byte (width 1) or a little-endian word (width 2).

#include "cmcFCache.h"
#include "cmcFmtText.h"

#include <cstdint>
#include <span>

struct imcField {
    enum Format : uint8_t {
        Text,    // width bytes of text, in the text variant
        Select,  // an item of the selection list
        RowRef,  // a row of the list refList (the dispatcher knows how each list's rows show)
        Decimal, // a number min..max
        Timer,   // a time in steps of 1/stepsPerUnit, min..max, trim digits cut from its text
    };

    int32_t label;
    int32_t list;   // the list (QxList) whose records hold the field
    int32_t offset; // in the record
    int32_t width;  // bytes
    Format format;
    cmcFmtText::Variant text = cmcFmtText::Plain;
    cmcSelRef selection{nullptr, 0};
    int32_t refList = 0;
    int32_t min = 0;
    int32_t max = 0;
    int32_t stepsPerUnit = 1;
    int32_t trim = 0;
};

class imcFieldTable {
  public:
    // The entry of a label; nullptr for a label the table does not hold.
    static const imcField* find(int32_t label);
    // Every entry, in the table's order.
    static std::span<const imcField> all();
};
