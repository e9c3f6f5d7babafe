#include "TForm1.h"

#include "cmcGTex.h"
#include "cmcTask.h"
#include "cuiIcons.h"
#include "cuiWindowClamp.h"
#include "indEnviron.h"
#include "indMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>

TForm1::TForm1(indMain& controller, const QRect& workArea) : m_controller(controller) {
    setWindowTitle(cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")));
    setMinimumSize(MinWidth, MinHeight);
    setWindowIcon(
        QIcon(QPixmap::fromImage(cuiIcons::draw(QStringLiteral("imgIcon_Tree_Rig"), 64))));

    indEnviron& env = controller.environ();
    QRect area = workArea;
    if (!area.isValid() && QGuiApplication::primaryScreen())
        area = QGuiApplication::primaryScreen()->availableGeometry();
    // The stored numbers may be anything: they are not put into a rectangle before the
    // clamp has bounded them.
    const QRect placed =
        cuiWindowClamp::apply(env.windowLeft, env.windowTop, env.windowWidth, env.windowHeight,
                              area.isValid() ? area : QRect(0, 0, 1024, 768));
    // The stored rectangle is the window's own area without the window manager's frame,
    // as the main window stores it on closing: restored the same way, it stays put.
    setGeometry(QRect(placed.topLeft(), QSize(std::max(placed.width(), MinWidth),
                                              std::max(placed.height(), MinHeight))));
    // Closed maximised, it opens maximised; the rectangle is where it goes back to.
    if (env.windowMaximized) setWindowState(windowState() | Qt::WindowMaximized);

    m_task = new cmcTask;
    m_task->setInterval(-1);

    controller.attach(this, cuiIcons::treeList(), cuiIcons::toolBarList());
    controller.AddFindActions();
}

TForm1::~TForm1() {
    m_controller.DetachForm();
    cmcTask::release(m_task);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!isEnabled() || !m_controller.CloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}
