#include "cuiHtmlHelp.h"

#include "cmcGTex.h"
#include "cmcPrompt.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <algorithm>

namespace {

QString appTitle() {
    return cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle"));
}

int decimalLine(const QString& key, int fallback) {
    cmcGTex& t = cmcGTex::mainTable();
    if (!t.hasKey(key)) return fallback;
    bool ok = false;
    const int v = t.getText(key, 0).trimmed().toInt(&ok);
    return ok && v > 0 ? v : fallback;
}

// Escape closes a help window, as it does a dialog.
class EscapeCloses : public QObject {
  public:
    explicit EscapeCloses(QWidget* window) : QObject(window), m_window(window) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_window->close();
            return true;
        }
        return false;
    }

  private:
    QWidget* m_window;
};

QTextBrowser* browser(QWidget* owner, Qt::WindowFlags flags) {
    auto* b = new QTextBrowser(owner);
    b->setWindowFlags(flags);
    b->installEventFilter(new EscapeCloses(b));
    b->setAttribute(Qt::WA_DeleteOnClose);
    b->setOpenExternalLinks(true);
    b->setWindowTitle(appTitle());
    return b;
}

} // namespace

cuiHtmlHelp::~cuiHtmlHelp() {
    delete m_window.data();
    delete m_popup.data();
}

QString cuiHtmlHelp::topicOf(int context) {
    cmcHelpGTex& help = cmcHelpGTex::helpTable();
    for (int i = 0;; ++i) {
        const QString line = help.getText(QStringLiteral("GI_AppItem_Context_ID"), i);
        if (line == QLatin1String("#")) break;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() >= 2 && f[1].trimmed().toInt() == context) return f[0].trimmed();
    }
    return QString();
}

QString cuiHtmlHelp::resolvePage(const QString& file) {
    const QFileInfo info(file);
    if (info.isFile()) return info.absoluteFilePath();
    QDir above = info.absoluteDir();
    if (!above.cdUp()) return QString();
    const QFileInfo fallback(above.filePath(info.fileName()));
    return fallback.isFile() ? fallback.absoluteFilePath() : QString();
}

int cuiHtmlHelp::ShowHelpFile(const QString& file) {
    const QString page = resolvePage(file);
    if (page.isEmpty()) {
        report(NoFile, file);
        return NoFile;
    }
    if (!m_window) {
        m_window = browser(m_owner, Qt::Window);
        m_window->setObjectName(QStringLiteral("Help"));
        m_window->resize(720, 560);
        if (m_owner) m_window->move(m_owner->frameGeometry().center() - m_window->rect().center());
    }
    m_window->setSource(QUrl::fromLocalFile(page));
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return Shown;
}

int cuiHtmlHelp::ShowHelpContext(const QString& file, int context) {
    if (resolvePage(file).isEmpty()) {
        report(NoFile, file);
        return NoFile;
    }
    const QString topic = topicOf(context);
    const QString page =
        topic.isEmpty() ? QString() : resolvePage(QFileInfo(file).absoluteDir().filePath(topic));
    if (page.isEmpty()) {
        // An earlier pop-up stays as it was.
        report(NoTopic, file);
        return NoTopic;
    }
    QSize size(decimalLine(QStringLiteral("GI_Sys_HtmlHelp_Popup_Width"), 400),
               decimalLine(QStringLiteral("GI_Sys_HtmlHelp_Popup_Height"), 300));
    if (m_popup)
        size = m_popup->size();
    else
        m_popup = browser(m_owner, Qt::Tool | Qt::WindowStaysOnTopHint);
    m_popup->setSource(QUrl::fromLocalFile(page));
    const QPoint cursor = QCursor::pos();
    const QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    m_popup->setGeometry(popupPlace(size, cursor, area));
    m_popup->show();
    return Shown;
}

QRect cuiHtmlHelp::popupPlace(const QSize& size, const QPoint& cursor, const QRect& area) {
    QRect r(QPoint(cursor.x() - size.width() / 2, cursor.y()), size);
    if (r.bottom() > area.bottom()) {
        if (area.contains(cursor) && cursor.y() - size.height() >= area.top())
            r.moveBottom(cursor.y() - 1);
        else
            r.moveBottom(area.bottom());
    }
    if (r.right() > area.right()) r.moveRight(area.right());
    if (r.left() < area.left()) r.moveLeft(area.left());
    return r;
}

void cuiHtmlHelp::report(int result, const QString& file) {
    cmcGTex& t = cmcGTex::mainTable();
    const QString key = QStringLiteral("GI_Sys_HtmlHelp_Error");
    if (result == NoFile)
        cmcPrompt::tell(t.getText(key, 0).replace(QStringLiteral("%s"), file), appTitle(),
                        cmcPromptIcon::Error);
    else if (result == NoTopic)
        cmcPrompt::tell(t.getText(key, 1), appTitle(), cmcPromptIcon::Warning);
}
