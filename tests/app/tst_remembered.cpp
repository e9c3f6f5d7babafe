// Settings a technician sets once: the network adapter and the serial device chosen by
// its path, given in the editor's own dialogs, come back after a restart (a fresh settings
// store over the same settings file); a window closed maximised opens maximised; the
// service password is set, changed and removed in its dialog in the maker mode.

#include "EditorFixture.h"
#include "ScriptedPrompt.h"
#include "cmcCellNames.h"
#include "cmcCellObj.h"
#include "cmcGTex.h"
#include "cuiLinkDialog.h"
#include "cuiServicePassword.h"
#include "indEnviron.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

const QString kKey = QStringLiteral("Software\\Vexo\\QX-T5200");

// The user at the next modal dialog of the given kind: acts on it once it is up.
template <typename Dialog> void whenShown(std::function<void(Dialog&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* d = dynamic_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*d);
        }
    });
    timer->start();
}

// Types the text and presses Enter where the dialog has the keyboard, as the user does in
// the link dialogs: they open with their entry's text selected and the keyboard in it.
void typeAndEnter(cuiLinkDialog& d, const QString& text) {
    QWidget* keyboard = d.focusWidget();
    QCOMPARE(keyboard, static_cast<QWidget*>(d.edit()));
    QTest::keyClicks(keyboard, text);
    QTest::keyClick(keyboard, Qt::Key_Return);
}

} // namespace

class tst_Remembered : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;

    // The program started again on the same settings file: a fresh store.
    std::unique_ptr<indEnviron> restarted() {
        static int starts = 0;
        m_editor->env->save();
        indEnviron::Options options;
        options.settingsFolder = m_editor->dir.filePath(QStringLiteral("settings"));
        options.screenSize = QSize(1280, 900);
        return std::make_unique<indEnviron>(QStringLiteral("qxt5200-remembered-again-%1-%2")
                                                .arg(QCoreApplication::applicationPid())
                                                .arg(++starts),
                                            kKey, kKey, options);
    }

    // The password the service password dialog is given: its entries typed in order (the
    // current one only when it asks for it), then OK.
    void answerPasswordDialog(const QStringList& entries) {
        whenShown<cuiServicePassword>([entries](cuiServicePassword& d) {
            QStringList left = entries;
            for (QLineEdit* edit : {d.currentEdit(), d.newEdit(), d.repeatEdit()})
                if (edit) QTest::keyClicks(edit, left.takeFirst());
            QTest::mouseClick(d.okButton(), Qt::LeftButton);
            if (d.isVisible()) d.cancelButton()->click(); // refused: never left open
        });
    }

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-remembered-"));
        QVERIFY(m_editor->env->isFirstInstance());
    }
    void cleanup() { m_editor.reset(); }

    // Before the user sets an adapter the adapter's default address stays; the address,
    // port and device path typed into the link dialogs come back after a restart.
    void adapterAndDeviceComeBack() {
        QCOMPARE(m_editor->env->tcpAddress, QString(indEnviron::DefaultTcpAddress));
        QCOMPARE(restarted()->tcpAddress, QString(indEnviron::DefaultTcpAddress));

        m_editor->form->show();
        whenShown<cuiLinkDialog>([](cuiLinkDialog& d) { typeAndEnter(d, "10.20.30.40"); });
        EditorFixture::runMenu(CL_Menu_Tcpip_Address);
        whenShown<cuiLinkDialog>([](cuiLinkDialog& d) { typeAndEnter(d, "4001"); });
        EditorFixture::runMenu(CL_Menu_Tcpip_Port);
#ifdef Q_OS_WIN
        // The box takes the COM number alone: the number is kept, there is no device path.
        whenShown<cuiLinkDialog>([](cuiLinkDialog& d) { typeAndEnter(d, "7"); });
        EditorFixture::runMenu(CL_Menu_Port_Usb);
        QCOMPARE(m_editor->env->comPort, 7);
        QVERIFY(m_editor->env->comDevice.isEmpty());
#else
        whenShown<cuiLinkDialog>(
            [](cuiLinkDialog& d) { typeAndEnter(d, "/dev/ttyQX-remembered"); });
        EditorFixture::runMenu(CL_Menu_Port_Usb);
        QCOMPARE(m_editor->env->comDevice, QStringLiteral("/dev/ttyQX-remembered"));
#endif

        auto again = restarted();
        QCOMPARE(again->tcpAddress, QStringLiteral("10.20.30.40"));
        QCOMPARE(again->tcpPort, 4001);
#ifdef Q_OS_WIN
        QCOMPARE(again->comPort, 7);
        QVERIFY(again->comDevice.isEmpty());
#else
        QCOMPARE(again->comDevice, QStringLiteral("/dev/ttyQX-remembered"));
#endif

        // A port chosen by its number is no device path.
        m_editor->main->selectComPort(2);
        QVERIFY(restarted()->comDevice.isEmpty());
    }

    // Closed maximised, the main window opens maximised (over its normal rectangle).
    void maximisedWindowComesBack() {
        m_editor->form->showMaximized();
        QTRY_VERIFY(m_editor->form->isMaximized());
        QVERIFY(m_editor->form->close());
        QVERIFY(restarted()->windowMaximized);
        m_editor.reset(); // one editor at a time

        EditorFixture next(QStringLiteral("qxt5200-remembered-max-"),
                           [](indEnviron& env) { env.windowMaximized = true; });
        next.form->show();
        QTRY_VERIFY(next.form->isMaximized());
    }

    // In the maker mode, Options > Service Password sets a password, asks for it before
    // changing it (a wrong one is told and the dialog stays), and removes it when both new
    // entries are left empty; the settings keep what it set.
    void servicePasswordSetAndCleared() {
        ScriptedPrompt prompt;
        QVERIFY(EditorFixture::runMenu(CL_Menu_Opt_ServicePassword, 0, false) &
                cmcCellObj::F_Hidden); // not outside the maker mode
        m_editor->main->ActivateMakerMode();
        m_editor->form->show();

        answerPasswordDialog({"svc42", "svc42"});
        EditorFixture::runMenu(CL_Menu_Opt_ServicePassword);
        QCOMPARE(m_editor->env->adjustModeWord, QStringLiteral("svc42"));
        QCOMPARE(restarted()->adjustModeWord, QStringLiteral("svc42"));

        // A wrong current password: told, and the dialog stays for another try with the
        // keyboard in that entry. What the user saw is checked once the dialog is closed.
        bool askedCurrent = false, stayed = false, focusKept = false;
        QStringList told;
        whenShown<cuiServicePassword>([&](cuiServicePassword& d) {
            askedCurrent = d.currentEdit() != nullptr;
            if (askedCurrent) {
                const qsizetype before = prompt.texts().size();
                QTest::keyClicks(d.currentEdit(), "wrong");
                QTest::mouseClick(d.okButton(), Qt::LeftButton);
                stayed = d.isVisible();
                told = prompt.texts().mid(before);
                focusKept = d.focusWidget() == d.currentEdit();
                QTest::keyClicks(d.currentEdit(), "svc42");
            }
            QTest::mouseClick(d.okButton(), Qt::LeftButton); // both new entries empty
            if (d.isVisible()) d.cancelButton()->click();
        });
        EditorFixture::runMenu(CL_Menu_Opt_ServicePassword);
        QVERIFY(askedCurrent);
        QVERIFY(stayed);
        QCOMPARE(told, QStringList{cmcGTex::mainTable().getTextBlock(
                           QStringLiteral("GI_AppInd_Opt_SvcPwd_WrongCurrent"))});
        QVERIFY(focusKept);
        QVERIFY(m_editor->env->adjustModeWord.isEmpty());
        QVERIFY(restarted()->adjustModeWord.isEmpty());
    }
};

QTEST_MAIN(tst_Remembered)
#include "tst_remembered.moc"
