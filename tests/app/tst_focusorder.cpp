// The editor's windows without a mouse: each dialog is opened as the program opens it and
// walked with the Tab key (Ctrl+Tab out of a sheet, whose Tab moves between cells). Every
// control that takes the keyboard is reached, in reading order, and is named for a screen
// reader; a label names the control it stands for and its mnemonic moves there; OK is the
// default button where Enter does not belong to a sheet or list; Escape closes the window.

#include "EditorFixture.h"
#include "ScriptedDialogs.h"
#include "ScriptedPrompt.h"
#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cuiAdjustPassword.h"
#include "cuiFleetWrite.h"
#include "cuiGrid.h"
#include "cuiLinkDialog.h"
#include "iuiWinAd.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <memory>

namespace {

// A control the keyboard can reach with Tab.
bool tabStop(const QWidget* w) {
    return w->isVisibleTo(w->window()) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
           !w->focusProxy();
}

QString describe(const QWidget* w) {
    if (!w) return QStringLiteral("<nothing>");
    const QAccessibleInterface* a = QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w));
    return QStringLiteral("%1 \"%2\"")
        .arg(QString::fromLatin1(w->metaObject()->className()),
             a ? a->text(QAccessible::Name) : QString());
}

// Whether b comes after a when the window is read line by line: below it, or on the same
// line (their heights overlap) further right.
bool readsAfter(const QRect& a, const QRect& b) {
    if (b.top() >= a.bottom()) return true;
    if (b.bottom() <= a.top()) return false;
    return b.left() >= a.left();
}

} // namespace

class tst_focusorder : public QObject {
    Q_OBJECT

    std::unique_ptr<EditorFixture> m_editor;
    indMain* m_main = nullptr;
    QPointer<QWidget> m_window;

    QWidget* form() { return m_main->mainForm(); }

    // Channels in use, so that a write and a comparison have something to work on.
    void channels() {
        cmcCellDispatch& cells = cmcCellDispatch::global();
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_FreqR, 0, QStringLiteral("7.1")));
        QVERIFY(cells.commit(CT_ChannelList, CL_ChL_Name, 0, QStringLiteral("Harbour")));
        QVERIFY(m_editor->showSheet());
    }

    // The window named by which, opened as the program opens it.
    QWidget* open(const QString& which) {
        if (which == QLatin1String("COM port"))
            return new cuiLinkDialog(cuiLinkDialog::ComPort, QStringLiteral("1"), form());
        if (which == QLatin1String("adapter address"))
            return new cuiLinkDialog(cuiLinkDialog::TcpAddress, QStringLiteral("192.168.0.10"),
                                     form());
        if (which == QLatin1String("adapter port"))
            return new cuiLinkDialog(cuiLinkDialog::TcpPort, QStringLiteral("5000"), form());
        if (which == QLatin1String("adjustment password"))
            return new cuiAdjustPassword(QStringLiteral("secret"), form());
        if (which == QLatin1String("adjustment values"))
            return new iuiWinAd(m_main->adjustValues(), form());
        channels();
        if (which == QLatin1String("several radios")) {
            m_editor->menuItem(CL_Menu_Clone_WriteFleet)->trigger();
            return m_main->fleetWindow();
        }
        if (which == QLatin1String("language")) {
            m_editor->menuItem(CL_Menu_Lang)->trigger();
            return m_main->languageWindow();
        }
        if (which == QLatin1String("repeater")) {
            m_editor->menuItem(CL_Menu_View_Repeater)->trigger();
            return m_main->repeaterWindow();
        }
        if (which == QLatin1String("compare")) {
            const QString saved = m_editor->path(QStringLiteral("plan.icf"));
            if (!m_main->Save(saved)) return nullptr;
            if (!cmcCellDispatch::global().commit(CT_ChannelList, CL_ChL_Mode, 0,
                                                  QStringLiteral("FSK")))
                return nullptr;
            ScriptedDialogs dialogs;
            dialogs.answers << saved;
            m_editor->menuItem(CL_Menu_File_Compare, indMain::CompareFile)->trigger();
            return m_main->compareWindow();
        }
        return nullptr;
    }

    // Presses the key that moves the focus on from where it is now.
    static void next(QWidget* focus) {
        if (qobject_cast<cuiGrid*>(focus))
            QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
        else
            QTest::keyClick(focus, Qt::Key_Tab);
    }

  private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanupTestCase() { QDir(indMain::backupFolder()).removeRecursively(); }
    void init() {
        m_editor = std::make_unique<EditorFixture>(QStringLiteral("qxt5200-focus-"));
        m_main = m_editor->main.get();
    }
    void cleanup() {
        delete m_window.data();
        m_editor.reset();
    }

    void tabReachesEveryControl_data() {
        QTest::addColumn<QString>("which");
        // Whether Enter presses a default button; in a window whose sheet or list takes Enter
        // no button is the default.
        QTest::addColumn<bool>("defaultButton");
        QTest::newRow("COM port") << "COM port" << true;
        QTest::newRow("adapter address") << "adapter address" << true;
        QTest::newRow("adapter port") << "adapter port" << true;
        QTest::newRow("adjustment password") << "adjustment password" << true;
        QTest::newRow("adjustment values") << "adjustment values" << false;
        QTest::newRow("several radios") << "several radios" << true;
        QTest::newRow("language") << "language" << false;
        QTest::newRow("repeater") << "repeater" << false;
        QTest::newRow("compare") << "compare" << false;
    }
    void tabReachesEveryControl() {
        QFETCH(QString, which);
        QFETCH(bool, defaultButton);
        ScriptedPrompt prompt;
        m_window = open(which);
        QVERIFY(m_window);
        QWidget* window = m_window;
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTRY_VERIFY(QApplication::focusWidget() &&
                    window->isAncestorOf(QApplication::focusWidget()));

        QList<QWidget*> stops;
        for (QWidget* w : window->findChildren<QWidget*>())
            if (tabStop(w)) stops << w;
        QVERIFY(!stops.isEmpty());

        // One round of Tab from the control the window opens on comes back to it.
        QWidget* first = QApplication::focusWidget();
        QList<QWidget*> walk{first};
        for (int i = 0; i < stops.size() * 2; ++i) {
            next(QApplication::focusWidget());
            QWidget* now = QApplication::focusWidget();
            QVERIFY2(
                now && window->isAncestorOf(now),
                qPrintable(QStringLiteral("Tab leaves the window after ") + describe(walk.last())));
            if (now == first) break;
            walk << now;
        }
        QCOMPARE(QApplication::focusWidget(), first);
        QStringList walked;
        for (QWidget* w : walk)
            walked << describe(w);
        for (QWidget* w : stops)
            QVERIFY2(walk.contains(w),
                     qPrintable(describe(w) + QStringLiteral(" is never reached: ") +
                                walked.join(QStringLiteral(", "))));
        QCOMPARE(walk.size(), stops.size());

        // In reading order, starting from the control nearest the top left.
        auto place = [window](QWidget* w) { return QRect(w->mapTo(window, QPoint()), w->size()); };
        qsizetype top = 0;
        for (qsizetype i = 1; i < walk.size(); ++i)
            if (!readsAfter(place(walk[top]), place(walk[i]))) top = i;
        for (qsizetype i = 1; i < walk.size(); ++i) {
            QWidget* a = walk[(top + i - 1) % walk.size()];
            QWidget* b = walk[(top + i) % walk.size()];
            QVERIFY2(readsAfter(place(a), place(b)),
                     qPrintable(describe(b) + QStringLiteral(" comes after ") + describe(a) +
                                QStringLiteral(": ") + walked.join(QStringLiteral(", "))));
        }

        // Each control is named.
        for (QWidget* w : walk) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY(a);
            QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(describe(w) + QStringLiteral(" has no name")));
        }

        // A label that stands for a control names it and its mnemonic goes there.
        for (QLabel* label : window->findChildren<QLabel*>()) {
            QWidget* buddy = label->buddy();
            if (!buddy || !label->isVisibleTo(window)) continue;
            const QString text = label->text();
            const qsizetype amp = text.indexOf(u'&');
            QVERIFY2(amp >= 0 && amp + 1 < text.size(),
                     qPrintable(QStringLiteral("no mnemonic in \"%1\"").arg(text)));
            QWidget* elsewhere = walk.first() == buddy ? walk.last() : walk.first();
            elsewhere->setFocus();
            QTest::keyClick(elsewhere, text[amp + 1].toLower().unicode(), Qt::AltModifier);
            QCOMPARE(QApplication::focusWidget(), buddy);
        }

        QList<QPushButton*> defaults;
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->isDefault()) defaults << b;
        QCOMPARE(defaults.size(), defaultButton ? 1 : 0);

        // Escape closes the window from where the keyboard started.
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Escape);
        QTRY_VERIFY(!m_window || !m_window->isVisible());
    }
};

QTEST_MAIN(tst_focusorder)
#include "tst_focusorder.moc"
