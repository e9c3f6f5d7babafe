// The editor's entry point: the process-wide objects in their order (settings store, text
// tables, event manager, controller), the single-instance decision, the splash and the
// main window. They are destroyed in the reverse order when the message loop ends.

#include "TForm1.h"
#include "TForm_Opening.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiCommandLine.h"
#include "cuiMessageBoxPrompt.h"
#include "cuiQtTranslation.h"
#include "indEnviron.h"
#include "indMain.h"
#include "qxVersion.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    // Help and version need no display: answered before Qt looks for one.
    if (cuiCommandLine::answerEarly(argc, argv)) return 0;

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vexo"));
    QApplication::setApplicationName(QStringLiteral("QX-T5200"));
    QApplication::setApplicationVersion(QStringLiteral(QX_VERSION));
    // The desktop entry the window belongs to (task bar icon and grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.vexo.qxt5200"));

    const QString keyPath = QStringLiteral("Software\\Vexo\\QX-T5200");
    auto environ = std::make_unique<indEnviron>(QStringLiteral("Vexo QX-T5200 APP Exclusive Mutex"),
                                                keyPath, keyPath);
    if (!environ->isFirstInstance()) {
        environ->flashFirstInstance();
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

    // A second start asks for the main window to be flashed, also while the splash is up.
    QObject::connect(&environ->instanceGuard(), &cmcSingleInstance::flashRequested, &app, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TForm1*>(w)) QApplication::alert(w);
    });

    const QStringList args = app.arguments();
    if (!args.contains(QStringLiteral("--no-splash"))) {
        TForm_Opening splash(environ->revision);
        splash.exec();
    }

    int status = 0;
    {
        TForm1 form(*controller);
        controller->CheckCommandLine(args);
        form.show();
        // "--tcp HOST:PORT" presets the link for this run; its value is no file name.
        if (controller->ApplyLinkOption(args))
            events->send(EV_Controller); // tool bar shows the link
        // Unsaved work of an editor that was killed or lost its power comes first; a file
        // named on the command line would ask to save it over again at once.
        controller->StartJournal();
        const bool restored = controller->OfferRecovery();
        for (int i = 1; i < args.size() && !restored; ++i) {
            const QString& a = args[i];
            if (a == QLatin1String("--tcp")) {
                ++i;
                continue;
            }
            // Options start with "-"; the maker switch is a word after "/", which an absolute
            // path is not.
            if (!a.startsWith(QLatin1Char('-')) &&
                a.toLower() != QLatin1String(indMain::MakerSwitch)) {
                controller->Open(a);
                break;
            }
        }
        // Start-up measurement: show the channel sheet painted, say so, and end.
        if (args.contains(QStringLiteral("--startup-probe"))) {
            QTimer::singleShot(0, &app, [&] {
                const bool shown =
                    controller->ShowSheetNow(QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0"));
                std::printf(shown ? "PAINTED\n" : "NO SHEET\n");
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
