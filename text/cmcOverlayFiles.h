#pragma once
// Finds and opens the three overlay files in the program's data folder (dataDir()): the language
// list (model short name + ".OVL"), the chosen language's main overlay (named in the list) and the
// help overlay (named in the main overlay under "GI_Sys_MyHelpOvl").

#include <QString>

class cmcGTex;
class cmcHelpGTex;

class cmcOverlayFiles {
  public:
    // The language list of at most this many entries.
    static constexpr int MaxLanguages = 256;

    // Works on the program's process-wide tables.
    cmcOverlayFiles();
    cmcOverlayFiles(cmcGTex& languages, cmcGTex& main, cmcHelpGTex& help);

    // Opens the language list dir + modelShortName + ".OVL", counts its languages, brings
    // language into range (an index out of range becomes 0) and opens that language's main
    // and help overlays. dir is the executable's folder; a missing trailing separator is
    // added.
    void open(const QString& dir, const QString& modelShortName, int& language);

    // Re-opens the main overlay for another language (brought into range as by open) and
    // asks the help table to open its help overlay; the help table keeps its first file.
    // On an object that did not run open, the folder and the languages are those of the
    // language list the language table holds.
    void selectLanguage(int& language);
    // Checks a language's main and help overlays (cmcOverlayCheck) without switching to
    // them: "<missing key> (<file>)", the file alone when it is not there, or empty.
    QString damagedKey(int language);

    // Number of languages in the list.
    int languageCount();
    // Display name of a language: the text before the first TAB of its list line.
    QString languageName(int language);
    QString directory() const { return m_dir; }

    // The folder of the program's data files (overlays, initial clone file, help) with a
    // trailing separator: the executable's own folder when the language list lies there
    // (a build tree, a copy run in place), else ../share/qxt5200 beside it (an installed
    // program), else the executable's folder again, where the first lookup then reports
    // the missing file.
    static QString dataDir();
    // The same for an executable in exeDir.
    static QString dataDirFor(const QString& exeDir);
    // The folder the editor reads its data files from: dataDir().
    static QString executableDir() { return dataDir(); }

  private:
    cmcGTex& m_languages;
    cmcGTex& m_main;
    cmcHelpGTex& m_help;
    QString m_dir;
    int m_count = 0;
    bool m_opened = false;

    int countLanguages();
    // Takes the folder and the language count from the language table already open.
    void takeOver();
};
