#include "EditorFixture.h"

#include "cloneSimProcess.h"
#include "cmcCellDispatch.h"
#include "cmcCellRequest.h"
#include "cmcComm.h"
#include "cuiGrid.h"
#include "cuiMenu.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTest>

const QString EditorFixture::channelSheet = QStringLiteral("[St_ChBank]GI_Sheet_Mch_,Bank 0");

EditorFixture::EditorFixture(const QString& guardName,
                             const std::function<void(indEnviron&)>& configure) {
    indEnviron::Options options;
    options.settingsFolder = dir.filePath(QStringLiteral("settings"));
    options.screenSize = QSize(1280, 900);
    const QString key = QStringLiteral("Software\\Vexo\\QX-T5200");
    env = std::make_unique<indEnviron>(
        guardName + QString::number(QCoreApplication::applicationPid()), key, key, options);
    env->currentDirectory = dir.path();
    if (configure) configure(*env);
    events = std::make_unique<cmcEvMan>();
    main = std::make_unique<indMain>(*env, QStringLiteral(QX_RUNTIME_DIR));
    form = std::make_unique<TForm1>(*main, QRect(0, 0, 1280, 900));
}

EditorFixture::~EditorFixture() {
    form.reset();
    main.reset();
    events.reset();
    env.reset();
}

cuiSheet* EditorFixture::showSheet(const QString& key) {
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get()) || !main->ShowSheetNow(key)) return nullptr;
    cuiSheet* sheet = main->sheetHost()->sheet();
    if (!sheet) return nullptr;
    sheet->grid()->setFocus();
    if (!QTest::qWaitFor([&] { return sheet->grid()->hasFocus(); })) return nullptr;
    return sheet;
}

bool EditorFixture::selectCell(cuiSheet& sheet, int32_t label, int32_t index) {
    for (int r = 0; r < sheet.rowCount(); ++r)
        for (int c = 0; c < sheet.colCount(); ++c) {
            const cuiCell& cell = sheet.CellObjectAt(c, r);
            if (cell.selectable && cell.label == label && cell.index == index) {
                sheet.SelectCell(c, r);
                return sheet.grid()->col() == c && sheet.grid()->row() == r;
            }
        }
    return false;
}

QAction* EditorFixture::menuItem(int32_t label, int32_t index) const {
    events->send(EV_MenuRefresh);
    for (QAction* a : main->menu()->actions()) {
        const cuiCell* cell = main->menu()->cellOf(a);
        if (cell && cell->label == label && cell->index == index) return a;
    }
    return nullptr;
}

uint32_t EditorFixture::runMenu(int32_t label, int32_t index, bool execute) {
    cmcCellRequest r(CT_Null, label, index);
    r.execute = execute;
    cmcCellDispatch::global().dispatch(r);
    return r.menuState;
}

void EditorFixture::useSim(const cloneSimProcess& sim) {
    if (sim.link() == cloneSimProcess::Tcp) {
        env->tcpLink = true;
        env->tcpAddress = QStringLiteral("127.0.0.1");
        env->tcpPort = sim.tcpPort();
    } else {
        main->selectComPort(cmcComm::PortNumberOf(sim.address()));
    }
}

QStringList EditorFixture::backups(const QString& pattern) {
    return QDir(indMain::backupFolder()).entryList({pattern}, QDir::Files, QDir::Name);
}
