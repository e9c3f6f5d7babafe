#pragma once
// The user a model edit answers to. A row command or a cell edit first works out what it
// needs (cmcListEdits::check): a question the user must answer with OK, or an error the
// user must see; only then does it change the image, and what came of it (the status
// message, the rows to repaint) goes back the same way.
//
// The model never asks or shows anything itself. The sheets' cell source installs the user
// that asks through the prompt service and shows the outcome on the status line and in the
// sheets (cuiEditUser); a dispatcher with no user installed answers every question with
// Cancel and shows nothing (unattended()). The command-line tool and the list import use
// the checks with no user at all.

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

    // The user of a dispatcher that has none: no to every question, nothing shown.
    static cmcEditUser& unattended();
};
