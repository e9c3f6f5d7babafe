#include "indEnviron.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStringList>

#include <algorithm>

namespace {

// Subkeys and value names of the stored settings.
const QString KeyGlobal = QStringLiteral("Global");
const QString KeyRecent = QStringLiteral("Recent File List");
const QString KeyView = QStringLiteral("View Option");
const QString KeyClone = QStringLiteral("Clone Option");
const QString KeyWindow = QStringLiteral("Window Position");
const QString KeySetup = QStringLiteral("Setup");
const QString KeyPassword = QStringLiteral("Password");
const QString KeyEditForm = QStringLiteral("EditForm Position");

const QString DefaultOrganisation = QStringLiteral("Vexo");
const QString DefaultApplication = QStringLiteral("QX-T5200");

// An empty access word is stored as this, so that it differs from a missing value.
const QString EmptyWordPlaceholder = QStringLiteral("--");
// Fixed key the access words are mixed with before they are written as hexadecimal text.
const QByteArray WordKey = QByteArrayLiteral("Vx-T5200/qm7041");
const QString MakerWord = QStringLiteral("VEXO5200");

QString recentName(int i) {
    return QStringLiteral("Recent%1").arg(i);
}

QString formValueName(const QString& window, const char* value) {
    return window + QLatin1Char('_') + QLatin1String(value);
}

// Reads an integer value; false when it is missing or not a number.
bool readInt(const QSettings& s, const QString& name, int* out) {
    if (!s.contains(name)) return false;
    const QVariant v = s.value(name);
    const int type = v.typeId();
    if (type == QMetaType::QStringList || type == QMetaType::UnknownType) return false;
    bool ok = false;
    const int value = type == QMetaType::QString ? v.toString().trimmed().toInt(&ok) : v.toInt(&ok);
    if (ok) *out = value;
    return ok;
}

// Reads a string value; false when it is missing or of another kind.
bool readString(const QSettings& s, const QString& name, QString* out) {
    if (!s.contains(name)) return false;
    const QVariant v = s.value(name);
    if (v.typeId() != QMetaType::QString) return false;
    *out = v.toString();
    return true;
}

QString normalisedSubkey(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

} // namespace

indEnviron::indEnviron(const QString& mutexName, const QString& userKeyPath,
                       const QString& machineKeyPath, const Options& options)
    : m_mutexName(mutexName), m_userKeyPath(userKeyPath), m_machineKeyPath(machineKeyPath),
      m_options(options), m_guard(std::make_unique<cmcSingleInstance>(mutexName)) {
    // A second instance stops here: it neither reads nor, with the marker left invalid,
    // writes anything.
    if (!m_guard->acquire()) return;
    m_firstInstance = true;
    if (!load() || settingsMarker != ValidMarker) applyDefaults();
    // The revision belongs to the installation, not to the user's settings: read after any
    // defaults so that rejected user settings do not blank it.
    loadRevision();
}

indEnviron::~indEnviron() {
    if (!m_saved) save();
    m_guard->release();
}

QSize indEnviron::screenSize() const {
    if (m_options.screenSize.isValid()) return m_options.screenSize;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->size();
    }
    return QSize(1024, 768);
}

QRect indEnviron::defaultWindow(const QSize& screen) {
    const int width = std::min(screen.width() * 9 / 10, 800);
    const int height = std::min(screen.height() * 9 / 10, 600);
    const int left = (screen.width() - width) / 2;
    const int top = (screen.height() - height) * 3 / 10;
    return QRect(left, top, width, height);
}

void indEnviron::applyDefaults() {
    settingsMarker = ValidMarker;
    comPort = 1;
    comDevice.clear();
    comSpeedHigh = 1;
    tcpAddress = QString::fromLatin1(DefaultTcpAddress);
    tcpPort = DefaultTcpPort;
    currentDirectory.clear();
    recent.clear();
    fontSizePercentage = 100;
    toolbarVisible = true;
    fontSizePrinter = 10;
    const QRect window = defaultWindow(screenSize());
    windowLeft = window.x();
    windowTop = window.y();
    windowWidth = window.width();
    windowHeight = window.height();
    windowMaximized = false;
    splitterV = 200;
    modelType = 0;
    language = 0;
    makerReserveWord = MakerWord;
    adjustModeWord.clear();
    revision.clear();
    verifyWrite = false;
    fleetAdapters.clear();
    fleetDevices.clear();
    fleetTicked.clear();
}

std::unique_ptr<QSettings> indEnviron::openKey(Root root, const QString& keyPath,
                                               QString* group) const {
    // "Software\<organisation>\<application>\rest": the rest is a group of that
    // application's settings. Other paths are taken as groups of this program's settings.
    QStringList parts = normalisedSubkey(keyPath).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString organisation = DefaultOrganisation;
    QString application = DefaultApplication;
    if (parts.size() >= 3 &&
        parts.at(0).compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0) {
        organisation = parts.at(1);
        application = parts.at(2);
        parts = parts.mid(3);
    }
    *group = parts.join(QLatin1Char('/'));

    const bool user = root == Root::CurrentUser;
    std::unique_ptr<QSettings> settings;
    if (!m_options.settingsFolder.isEmpty()) {
        const QString file = m_options.settingsFolder + (user ? "/user/" : "/system/") +
                             organisation + QLatin1Char('/') + application + ".ini";
        settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    } else {
        settings = std::make_unique<QSettings>(QSettings::NativeFormat,
                                               user ? QSettings::UserScope : QSettings::SystemScope,
                                               organisation, application);
    }
    // Only this key's own values count; no fallback to system-wide or organisation files.
    settings->setFallbacksEnabled(false);
    return settings;
}

bool indEnviron::load() {
    QString base;
    std::unique_ptr<QSettings> s = openKey(Root::CurrentUser, m_userKeyPath, &base);
    if (s->status() != QSettings::NoError) return false;
    if (!base.isEmpty()) s->beginGroup(base);

    int value = 0;
    QString text;

    s->beginGroup(KeyGlobal);
    if (!readInt(*s, "BBT", &settingsMarker)) return false;
    if (!readInt(*s, "ComPort", &value)) return false;
    comPort = std::clamp(value, 1, 256);
    if (!readInt(*s, "ComSpeedHigh", &value)) return false;
    comSpeedHigh = std::clamp(value, 0, 1);
    if (!readString(*s, "Current Directory", &currentDirectory)) return false;
    s->endGroup();

    s->beginGroup(KeyRecent);
    for (int i = 0; i < RecentMax; ++i) {
        if (!readString(*s, recentName(i), &text)) return false;
        recent.addToBack(text);
    }
    s->endGroup();

    s->beginGroup(KeyView);
    if (!readInt(*s, "FontSize Percentage", &value)) return false;
    fontSizePercentage = std::clamp(value, 25, 1000);
    if (!readInt(*s, "Toolbar Visible", &value)) return false;
    toolbarVisible = value != 0;
    if (!readInt(*s, "FontSize Printer", &value)) return false;
    fontSizePrinter = std::clamp(value, 8, 12);
    s->endGroup();

    // Settings that older versions did not store: missing is their default, not a fault.
    s->beginGroup(KeyClone);
    verifyWrite = s->value("Verify Write", 0).toInt() != 0;
    fleetAdapters = s->value("Fleet Adapters").toString().split(u' ', Qt::SkipEmptyParts);
    fleetDevices = s->value("Fleet Devices").toStringList();
    fleetTicked = s->value("Fleet Ticked").toStringList();
    if (!readString(*s, "TCP Address", &tcpAddress) || tcpAddress.trimmed().isEmpty())
        tcpAddress = QString::fromLatin1(DefaultTcpAddress);
    if (!readInt(*s, "TCP Port", &tcpPort) || tcpPort < 1 || tcpPort > 65535)
        tcpPort = DefaultTcpPort;
    if (!readString(*s, "Serial Device", &comDevice)) comDevice.clear();
    s->endGroup();

    s->beginGroup(KeyWindow);
    if (!readInt(*s, "Left", &windowLeft) || !readInt(*s, "Top", &windowTop) ||
        !readInt(*s, "Width", &windowWidth) || !readInt(*s, "Height", &windowHeight) ||
        !readInt(*s, "SplitterV", &splitterV))
        return false;
    windowMaximized = s->value("Maximized", 0).toInt() != 0;
    s->endGroup();

    s->beginGroup(KeySetup);
    if (!readInt(*s, "ModelType", &modelType) || !readInt(*s, "Language", &language)) return false;
    s->endGroup();

    // Access words: an empty stored value gives the default word; text that no word encodes
    // to is a malformed value like any other.
    s->beginGroup(KeyPassword);
    if (!readString(*s, "MakerReserveMode", &text)) return false;
    if (text.isEmpty())
        makerReserveWord = MakerWord;
    else if (!decodeWord(text, &makerReserveWord))
        return false;
    if (!readString(*s, "AdjustMode", &text)) return false;
    if (text.isEmpty())
        adjustModeWord.clear();
    else if (!decodeWord(text, &adjustModeWord))
        return false;
    s->endGroup();
    return true;
}

void indEnviron::loadRevision() {
    QString group;
    std::unique_ptr<QSettings> s = openKey(Root::LocalMachine, m_machineKeyPath, &group);
    if (!group.isEmpty()) s->beginGroup(group);
    QString text;
    if (readString(*s, "Revision", &text)) revision = text.left(3);
}

void indEnviron::save() {
    if (!m_firstInstance || settingsMarker != ValidMarker) return;
    m_saved = true;
    QString base;
    std::unique_ptr<QSettings> s = openKey(Root::CurrentUser, m_userKeyPath, &base);
    if (!base.isEmpty()) s->beginGroup(base);

    s->beginGroup(KeyGlobal);
    s->setValue("BBT", settingsMarker);
    s->setValue("ComPort", comPort);
    s->setValue("ComSpeedHigh", comSpeedHigh);
    s->setValue("Current Directory", currentDirectory);
    s->endGroup();

    s->beginGroup(KeyRecent);
    for (int i = 0; i < RecentMax; ++i)
        s->setValue(recentName(i), recent.entryText(i, QString()));
    s->endGroup();

    s->beginGroup(KeyView);
    s->setValue("FontSize Percentage", fontSizePercentage);
    s->setValue("Toolbar Visible", toolbarVisible ? 1 : 0);
    s->setValue("FontSize Printer", fontSizePrinter);
    s->endGroup();

    s->beginGroup(KeyClone);
    s->setValue("Verify Write", verifyWrite ? 1 : 0);
    s->setValue("Fleet Adapters", fleetAdapters.join(u' '));
    s->setValue("Fleet Devices", fleetDevices);
    s->setValue("Fleet Ticked", fleetTicked);
    const TcpPreset& p = m_tcpPreset;
    s->setValue("TCP Address", p.active && tcpAddress == p.address ? p.storedAddress : tcpAddress);
    s->setValue("TCP Port", p.active && tcpPort == p.port ? p.storedPort : tcpPort);
    s->setValue("Serial Device", comDevice);
    s->endGroup();

    s->beginGroup(KeyWindow);
    s->setValue("Left", windowLeft);
    s->setValue("Top", windowTop);
    s->setValue("Width", windowWidth);
    s->setValue("Height", windowHeight);
    s->setValue("SplitterV", splitterV);
    s->setValue("Maximized", windowMaximized ? 1 : 0);
    s->endGroup();

    s->beginGroup(KeySetup);
    s->setValue("ModelType", modelType);
    s->setValue("Language", language);
    s->endGroup();

    s->beginGroup(KeyEditForm);
    for (const dst_EditForm& form : m_editForms) {
        s->setValue(formValueName(form.name, "Left"), form.left);
        s->setValue(formValueName(form.name, "Top"), form.top);
        s->setValue(formValueName(form.name, "Width"), form.width);
        s->setValue(formValueName(form.name, "Height"), form.height);
        s->setValue(formValueName(form.name, "WindowState"), form.windowState);
    }
    s->endGroup();

    s->beginGroup(KeyPassword);
    s->setValue("MakerReserveMode", encodeWord(makerReserveWord));
    s->setValue("AdjustMode", encodeWord(adjustModeWord));
    s->endGroup();

    s->sync();
}

dst_EditForm* indEnviron::editForm(const QString& name) {
    for (dst_EditForm& form : m_editForms)
        if (form.name == name) return &form;
    if (!m_firstInstance || settingsMarker != ValidMarker) return nullptr;

    QString base;
    std::unique_ptr<QSettings> s = openKey(Root::CurrentUser, m_userKeyPath, &base);
    if (!base.isEmpty()) s->beginGroup(base);
    s->beginGroup(KeyEditForm);
    dst_EditForm form;
    form.name = name;
    if (!readInt(*s, formValueName(name, "Left"), &form.left) ||
        !readInt(*s, formValueName(name, "Top"), &form.top) ||
        !readInt(*s, formValueName(name, "Width"), &form.width) ||
        !readInt(*s, formValueName(name, "Height"), &form.height) ||
        !readInt(*s, formValueName(name, "WindowState"), &form.windowState))
        return nullptr;
    m_editForms.push_front(form);
    return &m_editForms.front();
}

void indEnviron::storeEditForm(const QString& name, int left, int top, int width, int height,
                               int further0, int further1, int further2, int further3,
                               int windowState, bool open) {
    auto it = std::find_if(m_editForms.begin(), m_editForms.end(),
                           [&](const dst_EditForm& f) { return f.name == name; });
    if (it == m_editForms.end()) {
        m_editForms.push_front(dst_EditForm{});
        m_editForms.front().name = name;
    } else {
        m_editForms.splice(m_editForms.begin(), m_editForms, it);
    }
    dst_EditForm& form = m_editForms.front();
    form.left = left;
    form.top = top;
    form.width = width;
    form.height = height;
    form.further[0] = further0;
    form.further[1] = further1;
    form.further[2] = further2;
    form.further[3] = further3;
    form.windowState = windowState;
    form.open = open;
}

int indEnviron::readInteger(const QString& keyPath, const QString& valueName) const {
    return readInteger(Root::CurrentUser, keyPath, valueName);
}

int indEnviron::readInteger(Root root, const QString& keyPath, const QString& valueName) const {
    QString group;
    std::unique_ptr<QSettings> s = openKey(root, keyPath, &group);
    if (!group.isEmpty()) s->beginGroup(group);
    int value = -1;
    if (!readInt(*s, valueName, &value)) return -1;
    return value;
}

bool indEnviron::writeInteger(const QString& keyPath, const QString& valueName, int value) {
    return writeInteger(Root::CurrentUser, keyPath, valueName, value);
}

bool indEnviron::writeInteger(Root root, const QString& keyPath, const QString& valueName,
                              int value) {
    QString group;
    std::unique_ptr<QSettings> s = openKey(root, keyPath, &group);
    if (!group.isEmpty()) s->beginGroup(group);
    s->setValue(valueName, value);
    s->sync();
    return s->status() == QSettings::NoError;
}

void indEnviron::deleteKey(const QString& keyPath, const QString& subkey) {
    deleteKey(Root::CurrentUser, keyPath, subkey);
}

void indEnviron::deleteKey(Root root, const QString& keyPath, const QString& subkey) {
    const QString name = normalisedSubkey(subkey);
    // An empty name would remove every value of the key.
    if (name.split(QLatin1Char('/'), Qt::SkipEmptyParts).isEmpty()) return;
    QString group;
    std::unique_ptr<QSettings> s = openKey(root, keyPath, &group);
    if (!group.isEmpty()) s->beginGroup(group);
    s->remove(name);
    s->sync();
}

void indEnviron::presetTcpForThisRun(const QString& address, int port) {
    if (!m_tcpPreset.active) {
        m_tcpPreset.active = true;
        m_tcpPreset.storedAddress = tcpAddress;
        m_tcpPreset.storedPort = tcpPort;
    }
    m_tcpPreset.address = address;
    m_tcpPreset.port = port;
    tcpAddress = address;
    tcpPort = port;
    tcpLink = true;
}

QString indEnviron::builtInMakerWord() {
    return MakerWord;
}

QString indEnviron::encodeWord(const QString& word) {
    if (word.isEmpty()) return EmptyWordPlaceholder;
    QByteArray bytes = word.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(bytes[i] ^ WordKey[i % WordKey.size()]);
    return QString::fromLatin1(bytes.toHex().toUpper());
}

bool indEnviron::decodeWord(const QString& stored, QString* word) {
    if (stored == EmptyWordPlaceholder) {
        word->clear();
        return true;
    }
    if (stored.isEmpty() || stored.size() % 2 != 0) return false;
    QByteArray bytes = QByteArray::fromHex(stored.toLatin1());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(bytes[i] ^ WordKey[i % WordKey.size()]);
    const QString decoded = QString::fromUtf8(bytes);
    // Only text that a word encodes to is accepted (no stray characters, valid UTF-8).
    if (encodeWord(decoded).compare(stored, Qt::CaseInsensitive) != 0) return false;
    *word = decoded;
    return true;
}
