#pragma once
// Remembers where the user put the editor's secondary windows (clone information, language,
// memory dump, debug compare, print preview, help, adjustment values): a window whose object name
// is one of the kept names gets its last place and size back the first time it shows, and its place
// is recorded in the settings store's edit-form records whenever it hides. The windows
// themselves know nothing of it; they only carry their name.

#include <QObject>
#include <QStringList>

class indEnviron;
class QWidget;

class cuiWindowPlaces : public QObject {
    Q_OBJECT
  public:
    // Watches every window of the application while it exists.
    explicit cuiWindowPlaces(indEnviron& env, QObject* parent = nullptr);
    ~cuiWindowPlaces() override;

    // The object names of the windows whose places are kept.
    static const QStringList& keptNames();

    // Records the places of the kept windows showing now (the editor is closing).
    void storeShown();

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void restore(QWidget* window);
    void store(QWidget* window);

    indEnviron& m_env;
};
