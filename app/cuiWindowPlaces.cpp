#include "cuiWindowPlaces.h"

#include "cuiWindowClamp.h"
#include "dst_EditForm.h"
#include "indEnviron.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace {
// Set on a window once its place was given back, so that a window shown again (hidden and
// shown by its owner) stays where the user has it now.
const char* const RestoredProperty = "qxPlaceRestored";
} // namespace

cuiWindowPlaces::cuiWindowPlaces(indEnviron& env, QObject* parent) : QObject(parent), m_env(env) {
    if (qApp) qApp->installEventFilter(this);
}

cuiWindowPlaces::~cuiWindowPlaces() {
    if (qApp) qApp->removeEventFilter(this);
}

const QStringList& cuiWindowPlaces::keptNames() {
    static const QStringList names = {
        QStringLiteral("CloneInfo"),    QStringLiteral("Language"),
        QStringLiteral("MemoryDump"),   QStringLiteral("DebugCompare"),
        QStringLiteral("PrintPreview"), QStringLiteral("Help"),
        QStringLiteral("AdjustValues")};
    return names;
}

bool cuiWindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide) return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() || !keptNames().contains(window->objectName())) return false;
    if (type == QEvent::Show)
        restore(window);
    else
        store(window);
    return false;
}

void cuiWindowPlaces::restore(QWidget* window) {
    if (window->property(RestoredProperty).toBool()) return;
    window->setProperty(RestoredProperty, true);
    const dst_EditForm* form = m_env.editForm(window->objectName());
    if (!form || form->width <= 0 || form->height <= 0) return;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect placed =
        cuiWindowClamp::apply(form->left, form->top, form->width, form->height, area);
    // Windows of a fixed size keep theirs; the others get their last size back too.
    const bool fixed = window->minimumSize() == window->maximumSize();
    window->setGeometry(QRect(placed.topLeft(), fixed ? window->size() : placed.size()));
}

void cuiWindowPlaces::storeShown() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && keptNames().contains(window->objectName())) store(window);
}

void cuiWindowPlaces::store(QWidget* window) {
    if (!window->property(RestoredProperty).toBool()) return; // never shown here
    const QRect r =
        window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
    const dst_EditForm* old = m_env.editForm(window->objectName());
    int further[4] = {-1, -1, -1, -1};
    if (old)
        for (int i = 0; i < 4; ++i)
            further[i] = old->further[i];
    m_env.storeEditForm(window->objectName(), r.left(), r.top(), r.width(), r.height(), further[0],
                        further[1], further[2], further[3], window->isMaximized() ? 2 : 0, false);
}
