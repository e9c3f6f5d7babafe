#pragma once

// Whether standard error is a terminal (progress bars and redrawn status lines are only
// drawn there, never into a file or a pipe).
bool cliStderrIsTerminal();
