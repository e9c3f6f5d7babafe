#include "cuiMain.h"

#include "cmcFatal.h"
#include "cmcGTex.h"
#include "cmcOverlayFiles.h"
#include "cmcPrompt.h"
#include "cmcTask.h"
#include "indEnviron.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
cuiMain* g_instance = nullptr;
}

cuiMain* cuiMain::instance() { return g_instance; }

cuiMain::cuiMain(const QString& modelShortName, int imageSize, indEnviron& environ,
                 const QString& dataDir)
    : m_modelShortName(modelShortName), m_imageSize(imageSize), m_env(environ),
      m_tracker(m_working, m_snapshot)
{
    g_instance = this;
    m_dataDir = dataDir.isEmpty() ? cmcOverlayFiles::executableDir() : dataDir;
    if (!m_dataDir.endsWith(QLatin1Char('/'))) m_dataDir += QLatin1Char('/');

    cmcOverlayFiles overlays;
    overlays.open(m_dataDir, m_modelShortName, m_env.language);

    m_working.SetSize(imageSize);
    m_second.SetSize(imageSize);
    m_snapshot.SetSize(imageSize);
    m_loaded = m_working;
    m_debug.SetSize(imageSize);
    m_tracker.setTitleRefresh(&cuiMain::titleRefresh, this);

    m_currentDir = m_env.currentDirectory;
    if (m_currentDir.isEmpty())
        m_currentDir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (m_currentDir.isEmpty()) m_currentDir = QDir::currentPath();

    m_shellTask = new cmcTask;
    m_shellTask->setCallback(&cuiMain::shellTaskCallback, this);
    m_shellTask->setInterval(-1);
    if (auto* ev = cmcEvMan::instance()) ev->attach(&cuiMain::eventCallback, this);
}

cuiMain::~cuiMain()
{
    cmcTask::release(m_shellTask);
    if (auto* ev = cmcEvMan::instance()) ev->detach(&cuiMain::eventCallback, this);
    if (g_instance == this) g_instance = nullptr;
}

void cuiMain::attach(QMainWindow* form, const QList<QPixmap>& treeImages,
                     const QList<QPixmap>& toolBarImages)
{
    m_form = form;
    m_treeImages = treeImages;
    m_toolBarImages = toolBarImages;
    BuildWindow();
}

void cuiMain::BuildWindow()
{
    // This product knows one model.
    if (m_env.modelType != 0) m_env.modelType = 0;

    if (!LoadInitialData(m_env.modelType)) return;
    m_working = m_loaded;
    m_second = m_working;
    MarkSaved();
    m_debug = m_loaded;

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
        SetStatus(QString(), qApp->palette().color(QPalette::WindowText),
                  qApp->palette().color(QPalette::Button));
    }

    if (auto* ev = cmcEvMan::instance()) ev->send(EV_WindowBuilt);

    // The memory map must fit the image.
    if (m_imageSize < 0xFFF0) cmcFatal::stop(QStringLiteral("Self Check Error.\nEEPROM Map is too large."));

    UpdateCaption();
    m_shellTask->setInterval(ShellTaskMs);
}

int cuiMain::CheckImageIdentity(const cmcEeprom&, bool) const { return 0; }

void cuiMain::PrepareImage(cmcEeprom&, bool) {}

void cuiMain::UpdateCaption()
{
    const QString caption = documentTitle() + QStringLiteral("[*] - ") +
                            cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle"));
    if (m_form) {
        m_form->setWindowTitle(caption);
        m_form->setWindowModified(m_tracker.modifiedFlag());
    }
}

void cuiMain::StartChangeDelay()
{
    if (!m_changeDelay) m_changeDelay = std::make_unique<cmcTick>();
    m_changeDelay->start(ChangeDelayMs);
}

void cuiMain::ShellTick()
{
    if (m_changeDelay && m_changeDelay->remaining() == 0) {
        m_changeDelay.reset();
        RefreshAfterChange();
        if (auto* ev = cmcEvMan::instance()) ev->post(EV_ChangeSettled);
    }
}

QStringList cuiMain::DebugCompareLines()
{
    QStringList lines;
    if (m_working.GetSize() != m_debug.GetSize()) {
        lines << QStringLiteral("Not match size !");
    } else {
        for (int32_t a = 0; a < m_working.GetSize(); ++a) {
            const uint8_t was = m_debug.GetByte(a), now = m_working.GetByte(a);
            if (was != now)
                lines << QString::asprintf("%04X : %02X -> %02X", unsigned(a), unsigned(was), unsigned(now));
        }
    }
    m_debug = m_working;
    return lines;
}

void cuiMain::SetStatus(const QString& text, const QColor& textColour, const QColor& background)
{
    m_statusText = text;
    if (!m_statusPanel) return;
    QPalette pal = m_statusPanel->palette();
    pal.setColor(QPalette::WindowText, textColour);
    pal.setColor(QPalette::Window, background);
    m_statusPanel->setPalette(pal);
    m_statusPanel->setText(text);
}

void cuiMain::StorePlacement()
{
    if (!m_form) return;
    const QRect r = m_form->normalGeometry().isValid() ? m_form->normalGeometry() : m_form->geometry();
    m_env.windowLeft = r.left();
    m_env.windowTop = r.top();
    m_env.windowWidth = r.width();
    m_env.windowHeight = r.height();
    if (m_leftPanel) m_env.splitterV = m_leftPanel->width();
}

void cuiMain::OnEvent(const cmcEvent* event)
{
    switch (event->code) {
    case EV_WindowBuilt:
        if (auto* ev = cmcEvMan::instance()) {
            ev->send(EV_MenuRefresh);
            ev->send(EV_Controller);
        }
        break;
    case EV_StatusText:
        SetStatus(event->text(), QColor::fromRgb(QRgb(event->p1)), QColor::fromRgb(QRgb(event->p2)));
        break;
    case EV_CopyImage:
        m_debug = m_working;
        break;
    default:
        break;
    }
}

void cuiMain::shellTaskCallback(void* context, cmcTask*) { static_cast<cuiMain*>(context)->ShellTick(); }

void cuiMain::eventCallback(void* context, const cmcEvent* event)
{
    static_cast<cuiMain*>(context)->OnEvent(event);
}

void cuiMain::titleRefresh(void* context) { static_cast<cuiMain*>(context)->UpdateCaption(); }
