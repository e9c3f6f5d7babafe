#pragma once
// The checks an image must pass before it is written into a radio, shared by the editor's
// clone write and the command-line tool: at least one channel holds data, and none of the
// check cells (the warning check list) finds an error in it. Warnings do not stop a write.

#include <QStringList>

class cmcEeprom;

class imcWriteCheck {
  public:
    enum Result { Ok = 0, NoChannel, DataError };

    // Checks the image; findings, when given, receive the display text of every check that
    // found an error (one or more lines each).
    static Result check(const cmcEeprom& image, QStringList* findings = nullptr);
    // The text key of the message that refuses a write for the result; nullptr for Ok.
    static const char* messageKey(Result result);
};
