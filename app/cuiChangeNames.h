#pragma once
// Names of the changes the undo history records, read off the sheet the change was made
// in: the column's heading and the row's number or item ("RX Frequency, CH 6", "LCD
// contrast"), or a row command's menu caption with its row count ("Paste, 4 rows").

#include <QString>

class cuiSheet;
class cmcGTex;
struct cmcCellRequest;

class cuiChangeNames {
  public:
    // The name of the change a request made; empty when the sheet does not show its cell.
    static QString of(const cmcCellRequest& request, cuiSheet* sheet, cmcGTex& text);
    // Requests that edit the same cell again share this key (typing merges into one step).
    static QString mergeKey(const cmcCellRequest& request);
    // The Undo (redo = false) or Redo item's caption for a step name.
    static QString menuCaption(bool redo, const QString& stepName, cmcGTex& text);
};
