#pragma once
// Shared helpers of the clone-file verbs: the message text of a file error (from the
// overlay beside the executable when it is there, else a built-in English sentence), the
// initial data file, and the channel-list count.

#include <QString>

class cmcEeprom;
struct cmcIcfProblem;

// Exit statuses of the file verbs beyond the file error codes 1..9, which are used as they
// are.
enum cliFileExit : int {
    CLI_NoInitialData = 10, // the initial data beside the executable is missing or invalid
    CLI_TargetExists = 11,  // new: the target exists and --force was not given
};

namespace cliFiles {

// The message of a file error code 1..9 on one line.
QString errorText(int code);
// "error N: <message text> <detail>": the detail names the file and the system's reason, or
// the line, behind the last clone-file error (cmcIcfFile::lastProblem), or the one given.
QString errorLine(int code);
QString errorLine(int code, const cmcIcfProblem& problem);
// A text of the main overlay beside the executable, on one line; empty when there is no
// overlay or no such key.
QString overlayValue(const QString& key);
// The initial clone file beside the executable.
QString initialFilePath();
// Rows of the channel list whose receive frequency is neither 0 nor 0xFFFFFFFF.
int usedChannelRows(const cmcEeprom& image);

} // namespace cliFiles
