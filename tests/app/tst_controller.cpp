// The application controller: document commands with their prompts, identity checks,
// saving rules, the caption, the change delay, the debug compare and the hidden version.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "TForm1.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcEeprom.h"
#include "cmcEvMan.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cuiAboutBox.h"
#include "cuiFileDialogs.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>

namespace {

int g_events23 = 0;
void count23(void*, const cmcEvent* e) {
    if (e->code == EV_ChangeSettled) ++g_events23;
}

uint32_t g_now = 0;

} // namespace

class tst_controller : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    TForm1* m_form = nullptr;
    cmcEvMan* m_events = nullptr;

    QString path(const QString& name) const { return m_editor->path(name); }

  private slots:
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-test-"));
        QVERIFY(m_editor->env->isFirstInstance());
        m_main = m_editor->main.get();
        m_form = m_editor->form.get();
        m_events = m_editor->events.get();
    }

    void cleanup() { m_editor.reset(); }

    void missingInitialDataStops() {
        m_editor.reset();
        QTemporaryDir data;
        for (const char* name : {"QXT5200.OVL", "QXT5200_ENG.OVL", "QXT5200_HLP.OVL"})
            QVERIFY(QFile::copy(QStringLiteral(QX_RUNTIME_DIR "/") + name, data.filePath(name)));
        indEnviron::Options options;
        options.settingsFolder = data.filePath(QStringLiteral("settings"));
        const QString key = QStringLiteral("Software\\Vexo\\QX-T5200");
        indEnviron env(QStringLiteral("qxt5200-noinit-%1").arg(QCoreApplication::applicationPid()),
                       key, key, options);
        cmcEvMan events;
        indMain controller(env, data.path());
        FatalGuard guard;
        QString message;
        try {
            controller.LoadInitialData(0); // what building the window does first
        } catch (const cmcFatalError& e) {
            message = e.message;
        }
        QCOMPARE(message, QStringLiteral("Cannot open '%1'.")
                              .arg(data.filePath(QStringLiteral("QXT5200_Initial.icf"))));
    }

    // Switching to a language whose overlay is damaged is refused before anything of the
    // editor is rebuilt from it.
    void damagedLanguageIsRefused() {
        m_editor.reset();
        QTemporaryDir data;
        for (const char* name :
             {"QXT5200.OVL", "QXT5200_ENG.OVL", "QXT5200_HLP.OVL", "QXT5200_Initial.icf"})
            QVERIFY(QFile::copy(QStringLiteral(QX_RUNTIME_DIR "/") + name, data.filePath(name)));
        QFile german(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_DEU.OVL"));
        QVERIFY(german.open(QIODevice::ReadOnly));
        QFile cut(data.filePath(QStringLiteral("QXT5200_DEU.OVL")));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(german.readAll().left(german.size() / 2));
        cut.close();
        for (const QString& help : QDir(QStringLiteral(QX_RUNTIME_DIR)).entryList({"*HLP*.OVL"}))
            QFile::copy(QStringLiteral(QX_RUNTIME_DIR "/") + help, data.filePath(help));

        indEnviron::Options options;
        options.settingsFolder = data.filePath(QStringLiteral("settings"));
        const QString key = QStringLiteral("Software\\Vexo\\QX-T5200");
        indEnviron env(QStringLiteral("qxt5200-lang-%1").arg(QCoreApplication::applicationPid()),
                       key, key, options);
        cmcEvMan events;
        indMain controller(env, data.path());
        QCOMPARE(controller.CheckLanguage(0), QString());
        QVERIFY(controller.CheckLanguage(1).contains(QLatin1String("QXT5200_DEU.OVL")));
        ScriptedPrompt prompt;
        controller.SelectLanguage(1);
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(env.language, 0);
    }

    void startsUntitledAndUnmodified() {
        QCOMPARE(m_form->windowTitle().remove(QStringLiteral("[*]")),
                 QStringLiteral("Untitled - ") +
                     cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")));
        QVERIFY(!m_main->IsModified());
        QVERIFY(m_main->workingImage() == m_main->loadedImage());
        QCOMPARE(m_main->CheckImageIdentity(m_main->workingImage(), true), 0);
    }

    void closingUnmodifiedAsksNothing() {
        ScriptedPrompt prompt;
        QVERIFY(m_main->CloseQuery());
        QVERIFY(prompt.entries().isEmpty());
    }

    void promptAnswers_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveAsChosen"); // the Save As dialog gives a path
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("fileWritten");
        QTest::newRow("yes, saved") << int(PA_Yes) << true << int(PA_Yes) << true;
        QTest::newRow("yes, Save As cancelled") << int(PA_Yes) << false << int(PA_Cancel) << false;
        QTest::newRow("no") << int(PA_No) << true << int(PA_No) << false;
        QTest::newRow("cancel") << int(PA_Cancel) << true << int(PA_Cancel) << false;
    }

    void promptAnswers() {
        QFETCH(int, answer);
        QFETCH(bool, saveAsChosen);
        QFETCH(int, expected);
        QFETCH(bool, fileWritten);
        ScriptedPrompt prompt;
        ScriptedDialogs dialogs;
        if (saveAsChosen) dialogs.answers << path(QStringLiteral("a.icf"));
        m_main->workingImage().SetByte(0x0600, 0x12);
        prompt.queueAnswer(answer);
        QCOMPARE(m_main->SaveChangesPrompt(false), expected);
        QCOMPARE(prompt.entries().size(), 1);
        QVERIFY(prompt.entries()[0].text.contains(QStringLiteral("'Untitled'")));
        QCOMPARE(QFile::exists(path(QStringLiteral("a.icf"))), fileWritten);
        QCOMPARE(m_main->IsModified(), !fileWritten);
    }

    void reopeningTheOpenFileOffersSaveAs() {
        ScriptedPrompt prompt;
        ScriptedDialogs dialogs;
        const QString file = path(QStringLiteral("doc.icf"));
        QVERIFY(m_main->Save(file));
        QCOMPARE(m_main->documentFile(), QFileInfo(file).absoluteFilePath());
        m_main->workingImage().SetByte(0x0600, 0x34);
        prompt.queueAnswer(PA_Yes);
        dialogs.answers << path(QStringLiteral("other.icf")) << QString();
        const QByteArray before = [&] {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        QVERIFY(m_main->Open(file));
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries()[0].text,
                 cmcGTex::mainTable().getTextBlock(QStringLiteral("GI_Mess_Confirm_WriteAnother")));
        QCOMPARE(dialogs.saves, 1); // Save As, not an overwrite
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QVERIFY(QFile::exists(path(QStringLiteral("other.icf"))));
        QCOMPARE(m_main->workingImage().GetByte(0x0600), m_main->loadedImage().GetByte(0x0600));
    }

    void savedFileCarriesTheLoadedIdentity() {
        ScriptedPrompt prompt;
        cmcEeprom& w = m_main->workingImage();
        w.SetByte(0x8FE5, 0x00);
        w.SetByte(0x8FE6, 0x11);
        w.SetByte(0x0500, 7);
        w.SetBlock(0xAA44, reinterpret_cast<const uint8_t*>("XXXXXXXX"), 8);
        const QString file = path(QStringLiteral("saved.icf"));
        QVERIFY(m_main->Save(file));
        cmcEeprom back(QxRadio::ImageSize);
        QCOMPARE(indCloneFile::open(file, back), int(ICF_Ok));
        QCOMPARE(back.GetByte(0x8FE5), uint8_t(0xFF));
        QCOMPARE(back.GetByte(0x8FE6), uint8_t(0xFF));
        QCOMPARE(back.GetByte(0x0500), m_main->loadedImage().GetByte(0x0500));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(back.data() + 0xAA44), 8),
                 QByteArray("VEXO Inc"));
        QVERIFY(!m_main->IsModified());
        QVERIFY(prompt.entries().isEmpty());
    }

    void identityFailures_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("checkMaker");
        QTest::newRow("identity text") << 0x045E << int('X') << false;
        QTest::newRow("map revision") << 0x0500 << 3 << false;
        QTest::newRow("maker text") << 0xAA44 << int('v') << true;
    }

    void identityFailures() {
        QFETCH(int, address);
        QFETCH(int, value);
        QFETCH(bool, checkMaker);
        cmcEeprom image = m_main->loadedImage();
        QCOMPARE(m_main->CheckImageIdentity(image, true), 0);
        image.SetByte(address, uint8_t(value));
        QVERIFY(m_main->CheckImageIdentity(image, checkMaker) != 0);
    }

    void failedOpenLeavesTheDocument() {
        ScriptedPrompt prompt;
        const QString bad = path(QStringLiteral("bad.icf"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a clone file\n");
        f.close();
        m_main->workingImage().SetByte(0x0600, 0x56);
        prompt.queueAnswer(PA_No); // do not save the changes first
        const cmcEeprom before = m_main->workingImage();
        QVERIFY(!m_main->Open(bad));
        QVERIFY(m_main->workingImage() == before);
        QVERIFY(m_main->documentFile().isEmpty());
        QCOMPARE(prompt.entries().size(), 2); // the save question, then the file error
        QVERIFY(prompt.entries()[1].text.startsWith(
            cmcGTex::mainTable().getText(QStringLiteral("GI_Mess_FileErr_Headline"))));
        QCOMPARE(prompt.entries()[1].caption,
                 cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")));
        QCOMPARE(prompt.entries()[1].icon, cmcPromptIcon::Warning);
    }

    // A file of its header alone fails as a file without this radio's identity; the message
    // gives the reason.
    void headerOnlyFileFailsItsIdentity() {
        ScriptedPrompt prompt;
        const QString bare = path(QStringLiteral("bare.icf"));
        QFile f(bare);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("70410001\r\n");
        f.close();
        const cmcEeprom before = m_main->workingImage();
        QVERIFY(!m_main->Open(bare));
        QVERIFY(m_main->workingImage() == before);
        QCOMPARE(prompt.entries().size(), 1);
        const QString shown = prompt.entries()[0].text;
        cmcGTex& t = cmcGTex::mainTable();
        QVERIFY2(shown.contains(t.getTextBlock(cmcIcfFile::errorKey(ICF_Data))), qPrintable(shown));
        QVERIFY2(shown.endsWith(t.getText(cmcIcfFile::problemKey(), cmcIcfProblem::NoData - 1)),
                 qPrintable(shown));
    }

    // Without a file manager to open it, File > Open Backups Folder names the folder.
    void backupsFolderNamedWithoutFileManager() {
        const QByteArray path = qgetenv("PATH");
        QTemporaryDir empty;
        qputenv("PATH", QFile::encodeName(empty.path()));
        ScriptedPrompt prompt;
        const bool opened = m_main->openBackupFolder();
        qputenv("PATH", path);
        QVERIFY(!opened);
        QCOMPARE(prompt.entries().size(), 1);
        QVERIFY2(
            prompt.entries()[0].text.contains(QDir::toNativeSeparators(indMain::backupFolder())),
            qPrintable(prompt.entries()[0].text));
        QCOMPARE(prompt.entries()[0].icon, cmcPromptIcon::Information);
        QVERIFY(QDir(indMain::backupFolder()).exists());
    }

    // A save that cannot write (here: the name is a folder) tells why and keeps the document
    // modified under its old name.
    void failedSaveTellsAndStaysModified() {
        ScriptedPrompt prompt;
        const QString folder = path(QStringLiteral("afolder"));
        QVERIFY(QDir().mkpath(folder));
        const QString before = m_main->documentFile();
        m_main->workingImage().SetByte(0x0600, 0x57);
        QVERIFY(!m_main->Save(folder));
        QVERIFY(m_main->IsModified());
        QCOMPARE(m_main->documentFile(), before);
        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries()[0].text,
                 cmcIcfFile::message(ICF_FileOpen, cmcIcfFile::lastProblem()));
        QCOMPARE(prompt.entries()[0].icon, cmcPromptIcon::Warning);
    }

    void newReturnsToTheInitialData() {
        ScriptedPrompt prompt;
        m_main->workingImage().SetByte(0x0600, 0x77);
        prompt.queueAnswer(PA_No);
        m_main->New();
        QVERIFY(m_main->workingImage() == m_main->loadedImage());
        QVERIFY(!m_main->IsModified());
    }

    void captionMarksChanges() {
        m_main->workingImage().SetByte(0x0600, 0x01);
        QVERIFY(m_main->IsModified());
        QVERIFY(m_form->isWindowModified());
    }

    void oneRefreshPerBurstOfChanges() {
        g_now = 1000;
        cmcTick::setClock([] { return g_now; });
        g_events23 = 0;
        m_events->attach(&count23, nullptr);
        for (int i = 0; i < 5; ++i) {
            m_main->StartChangeDelay();
            g_now += 100;
            QTest::qWait(60); // the shell task runs
            m_events->dispatchStep();
        }
        QCOMPARE(g_events23, 0);
        g_now += 250;
        QTRY_COMPARE_WITH_TIMEOUT(g_events23, 1, 1000);
        QTest::qWait(120);
        QCOMPARE(g_events23, 1);
        m_events->detach(&count23, nullptr);
        cmcTick::setClock({});
    }

    void debugCompareLines() {
        QVERIFY(m_main->DebugCompareLines().isEmpty());
        const uint8_t was = m_main->workingImage().GetByte(0x1234);
        m_main->workingImage().SetByte(0x1234, uint8_t(was ^ 0x5A));
        QCOMPARE(m_main->DebugCompareLines(),
                 QStringList{QString::asprintf("1234 : %02X -> %02X", was, uint8_t(was ^ 0x5A))});
        QVERIFY(m_main->DebugCompareLines().isEmpty());
    }

    void hiddenVersion_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("shown");
        QTest::newRow("version") << "version" << true;
        QTest::newRow("capitals") << "VERSION" << true;
        QTest::newRow("inside other text") << "xxversion" << true;
        QTest::newRow("versio plus another letter") << "versiox" << false;
    }

    void hiddenVersion() {
        QFETCH(QString, typed);
        QFETCH(bool, shown);
        ScriptedPrompt prompt;
        cuiAboutBox box(*m_main, QStringLiteral("1.0"));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::keyClicks(&box, typed);
        QCOMPARE(prompt.texts().contains(indMain::VersionText()), shown);
        QCOMPARE(indMain::VersionText(), QStringLiteral("version  3.07"));
    }

    void undoAndRedoRestoreTheImage() {
        cmcCellDispatch& cells = cmcCellDispatch::global();
        const cmcEeprom start = m_main->workingImage();
        QVERIFY(!m_main->CanUndo());
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_FreqR, 0, QStringLiteral("7.1")));
        const cmcEeprom one = m_main->workingImage();
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_FreqR, 1, QStringLiteral("14.2")));
        const cmcEeprom two = m_main->workingImage();
        QVERIFY(one != start && two != one);
        m_main->Undo();
        QVERIFY(m_main->workingImage() == one);
        m_main->Undo();
        QVERIFY(m_main->workingImage() == start);
        QVERIFY(!m_main->CanUndo());
        QVERIFY(!m_main->IsModified());
        m_main->Redo();
        m_main->Redo();
        QVERIFY(m_main->workingImage() == two);
        QVERIFY(!m_main->CanRedo());
        m_main->Undo();
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_FreqR, 2, QStringLiteral("3.5")));
        QVERIFY(!m_main->CanRedo()); // a new change forgets what was undone
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_No);
        m_main->New();
        QVERIFY(!m_main->CanUndo());
    }

    // The range of each purpose, written out as numbers: the user's clone write
    // starts at 0x0500, the default range at 0x0000, and both end at 0xAA5F, the end of the
    // lists and settings, while reads, the maker's write and files take the whole image.
    void rangesByPurpose_data() {
        QTest::addColumn<int>("purpose");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("0 clone write") << 0 << 0x0500 << 0xAA5F;
        QTest::newRow("1 maker write") << 1 << 0x0000 << 0xFFEF;
        QTest::newRow("2 save") << 2 << 0x0000 << 0xFFEF;
        QTest::newRow("3 initial file") << 3 << 0x0000 << 0xFFEF;
        QTest::newRow("4 other") << 4 << 0x0000 << 0xAA5F;
        QTest::newRow("5 repeater data") << 5 << 0x0000 << 0x00D6;
        QTest::newRow("9 other") << 9 << 0x0000 << 0xAA5F;
    }
    void rangesByPurpose() {
        QFETCH(int, purpose);
        QFETCH(int, first);
        QFETCH(int, last);
        const cmcAdrRange* r = indMain::Range(purpose);
        QCOMPARE(r[0].first, first);
        QCOMPARE(r[0].last, last);
        QVERIFY(r[1].first > r[1].last); // one pair, then the end
    }

    // The clone read takes the whole image; the self check wants the memory map to fit it.
    void readAndSelfCheckTakeTheWholeImage() {
        QCOMPARE(QxRadio::CloneRead[0].first, 0);
        QCOMPARE(QxRadio::CloneRead[0].last, QxRadio::ImageSize - 1);
        QCOMPARE(m_main->MemoryMapEnd(), 0xFFF0);
        QVERIFY(m_main->imageSize() >= m_main->MemoryMapEnd());
        QVERIFY(QxRadio::DefaultRangeLast < QxRadio::MemoryMapEnd);
    }

    void makerModeFromTheCommandLine() {
        ScriptedPrompt prompt;
        prompt.queueAnswer(PA_Cancel);
        m_main->CheckCommandLine({QStringLiteral("qxt5200"), QStringLiteral("/FACTORY")});
        QVERIFY(!m_main->makerMode());
        prompt.queueAnswer(PA_Ok);
        m_main->CheckCommandLine(
            {QStringLiteral("qxt5200"), QStringLiteral("/factory"), QStringLiteral("/factory")});
        QVERIFY(m_main->makerMode());
        QCOMPARE(prompt.entries().size(), 2); // asked once more, not again once on
    }

    // A fatal stop while the document is modified first keeps the work as a recovery clone
    // file, names it in the message, and the file opens with the edit in it.
    void fatalStopKeepsUnsavedWork() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(cmcCellDispatch::global().commit(CT_ChannelList, CL_ChL_FreqR, 4,
                                                 QStringLiteral("14.2")));
        QVERIFY(m_main->IsModified());
        const cmcEeprom edited = m_main->workingImage();
        FatalGuard guard;
        QString message;
        try {
            cmcGTex::mainTable().getText(QStringLiteral("GI_No_Such_Key"));
        } catch (const cmcFatalError& e) {
            message = e.message;
        }
        QVERIFY2(message.contains(QLatin1String("GI_No_Such_Key")), qPrintable(message));
        const QString marker = QStringLiteral("The unsaved changes were saved in\n");
        QVERIFY2(message.contains(marker), qPrintable(message));
        const QString kept = message.section(marker, 1).trimmed();
        QVERIFY(kept.startsWith(indMain::backupFolder()));
        cmcEeprom recovered(m_main->workingImage().GetSize());
        QCOMPARE(indCloneFile::open(kept, recovered), 0);
        QVERIFY(recovered == edited);
        QFile::remove(kept);

        // Nothing modified: nothing written, nothing named.
        m_main->MarkSaved();
        message.clear();
        try {
            cmcGTex::mainTable().getText(QStringLiteral("GI_No_Such_Key"));
        } catch (const cmcFatalError& e) {
            message = e.message;
        }
        QVERIFY(!message.contains(marker));
    }

    // Window numbers from a hostile settings file: the window opens inside the screen and
    // what is stored on closing is what was shown.
    void hugeWindowSettingsAreClamped() {
        m_editor =
            std::make_unique<EditorFixture>(QStringLiteral("qxt5200-test-"), [](indEnviron& env) {
                env.windowLeft = 2147483647;
                env.windowWidth = 2147483647;
                env.windowTop = 0;
                env.windowHeight = 16777215;
            });
        TForm1* form = m_editor->form.get();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const QRect screen(0, 0, 1280, 900); // the fixture's work area
        QVERIFY2(form->width() <= screen.width() && form->height() <= screen.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(form->width()).arg(form->height())));
        QVERIFY(form->geometry().intersects(screen));
        const QRect shown = form->geometry();
        QVERIFY(m_editor->main->CloseQuery());
        indEnviron& env = *m_editor->env;
        QCOMPARE(QRect(env.windowLeft, env.windowTop, env.windowWidth, env.windowHeight), shown);
    }

    // The main window comes back where it was stored, and stores what it shows; a
    // secondary window gets back the place it had when it was last hidden.
    void windowPlacesRoundTrip() {
        const QRect stored(130, 110, 900, 650);
        m_editor =
            std::make_unique<EditorFixture>(QStringLiteral("qxt5200-test-"), [&](indEnviron& env) {
                env.windowLeft = stored.left();
                env.windowTop = stored.top();
                env.windowWidth = stored.width();
                env.windowHeight = stored.height();
            });
        TForm1* form = m_editor->form.get();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(form->geometry(), stored);
        const QRect moved(150, 120, 880, 640);
        form->setGeometry(moved);
        QTRY_COMPARE(form->geometry(), moved);

        QDialog help(form);
        help.setObjectName(QStringLiteral("Help"));
        help.show();
        const QRect place(300, 200, 420, 310);
        help.setGeometry(place);
        QTRY_COMPARE(help.geometry(), place);
        help.hide();
        QVERIFY(m_editor->main->CloseQuery());
        indEnviron& env = *m_editor->env;
        QCOMPARE(QRect(env.windowLeft, env.windowTop, env.windowWidth, env.windowHeight), moved);
        QVERIFY(env.editForm(QStringLiteral("Help")));
        QCOMPARE(env.editForm(QStringLiteral("Help"))->width, place.width());

        QDialog again(form);
        again.setObjectName(QStringLiteral("Help"));
        again.show();
        QCOMPARE(again.geometry(), place);
    }
};

QTEST_MAIN(tst_controller)
#include "tst_controller.moc"
