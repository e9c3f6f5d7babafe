#pragma once
// The editor brought up as the program does it, for tests: a settings store on a folder of
// its own (never the user's settings), the event manager, the controller reading the data
// files beside the test programs, and the main form on a 1280 x 900 work area. Destroyed
// in the reverse order. Its helpers drive the editor as a user does: a sheet shown with the
// keyboard focus in its grid, a cell made current, a menu command run, the link pointed at a
// simulated radio.

#include "TForm1.h"
#include "cmcEvMan.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QAction;
class cloneSimProcess;
class cuiSheet;

struct EditorFixture {
    // guardName names the single-instance guard so that test programs running at the
    // same time do not meet.
    // configure, when given, adjusts the settings before the window is built.
    explicit EditorFixture(const QString& guardName,
                           const std::function<void(indEnviron&)>& configure = {});
    ~EditorFixture();

    QString path(const QString& name) const { return dir.filePath(name); }

    // The first bank of the channel list, the sheet most tests work on.
    static const QString channelSheet;

    // Shows the window active, the sheet named by key in it and the keyboard focus in its
    // grid; null when any of it did not happen.
    cuiSheet* showSheet(const QString& key = channelSheet);
    // Makes the selectable cell of label and index current; false when the sheet has none.
    static bool selectCell(cuiSheet& sheet, int32_t label, int32_t index);
    // The main menu's item for label and index, its state refreshed first.
    QAction* menuItem(int32_t label, int32_t index = 0) const;
    // Runs a menu command as a click on its item does (or only asks its state); returns the
    // item's state afterwards.
    static uint32_t runMenu(int32_t label, int32_t index = 0, bool execute = true);
    // Points the editor's link at the simulated radio: its pseudo-terminal's port, or TCP.
    void useSim(const cloneSimProcess& sim);
    // The clone backups kept so far, by name.
    static QStringList backups(const QString& pattern = QStringLiteral("*.icf"));

    QTemporaryDir dir;
    std::unique_ptr<indEnviron> env;
    std::unique_ptr<cmcEvMan> events;
    std::unique_ptr<indMain> main;
    std::unique_ptr<TForm1> form;
};
