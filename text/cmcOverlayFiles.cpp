#include "cmcOverlayFiles.h"

#include "cmcOverlayCheck.h"

#include "cmcGTex.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString LanguageKey = QStringLiteral("GI_Sys_Language");
const QString HelpOverlayKey = QStringLiteral("GI_Sys_MyHelpOvl");

QString field(const QString& line, int n) {
    const QStringList fields = line.split(QLatin1Char('\t'));
    return n < fields.size() ? fields.at(n) : QString();
}
} // namespace

cmcOverlayFiles::cmcOverlayFiles()
    : cmcOverlayFiles(cmcGTex::languageTable(), cmcGTex::mainTable(), cmcHelpGTex::helpTable()) {}

cmcOverlayFiles::cmcOverlayFiles(cmcGTex& languages, cmcGTex& main, cmcHelpGTex& help)
    : m_languages(languages), m_main(main), m_help(help) {}

void cmcOverlayFiles::open(const QString& dir, const QString& modelShortName, int& language) {
    m_dir = dir;
    if (!m_dir.isEmpty() && !m_dir.endsWith(QLatin1Char('/'))) m_dir += QLatin1Char('/');
    m_languages.openFile(m_dir + modelShortName + QStringLiteral(".OVL"));

    m_count = countLanguages();
    m_opened = true;
    selectLanguage(language);
}

int cmcOverlayFiles::countLanguages() {
    int count = 0;
    while (count < MaxLanguages &&
           !m_languages.getText(LanguageKey, count).startsWith(QLatin1Char('#')))
        ++count;
    return count;
}

void cmcOverlayFiles::takeOver() {
    if (m_opened || m_languages.fileName().isEmpty()) return;
    m_dir = QFileInfo(m_languages.fileName()).path() + QLatin1Char('/');
    m_count = countLanguages();
    m_opened = true;
}

void cmcOverlayFiles::selectLanguage(int& language) {
    takeOver();
    if (language < 0 || language >= m_count) language = 0;
    // Without a file name in the line the main table is opened on the folder alone, and its
    // first lookup stops the program.
    m_main.openFile(m_dir + field(m_languages.getText(LanguageKey, language), 1));
    m_help.openFile(m_dir + m_main.getText(HelpOverlayKey));
}

QString cmcOverlayFiles::damagedKey(int language) {
    takeOver();
    if (language < 0 || language >= m_count) return QString();
    const QString file = field(m_languages.getText(LanguageKey, language), 1);
    if (!QFileInfo(m_dir + file).isFile()) return file;
    cmcGTex main;
    cmcHelpGTex help;
    main.openFile(m_dir + file);
    if (main.hasKey(HelpOverlayKey)) help.openFile(m_dir + main.getText(HelpOverlayKey));
    const QString missing =
        cmcOverlayCheck::firstMissing(cmcOverlayCheck::codeKeys(), main, help, m_languages);
    return missing.isEmpty() ? QString() : missing + QStringLiteral(" (") + file + QLatin1Char(')');
}

int cmcOverlayFiles::languageCount() {
    takeOver();
    return m_count;
}

QString cmcOverlayFiles::languageName(int language) {
    takeOver();
    if (language < 0 || language >= m_count) return QString();
    return field(m_languages.getText(LanguageKey, language), 0);
}

QString cmcOverlayFiles::dataDir() {
    return dataDirFor(QCoreApplication::applicationDirPath());
}

QString cmcOverlayFiles::dataDirFor(const QString& exeDir) {
    const QString list = QStringLiteral("QXT5200.OVL");
    const QDir beside(exeDir);
    if (beside.exists(list)) return beside.absolutePath() + QLatin1Char('/');
    const QDir shared(beside.filePath(QStringLiteral("../share/qxt5200")));
    if (shared.exists(list)) return shared.absolutePath() + QLatin1Char('/');
    return beside.absolutePath() + QLatin1Char('/');
}
