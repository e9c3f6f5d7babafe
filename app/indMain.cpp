#include "indMain.h"

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiFileDialogs.h"
#include "cuiHtmlHelp.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indCloneMan.h"
#include "indEnviron.h"
#include "indRecoveryJournal.h"
#include "indSheetEnv.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <cstring>

indMain::indMain(indEnviron& environ, const QString& dataDir)
    : cuiMain(QString::fromLatin1(QxRadio::ShortName), QxRadio::ImageSize, environ, dataDir),
      m_cloneMan(std::make_unique<indCloneMan>()) {
    ResetModelParameters();
    m_cloneMan->setInfoHandler(&indMain::infoHandler, this);
    m_cloneMan->setReadHandler(&indMain::readHandler, this);
    m_cloneMan->setSearchHandler(&indMain::searchHandler, this);
    cmcCellDispatch::global().setHandler(&indMain::menuCommand, this);
    cmcFatal::setRecoveryHook([this] { return RecoverUnsaved(); });
    // Rows that come into use start from the initial data's records where it has some.
    cmcCellDispatch::global().setDefaultImage(&loadedImage());
    m_sheetEnv = std::make_unique<indSheetEnv>(*this, environ);
    cuiSheetEnv::install(m_sheetEnv.get());
}

indMain::~indMain() {
    DetachForm();
    cmcCellDispatch::global().setHandler(nullptr, nullptr);
    cmcFatal::setRecoveryHook({});
    if (cmcCellDispatch::global().defaultImage() == &loadedImage())
        cmcCellDispatch::global().setDefaultImage(nullptr);
    if (&cuiSheetEnv::current() == m_sheetEnv.get()) cuiSheetEnv::install(nullptr);
}

QString indMain::appTitle() const {
    return cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle"));
}

const cmcAdrRange* indMain::Range(int purpose) {
    switch (purpose) {
    case 0:
        return QxRadio::UserWrite;
    case 1:
        return QxRadio::MakerWrite;
    case 2:
    case 3:
        return QxRadio::WholeImage;
    case 5:
        return QxRadio::RepeaterData;
    default:
        return QxRadio::DefaultRange;
    }
}

QString indMain::documentPath() const {
    if (!m_doc.fileName().isEmpty()) return m_doc.fileName();
    return QDir(m_currentDir).filePath(QStringLiteral("Untitled"));
}

QString indMain::documentTitle() const {
    return QFileInfo(documentPath()).fileName();
}

int indMain::CheckImageIdentity(const cmcEeprom& image, bool checkMakerText) const {
    if (!indCloneFile::hasIdentity(image)) return 1;
    if (checkMakerText) {
        uint8_t maker[QxRadio::MakerTextLen];
        image.GetBlock(QxRadio::MakerTextAddr, maker, QxRadio::MakerTextLen);
        if (std::memcmp(maker, QxRadio::MakerText, QxRadio::MakerTextLen) != 0) return 2;
    }
    return 0;
}

bool indMain::ModelIdentityCompare(uint32_t modelCode, uint32_t revision, int* error) const {
    if (modelCode != QxRadio::ModelCode) {
        if (error) *error = ICF_Model;
        return false;
    }
    if (revision != QxRadio::ExtraCode) {
        if (error) *error = ICF_Extra;
        return false;
    }
    return true;
}

void indMain::PrepareImage(cmcEeprom& image, bool forSaving) {
    indCloneFile::prepareImage(image, m_loaded, forSaving);
}

bool indMain::LoadInitialData(int modelIndex) {
    const QString path =
        m_dataDir + cmcGTex::mainTable().getText(QStringLiteral("GI_App_InitialFile"), modelIndex);
    if (const int code = indCloneFile::readInitial(path, m_loaded); code != ICF_Ok) {
        tellFileError(code);
        cmcFatal::stop(QStringLiteral("Cannot open '%1'.").arg(path));
    }
    return true;
}

void indMain::CommitPendingEdit() {
    if (auto* ev = cmcEvMan::instance()) ev->send(EV_BeforePrint);
}

int indMain::SaveChangesPrompt(bool writeAnother) {
    if (!IsModified()) return PA_Yes;
    const QString text =
        writeAnother
            ? cmcGTex::mainTable().getTextBlock(QStringLiteral("GI_Mess_Confirm_WriteAnother"))
            : cmcGTex::mainTable()
                  .getTextBlock(QStringLiteral("GI_Mess_Confirm_WriteFile"))
                  .replace(QStringLiteral("%s"), documentTitle());
    const int answer =
        cmcPrompt::ask(text, appTitle(), cmcPromptButtons::YesNoCancel, cmcPromptIcon::Warning);
    if (answer == PA_Yes) {
        const bool saved =
            (m_doc.fileName().isEmpty() || writeAnother) ? SaveAs() : Save(m_doc.fileName());
        if (!saved) return PA_Cancel;
    }
    return answer;
}

bool indMain::CloseQuery() {
    // Closing in the middle of a clone would cut a write off halfway through the radio.
    if (m_cloneMan->IsBusy()) return false;
    CommitPendingEdit();
    if (SaveChangesPrompt(false) == PA_Cancel) return false;
    StorePlacement();
    return true;
}

void indMain::New() {
    if (SaveChangesPrompt(false) == PA_Cancel) return;
    m_working = m_loaded;
    m_second = m_working;
    m_doc.setFileName(QString());
    m_doc.setFileStamp(cmcFileStamp());
    MarkSaved();
    ClearUndo();
    UpdateJournal(false);
    if (auto* ev = cmcEvMan::instance()) {
        ev->send(EV_MenuRefresh);
        ev->post(cmcEvBankCaption{0, indCloneFile::commentOf(m_working).trimmed()});
    }
    BuildTree();
}

bool indMain::Open(const QString& chosen) {
    QString path = chosen;
    if (path.isEmpty()) {
        path = cuiFileDialogs::current().openFile(
            m_form, cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_Dialog_FOpen"), 0),
            cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_Dialog_FOpen"), 1), m_currentDir);
        if (path.isEmpty()) return false;
    }
    const bool same =
        !m_doc.fileName().isEmpty() && path.compare(m_doc.fileName(), Qt::CaseInsensitive) == 0;
    if (SaveChangesPrompt(same) == PA_Cancel) return false;

    cmcEeprom image(m_imageSize);
    if (const int code = indCloneFile::open(path, image); code != ICF_Ok) {
        tellFileError(code); // nothing changed
        return false;
    }
    takeOpenedImage(image, path);
    m_doc.setFileStamp(cmcFileStamp::of(m_doc.fileName()));
    UpdateJournal(false);
    return true;
}

void indMain::takeOpenedImage(const cmcEeprom& image, const QString& path) {
    rememberFile(path);
    m_working = image;
    PrepareImage(m_working, false);
    if (auto* ev = cmcEvMan::instance()) ev->send(EV_TreeAdjust);
    m_second = m_working;
    MarkSaved();
    ClearUndo();
    RefreshViews();
    if (auto* ev = cmcEvMan::instance()) {
        ev->send(EV_MenuRefresh);
        ev->send(EV_TreeAdjust);
    }
}

void indMain::tellFileError(int code) const {
    const QString text = cmcIcfFile::message(code, cmcIcfFile::lastProblem());
    if (!text.isEmpty()) cmcPrompt::tell(text, appTitle(), cmcPromptIcon::Warning);
}

void indMain::rememberFile(const QString& path) {
    const QFileInfo info(path);
    m_currentDir = info.absolutePath();
    m_doc.setFileName(info.absoluteFilePath());
    m_env.recent.addToFront(m_doc.fileName());
}

bool indMain::Save(const QString& path) {
    // Another program (or another editor) may have saved over the document's file since it
    // was opened here: its work is not thrown away without a question.
    const bool own =
        !m_doc.fileName().isEmpty() && QFileInfo(path).absoluteFilePath() == m_doc.fileName();
    switch (own ? ConfirmOverwrite(path, m_doc.fileStamp()) : 0) {
    case 1:
        return SaveAs();
    case 2:
        return false;
    default:
        break;
    }
    if (qApp) QApplication::setOverrideCursor(Qt::WaitCursor);
    const int code = indCloneFile::save(path, m_working, m_loaded);
    if (qApp) QApplication::restoreOverrideCursor();
    if (code != ICF_Ok) {
        tellFileError(code);
        return false;
    }
    rememberFile(path);
    m_env.currentDirectory = m_currentDir;
    m_doc.setFileStamp(cmcFileStamp::of(m_doc.fileName()));
    MarkSaved();
    UpdateJournal(false); // saved: the journal goes
    return true;
}

bool indMain::SaveAs() {
    const QString proposed = m_doc.fileName().isEmpty() ? QStringLiteral("Untitled")
                                                        : QFileInfo(m_doc.fileName()).fileName();
    const QString filter = cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_Dialog_FOpen"), 1);
    const QString path = cuiFileDialogs::withDefaultSuffix(
        cuiFileDialogs::current().saveFile(
            m_form, cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_Dialog_FOpen"), 0), filter,
            m_currentDir, proposed),
        filter);
    if (path.isEmpty()) return false;
    return Save(path);
}

void indMain::CheckCommandLine(const QStringList& arguments) {
    for (const QString& a : arguments)
        if (a.toLower() == QLatin1String(MakerSwitch)) ActivateMakerMode();
}

void indMain::ActivateMakerMode() {
    if (m_makerMode) return;
    const int answer =
        cmcPrompt::ask(cmcGTex::mainTable().getTextBlock(QStringLiteral("GI_Mess_Maker_Caution")),
                       appTitle(), cmcPromptButtons::OkCancel, cmcPromptIcon::Warning);
    if (answer != PA_Ok) return;
    m_makerMode = true;
    BuildTree();
    if (m_form && !m_makerPanel) {
        m_makerPanel =
            new QLabel(cmcGTex::mainTable().getText(QStringLiteral("GI_StatusPanel_Maker")));
        m_makerPanel->setAlignment(Qt::AlignCenter);
        m_makerPanel->setAutoFillBackground(true);
        QPalette pal = m_makerPanel->palette();
        pal.setColor(QPalette::Window, QColor(128, 0, 0));
        pal.setColor(QPalette::WindowText, Qt::white);
        m_makerPanel->setPalette(pal);
        const QFontMetrics fm(m_makerPanel->font());
        m_makerPanel->setFixedWidth(fm.horizontalAdvance(m_makerPanel->text()) +
                                    fm.horizontalAdvance(QStringLiteral("XX")));
        m_form->statusBar()->addPermanentWidget(m_makerPanel);
    }
    // Menu items of the maker mode (the Debug menu) show from now on.
    if (auto* ev = cmcEvMan::instance()) ev->send(EV_MenuRefresh);
}

QString indMain::VersionText() {
    return QString::asprintf("version  %d.%02d", 3, 7);
}

void indMain::KeyTyped(QChar c) {
    m_typed.append(c.toLower());
    if (m_typed.size() > 7) m_typed = m_typed.right(7);
    if (m_typed == QLatin1String("version")) {
        m_typed.clear();
        emit versionShown();
        cmcPrompt::tell(VersionText(), QString(), cmcPromptIcon::None);
    }
}

cuiHtmlHelp& indMain::help() {
    if (!m_help) m_help = std::make_unique<cuiHtmlHelp>(m_form);
    return *m_help;
}

void indMain::ShowHelpContents() {
    help().ShowHelpFile(m_dataDir +
                        cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_MyHelpFile")));
}

void indMain::ShowCellHelp(int32_t label) {
    const int context = label == CL_None ? 0 : HelpContext(cmcCellNames::labelName(label));
    if (context == 0) {
        ShowHelpContents();
        return;
    }
    help().ShowHelpContext(
        m_dataDir + cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_MyHelpFile")), context);
}

int indMain::HelpContext(const QString& labelName) {
    // Label name -> topic (the first line that names the label), then topic -> context
    // number (the last line that names the topic); both lists end with a line "#".
    cmcHelpGTex& help = cmcHelpGTex::helpTable();
    QString topic;
    for (int i = 0;; ++i) {
        const QString line = help.getText(QStringLiteral("GI_AppItem_Topic_ID"), i);
        if (line == QLatin1String("#")) break;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.value(0) == labelName) {
            topic = f.value(1);
            break;
        }
    }
    if (topic.isEmpty()) return 0;
    int context = 0;
    for (int i = 0;; ++i) {
        const QString line = help.getText(QStringLiteral("GI_AppItem_Context_ID"), i);
        if (line == QLatin1String("#")) break;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.value(0) == topic) context = f.value(1).toInt();
    }
    return context;
}
