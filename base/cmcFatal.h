#pragma once
// The fatal stop: faults in the program's own definitions (a missing text key, an image
// address out of range, a duplicate name) end the program. The fixed English text is shown
// through the prompt service with the executable's file name as caption and the error icon,
// then the process ends at once with exit status 3 (no settings saved, nothing cleaned up).
//
// Tests install an ending hook (which must not return normally: it throws cmcFatalError) so
// that a fatal stop can be observed.

#include <QString>
#include <functional>
#include <stdexcept>

struct cmcFatalError : std::runtime_error {
    explicit cmcFatalError(const QString& text)
        : std::runtime_error(text.toStdString()), message(text) {}
    QString message;
};

namespace cmcFatal {

// Shows the text and ends the process with exit status 3 (or calls the test hook).
[[noreturn]] void stop(const QString& text);

// Replaces the ending. The hook receives the text; when it returns, the process still ends.
// An empty function restores the real ending.
using EndingHook = std::function<void(const QString& text)>;
void setEndingHook(EndingHook hook);

// The application's last chance to keep the user's work: called once, before the message,
// it saves the unsaved document somewhere safe and returns that file's path (empty when
// there was nothing to save or saving failed). The path is named in the message.
using RecoveryHook = std::function<QString()>;
void setRecoveryHook(RecoveryHook hook);

// Whether the message box is shown before the ending (tests turn it off).
void setShowMessage(bool show);

// The executable's file name (name only), the caption of every fatal message.
QString executableName();

} // namespace cmcFatal
