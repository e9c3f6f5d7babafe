// The recovery journal of the controller: started once the window is up, brought up to
// date from the shell's task, written before every clone write, offered at the next start
// when the editor was stopped without a clean exit; and the question before a file that
// another program changed is written over.

#include "indMain.h"

#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cmcSingleInstance.h"
#include "indEnviron.h"
#include "indRecoveryJournal.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {
QString title() {
    return cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle"));
}
QStringList lines(const QString& key, int count) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << cmcGTex::mainTable().getText(key, i);
    return out;
}
} // namespace

void indMain::StartJournal(const QString& folder) {
    m_journal = std::make_unique<indRecoveryJournal>(folder.isEmpty() ? backupFolder() : folder,
                                                     m_env.instanceGuard().serverName());
}

void indMain::EndJournal() {
    if (m_journal) m_journal->remove();
}

void indMain::UpdateJournal(bool now) {
    if (!m_journal) return;
    const bool modified = IsModified();
    if (now)
        m_journal->writeNow(m_working, modified, m_doc.fileName(), m_doc.fileStamp());
    else
        m_journal->poll(m_working, modified, m_doc.fileName(), m_doc.fileStamp());
}

void indMain::ShellTick() {
    cuiMain::ShellTick();
    // While a value is typed nothing reaches the image: the journal never holds up typing.
    UpdateJournal(false);
}

bool indMain::OfferRecovery() {
    if (!m_journal) return false;
    const QList<indRecoveryJournal::Entry> found = m_journal->orphans(
        [](const QString& owner) { return cmcSingleInstance::isAnswering(owner); });
    const QStringList buttons = lines(QStringLiteral("GI_Mess_Recovery_Buttons"), 3);
    for (const indRecoveryJournal::Entry& entry : found) {
        const QString name = entry.original.isEmpty() ? QStringLiteral("Untitled")
                                                      : QFileInfo(entry.original).fileName();
        const QLocale locale;
        const QString text =
            cmcGTex::mainTable()
                .getTextBlock(QStringLiteral("GI_Mess_Recovery_Offer"))
                .arg(locale.toString(entry.written.date(), QStringLiteral("d MMM")),
                     locale.toString(entry.written.time(), QStringLiteral("HH:mm")), name);
        const int answer = cmcPrompt::askButtons(text, title(), buttons, cmcPromptIcon::Question);
        if (answer == 0) {
            cmcEeprom image(m_imageSize);
            if (const int code = indRecoveryJournal::readImage(entry, image); code != ICF_Ok) {
                tellFileError(code); // kept for another try
                continue;
            }
            m_working = image;
            PrepareImage(m_working, false);
            m_second = m_working;
            m_doc.setFileName(entry.original.isEmpty()
                                  ? QString()
                                  : QFileInfo(entry.original).absoluteFilePath());
            m_doc.setFileStamp(entry.stamp);
            if (!entry.original.isEmpty()) m_currentDir = QFileInfo(entry.original).absolutePath();
            ClearUndo();
            MarkModified();
            // This editor's journal holds the changes before the old one goes.
            if (m_journal->writeNow(m_working, true, m_doc.fileName(), m_doc.fileStamp()))
                indRecoveryJournal::discard(entry);
            RefreshViews();
            if (auto* ev = cmcEvMan::instance()) {
                ev->send(EV_TreeAdjust);
                ev->send(EV_MenuRefresh);
            }
            UpdateCaption();
            return true;
        }
        if (answer == 1) {
            const QString sure = cmcGTex::mainTable()
                                     .getTextBlock(QStringLiteral("GI_Mess_Recovery_Discard"))
                                     .arg(name);
            if (cmcPrompt::ask(sure, title(), cmcPromptButtons::YesNo, cmcPromptIcon::Warning) ==
                PA_Yes)
                indRecoveryJournal::discard(entry);
        }
        // Later: the journal stays and is offered again at the next start.
    }
    return false;
}

int indMain::ConfirmOverwrite(const QString& path, const cmcFileStamp& known) {
    if (!known.changedOnDisk(path)) return 0;
    const QString text = cmcGTex::mainTable()
                             .getTextBlock(QStringLiteral("GI_Mess_FileChanged"))
                             .arg(QFileInfo(path).fileName());
    const int answer = cmcPrompt::askButtons(
        text, title(), lines(QStringLiteral("GI_Mess_FileChanged_Buttons"), 3),
        cmcPromptIcon::Warning);
    return answer == 0 ? 0 : answer == 1 ? 1 : 2;
}

cmcFileStamp indMain::exchangeStamp(const QString& path) const {
    return m_exchangeStamps.value(QFileInfo(path).absoluteFilePath());
}

void indMain::rememberExchange(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_exchangeStamps.insert(absolute, cmcFileStamp::of(absolute));
}

QString indMain::exchangeTarget(const std::function<QString()>& dialog) {
    QString path = dialog();
    while (!path.isEmpty()) {
        const int answer = ConfirmOverwrite(path, exchangeStamp(path));
        if (answer == 0) return path;
        if (answer == 2) return QString();
        path = dialog();
    }
    return path;
}
