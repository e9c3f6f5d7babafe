// The adjustment read of the editor against the simulated radio, over a pseudo-terminal and
// over loopback TCP, with the user's answers scripted: the whole guarded sequence up to the
// values in the adjustment window and their service record, the access password, the wait
// while a networked radio restarts, the failures and what they leave, and the single
// adjustment window.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "TForm1.h"
#include "cloneSimProcess.h"
#include "cmcCellDispatch.h"
#include "cmcComm.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cuiAdjustPassword.h"
#include "cuiCellSource.h"
#include "cuiFileDialogs.h"
#include "cuiRebootWait.h"
#include "cuiSheet.h"
#include "imcAdjustValues.h"
#include "indCloneFile.h"
#include "indCloneMan.h"
#include "indEnviron.h"
#include "indMain.h"
#include "iuiWinAd.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <QValidator>
#include <QtTest>
#include <memory>

namespace {

constexpr int kTimeout = 90000; // a whole image over a pseudo-terminal, sanitizers on
const QString kWord = QStringLiteral("svc2024");

uint16_t simValue(int item) {
    return uint16_t(item << 8 | (0x80 + item));
}

// The user at the two dialogs of the adjustment read: answers the password dialog with a
// text (or cancels it), and notes every reboot wait with the texts its label showed,
// optionally ending it with its button.
struct DialogUser {
    QString password;
    bool cancelPassword = false;
    bool pressGoOn = false;
    int passwordDialogs = 0;
    QList<QStringList> waits; // the label texts of each reboot wait
    QTimer timer;

    DialogUser() {
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start(1);
    }
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = dynamic_cast<cuiAdjustPassword*>(modal)) {
            ++passwordDialogs;
            if (cancelPassword) {
                d->cancelButton()->click();
                return;
            }
            QVERIFY(d->edit()->echoMode() == QLineEdit::Password);
            // At most 8 characters, as a person counts them.
            QVERIFY(d->edit()->validator());
            int at = 0;
            QString eight(8, QChar(0xE4)), nine(9, QChar(0xE4));
            QCOMPARE(d->edit()->validator()->validate(eight, at), QValidator::Acceptable);
            QCOMPARE(d->edit()->validator()->validate(nine, at), QValidator::Invalid);
            d->edit()->setText(password);
            d->okButton()->click();
        } else if (auto* w = dynamic_cast<cuiRebootWait*>(modal)) {
            if (!w->property("seen").toBool()) {
                w->setProperty("seen", true);
                waits.append(QStringList());
            }
            const QString text = w->label()->text();
            if (waits.last().value(waits.last().size() - 1) != text) waits.last().append(text);
            if (pressGoOn) w->button()->click();
        }
    }
};

// The frames of a log, each shortened to its command (and the E8 sub-command and argument).
QStringList commands(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines) {
        const QStringList b = l.split(' ');
        out << (b.value(3) == QLatin1String("E8")
                    ? QStringList{b.value(3), b.value(8), b.value(9), b.value(10)}.join(' ')
                    : b.value(3));
    }
    return out;
}

QString waitText(int seconds) {
    return cmcGTex::mainTable()
        .getTextBlock(QStringLiteral("GI_Mess_AdjRead_RebootWait_Message"))
        .replace(QStringLiteral("%d"), QString::number(seconds));
}

// The texts the adjustment window's cells show, by label and index.
QMap<QPair<int, int>, QString> windowTexts(iuiWinAd* window) {
    QMap<QPair<int, int>, QString> texts;
    cuiSheet* sheet = window->sheet();
    for (int r = 0; r < sheet->rowCount(); ++r)
        for (int c = 0; c < sheet->colCount(); ++c) {
            const cuiCell& cell = sheet->CellObjectAt(c, r);
            if (cell.hasLabel())
                texts.insert({cell.label, cell.index},
                             sheet->cellSource()->view(cell, false, false).text);
        }
    return texts;
}

} // namespace

class tst_AdjustRead : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    indEnviron* m_env = nullptr;
    cmcEeprom m_radioImage;
    QString m_radioFile;

    void startEditor(const QString& word) {
        m_editor =
            std::make_unique<EditorFixture>(QStringLiteral("qxt5200-adjust-"),
                                            [word](indEnviron& env) { env.adjustModeWord = word; });
        m_main = m_editor->main.get();
        m_env = m_editor->env.get();
        QCOMPARE(m_env->adjustModeWord, word);
        m_radioFile = m_editor->path("radio.icf");
        QVERIFY(cloneWriteImageFile(m_radioFile, m_radioImage));
    }

    QString cloneMessage(int status) const { return m_main->cloneMan().ErrorText(status); }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QDir(indMain::backupFolder()).removeRecursively();
        m_radioImage = cloneTestImage(4600);
    }

    void cleanupTestCase() { QDir(indMain::backupFolder()).removeRecursively(); }

    void init() { cuiRebootWait::setSecondMs(10); }

    void cleanup() {
        m_editor.reset();
        m_main = nullptr;
        m_env = nullptr;
        cuiRebootWait::setSecondMs(1000);
    }

    void sequence_data() {
        QTest::addColumn<int>("link");
        QTest::newRow("serial") << int(cloneSimProcess::Serial);
        QTest::newRow("tcp") << int(cloneSimProcess::Tcp);
    }

    // Password, caution, the clone read, over TCP the wait while the radio restarts (longer
    // than the radio takes), the adjustment command, then the window with the 17 values,
    // kept as a service record.
    void sequence() {
        QFETCH(int, link);
        const bool tcp = link == cloneSimProcess::Tcp;
        startEditor(kWord);
        ScriptedPrompt prompt; // the caution answered OK
        DialogUser user;
        user.password = kWord;
        const QString log = m_editor->path("frames.log");
        cloneSimProcess sim;
        QStringList args{"--file", m_radioFile, "--log", log};
        if (tcp)
            args << "--reboot-ms"
                 << "100"; // the wait: 30 x 10 ms
        QVERIFY(sim.start(cloneSimProcess::Link(link), args));
        m_editor->useSim(sim);

        QSignalSpy finished(m_main, &indMain::cloneFinished);
        QSignalSpy valuesRead(m_main, &indMain::adjustValuesRead);
        cmcCellRequest item(CT_Null, CL_Menu_Ad_Read, 0);
        item.execute = true;
        cmcCellDispatch::global().dispatch(item); // the Clone menu's item
        QTRY_COMPARE_WITH_TIMEOUT(valuesRead.count(), 1, kTimeout);
        QCOMPARE(valuesRead.at(0).at(0).toInt(), 0);
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(0), QVariantList({int(indCloneMan::OpRead), 0}));
        QCOMPARE(finished.at(1), QVariantList({int(indCloneMan::OpAdjust), 0}));

        QCOMPARE(user.passwordDialogs, 1);
        QVERIFY(m_main->adjustAccepted());
        QCOMPARE(prompt.texts(),
                 QStringList{cmcGTex::mainTable().getTextBlock("GI_Mess_Adjust_Caution")});
        QCOMPARE(prompt.entries().at(0).buttons, cmcPromptButtons::OkCancel);
        QCOMPARE(prompt.entries().at(0).icon, cmcPromptIcon::Warning);
        if (tcp) {
            QCOMPARE(user.waits.size(), 1);
            QCOMPARE(user.waits.at(0).last(), waitText(1));
        } else {
            QVERIFY(user.waits.isEmpty());
        }
        QVERIFY(m_main->workingImage() == m_radioImage);
        QCOMPARE(m_main->cloneMan().adjustMode(), int(indCloneMan::AdjustCommanding));

        // On the wire: information, read, the adjustment command, the 17 value commands;
        // on the serial port each adjustment operation starts with the speed change.
        QStringList expected{"E0", "E2"};
        if (!tcp) expected << "E8 01 30 39";
        expected << "E8 02 30 31";
        if (!tcp) expected << "E8 01 30 39";
        for (int i = 0; i < imcAdjustValues::Count; ++i)
            expected << QString::asprintf("E8 03 %02X %02X", '0' + i / 16,
                                          "0123456789ABCDEF"[i % 16]);
        QCOMPARE(commands(cloneLogLines(log)), expected);

        auto* window = dynamic_cast<iuiWinAd*>(m_main->adjustWindow());
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), cmcGTex::mainTable().getText("GI_Sys_AppTitle"));
        QCOMPARE(window->sheet()->key(), QStringLiteral("GI_Sheet_Win_AD"));
        const auto texts = windowTexts(window);
        for (int i = 0; i < imcAdjustValues::Count; ++i) {
            QCOMPARE(texts.value({CL_Misc_ChNo_1Base, i}), QString::number(i + 1));
            QCOMPARE(texts.value({CL_WinAD_Arg, i}), QString::asprintf("0x%02X", i));
            QCOMPARE(texts.value({CL_WinAD_Hex, i}), QString::asprintf("0x%04X", simValue(i)));
            QCOMPARE(texts.value({CL_WinAD_Dec, i}), QString::number(simValue(i)));
        }
        QCOMPARE(texts.value({CL_WinAD_Radio, 0}), QStringLiteral("QX-T5200"));
        QCOMPARE(texts.value({CL_WinAD_Radio, 1}), QStringLiteral("SIM-0005200"));

        // The service record.
        ScriptedDialogs files;
        files.answers << m_editor->path("service.csv");
        QVERIFY(window->saveButton()->isEnabled());
        window->saveButton()->click();
        QCOMPARE(files.saves, 1);
        QFile csv(m_editor->path("service.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 18);
        QCOMPARE(lines.at(0), QStringLiteral("item,argument,hex,decimal,model,serial,date,time"));
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        for (int i = 0; i < imcAdjustValues::Count; ++i)
            QVERIFY2(
                lines.at(i + 1).startsWith(QStringLiteral("%1,%2,%3,%4,QX-T5200,SIM-0005200,%5,")
                                               .arg(i + 1)
                                               .arg(QString::asprintf("0x%02X", i),
                                                    QString::asprintf("0x%04X", simValue(i)))
                                               .arg(int(simValue(i)))
                                               .arg(today)),
                qPrintable(lines.at(i + 1)));
        QCOMPARE(prompt.entries().size(), 1); // nothing went wrong on the way
    }

    void passwordRule_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("equal") << "svc2024"
                               << "svc2024" << true;
        QTest::newRow("other") << "svc2025"
                               << "svc2024" << false;
        QTest::newRow("case matters") << "SVC2024"
                                      << "svc2024" << false;
        QTest::newRow("empty entry") << ""
                                     << "svc2024" << false;
        QTest::newRow("prefix only") << "svc"
                                     << "svc2024" << false;
        QTest::newRow("long stored word, its first 8") << "abcdefgh"
                                                       << "abcdefghij" << true;
        QTest::newRow("9 characters, first 8 match") << "abcdefghi"
                                                     << "abcdefgh" << false;
        QTest::newRow("not ASCII")
            << QStringLiteral("Prüfung") << QStringLiteral("Prüfung") << true;
        // Characters are compared, not the bytes of their encoding: the first four "ä" take
        // 8 bytes, the rest must still match.
        QTest::newRow("8 umlauts")
            << QStringLiteral("ääääääää") << QStringLiteral("ääääääää") << true;
        QTest::newRow("4 umlauts, then others")
            << QStringLiteral("ääääXYZW") << QStringLiteral("ääääääää") << false;
        QTest::newRow("4 of 8 umlauts")
            << QStringLiteral("ääää") << QStringLiteral("ääääääää") << false;
        QTest::newRow("9 umlauts")
            << QStringLiteral("äääääääää") << QStringLiteral("ääääääää") << false;
        QTest::newRow("long stored word of umlauts, its first 8")
            << QStringLiteral("ääääääää") << QStringLiteral("äääääääääö") << true;
        QTest::newRow("diaeresis typed apart")
            << QStringLiteral("Pru\u0308fung") << QStringLiteral("Prüfung") << true;
        QTest::newRow("8 characters beyond 16 bits")
            << QStringLiteral("\U0001F511\U0001F511\U0001F511\U0001F511"
                              "\U0001F511\U0001F511\U0001F511\U0001F511")
            << QStringLiteral("\U0001F511\U0001F511\U0001F511\U0001F511"
                              "\U0001F511\U0001F511\U0001F511\U0001F511")
            << true;
    }

    // The entry is compared, character by character, with the stored word's first 8.
    void passwordRule() {
        QFETCH(QString, entry);
        QFETCH(QString, stored);
        QFETCH(bool, accepted);
        QCOMPARE(cuiAdjustPassword::Matches(entry, stored), accepted);
    }

    // A wrong password: the error box, and nothing else: no caution, nothing sent.
    void wrongPassword() {
        startEditor(kWord);
        ScriptedPrompt prompt;
        DialogUser user;
        user.password = QStringLiteral("svc2025");
        const QString log = m_editor->path("frames.log");
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Serial, {"--file", m_radioFile, "--log", log}));
        m_editor->useSim(sim);
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        m_main->adjustRead();
        QCOMPARE(user.passwordDialogs, 1);
        QCOMPARE(prompt.texts(),
                 QStringList{cmcGTex::mainTable().getTextBlock("GI_AppInd_Opt_AdjReadPwd_Error")});
        QCOMPARE(prompt.entries().at(0).icon, cmcPromptIcon::Error);
        QVERIFY(!m_main->adjustAccepted());
        QVERIFY(!m_main->cloneMan().IsBusy());
        QCOMPARE(m_main->cloneMan().adjustMode(), int(indCloneMan::AdjustNone));
        QTest::qWait(300);
        QVERIFY(cloneLogLines(log).isEmpty());
        QCOMPARE(finished.count(), 0);
    }

    void accessAskedOnce_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("dialogs");
        QTest::newRow("no stored word") << QString() << 0;
        QTest::newRow("stored word") << kWord << 1;
    }

    // Without a stored word no password is asked; with one, it is asked until accepted once,
    // then never again in this run. Cancel at the caution sends nothing.
    void accessAskedOnce() {
        QFETCH(QString, word);
        QFETCH(int, dialogs);
        startEditor(word);
        ScriptedPrompt prompt;
        prompt.defaultAnswer = PA_Cancel;
        DialogUser user;
        user.password = kWord;
        const QString log = m_editor->path("frames.log");
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Serial, {"--file", m_radioFile, "--log", log}));
        m_editor->useSim(sim);
        m_main->adjustRead();
        m_main->adjustRead();
        QCOMPARE(user.passwordDialogs, dialogs);
        const QString caution = cmcGTex::mainTable().getTextBlock("GI_Mess_Adjust_Caution");
        QCOMPARE(prompt.texts(), QStringList({caution, caution}));
        QTest::qWait(300);
        QVERIFY(cloneLogLines(log).isEmpty());
        QCOMPARE(m_main->cloneMan().adjustMode(), int(indCloneMan::AdjustNone));
    }

    void failures_data() {
        QTest::addColumn<int>("link");
        QTest::addColumn<QStringList>("simArgs");
        QTest::addColumn<int>("readStatus");
        QTest::addColumn<int>("commandStatus"); // -2: never sent
        QTest::addColumn<int>("valuesStatus");  // -2: never read
        QTest::newRow("another model")
            << int(cloneSimProcess::Serial) << QStringList{"--other-model"} << 11 << -2 << -2;
        QTest::newRow("read incomplete")
            << int(cloneSimProcess::Serial) << QStringList{"--missing-block", "0x2000"}
            << int(CS_Missing) << -2 << -2;
        QTest::newRow("radio still restarting")
            << int(cloneSimProcess::Tcp) << QStringList{"--reboot-ms", "20000"} << 0
            << int(CS_LinkOpen) << -2;
        QTest::newRow("values not answered")
            << int(cloneSimProcess::Tcp) << QStringList{"--adjust-other-code"} << 0 << 0
            << int(CS_Timeout);
    }

    // A failed step shows its clone message, takes the adjustment mode back to none and
    // goes no further; a failed read leaves the document as it was.
    void failures() {
        QFETCH(int, link);
        QFETCH(QStringList, simArgs);
        QFETCH(int, readStatus);
        QFETCH(int, commandStatus);
        QFETCH(int, valuesStatus);
        startEditor(QString());
        ScriptedPrompt prompt;
        DialogUser user;
        const QString log = m_editor->path("frames.log");
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Link(link),
                          QStringList{"--file", m_radioFile, "--log", log} + simArgs));
        m_editor->useSim(sim);
        const cmcEeprom before = m_main->workingImage();
        QSignalSpy finished(m_main, &indMain::cloneFinished);
        QSignalSpy valuesRead(m_main, &indMain::adjustValuesRead);
        m_main->adjustRead();
        const int ends = 1 + (readStatus == 0 ? 1 : 0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), ends, kTimeout);
        QCOMPARE(finished.at(0).at(1).toInt(), readStatus);
        if (readStatus == 0) QCOMPARE(finished.at(1).at(1).toInt(), commandStatus);
        if (valuesStatus != -2) {
            QTRY_COMPARE_WITH_TIMEOUT(valuesRead.count(), 1, kTimeout);
            QCOMPARE(valuesRead.at(0).at(0).toInt(), valuesStatus);
            auto* window = dynamic_cast<iuiWinAd*>(m_main->adjustWindow());
            QVERIFY(window);
            QVERIFY(windowTexts(window)
                        .value({CL_WinAD_Hex, 0})
                        .isEmpty()); // nothing half-read is shown
            QVERIFY(!window->saveButton()->isEnabled());
        } else {
            QTest::qWait(200);
            QCOMPARE(valuesRead.count(), 0);
            QVERIFY(!m_main->adjustWindow());
        }
        const int failed = valuesStatus > 0    ? valuesStatus
                           : commandStatus > 0 ? commandStatus
                                               : readStatus;
        QCOMPARE(prompt.texts().last(), cloneMessage(failed));
        QCOMPARE(prompt.entries().last().icon, cmcPromptIcon::Error);
        QCOMPARE(m_main->cloneMan().adjustMode(), int(indCloneMan::AdjustNone));
        if (readStatus != 0) {
            QVERIFY(m_main->workingImage() == before);
            QVERIFY(!commands(cloneLogLines(log)).join(' ').contains("E8"));
        }
        QVERIFY(m_editor->form->isEnabled());
    }

    // One adjustment window: asking again brings it to the front without reading again;
    // Refresh reads the values again; once closed, the next request opens a new one.
    void singleWindow() {
        startEditor(QString());
        ScriptedPrompt prompt;
        const QString log = m_editor->path("frames.log");
        cloneSimProcess sim;
        QVERIFY(sim.start(cloneSimProcess::Tcp, {"--log", log}));
        m_editor->useSim(sim);
        QSignalSpy valuesRead(m_main, &indMain::adjustValuesRead);
        cmcEvMan* events = m_editor->events.get();
        events->post(EV_AdjustWindow);
        QTRY_COMPARE_WITH_TIMEOUT(valuesRead.count(), 1, kTimeout);
        QCOMPARE(valuesRead.at(0).at(0).toInt(), 0);
        QPointer<iuiWinAd> first = dynamic_cast<iuiWinAd*>(m_main->adjustWindow());
        QVERIFY(first);
        first->showMinimized();
        QTRY_VERIFY(first->isMinimized());

        events->post(EV_AdjustWindow);
        QTRY_VERIFY(!first->isMinimized());
        QVERIFY(first->isVisible());
        int windows = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (dynamic_cast<iuiWinAd*>(w)) ++windows;
        QCOMPARE(windows, 1);
        QTest::qWait(100);
        QCOMPARE(valuesRead.count(), 1);

        first->refreshButton()->click();
        QTRY_COMPARE_WITH_TIMEOUT(valuesRead.count(), 2, kTimeout);
        QCOMPARE(commands(cloneLogLines(log)).count("E8 03 30 30"), 2);

        first->close();
        QTRY_VERIFY(!first);
        QVERIFY(!m_main->adjustWindow());
        events->post(EV_AdjustWindow);
        QTRY_VERIFY(m_main->adjustWindow());
        QTRY_COMPARE_WITH_TIMEOUT(valuesRead.count(), 3, kTimeout);
        QVERIFY(prompt.entries().isEmpty());
    }

    // The wait counts the seconds down and closes itself after the last one; its button
    // ends it at once.
    void rebootWait() {
        startEditor(QString());
        DialogUser user;
        cuiRebootWait::setSecondMs(100);
        QElapsedTimer clock;
        clock.start();
        cuiRebootWait counted(5, m_editor->form.get());
        QCOMPARE(counted.label()->text(), waitText(5));
        QCOMPARE(counted.exec(), int(QDialog::Accepted));
        QVERIFY(clock.elapsed() >= 4 * 100);
        QCOMPARE(user.waits.size(), 1);
        QCOMPARE(user.waits.at(0),
                 QStringList({waitText(5), waitText(4), waitText(3), waitText(2), waitText(1)}));
        QCOMPARE(counted.windowTitle(),
                 cmcGTex::mainTable().getText("GI_Mess_AdjRead_RebootWait_Title"));
        QCOMPARE(cuiRebootWait::configuredSeconds(), 30);

        cuiRebootWait::setSecondMs(1000);
        user.pressGoOn = true;
        clock.restart();
        cuiRebootWait pressed(30, m_editor->form.get());
        QCOMPARE(pressed.exec(), int(QDialog::Accepted));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(pressed.secondsLeft(), 30);
    }
};

QTEST_MAIN(tst_AdjustRead)
#include "tst_adjustread.moc"
