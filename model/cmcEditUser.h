#pragma once
// The user a model edit answers to. A row command or a cell edit first works out what it
// needs (cmcListEdits::check): a question the user must answer with OK, or an error the
// user must see; only then does it change the image, and what came of it (the status
// message, the rows to repaint) goes back the same way.
//
// The standard user asks through the prompt service with the program's title as caption,
// shows the status message on the status line and repaints through the event bus. The
// command-line tool and the list import use the checks with no user at all.

#include <QString>
#include <QStringList>
#include <cstdint>

// What an edit did, for the status line and the sheets.
struct cmcEditReport {
    QString statusKey;         // message shown on the status line; empty: none
    QString statusText;        // or a message already made (with its values filled in)
    int32_t repaintFirst = -1; // rows to repaint: one row repaints itself, more the sheet
    int32_t repaintLast = -1;
    bool repaintAll = false;
};

class cmcEditUser {
  public:
    virtual ~cmcEditUser() = default;
    // Asks the message under key with OK and Cancel (a warning); true for OK.
    virtual bool confirm(const QString& key) = 0;
    // Shows the message under key as an error, with the detail lines below it.
    virtual void tell(const QString& key, const QStringList& details = {}) = 0;
    virtual void report(const cmcEditReport& report) = 0;

    static cmcEditUser& standard();
    // Colours (0xAARRGGBB) of the standard user's status messages; black on light grey
    // until a user interface gives its own.
    static void setStatusColours(uint32_t text, uint32_t background);
};
