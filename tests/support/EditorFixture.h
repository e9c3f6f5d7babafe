#pragma once
// The editor brought up as the program does it, for tests: a settings store on a folder of
// its own (never the user's settings), the event manager, the controller reading the data
// files beside the test programs, and the main form on a 1280 x 900 work area. Destroyed
// in the reverse order.

#include "TForm1.h"
#include "cmcEvMan.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

struct EditorFixture {
    // guardName names the single-instance guard so that test programs running at the
    // same time do not meet.
    // configure, when given, adjusts the settings before the window is built.
    explicit EditorFixture(const QString& guardName,
                           const std::function<void(indEnviron&)>& configure = {});
    ~EditorFixture();

    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    std::unique_ptr<indEnviron> env;
    std::unique_ptr<cmcEvMan> events;
    std::unique_ptr<indMain> main;
    std::unique_ptr<TForm1> form;
};
