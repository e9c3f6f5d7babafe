// Clone > Write to Several Radios: the checks of an ordinary write once for the batch, the
// window that chooses the links and runs the writes side by side, and the backups of what
// went into the radios (and of what a verification read back).

#include "indMain.h"

#include "cmcCellNames.h"
#include "cmcCellRequest.h"
#include "cmcComm.h"
#include "cmcCsvList.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiColor.h"
#include "cuiFileDialogs.h"
#include "cuiFleetRead.h"
#include "cuiFleetSheetBox.h"
#include "cuiFleetWrite.h"
#include "imcFleetSheet.h"
#include "imcWriteCheck.h"
#include "indCloneFile.h"
#include "indCloneMan.h"
#include "indEnviron.h"
#include "iuiFleetSheetWin.h"

#include <QFileInfo>
#include <QListWidget>
#include <QMainWindow>
#include <algorithm>

namespace {
QString block(const char* key) {
    return cmcGTex::mainTable().getTextBlock(QString::fromLatin1(key));
}

// How many radios the batch writes and which.
QString fleetTarget(const QStringList& names) {
    return cmcGTex::mainTable()
        .getText(QStringLiteral("GI_Mess_Confirm_Target"), 1)
        .arg(names.size())
        .arg(names.join(QStringLiteral(", ")));
}

} // namespace

bool indMain::confirmWrite(bool* verify, const QString& target) {
    *verify = m_env.verifyWrite;
    QString text = block("GI_Mess_Confirm_CloneWrite");
    if (!target.isEmpty()) text += QStringLiteral("\n\n") + target;
    const int answer = cmcPrompt::askWithCheck(
        text, appTitle(), cmcPromptButtons::OkCancel, cmcPromptIcon::Warning,
        cmcGTex::mainTable().getText(QStringLiteral("GI_Mess_Confirm_VerifyWrite")), verify);
    if (answer != PA_Ok) return false;
    m_env.verifyWrite = *verify;
    return true;
}

QString indMain::writeSucceededText(bool readBack) {
    return block("GI_Mess_CloneWrite_Succeeded") + QStringLiteral("\n\n") +
           cmcGTex::mainTable().getText(QStringLiteral("GI_Mess_CloneWrite_ReadBack"),
                                        readBack ? 0 : 1);
}

// The links the window offers: every serial port of the port table with the devices added
// before by their path, the network adapter of the TCP settings and the adapters added
// before. Those ticked at the last use start ticked; the first time, the link in use.
static QList<imcFleetClone::Link> fleetLinks(const indEnviron& env, QList<bool>* checked) {
    QList<imcFleetClone::Link> links;
    cmcComm::RefreshPortTable();
    for (const QString& device : env.fleetDevices)
        cmcComm::PortNumberOf(device); // into the port table, numbered for this run
    const bool remembered = !env.fleetTicked.isEmpty();
    const QString speed =
        QString::fromLatin1(env.comSpeedHigh ? indCloneMan::HighSpeed : indCloneMan::LowSpeed);
    const QStringList ports = cmcComm::PortTable();
    for (int i = 0; i < ports.size(); ++i) {
        imcFleetClone::Link l;
        l.comPort = i + 1;
        l.serialSettings = speed;
        l.name = cmcComm::DisplayName(l.comPort);
        links << l;
        checked->append(remembered ? env.fleetTicked.contains(ports[i])
                                   : !env.tcpLink && env.comPort == l.comPort);
    }
    // Ports the table does not list: on Windows a COM port is its number and there is no
    // table of devices, so the devices added before and the port in use come in here.
    QList<int> more;
    for (const QString& device : env.fleetDevices)
        more << cmcComm::PortNumberOf(device);
    if (!env.tcpLink) more << env.comPort;
    for (const int port : more) {
        if (cmcComm::DeviceName(port).isEmpty() ||
            std::any_of(links.cbegin(), links.cend(),
                        [port](const imcFleetClone::Link& l) { return l.comPort == port; }))
            continue;
        imcFleetClone::Link l;
        l.comPort = port;
        l.serialSettings = speed;
        l.name = cmcComm::DisplayName(port);
        links << l;
        checked->append(remembered ? env.fleetTicked.contains(cmcComm::DeviceName(port))
                                   : !env.tcpLink && env.comPort == port);
    }
    QStringList adapters = env.fleetAdapters;
    const QString own = QStringLiteral("%1:%2").arg(env.tcpAddress).arg(env.tcpPort);
    if (!adapters.contains(own)) adapters.prepend(own);
    for (const QString& a : adapters) {
        const int colon = int(a.lastIndexOf(QLatin1Char(':')));
        bool ok = false;
        const uint port = colon > 0 ? a.mid(colon + 1).toUInt(&ok) : 0;
        if (!ok || port < 1 || port > 65535) continue;
        imcFleetClone::Link l;
        l.tcp = true;
        l.host = a.left(colon);
        l.tcpPort = uint16_t(port);
        l.name = a;
        links << l;
        checked->append(remembered ? env.fleetTicked.contains(a) : env.tcpLink && a == own);
    }
    return links;
}

void indMain::cloneWriteFleet() {
    if (m_cloneMan->IsBusy() || (m_fleetWindow && m_fleetWindow->isRunning())) return;
    // The data checks of an ordinary write, once for the batch.
    const imcWriteCheck::Result check = imcWriteCheck::check(m_working);
    if (check != imcWriteCheck::NoChannel) RefreshAfterChange();
    if (check != imcWriteCheck::Ok) {
        cmcPrompt::tell(block(imcWriteCheck::messageKey(check)), appTitle(), cmcPromptIcon::Error);
        return;
    }
    if (auto* ev = cmcEvMan::instance()) ev->send(EV_BeforePrint);
    if (m_fleetWindow) m_fleetWindow->close();

    QList<bool> checked;
    const QList<imcFleetClone::Link> links = fleetLinks(m_env, &checked);
    auto* window = new cuiFleetWrite(links, checked, m_form);
    window->setAddedDevices(m_env.fleetDevices);
    window->setSerialSettings(
        QString::fromLatin1(m_env.comSpeedHigh ? indCloneMan::HighSpeed : indCloneMan::LowSpeed));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    cmcEeprom image = m_working;
    PrepareImage(image, true);
    window->setImage(image, Range(m_makerMode ? 1 : 0));
    // Per-radio values are checked against the image as it is sent; rows coming into use
    // start from the factory data.
    window->sheetBox()->setDocument(image, &loadedImage());
    window->confirm = [this](bool* verify, const QStringList& names) {
        if (m_makerMode &&
            cmcPrompt::ask(block("GI_Mess_Maker_Caution"), appTitle(), cmcPromptButtons::OkCancel,
                           cmcPromptIcon::Warning) != PA_Ok)
            return false;
        return confirmWrite(verify, fleetTarget(names));
    };
    window->linksChanged = [this](const cuiFleetWrite::Remembered& r) {
        m_env.fleetDevices = r.devices;
        m_env.fleetAdapters = r.adapters;
        m_env.fleetTicked = r.ticked;
    };
    window->finished = [this](const imcFleetClone& fleet) {
        for (int i = 0; i < fleet.count(); ++i) {
            const imcFleetClone::Radio& r = fleet.radio(i);
            if (r.status == 0)
                saveBackup(fleet.sentImage(i),
                           fleet.identity(i).backupKind(QStringLiteral("write")));
            if (r.hasImage)
                saveBackup(r.image, fleet.identity(i).backupKind(QStringLiteral("readback")));
        }
        emit cloneFinished(indCloneMan::OpWrite, fleet.worstStatus());
    };
    m_fleetWindow = window;
    window->open();
}

cuiFleetWrite* indMain::fleetWindow() const {
    return m_fleetWindow.data();
}

// ---- Clone > Fleet Sheet... ------------------------------------------------------------

namespace {
QString sheetText(int line) {
    return cuiFleetSheetBox::text(line);
}
} // namespace

void indMain::fleetSheetFromFiles() {
    const QStringList files =
        cuiFileDialogs::current().openFiles(m_form, sheetText(10), sheetText(11), m_currentDir);
    if (files.isEmpty()) return;
    if (files.size() < 2) {
        cmcPrompt::tell(sheetText(14), appTitle(), cmcPromptIcon::Warning);
        return;
    }
    const QString out = cuiFileDialogs::current().saveFile(m_form, sheetText(12), sheetText(4),
                                                           QFileInfo(files.first()).absolutePath(),
                                                           QStringLiteral("fleet.csv"));
    if (out.isEmpty()) return;
    QString summary;
    if (makeFleetSheet(files, out, &summary))
        cmcPrompt::tell(summary, appTitle(), cmcPromptIcon::Information);
}

namespace {
// The per-radio values of the images (one per radio, named by radios) saved in out and
// opened for editing; false after telling why.
bool saveDerivedSheet(indMain& main, const std::vector<const cmcEeprom*>& images,
                      const QStringList& radios, const QString& out, const QString& caption,
                      QString* summary) {
    QStringList notes;
    const imcFleetSheet sheet = imcFleetSheet::derive(images, radios, &notes);
    QString why;
    if (!cmcCsvList::writeFile(out, sheet.toCsv(), &why)) {
        cmcPrompt::tell(sheetText(15).arg(why), caption, cmcPromptIcon::Error);
        return false;
    }
    *summary = sheetText(13).arg(sheet.rows().size()).arg(sheet.columns().size()).arg(out);
    // The sheet made opens for editing.
    main.openFleetSheetWindow()->open(out);
    if (!notes.isEmpty()) *summary += QStringLiteral("\n\n") + notes.join(u'\n');
    return true;
}
} // namespace

bool indMain::makeFleetSheet(const QStringList& files, const QString& out, QString* summary) {
    std::vector<std::unique_ptr<cmcEeprom>> images;
    std::vector<const cmcEeprom*> pointers;
    QStringList radios;
    for (const QString& path : files) {
        auto image = std::make_unique<cmcEeprom>(m_working.GetSize());
        const int code = indCloneFile::open(path, *image);
        if (code != 0) {
            tellFileError(code);
            return false;
        }
        // A several-radios read names each file by the radio's serial number.
        radios << QFileInfo(path).completeBaseName();
        pointers.push_back(image.get());
        images.push_back(std::move(image));
    }
    return saveDerivedSheet(*this, pointers, radios, out, appTitle(), summary);
}

void indMain::fleetSheetFromRadios() {
    if (m_cloneMan->IsBusy() || (m_fleetWindow && m_fleetWindow->isRunning()) ||
        (m_fleetReadWindow && m_fleetReadWindow->isRunning()))
        return;
    QList<bool> checked;
    const QList<imcFleetClone::Link> links = fleetLinks(m_env, &checked);
    QList<imcFleetClone::Link> chosen;
    for (int i = 0; i < links.size(); ++i)
        if (checked.value(i)) chosen << links[i];
    if (chosen.size() < 2) {
        cmcPrompt::tell(sheetText(16).arg(chosen.size()), appTitle(), cmcPromptIcon::Warning);
        return;
    }
    // Asked before the reads, so that the user can leave the radios to it.
    const QString out = cuiFileDialogs::current().saveFile(
        m_form, sheetText(12), sheetText(4), m_currentDir, QStringLiteral("fleet.csv"));
    if (out.isEmpty()) return;
    if (m_fleetReadWindow) m_fleetReadWindow->close();
    auto* window = new cuiFleetRead(chosen, m_form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::WindowModal);
    window->finished = [this, window, out](const imcFleetClone& fleet) {
        std::vector<const cmcEeprom*> images;
        QStringList radios, failed;
        bool cancelled = false;
        for (int i = 0; i < fleet.count(); ++i) {
            const imcFleetClone::Radio& r = fleet.radio(i);
            const imcRadioIdentity id = fleet.identity(i);
            if (r.status == 0 && r.hasImage) {
                saveBackup(r.image, id.backupKind(QStringLiteral("read")));
                images.push_back(&r.image);
                radios << (id.key.isEmpty() ? r.link.name : id.key);
            } else {
                cancelled = cancelled || r.status == CS_Cancelled;
                failed << QStringLiteral("%1: %2").arg(r.link.name, fleet.message(i));
            }
        }
        emit cloneFinished(indCloneMan::OpRead, fleet.worstStatus());
        window->close();
        if (cancelled) {
            SetStatus(sheetText(18), cuiColor::toQColor(cuiColor::clWindowText),
                      cuiColor::toQColor(cuiColor::clBtnFace));
            return;
        }
        if (images.size() < 2) {
            cmcPrompt::tell(sheetText(17) + QStringLiteral("\n\n") + failed.join(u'\n'), appTitle(),
                            cmcPromptIcon::Error);
            return;
        }
        QString summary;
        if (!saveDerivedSheet(*this, images, radios, out, appTitle(), &summary)) return;
        if (!failed.isEmpty()) summary += QStringLiteral("\n\n") + failed.join(u'\n');
        cmcPrompt::tell(summary, appTitle(),
                        failed.isEmpty() ? cmcPromptIcon::Information : cmcPromptIcon::Warning);
    };
    m_fleetReadWindow = window;
    window->open();
    if (!window->start()) window->close();
}

cuiFleetRead* indMain::fleetReadWindow() const {
    return m_fleetReadWindow.data();
}

iuiFleetSheetWin* indMain::openFleetSheetWindow() {
    if (!m_fleetSheetWindow) {
        // Rows are checked against the document as a write would send it.
        auto* w = new iuiFleetSheetWin(
            [this]() -> const cmcEeprom& {
                m_fleetSheetDocument = m_working;
                PrepareImage(m_fleetSheetDocument, true);
                return m_fleetSheetDocument;
            },
            &loadedImage(), m_form);
        w->setAttribute(Qt::WA_DeleteOnClose);
        m_fleetSheetWindow = w;
    }
    m_fleetSheetWindow->show();
    m_fleetSheetWindow->raise();
    return m_fleetSheetWindow.data();
}

iuiFleetSheetWin* indMain::fleetSheetWindow() const {
    return m_fleetSheetWindow.data();
}

bool indMain::FleetCell(cmcCellRequest& r) {
    // Asked for the item's state (its own label), or run on the cell the menu was opened on.
    if (r.menuCommand != CL_PMenu_FleetColumn) return r.label == CL_PMenu_FleetColumn;
    CommitPendingEdit();
    const QString reference =
        QStringLiteral("%1.%2[%3]")
            .arg(cmcCellNames::categoryName(r.category), cmcCellNames::labelName(r.label))
            .arg(r.index);
    openFleetSheetWindow()->addColumn(reference);
    return true;
}
