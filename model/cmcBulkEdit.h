#pragma once
// One value typed into many rows of one column: the in-place editor's text committed into
// every row in use of the selected range (Ctrl+Enter), each row through the cell's own
// format as if typed there. In a frequency column the text "START +STEP" (or "-STEP"),
// in MHz, fills a series instead: the first row in use gets START, each further row in
// use STEP more (or less).
//
// Rows not in use are left alone. The whole range is checked first on a copy of the
// image: when any row does not take its value the image stays as it was and the row is
// named. The caller records the change as one step.

#include <QString>
#include <cstdint>

class cmcCellDispatch;
struct cmcCellRequest;

class cmcBulkEdit {
  public:
    // A series: START and STEP in hertz. False for text that is not "START +STEP".
    static bool series(const QString& text, int64_t* start, int64_t* step);
    // Whether a label's column takes a series (frequencies).
    static bool takesSeries(int32_t label);

    // Commits request.fl.editText into the rows request.rangeFirst .. rangeLast of the
    // request's column. True when the image was changed; then selectFirst/selectLast
    // name the range and value the number of rows written. False with refusal set
    // (the text and the row, as the status line shows it) when a row refused.
    static bool fill(cmcCellDispatch& dispatch, cmcCellRequest& request,
                     QString* refusal = nullptr);
};
