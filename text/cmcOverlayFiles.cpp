#include "cmcOverlayFiles.h"

#include "cmcGTex.h"

#include <QCoreApplication>

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

    m_count = 0;
    while (m_count < MaxLanguages &&
           !m_languages.getText(LanguageKey, m_count).startsWith(QLatin1Char('#')))
        ++m_count;

    selectLanguage(language);
}

void cmcOverlayFiles::selectLanguage(int& language) {
    if (language < 0 || language >= m_count) language = 0;
    // Without a file name in the line the main table is opened on the folder alone, and its
    // first lookup stops the program.
    m_main.openFile(m_dir + field(m_languages.getText(LanguageKey, language), 1));
    m_help.openFile(m_dir + m_main.getText(HelpOverlayKey));
}

QString cmcOverlayFiles::languageName(int language) {
    if (language < 0 || language >= m_count) return QString();
    return field(m_languages.getText(LanguageKey, language), 0);
}

QString cmcOverlayFiles::executableDir() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}
