#pragma once
// The single-instance guard: a local server named after the user and the desktop session
// (the display), as a session-local mutex is. The first process to
// start listens; a later one finds it answering, is told it is not first, and can ask the
// running one to flash its window or to open a file before it exits. A server left behind
// by a crashed process (nobody answers) is removed and taken over. The decision runs under
// a lock file in the runtime folder, so two processes started at the same moment never
// both find nobody answering and both listen.

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class cmcSingleInstance : public QObject {
    Q_OBJECT
  public:
    // name is the base name; the user's and the session's names are appended so that
    // neither two users nor two displays of one user meet.
    explicit cmcSingleInstance(const QString& name, QObject* parent = nullptr);
    ~cmcSingleInstance() override;
    cmcSingleInstance(const cmcSingleInstance&) = delete;
    cmcSingleInstance& operator=(const cmcSingleInstance&) = delete;

    // Takes the decision once: true when this process is now the running instance.
    bool acquire();
    bool isFirst() const { return m_server != nullptr; }

    // In a second instance: asks the running one to flash its window. Returns whether the
    // request was handed over.
    bool requestFlash();
    // In a second instance: asks the running one to open the file at path (absolute) and
    // to come to the front.
    bool requestOpen(const QString& path);

    // Stops being the running instance (the destructor does this too).
    void release();

    QString serverName() const { return m_serverName; }
    // Whether a running instance answers under this server name now (another editor's, as
    // a recovery journal names its owner).
    static bool isAnswering(const QString& serverName);
    static QString userName();
    static QString sessionName();

  signals:
    // In the running instance: a second one asked for the main window to be flashed.
    void flashRequested();
    // In the running instance: a second one was started with this file (an absolute path).
    void openRequested(const QString& path);

  private:
    void onNewConnection();
    void readRequests(QLocalSocket* socket);
    // Connects to a running instance, or listens when none answers; false when neither.
    bool connectOrListen();
    bool send(const QByteArray& lines);
    // The lock file that makes connect-or-listen one step for the processes of a session.
    QString lockPath() const;
    // Runs the event loop until done() holds or the time is up (start-up only, before any
    // window exists).
    static bool spinUntil(const std::function<bool()>& done, int timeoutMs);

    QString m_serverName;
    bool m_decided = false;
    QLocalServer* m_server = nullptr;
    QLocalSocket* m_peer = nullptr; // second instance: the connection to the running one
};
