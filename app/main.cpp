// The editor's entry point: the process-wide objects in their order (settings store, text
// tables, event manager, controller), the single-instance decision, the splash and the
// main window. They are destroyed in the reverse order when the message loop ends.

#include "TForm1.h"
#include "TForm_Opening.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPortLookup.h"
#include "cmcPrompt.h"
#include "cuiCommandLine.h"
#include "cuiHandedFiles.h"
#include "cuiMessageBoxPrompt.h"
#include "cuiQtTranslation.h"
#include "cuiStartupCheck.h"
#include "indEnviron.h"
#include "indMain.h"
#include "qxVersion.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

namespace {
// Calls its work once, from the event loop, after the first paint of any widget has ended.
class AfterFirstPaint : public QObject {
  public:
    explicit AfterFirstPaint(std::function<void()> work) : m_work(std::move(work)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && m_work) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, this, std::exchange(m_work, {}));
        }
        return false;
    }

  private:
    std::function<void()> m_work;
};

// The clone file named on the command line, or nothing. Options start with "-" ("--tcp"
// takes the next argument); the maker switch is a word after "/", which an absolute path
// is not.
QString fileArgument(const QStringList& args) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--tcp")) {
            ++i;
            continue;
        }
        if (!a.startsWith(QLatin1Char('-')) && a.toLower() != QLatin1String(indMain::MakerSwitch))
            return a;
    }
    return QString();
}
} // namespace

int main(int argc, char** argv) {
    // Help and version need no display: answered before Qt looks for one.
    if (cuiCommandLine::answerEarly(argc, argv)) return 0;
    // The serial devices (slow to list) are looked for once the window has been painted.
    cmcPortLookup::defer();

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vexo"));
    QApplication::setApplicationName(QStringLiteral("QX-T5200"));
    QApplication::setApplicationVersion(QStringLiteral(QX_VERSION));
    // The desktop entry the window belongs to (task bar icon and grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.vexo.qxt5200"));

    const QString keyPath = QStringLiteral("Software\\Vexo\\QX-T5200");
    auto environ = std::make_unique<indEnviron>(QStringLiteral("Vexo QX-T5200 APP Exclusive Mutex"),
                                                keyPath, keyPath);
    const QStringList args = app.arguments();
    if (!environ->isFirstInstance()) {
        // A file given to a second start (a double click in a file manager) is opened by
        // the running editor; the path is taken from here, where a relative one belongs.
        const QString file = fileArgument(args);
        if (file.isEmpty())
            environ->flashFirstInstance();
        else
            environ->openInFirstInstance(QFileInfo(file).absoluteFilePath());
        return 0;
    }

    cuiMessageBoxPrompt prompt;
    cmcPrompt::install(&prompt);

    // The text tables are process-wide statics; the controller opens them.
    auto events = std::make_unique<cmcEvMan>();
    auto controller = std::make_unique<indMain>(*environ);
    cuiQtTranslation::applyFromMainTable();
    // An installation without a revision of its own shows the program's version.
    if (environ->revision.isEmpty()) environ->revision = QStringLiteral(QX_VERSION);

    // A second start asks for the main window to be flashed or hands it a file; a request
    // that comes while the splash is up waits for the window.
    cuiHandedFiles handed(environ->instanceGuard(),
                          [&controller](const QString& path) { return controller->Open(path); });

    if (!args.contains(QStringLiteral("--no-splash"))) {
        TForm_Opening splash(environ->revision);
        splash.exec();
    }

    int status = 0;
    {
        TForm1 form(*controller);
        controller->CheckCommandLine(args);
        form.show();
        AfterFirstPaint lookForPorts(&cmcPortLookup::begin);
        // "--tcp HOST:PORT" presets the link for this run; its value is no file name.
        if (controller->ApplyLinkOption(args))
            events->send(EV_Controller); // tool bar shows the link
        // Unsaved work of an editor that was killed or lost its power comes first; a file
        // named on the command line would ask to save it over again at once.
        controller->StartJournal();
        const bool restored = controller->OfferRecovery();
        if (const QString file = fileArgument(args); !file.isEmpty() && !restored)
            controller->Open(file);
        handed.setWindow(&form);
        // Start-up measurement: show the channel sheet painted, say so, and end.
        if (args.contains(QStringLiteral("--startup-probe"))) {
            QTimer::singleShot(0, &app, [&] {
                const bool shown =
                    controller->ShowSheetNow(QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0"));
                // The overlay check's share of the start: its time, and whether it was
                // done in full or skipped for files already found sound.
                const cuiStartupCheck* check = cuiStartupCheck::last();
                std::printf("%s check %.2f ms %s\n", shown ? "PAINTED" : "NO SHEET",
                            check ? check->milliseconds() : 0.0,
                            check && check->skipped() ? "skipped" : "full");
                std::fflush(stdout);
                app.quit();
            });
        }
        status = app.exec();
        // The window closed after its question about unsaved changes: a clean exit.
        controller->EndJournal();
    }

    controller.reset();
    events.reset();
    cmcPrompt::install(nullptr);
    environ.reset(); // writes the settings back
    Q_UNUSED(status);
    return 0;
}
