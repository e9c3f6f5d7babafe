// The recovery journal with real editors: an editor with unsaved edits killed with SIGKILL
// is offered at the next start (Restore brings the edits back as a modified document under
// its file's name, Discard removes the journal after a second question, Later keeps it); a
// clean exit leaves no journal; two editors on two displays keep two journals and neither is
// offered while they run. And a save or an export over a file that another program changed
// since asks first; Cancel leaves the file and the document as they were.
//
// The editors that are killed are processes of their own: this test program started again
// with --editor-child, bringing the editor up as the tests do, editing, and waiting.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcIcfFile.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"
#include "indRecoveryJournal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

namespace {

const QString ChildSwitch = QStringLiteral("--editor-child");
const QString EditedName = QStringLiteral("HARBOUR");
constexpr int EditedRow = 4;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A clone file of the initial data, as another program would leave it.
bool writeCloneFile(const QString& path, uint8_t commentByte = 'A') {
    cmcEeprom loaded(QxRadio::ImageSize);
    if (indCloneFile::readInitial(QStringLiteral(QX_RUNTIME_DIR "/QXT5200_Initial.icf"), loaded) !=
        ICF_Ok)
        return false;
    cmcEeprom image = loaded;
    image.SetByte(QxRadio::CommentAddr, commentByte);
    return indCloneFile::save(path, image, loaded) == ICF_Ok;
}

// An edit as a user makes it: a channel put in use and named.
bool edit(int row) {
    cmcCellDispatch& d = cmcCellDispatch::global();
    return d.commit(CT_ChannelList, CL_ChL_FreqR, row, QStringLiteral("14.2")) &&
           d.commit(CT_ChannelList, CL_ChL_Name, row, EditedName);
}

QStringList journalFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("QXT5200_journal_*")}, QDir::Files);
}

// The editor process: opens the file, edits a channel's name, waits until the journal holds
// the edit and names it on stdout; then waits to be killed ("kill") or closes its window,
// declining to save, as a user ends the program ("clean").
int runChild(const QStringList& args) {
    const QString folder = args.value(2), file = args.value(3), mode = args.value(4);
    QStandardPaths::setTestModeEnabled(true);
    ScriptedPrompt prompt;
    prompt.defaultAnswer = PA_No; // "save the changes?": no
    EditorFixture editor(QStringLiteral("qxt5200-recovery-child-"));
    editor.form->show();
    editor.main->StartJournal(folder);
    if (!editor.main->Open(file)) return 2;
    if (!edit(EditedRow)) return 3;
    if (!QTest::qWaitFor([&] { return editor.main->journal()->exists(); }, 30000)) return 4;
    // The fixture's folder outlives a kill: the test removes it.
    std::printf("FIXTURE %s\n", qPrintable(editor.dir.path()));
    std::printf("JOURNAL %s\n", qPrintable(editor.main->journal()->imagePath()));
    std::fflush(stdout);
    if (mode == QLatin1String("kill")) return QApplication::exec();
    if (!editor.form->close()) return 5;
    editor.main->EndJournal();
    return 0;
}

} // namespace

class tst_recovery : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp; // the journals and the clone files
    QString m_folder;
    QString m_file;
    std::vector<std::unique_ptr<QProcess>> m_children;
    QStringList m_leftovers; // the killed editors' own folders

    // Starts an editor process and waits until its journal is written; its path.
    QString startChild(const QString& mode, const QString& display = QStringLiteral(":71")) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(), {ChildSwitch, m_folder, m_file, mode});
        QString journal;
        QByteArray out;
        while (journal.isEmpty() && p->waitForReadyRead(60000)) {
            out += p->readAllStandardOutput();
            journal = lineAfter(out, "JOURNAL ");
        }
        if (const QString fixture = lineAfter(out, "FIXTURE "); !fixture.isEmpty())
            m_leftovers << fixture;
        if (journal.isEmpty()) qWarning("editor process: %s", out.constData());
        m_children.push_back(std::move(p));
        return journal;
    }

    // The rest of the line that starts with the tag, once the whole line has come (without the
    // CR of a Windows line end).
    static QString lineAfter(const QByteArray& out, const QByteArray& tag) {
        const qsizetype at = out.indexOf(tag);
        const qsizetype end = at < 0 ? -1 : out.indexOf('\n', at);
        if (end < 0) return QString();
        QByteArray line = out.mid(at + tag.size(), end - at - tag.size());
        if (line.endsWith('\r')) line.chop(1);
        return QString::fromLocal8Bit(line);
    }

    static bool killHard(QProcess& p) {
        p.kill(); // SIGKILL: nothing runs in the editor any more
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::CrashExit;
    }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_tmp.isValid());
    }

    void init() {
        m_folder = m_tmp.filePath(QStringLiteral("backups"));
        QDir(m_folder).removeRecursively();
        m_file = m_tmp.filePath(QStringLiteral("channels.icf"));
        QVERIFY(writeCloneFile(m_file));
    }

    void cleanup() {
        for (auto& p : m_children)
            if (p->state() != QProcess::NotRunning) killHard(*p);
        m_children.clear();
        for (const QString& dir : m_leftovers)
            QDir(dir).removeRecursively();
        m_leftovers.clear();
    }

    void killedEditorIsOfferedAtNextStart_data() {
        QTest::addColumn<int>("button");  // 0 Restore, 1 Discard, 2 Later
        QTest::addColumn<int>("confirm"); // the answer to Discard's second question
        QTest::addColumn<bool>("kept");   // the killed editor's journal is still there
        QTest::newRow("restore") << 0 << int(PA_None) << false;
        QTest::newRow("discard") << 1 << int(PA_Yes) << false;
        QTest::newRow("discard, not sure") << 1 << int(PA_No) << true;
        QTest::newRow("later") << 2 << int(PA_None) << true;
    }
    void killedEditorIsOfferedAtNextStart() {
        QFETCH(int, button);
        QFETCH(int, confirm);
        QFETCH(bool, kept);
        const QByteArray original = readAll(m_file);
        const QString journal = startChild(QStringLiteral("kill"));
        QVERIFY(!journal.isEmpty());
        QVERIFY(killHard(*m_children.back()));
        QVERIFY(QFile::exists(journal));

        ScriptedPrompt prompt;
        prompt.queueChoice(button);
        if (confirm != PA_None) prompt.queueAnswer(confirm);
        {
            EditorFixture editor(QStringLiteral("qxt5200-recovery-"));
            editor.main->StartJournal(m_folder);
            const bool restored = editor.main->OfferRecovery();

            QVERIFY(!prompt.entries().isEmpty());
            const ScriptedPrompt::Entry& offer = prompt.entries().first();
            QVERIFY2(offer.text.contains(QLatin1String("with unsaved changes to channels.icf.")),
                     qPrintable(offer.text));
            QVERIFY2(offer.text.startsWith(QLatin1String("The editor was stopped on ")),
                     qPrintable(offer.text));
            QCOMPARE(offer.items, QStringList({QStringLiteral("Restore"), QStringLiteral("Discard"),
                                               QStringLiteral("Later")}));
            QCOMPARE(prompt.entries().size(), button == 1 ? 2 : 1);
            if (button == 1)
                QVERIFY(prompt.entries()[1].text.contains(QLatin1String("Discard them?")));

            QCOMPARE(restored, button == 0);
            QCOMPARE(QFile::exists(journal), kept);
            const QString name =
                cmcCellDispatch::global().text(CT_ChannelList, CL_ChL_Name, EditedRow);
            if (restored) {
                QVERIFY(editor.main->IsModified());
                QCOMPARE(editor.main->documentFile(), QFileInfo(m_file).absoluteFilePath());
                QCOMPARE(name.trimmed(), EditedName);
                QVERIFY(editor.form->windowTitle().startsWith(QLatin1String("channels.icf")));
                // The edits live on in this editor's journal, not the killed one's.
                QVERIFY(editor.main->journal()->exists());
            } else {
                QVERIFY(!editor.main->IsModified());
                QVERIFY(name.trimmed() != EditedName);
            }
            QCOMPARE(readAll(m_file), original); // nothing saved behind the user's back
            editor.main->EndJournal();           // a clean exit
        }

        // Offered again at the next start only when it was kept.
        prompt.clear();
        prompt.queueChoice(2);
        EditorFixture next(QStringLiteral("qxt5200-recovery-next-"));
        next.main->StartJournal(m_folder);
        next.main->OfferRecovery();
        QCOMPARE(prompt.entries().size(), kept ? 1 : 0);
    }

    void cleanExitLeavesNoJournal() {
        const QString journal = startChild(QStringLiteral("clean"));
        QVERIFY(!journal.isEmpty());
        QProcess& p = *m_children.back();
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(journalFiles(m_folder).isEmpty(), qPrintable(journalFiles(m_folder).join(' ')));
    }

    // A save removes the journal at once; an undo back to the saved bytes too.
    void saveRemovesTheJournal() {
        ScriptedPrompt prompt;
        EditorFixture editor(QStringLiteral("qxt5200-recovery-save-"));
        editor.main->StartJournal(m_folder);
        QVERIFY(editor.main->Open(m_file));
        QVERIFY(edit(2));
        editor.main->UpdateJournal(true);
        QVERIFY(editor.main->journal()->exists());
        QVERIFY(editor.main->Save(m_file));
        QVERIFY(!editor.main->journal()->exists());

        QVERIFY(edit(3));
        editor.main->UpdateJournal(true);
        QVERIFY(editor.main->journal()->exists());
        editor.main->Undo(); // the name
        editor.main->Undo(); // the frequency: back to the saved bytes
        QVERIFY(!editor.main->IsModified());
        QVERIFY(QTest::qWaitFor([&] { return !editor.main->journal()->exists(); }, 5000));
        QVERIFY(journalFiles(m_folder).isEmpty());
    }

    void twoDisplaysKeepTwoJournals() {
        const QString first = startChild(QStringLiteral("kill"), QStringLiteral(":71"));
        const QString second = startChild(QStringLiteral("kill"), QStringLiteral(":72"));
        QVERIFY(!first.isEmpty());
        QVERIFY(!second.isEmpty());
        QVERIFY(first != second);
        QCOMPARE(journalFiles(m_folder).filter(QStringLiteral(".icf")).size(), 2);

        // While both run, a third editor offers neither.
        ScriptedPrompt prompt;
        prompt.defaultAnswer = PA_No;
        {
            EditorFixture third(QStringLiteral("qxt5200-recovery-third-"));
            third.main->StartJournal(m_folder);
            QVERIFY(!third.main->OfferRecovery());
            QVERIFY(prompt.entries().isEmpty());
        }
        // Once both are killed, both are offered (Later, Later).
        for (auto& p : m_children)
            QVERIFY(killHard(*p));
        prompt.queueChoice(2);
        prompt.queueChoice(2);
        EditorFixture fourth(QStringLiteral("qxt5200-recovery-fourth-"));
        fourth.main->StartJournal(m_folder);
        QVERIFY(!fourth.main->OfferRecovery());
        QCOMPARE(prompt.entries().size(), 2);
        QVERIFY(QFile::exists(first));
        QVERIFY(QFile::exists(second));
    }

    // Another program saves the document's file after it was opened: Save asks first. Save
    // over it writes; Save As writes elsewhere and leaves the other program's file; Cancel
    // leaves both the file and the document unchanged.
    void savingOverChangedFileAsksFirst_data() {
        QTest::addColumn<int>("button"); // 0 Save over it, 1 Save As, 2 Cancel
        QTest::newRow("save over it") << 0;
        QTest::newRow("save as") << 1;
        QTest::newRow("cancel") << 2;
    }
    void savingOverChangedFileAsksFirst() {
        QFETCH(int, button);
        ScriptedPrompt prompt;
        ScriptedDialogs dialogs;
        const QString elsewhere = m_tmp.filePath(QStringLiteral("elsewhere.icf"));
        QFile::remove(elsewhere);
        dialogs.answers << elsewhere;
        EditorFixture editor(QStringLiteral("qxt5200-recovery-changed-"));
        QVERIFY(editor.main->Open(m_file));
        QVERIFY(edit(1));
        const cmcEeprom edited = editor.main->workingImage();

        // Saving while nobody else touched the file asks nothing.
        QVERIFY(editor.main->Save(m_file));
        QVERIFY(prompt.entries().isEmpty());

        QVERIFY(edit(2));
        QVERIFY(writeCloneFile(m_file, 'Z')); // another program's save
        const QByteArray theirs = readAll(m_file);
        const cmcEeprom mine = editor.main->workingImage();
        prompt.queueChoice(button);
        const bool saved = editor.main->Save(m_file);

        QCOMPARE(prompt.entries().size(), 1);
        QCOMPARE(prompt.entries()[0].text,
                 QStringLiteral("channels.icf was changed by another program since you opened "
                                "it.\nSave over it, Save As\u2026, or Cancel?"));
        QCOMPARE(prompt.entries()[0].items.size(), 3);
        QCOMPARE(saved, button != 2);
        if (button == 0) {
            QVERIFY(readAll(m_file) != theirs);
            cmcEeprom back(QxRadio::ImageSize);
            QCOMPARE(indCloneFile::open(m_file, back), int(ICF_Ok));
            QCOMPARE(cmcCellDispatch(&back).text(CT_ChannelList, CL_ChL_Name, 2).trimmed(),
                     EditedName);
        } else {
            QCOMPARE(readAll(m_file), theirs);
        }
        if (button == 1) {
            QCOMPARE(editor.main->documentFile(), QFileInfo(elsewhere).absoluteFilePath());
            QVERIFY(QFile::exists(elsewhere));
        }
        if (button == 2) {
            QVERIFY(editor.main->IsModified());
            QVERIFY(editor.main->workingImage() == mine);
            QCOMPARE(editor.main->documentFile(), QFileInfo(m_file).absoluteFilePath());
            QVERIFY(!QFile::exists(elsewhere));
        }
        Q_UNUSED(edited);
    }

    // The repeater data and the CSV files written by Export: written once, changed by
    // another program, written again: asked first; Cancel keeps the other program's file.
    void exportOverChangedFileAsksFirst_data() {
        QTest::addColumn<bool>("csv");
        QTest::newRow("repeater data") << false;
        QTest::newRow("CSV list") << true;
    }
    void exportOverChangedFileAsksFirst() {
        QFETCH(bool, csv);
        ScriptedPrompt prompt;
        ScriptedDialogs dialogs;
        const QString path =
            m_tmp.filePath(csv ? QStringLiteral("list.csv") : QStringLiteral("sites.rpt"));
        QFile::remove(path);
        EditorFixture editor(QStringLiteral("qxt5200-recovery-export-"));
        const auto exportOnce = [&] {
            dialogs.answers << path;
            return csv ? editor.main->ExportList() : editor.main->ExportRepeater();
        };
        QVERIFY(exportOnce());
        QVERIFY(exportOnce()); // unchanged since: no question
        // The choices an export asks before its file (which list, which layout), if any.
        const int asked = int(prompt.entries().size());
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write("another program's line\n");
        f.close();
        const QByteArray theirs = readAll(path);
        for (int i = 0; i < asked / 2; ++i)
            prompt.queueChoice(0); // the same choices as before
        prompt.queueChoice(2);     // Cancel
        QVERIFY(!exportOnce());
        QCOMPARE(readAll(path), theirs);
        QCOMPARE(int(prompt.entries().size()), asked + asked / 2 + 1);
        QVERIFY(prompt.entries().last().text.startsWith(QFileInfo(path).fileName() +
                                                        QLatin1String(" was changed")));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (app.arguments().value(1) == ChildSwitch) return runChild(app.arguments());
    tst_recovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
