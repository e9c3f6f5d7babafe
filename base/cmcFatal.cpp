#include "cmcFatal.h"

#include "cmcPrompt.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace {
cmcFatal::EndingHook& endingHook() {
    static cmcFatal::EndingHook hook;
    return hook;
}
cmcFatal::RecoveryHook& recoveryHook() {
    static cmcFatal::RecoveryHook hook;
    return hook;
}
bool& showMessage() {
    static bool show = true;
    return show;
}
} // namespace

namespace cmcFatal {

QString executableName() {
    if (QCoreApplication::instance()) {
        const QString path = QCoreApplication::applicationFilePath();
        if (!path.isEmpty()) return QFileInfo(path).fileName();
    }
    // Before the application object exists, the process's own image name.
    QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists()) return QFileInfo(self.symLinkTarget()).fileName();
    return QStringLiteral("qxt5200");
}

void stop(const QString& fault) {
    // A fault while the recovery file is written must not come back here for ever.
    static bool recovering = false;
    QString text = fault;
    if (recoveryHook() && !recovering) {
        recovering = true;
        const QString kept = recoveryHook()();
        recovering = false;
        if (!kept.isEmpty())
            text += QStringLiteral("\n\nThe unsaved changes were saved in\n%1").arg(kept);
    }
    if (showMessage()) cmcPrompt::tell(text, executableName(), cmcPromptIcon::Error);
    if (endingHook()) endingHook()(text);
    std::fprintf(stderr, "Abnormal program termination\n");
    std::fflush(stderr);
    std::_Exit(3);
}

void setEndingHook(EndingHook hook) {
    endingHook() = std::move(hook);
}

void setShowMessage(bool show) {
    showMessage() = show;
}

void setRecoveryHook(RecoveryHook hook) {
    recoveryHook() = std::move(hook);
}

} // namespace cmcFatal
