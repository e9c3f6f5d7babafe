#pragma once
// The editor's --help and --version. They are answered from the raw arguments before the
// application object exists, so they work without a display (the Qt platform plugin is
// never loaded for them).

#include <QString>
#include <cstdio>

class cuiCommandLine {
  public:
    // When the arguments ask for help or the version, writes the answer to out and returns
    // true; the program then ends with status 0. Otherwise returns false and writes nothing.
    static bool answerEarly(int argc, const char* const* argv, std::FILE* out = stdout);

    static QString helpText();
    static QString versionText();
};
