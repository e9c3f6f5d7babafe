#pragma once
// The settings store: every persistent setting of the editor, held in memory for the whole
// run. The constructor takes the single-instance decision and, in the first instance only,
// loads the settings once; they are written back once at the end (destructor or save()).
// Nothing else reads or writes these values in the settings storage; the rest of the
// program uses the fields below. Three small generic operations let other parts keep their
// own values (sheet column widths) and act at once.
//
// Storage is QSettings in its native format (user scope for the per-user key, system scope
// for the machine-wide key), organisation and application taken from a key path of the
// form "Software\<organisation>\<application>". Tests point the store at a folder of INI
// files instead, so they never touch the user's real settings.

#include "cmcRecent.h"
#include "cmcSingleInstance.h"
#include "dst_EditForm.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <list>
#include <memory>

class QSettings;

class indEnviron {
  public:
    enum class Root { CurrentUser, LocalMachine };

    struct Options {
        // Non-empty: INI files below this folder instead of the native settings storage.
        QString settingsFolder;
        // The screen size the default window geometry is computed from; when empty, the
        // primary screen's (or 1024 x 768 without a screen).
        QSize screenSize;
    };

    static constexpr int ValidMarker = 753951; // 0xB811F
    static constexpr int RecentMax = 10;
    static constexpr const char* DefaultTcpAddress = "192.168.1.100";
    static constexpr int DefaultTcpPort = 41000;

    indEnviron(const QString& mutexName, const QString& userKeyPath, const QString& machineKeyPath,
               const Options& options = {});
    ~indEnviron();
    indEnviron(const indEnviron&) = delete;
    indEnviron& operator=(const indEnviron&) = delete;

    bool isFirstInstance() const { return m_firstInstance; }
    // The guard of the running instance: connect its flashRequested() to the main window.
    cmcSingleInstance& instanceGuard() { return *m_guard; }
    // In a second instance: asks the running one to flash its window.
    bool flashFirstInstance() { return m_guard->requestFlash(); }
    // In a second instance: hands the file at path (absolute) to the running one.
    bool openInFirstInstance(const QString& path) { return m_guard->requestOpen(path); }

    // Writes every setting back, in the first instance only and only while the settings
    // marker is valid; failures are not reported. The destructor writes them unless save()
    // has already done so.
    void save();
    // Every setting to its default (also used when the stored settings are rejected).
    void applyDefaults();

    // Default main-window geometry for a screen of the given size.
    static QRect defaultWindow(const QSize& screen);

    // Placement record of a secondary window: from memory, else from the stored values
    // (when all five are present); nullptr when there is none.
    dst_EditForm* editForm(const QString& name);
    // Updates or creates the record and moves it to the front of the list.
    void storeEditForm(const QString& name, int left, int top, int width, int height, int further0,
                       int further1, int further2, int further3, int windowState, bool open);
    const std::list<dst_EditForm>& editForms() const { return m_editForms; }

    // Generic operations on an integer value below a key path; the root is the per-user
    // one unless given. readInteger gives -1 when the key or the value does not exist.
    int readInteger(const QString& keyPath, const QString& valueName) const;
    int readInteger(Root root, const QString& keyPath, const QString& valueName) const;
    bool writeInteger(const QString& keyPath, const QString& valueName, int value);
    bool writeInteger(Root root, const QString& keyPath, const QString& valueName, int value);
    void deleteKey(const QString& keyPath, const QString& subkey);
    void deleteKey(Root root, const QString& keyPath, const QString& subkey);

    // An adapter for this run only (the command line's --tcp): the link is TCP to it, and
    // the adapter stored before is what save() writes, unless the user sets another one.
    void presetTcpForThisRun(const QString& address, int port);

    // The stored form of an access word, and back. An empty word is stored as a fixed
    // placeholder; decodeWord fails (returns false) on text that no word encodes to.
    static QString encodeWord(const QString& word);
    static bool decodeWord(const QString& stored, QString* word);
    static QString builtInMakerWord();

    QString mutexName() const { return m_mutexName; }
    QString userKeyPath() const { return m_userKeyPath; }
    QString machineKeyPath() const { return m_machineKeyPath; }

    // The settings, read and written directly by the rest of the program.
    int settingsMarker = 0;
    int comPort = 1;
    // The serial device the user chose by its path (empty: comPort is a plain number). The
    // port table numbers devices afresh at every start: the path finds its number again.
    QString comDevice;
    int comSpeedHigh = 1;
    // The network adapter's address and port, the adapter's defaults until the user sets
    // them; whether the link is TCP is not stored: every run starts on the serial port.
    QString tcpAddress = QString::fromLatin1(DefaultTcpAddress);
    int tcpPort = DefaultTcpPort;
    bool tcpLink = false;
    QString currentDirectory;
    cmcRecent recent{RecentMax};
    int fontSizePercentage = 100;
    bool toolbarVisible = true;
    int fontSizePrinter = 10;
    int windowLeft = 0;
    int windowTop = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    bool windowMaximized = false;
    int splitterV = 200;
    int modelType = 0;
    int language = 0;
    QString makerReserveWord;
    QString adjustModeWord;
    QString revision;
    // Clone writes read the memory back and compare it (the write confirmation's check box).
    bool verifyWrite = false;
    // Network adapters (HOST:PORT) offered by the write to several radios.
    QStringList fleetAdapters;
    // Serial devices added there by their path (/dev/ttyUSB3, COM5), and the links ticked
    // at the last use (device paths and HOST:PORT): the list comes back as it was left.
    QStringList fleetDevices;
    QStringList fleetTicked;

  private:
    std::unique_ptr<QSettings> openKey(Root root, const QString& keyPath, QString* group) const;
    bool load();
    void loadRevision();
    QSize screenSize() const;

    QString m_mutexName;
    QString m_userKeyPath;
    QString m_machineKeyPath;
    Options m_options;
    std::unique_ptr<cmcSingleInstance> m_guard;
    bool m_firstInstance = false;
    bool m_saved = false;
    struct TcpPreset {
        bool active = false;
        QString address, storedAddress;
        int port = 0, storedPort = 0;
    } m_tcpPreset;
    std::list<dst_EditForm> m_editForms;
};
