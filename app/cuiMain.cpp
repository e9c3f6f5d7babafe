#include "cuiMain.h"

#include "cmcCellDispatch.h"
#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcOverlayCheck.h"
#include "cmcOverlayFiles.h"
#include "cmcPrompt.h"
#include "cmcTask.h"
#include "cuiAboutBox.h"
#include "cuiChangeNames.h"
#include "cuiDebugCompare.h"
#include "cuiDefinitionCheck.h"
#include "cuiDispatchSource.h"
#include "cuiEeDebugWin.h"
#include "cuiFreeDebugWin.h"
#include "cuiGrid.h"
#include "cuiMainTree.h"
#include "cuiMenu.h"
#include "cuiSheet.h"
#include "cuiSheetHost.h"
#include "cuiSheetLayout.h"
#include "cuiStartupCheck.h"
#include "cuiToolBar.h"
#include "cuiWindowPlaces.h"
#include "imcRowText.h"
#include "indEnviron.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
cuiMain* g_instance = nullptr;
}

cuiMain* cuiMain::instance() {
    return g_instance;
}

cuiMain::cuiMain(const QString& modelShortName, int imageSize, indEnviron& environ,
                 const QString& dataDir)
    : m_modelShortName(modelShortName), m_imageSize(imageSize), m_env(environ), m_doc(imageSize),
      m_working(m_doc.working()), m_second(m_doc.second()), m_snapshot(m_doc.saved()),
      m_loaded(m_doc.loaded()), m_tracker(m_doc.tracker()) {
    g_instance = this;
    m_dataDir = dataDir.isEmpty() ? cmcOverlayFiles::executableDir() : dataDir;
    if (!m_dataDir.endsWith(QLatin1Char('/'))) m_dataDir += QLatin1Char('/');

    cmcOverlayFiles overlays;
    overlays.open(m_dataDir, m_modelShortName, m_env.language);
    // A damaged overlay stops the program now, before any work can be lost to it; files
    // already found sound are not checked again.
    cuiStartupCheck check;
    check.run(
        {cmcGTex::mainTable().fileName(), cmcHelpGTex::helpTable().fileName(),
         cmcGTex::languageTable().fileName()},
        [] {
            const QString missing =
                cmcOverlayCheck::firstMissing(cmcOverlayCheck::codeKeys(), cmcGTex::mainTable(),
                                              cmcHelpGTex::helpTable(), cmcGTex::languageTable());
            if (!missing.isEmpty())
                cmcFatal::stop(
                    QStringLiteral("GTEX Error !\nThe index '%1' was not found in '%2'.")
                        .arg(missing, QDir::toNativeSeparators(cmcGTex::mainTable().fileName())));
            // Numbers out of range in a sheet's definition stop the program here,
            // naming file, key and line, instead of when the sheet is opened.
            cuiDefinitionCheck::stopOnFault(cmcGTex::mainTable().fileName());
            cuiSheetLayout::checkDefinitions(cmcGTex::mainTable());
        });

    m_debug.SetSize(imageSize);
    m_tracker.setTitleRefresh(&cuiMain::titleRefresh, this);

    m_currentDir = m_env.currentDirectory;
    // The documents folder where there is one, else the home folder: a folder that does not
    // exist would show up in the file dialogs as a file name.
    if (m_currentDir.isEmpty() || !QDir(m_currentDir).exists())
        m_currentDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (m_currentDir.isEmpty() || !QDir(m_currentDir).exists()) m_currentDir = QDir::homePath();

    m_shellTask = new cmcTask;
    m_shellTask->setCallback(&cuiMain::shellTaskCallback, this);
    m_shellTask->setInterval(-1);
    if (auto* ev = cmcEvMan::instance()) ev->attach(&cuiMain::eventCallback, this);
}

cuiMain::~cuiMain() {
    DetachForm();
    if (cmcCellDispatch::global().image() == &m_working) {
        cmcCellDispatch::global().setImage(nullptr);
        cmcCellDispatch::global().setComparisonImage(nullptr);
        cmcCellDispatch::global().setChangeListener(nullptr, nullptr);
    }
    if (cuiCellSource::global() == m_source.get()) cuiCellSource::setGlobal(nullptr);
    cmcTask::release(m_shellTask);
    if (auto* ev = cmcEvMan::instance()) ev->detach(&cuiMain::eventCallback, this);
    if (g_instance == this) g_instance = nullptr;
}

void cuiMain::attach(QMainWindow* form, const QList<QPixmap>& treeImages,
                     const QList<QPixmap>& toolBarImages) {
    m_form = form;
    m_treeImages = treeImages;
    m_toolBarImages = toolBarImages;
    BuildWindow();
}

void cuiMain::BuildWindow() {
    // This product knows one model.
    if (m_env.modelType != 0) m_env.modelType = 0;

    if (!LoadInitialData(m_env.modelType)) return;
    m_working = m_loaded;
    m_second = m_working;
    MarkSaved();
    m_debug = m_loaded;
    m_doc.clearHistory();

    // Every cell of every sheet, menu and tool bar reads and edits the working image.
    cmcCellDispatch::global().setImage(&m_working);
    cmcCellDispatch::global().setComparisonImage(&m_debug);
    cmcCellDispatch::global().setChangeListener(&cuiMain::cellChanged, this);
    m_source = std::make_unique<cuiDispatchSource>(&cmcCellDispatch::global());
    cuiCellSource::setGlobal(m_source.get());
    // Rows copied from a list go onto the desktop's clipboard as text too.
    imcRowText::setClipboard(
        [] { return QGuiApplication::clipboard()->text(); },
        [](const QString& text) { QGuiApplication::clipboard()->setText(text); });

    if (m_form) {
        m_splitter = new QSplitter(Qt::Horizontal);
        m_splitter->setHandleWidth(3);
        m_splitter->setChildrenCollapsible(false);
        m_leftPanel = new QWidget;
        m_leftPanel->setMinimumWidth(MinSplitter);
        m_leftPanel->setLayout(new QVBoxLayout);
        m_leftPanel->layout()->setContentsMargins(2, 2, 2, 2);
        m_rightPanel = new QWidget;
        m_rightPanel->setLayout(new QVBoxLayout);
        m_rightPanel->layout()->setContentsMargins(2, 2, 2, 2);
        m_splitter->addWidget(m_leftPanel);
        m_splitter->addWidget(m_rightPanel);
        m_splitter->setStretchFactor(1, 1);
        m_form->setCentralWidget(m_splitter);
        const int left = std::max(MinSplitter, m_env.splitterV);
        m_splitter->setSizes({left, std::max(1, m_form->width() - left)});

        m_statusPanel = new QLabel;
        m_statusPanel->setMinimumWidth(100);
        m_statusPanel->setAutoFillBackground(true);
        m_form->statusBar()->addWidget(m_statusPanel, 1);
        m_form->statusBar()->setAccessibleName(
            cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AccessNames"), 1));
        SetStatus(QString(), qApp->palette().color(QPalette::WindowText),
                  qApp->palette().color(QPalette::Button));

        m_treeImageVec.assign(m_treeImages.begin(), m_treeImages.end());
        m_toolImageVec.assign(m_toolBarImages.begin(), m_toolBarImages.end());
        cmcGTex& text = cmcGTex::mainTable();
        BuildMenus();
        addUndoActions();

        m_host = std::make_unique<cuiSheetHost>(m_rightPanel, text);
        m_windowPlaces = std::make_unique<cuiWindowPlaces>(m_env);
        BuildTree();
    }

    if (auto* ev = cmcEvMan::instance()) ev->send(EV_WindowBuilt);

    // The memory map must fit the image.
    if (m_imageSize < MemoryMapEnd())
        cmcFatal::stop(QStringLiteral("Self Check Error.\nEEPROM Map is too large."));

    UpdateCaption();
    m_shellTask->setInterval(ShellTaskMs);
}

void cuiMain::BuildMenus() {
    if (!m_form) return;
    cmcGTex& text = cmcGTex::mainTable();
    m_form->menuBar()->clear();
    m_menu = std::make_unique<cuiMenu>(m_form, text, QStringLiteral("GI_Menu_Main"), nullptr,
                                       &m_toolImageVec);
    cuiMenu::addMnemonics(m_menu->menu()->actions());
    for (QAction* a : m_menu->menu()->actions())
        m_form->menuBar()->addAction(a);
    // The Edit menu carries the current cell's pop-up items: they act on that cell, as in
    // its pop-up menu; every other item is a command of its own.
    m_menu->setOwnerProvider([this]() -> const cuiCell* {
        cuiSheet* sheet = m_host ? m_host->sheet() : nullptr;
        if (!sheet || !sheet->grid() || sheet->grid()->col() >= sheet->colCount() ||
            sheet->grid()->row() >= sheet->rowCount())
            return nullptr;
        // A heading or a text is no cell the items could act on.
        const cuiCell& cell = sheet->CellObjectAt(sheet->grid()->col(), sheet->grid()->row());
        return cell.selectable && cell.hasLabel() ? &cell : nullptr;
    });
    m_menu->setClickHandler([this](const cuiCell& item) { MenuItemClicked(item); });
    // Without a current cell's pop-up items (nothing clicked yet, or the focus elsewhere)
    // the Edit menu still opens and shows what it can do, disabled where it cannot act.
    m_menu->AddItems(CL_Menu_Edit_Top, QString::fromLatin1(IdleEditMenu));
    if (QAction* edit = m_menu->actionOf(CL_Menu_Edit_Top); edit && edit->menu()) {
        connect(edit->menu(), &QMenu::aboutToShow, this, [this, menu = edit->menu()] {
            if (!menu->actions().isEmpty() || !m_menu) return;
            m_menu->AddItems(CL_Menu_Edit_Top, QString::fromLatin1(IdleEditMenu));
            m_menu->RefreshStates();
        });
    }
    if (m_toolBar) m_form->removeToolBar(m_toolBar->bar());
    m_toolBar = std::make_unique<cuiToolBar>(m_form, text, QStringLiteral("GI_ToolBar_Main"),
                                             nullptr, &m_toolImageVec);
    m_toolBar->bar()->setObjectName(QStringLiteral("MainToolBar"));
    m_toolBar->bar()->setMovable(false);
    m_form->addToolBar(m_toolBar->bar());
    m_toolBar->bar()->setVisible(m_env.toolbarVisible);
}

void cuiMain::MenuItemClicked(const cuiCell& item) {
    // The command may close the window and take the menu (and item) with it: nothing of
    // them is used afterwards but through the members.
    cuiSheet* sheet = m_host ? m_host->sheet() : nullptr;
    // Sort and the other list commands of the Edit menu act on the cell's list and its
    // selected rows, as its pop-up menu's items do.
    const bool cellCommand =
        (item.label >= CL_PMenu_NoItem && item.label <= CL_PMenu_AllDeselect) ||
        (item.label >= CL_Menu_Edit_Find && item.label <= CL_Menu_Edit_Compact);
    if (cellCommand && sheet && sheet->grid()) {
        sheet->ExecuteCellCommand(sheet->grid()->col(), sheet->grid()->row(), 0, item.label,
                                  QString());
    } else if (cuiCellSource* source = cuiCellSource::global()) {
        source->activate(item, nullptr);
    }
    if (m_menu) m_menu->RefreshStates();
}

void cuiMain::DetachForm() {
    if (m_shellTask) m_shellTask->setInterval(-1);
    delete m_eeDebugWin.data();
    delete m_freeDebugWin.data();
    m_host.reset();
    delete m_tree.data();
    m_menu.reset();
    m_toolBar.reset();
    m_form = nullptr;
}

void cuiMain::BuildTree() {
    if (!m_form || !m_leftPanel) return;
    rememberPlace();
    if (m_host) m_host->setTree(nullptr);
    if (m_tree) {
        m_leftPanel->layout()->removeWidget(m_tree->view());
        delete m_tree.data();
    }
    cmcGTex& text = cmcGTex::mainTable();
    m_tree = new cuiMainTree(m_leftPanel, text, &m_treeImageVec);
    // The tree's name, also as its (hidden) column's heading, which readers otherwise hear
    // as "1".
    const QString treeName = text.getText(QStringLiteral("GI_Sys_AccessNames"), 0);
    m_tree->view()->setAccessibleName(treeName);
    m_tree->view()->setHeaderLabel(treeName);
    m_tree->view()->hide();
    m_tree->BuildTree();
    m_leftPanel->layout()->addWidget(m_tree->view());
    m_tree->setChangeDelay(
        text.getText(QStringLiteral("GI_Sys_TreeChangeDelay")).trimmed().toInt());
    connect(m_tree, &cuiTree::nodeChanged, this, &cuiMain::nodeChanged);
    connect(m_tree->view(), &QTreeWidget::itemExpanded, this, [this] { RefreshAfterChange(); });
    connect(m_tree->view(), &QTreeWidget::itemCollapsed, this, [this] { RefreshAfterChange(); });
    if (m_host) {
        m_host->setTree(m_tree);
        m_host->CloseSheet();
    }
    RefreshAfterChange();
    m_tree->view()->show();
    if (auto* ev = cmcEvMan::instance()) ev->send(EV_TreeAdjust);
    selectPlaceNode();
}

void cuiMain::nodeChanged(QTreeWidgetItem* node) {
    if (!m_host || !m_tree || !node) return;
    const QString command = m_tree->CommandOf(node);
    if (command.isEmpty()) return;
    if (m_host->sheet() && m_host->sheet()->command() == command) return;
    m_host->OpenSheet(command);
    restorePlace(command);
}

bool cuiMain::ShowSheetNow(const QString& command) {
    if (!m_tree || !m_host) return false;
    QTreeWidgetItem* node = m_tree->FindNodeByCommand(command);
    if (!node) return false;
    m_tree->view()->setCurrentItem(node);
    nodeChanged(node);
    if (!m_host->sheet()) return false;
    if (QWidget* frame = m_host->sheet()->frame()) frame->repaint();
    return true;
}

void cuiMain::cellChanged(void* context, const cmcCellRequest& request) {
    auto* self = static_cast<cuiMain*>(context);
    cuiSheet* sheet = self->m_host ? self->m_host->sheet() : nullptr;
    self->ImageChanged(cuiChangeNames::of(request, sheet, cmcGTex::mainTable()),
                       cuiChangeNames::mergeKey(request));
}

void cuiMain::ImageChanged(const QString& name, const QString& mergeKey) {
    m_doc.recordChange(name, mergeKey);
    StartChangeDelay();
    m_tracker.isModified(); // refreshes the caption's mark on the first difference
}

void cuiMain::addUndoActions() {
    auto* undo = new QAction(tr("&Undo"), m_form);
    undo->setShortcut(QKeySequence::Undo);
    connect(undo, &QAction::triggered, this, [this] { Undo(); });
    auto* redo = new QAction(tr("&Redo"), m_form);
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo});
    connect(redo, &QAction::triggered, this, [this] { Redo(); });
    m_form->addAction(undo);
    m_form->addAction(redo);
    // The Edit menu and the cells' pop-up menus carry the items (menu labels); these give
    // the keys wherever the focus is in the window.
}

void cuiMain::Undo() {
    if (!m_doc.undo()) return;
    RefreshViews();
}

void cuiMain::Redo() {
    if (!m_doc.redo()) return;
    RefreshViews();
}

void cuiMain::ClearUndo() {
    m_doc.clearHistory();
    if (auto* dump = dynamic_cast<cuiEeDebugWin*>(m_eeDebugWin.data())) dump->forgetTypedBytes();
}

void cuiMain::RefreshViews() {
    StartChangeDelay();
    // Undone back to the saved state: the document is no longer modified.
    if (m_working == m_snapshot)
        MarkSaved();
    else if (!m_tracker.isModified())
        UpdateCaption();
    if (auto* ev = cmcEvMan::instance()) {
        ev->send(EV_RepaintAll);
        ev->send(EV_MenuRefresh);
    }
}

void cuiMain::ShowAbout() {
    cuiAboutBox box(*this, m_env.revision, m_form);
    box.exec();
}

void cuiMain::WorkingImageChanged() {
    ImageChanged();
    RefreshViews();
}

void cuiMain::openMemoryDump() {
    if (m_eeDebugWin) {
        m_eeDebugWin->raise();
        m_eeDebugWin->activateWindow();
        return;
    }
    auto* window = new cuiEeDebugWin(*this, m_form);
    m_eeDebugWin = window;
    window->show();
}

void cuiMain::openFreeDebugWindow() {
    if (m_freeDebugWin) {
        m_freeDebugWin->raise();
        m_freeDebugWin->activateWindow();
        return;
    }
    auto* window = new cuiFreeDebugWin(m_form);
    m_freeDebugWin = window;
    window->show();
}

int cuiMain::CheckImageIdentity(const cmcEeprom&, bool) const {
    return 0;
}

void cuiMain::PrepareImage(cmcEeprom&, bool) {}

void cuiMain::UpdateCaption() {
    const QString caption = documentTitle() + QStringLiteral("[*] - ") +
                            cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle"));
    if (m_form) {
        m_form->setWindowTitle(caption);
        m_form->setWindowModified(m_tracker.modifiedFlag());
    }
}

void cuiMain::StartChangeDelay() {
    if (!m_changeDelay) m_changeDelay = std::make_unique<cmcTick>();
    m_changeDelay->start(ChangeDelayMs);
}

void cuiMain::ShellTick() {
    // The sheet area never stays empty: show the selected node's sheet.
    if (m_host && !m_host->sheet() && m_form && m_form->isVisible() && m_tree)
        nodeChanged(m_tree->view()->currentItem());
    if (m_changeDelay && m_changeDelay->remaining() == 0) {
        m_changeDelay.reset();
        RefreshAfterChange();
        if (auto* ev = cmcEvMan::instance()) ev->post(EV_ChangeSettled);
    }
}

QStringList cuiMain::DebugCompareLines() {
    QStringList lines;
    if (m_working.GetSize() != m_debug.GetSize()) {
        lines << QStringLiteral("Not match size !");
    } else {
        for (int32_t a = 0; a < m_working.GetSize(); ++a) {
            const uint8_t was = m_debug.GetByte(a), now = m_working.GetByte(a);
            if (was != now)
                lines << QString::asprintf("%04X : %02X -> %02X", unsigned(a), unsigned(was),
                                           unsigned(now));
        }
    }
    m_debug = m_working;
    return lines;
}

void cuiMain::SetStatus(const QString& text, const QColor& textColour, const QColor& background) {
    m_statusText = text;
    if (!m_statusPanel) return;
    QPalette pal = m_statusPanel->palette();
    pal.setColor(QPalette::WindowText, textColour);
    pal.setColor(QPalette::Window, background);
    m_statusPanel->setPalette(pal);
    m_statusPanel->setText(text);
}

void cuiMain::StorePlacement() {
    if (!m_form) return;
    const QRect r =
        m_form->normalGeometry().isValid() ? m_form->normalGeometry() : m_form->geometry();
    m_env.windowLeft = r.left();
    m_env.windowTop = r.top();
    m_env.windowWidth = r.width();
    m_env.windowHeight = r.height();
    m_env.windowMaximized = m_form->isMaximized();
    if (m_leftPanel) m_env.splitterV = m_leftPanel->width();
    if (m_windowPlaces) m_windowPlaces->storeShown();
}

void cuiMain::OnEvent(const cmcEvent* event) {
    switch (event->code) {
    case EV_WindowBuilt:
        if (auto* ev = cmcEvMan::instance()) {
            ev->send(EV_MenuRefresh);
            ev->send(EV_Controller);
        }
        break;
    case EV_StatusText:
        if (const auto status = cmcEvStatusText::read(event))
            SetStatus(status->text, QColor::fromRgb(QRgb(status->textRgb)),
                      QColor::fromRgb(QRgb(status->backRgb)));
        break;
    case EV_CopyImage:
        m_debug = m_working;
        break;
    // Modal windows open after the event step: a nested loop inside it would hold back
    // every later event until the window closed.
    case EV_About:
        QTimer::singleShot(0, this, [this] { ShowAbout(); });
        break;
    case EV_DebugCompare:
        QTimer::singleShot(0, this, [this] { cuiDebugCompare::show(*this, m_form); });
        break;
    case EV_DebugWindow:
        openFreeDebugWindow();
        break;
    case EV_MemoryDump:
        openMemoryDump();
        break;
    default:
        break;
    }
}

void cuiMain::shellTaskCallback(void* context, cmcTask*) {
    static_cast<cuiMain*>(context)->ShellTick();
}

void cuiMain::eventCallback(void* context, const cmcEvent* event) {
    static_cast<cuiMain*>(context)->OnEvent(event);
}

void cuiMain::titleRefresh(void* context) {
    static_cast<cuiMain*>(context)->UpdateCaption();
}
