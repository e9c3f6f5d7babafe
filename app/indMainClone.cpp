// The clone commands of the controller: clone read, clone write and clone information with
// their handlers and continuations, the port search, the link dialogs and check marks, and
// the backups of every image that goes to or comes from a radio.

#include "indMain.h"

#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cmcComm.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcIcfFile.h"
#include "cmcPortLookup.h"
#include "cmcPrompt.h"
#include "cuiColor.h"
#include "cuiLinkDialog.h"
#include "cuiSheetWindow.h"
#include "dst_CDrv_Result.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"
#include "imcRadioIdentity.h"
#include "imcWriteCheck.h"
#include "indCloneBackup.h"
#include "indCloneFile.h"
#include "indCloneMan.h"
#include "indEnviron.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QStandardPaths>
#include <QUrl>

namespace {
QString title() {
    return cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle"));
}
QString block(const char* key) {
    return cmcGTex::mainTable().getTextBlock(QString::fromLatin1(key));
}
// What a clone operation did, on the status line at once.
void showStatus(const QString& text) {
    if (text.isEmpty()) return;
    if (auto* ev = cmcEvMan::instance())
        ev->post(cmcEvStatusText{text, cuiColor::toQColor(cuiColor::clWindowText).rgb(),
                                 cuiColor::toQColor(cuiColor::clBtnFace).rgb()});
}
} // namespace

void indMain::syncLink() {
    // A device chosen by its path keeps it across starts; its number in the port table is
    // found again here.
    if (!m_env.comDevice.isEmpty())
        if (const int port = cmcComm::PortNumberOf(m_env.comDevice)) m_env.comPort = port;
    indCloneMan::LinkSettings link;
    link.comPort = m_env.comPort;
    link.highSpeed = m_env.comSpeedHigh != 0;
    link.tcpLink = m_env.tcpLink;
    link.tcpAddress = m_env.tcpAddress;
    link.tcpPort = m_env.tcpPort;
    m_cloneMan->setLink(link);
    m_cloneMan->setMainWindow(m_form);
    m_cloneMan->SetCodes(QxRadio::ModelCode, QxRadio::FrameCode2);
}

// ---- clone read ----

void indMain::cloneRead() {
    if (m_cloneMan->IsBusy()) return;
    if (SaveChangesPrompt(false) == PA_Cancel) return;
    syncLink();
    if (!m_cloneMan->InfoWithProgress(&indMain::readContinuation, this, QStringLiteral("Cloning")))
        emit cloneFinished(indCloneMan::OpRead, -1);
}

void indMain::readContinuation(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    if (result->status != CS_Ok || self->m_cloneMan->IsBusy()) {
        showStatus(self->m_cloneMan->lastSummary());
        emit self->cloneFinished(indCloneMan::OpRead, result->status);
        return;
    }
    self->m_cloneMan->SetImageSize(self->m_imageSize);
    if (!self->m_cloneMan->Read(QxRadio::CloneRead, &indMain::readCompletion, self))
        emit self->cloneFinished(indCloneMan::OpRead, -1);
}

void indMain::readCompletion(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    if (result->status == CS_Ok) {
        // Kept before it replaces anything, so no configuration read is ever lost.
        self->saveBackup(result->image, QStringLiteral("read"));
        self->m_lastRead = result->image; // File > Compare With compares with it
        self->m_hasLastRead = true;
        self->m_working = result->image;
        if (auto* ev = cmcEvMan::instance()) ev->send(EV_TreeAdjust);
        self->m_second = self->m_working;
        self->m_doc.setFileName(QString());
        self->m_doc.setFileStamp(cmcFileStamp());
        self->MarkSaved();
        self->ClearUndo();
        if (auto* ev = cmcEvMan::instance()) {
            ev->send(EV_MenuRefresh);
            ev->send(EV_RepaintAll);
        }
        self->AfterTransfer(indCloneMan::OpRead);
        // Said once the sheet in view is back after the tree's rebuild.
        self->SetStatusAfterRebuild(self->m_cloneMan->lastSummary());
        if (auto* ev = cmcEvMan::instance()) ev->post(EV_TreeRebuild);
        self->UpdateCaption();
    } else {
        showStatus(self->m_cloneMan->lastSummary());
    }
    emit self->cloneFinished(indCloneMan::OpRead, result->status);
    // The read of an adjustment read goes on to the adjustment command.
    if (result->status == CS_Ok && self->m_cloneMan->adjustMode() == indCloneMan::AdjustReading)
        self->adjustAfterRead();
}

void indMain::infoHandler(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    if (result->operation != cmcCloneDrv::OpInfo || result->status != CS_Ok) return;
    if (uint32_t(result->code1) != QxRadio::ModelCode) {
        result->status = CS_InfoMismatch;
        return;
    }
    self->m_radioCode1 = uint16_t(result->code1);
    self->m_radioCode2 = uint16_t(result->code2);
    const cmcBuff& info = result->information;
    if (info.GetLength() < 1 || info.GetData()[0] != info.GetLength()) {
        result->status = CS_InfoMismatch;
        return;
    }
    self->m_radioInfo = QByteArray(reinterpret_cast<const char*>(info.GetData()),
                                   std::min<int>(info.GetLength(), imcCloneCheck::InfoLength));
    if (info.GetLength() < 3 || info.GetData()[2] != imcCloneCheck::InfoKind)
        result->status = CS_InfoKind;
}

void indMain::readHandler(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    if (result->status != CS_Ok) return;
    if (self->CheckImageIdentity(result->image, true) != 0)
        result->status = CS_ImageCheck;
    else if (!self->AcceptReadImage(result->image))
        result->status = CS_Refused;
}

// ---- clone write ----

void indMain::cloneWrite() {
    if (m_cloneMan->IsBusy()) return;
    const imcWriteCheck::Result check = imcWriteCheck::check(m_working);
    // The tree's marks show where the data needs attention.
    if (check != imcWriteCheck::NoChannel) RefreshAfterChange();
    if (check != imcWriteCheck::Ok) {
        cmcPrompt::tell(block(imcWriteCheck::messageKey(check)), title(), cmcPromptIcon::Error);
        emit cloneFinished(indCloneMan::OpWrite, -1);
        return;
    }
    if (auto* ev = cmcEvMan::instance()) ev->send(EV_BeforePrint);
    syncLink();
    m_cloneWriteConfirmed = false;
    if (!m_cloneMan->Info(&indMain::writeContinuation, this))
        emit cloneFinished(indCloneMan::OpWrite, -1);
}

void indMain::writeContinuation(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    if (result->status != CS_Ok || self->m_cloneMan->IsBusy()) {
        self->m_cloneWriteConfirmed = false;
        emit self->cloneFinished(indCloneMan::OpWrite, result->status);
        return;
    }
    if (!self->m_cloneWriteConfirmed) {
        if (self->m_makerMode &&
            cmcPrompt::ask(block("GI_Mess_Maker_Caution"), title(), cmcPromptButtons::OkCancel,
                           cmcPromptIcon::Warning) != PA_Ok) {
            emit self->cloneFinished(indCloneMan::OpWrite, -1);
            return;
        }
        bool verify = false;
        const QString target = cmcGTex::mainTable()
                                   .getText(QStringLiteral("GI_Mess_Confirm_Target"), 0)
                                   .arg(self->m_cloneMan->linkName());
        if (!self->confirmWrite(&verify, target)) {
            emit self->cloneFinished(indCloneMan::OpWrite, -1);
            return;
        }
        // The radio may have changed while the user read the question: ask it again.
        self->m_cloneWriteConfirmed = true;
        if (!self->m_cloneMan->Info(&indMain::writeContinuation, self)) {
            self->m_cloneWriteConfirmed = false;
            emit self->cloneFinished(indCloneMan::OpWrite, -1);
        }
        return;
    }
    self->m_cloneWriteConfirmed = false;
    // A write that goes wrong halfway must not take the unsaved document with it.
    self->UpdateJournal(true);
    self->m_writeCopy = self->m_working;
    self->m_cloneMan->SetImageSize(self->m_imageSize);
    self->PrepareImage(self->m_writeCopy, true);
    const cmcAdrRange* ranges = Range(self->m_makerMode ? 1 : 0);
    self->m_cloneMan->setVerifyWrite(self->m_env.verifyWrite);
    if (!self->m_cloneMan->Write(self->m_writeCopy, ranges, &indMain::writeCompletion, self))
        emit self->cloneFinished(indCloneMan::OpWrite, -1);
}

void indMain::writeCompletion(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    // What a verification read back is kept, whether it matched or not.
    if (result->readBack) self->saveBackup(result->image, QStringLiteral("readback"));
    showStatus(self->m_cloneMan->lastSummary());
    if (result->status == CS_Ok) {
        self->AfterTransfer(indCloneMan::OpWrite);
        self->saveBackup(self->m_writeCopy, QStringLiteral("write"));
        cmcPrompt::tell(self->writeSucceededText(result->readBack), title(),
                        cmcPromptIcon::Information);
    }
    emit self->cloneFinished(indCloneMan::OpWrite, result->status);
}

// ---- clone information ----

void indMain::cloneInfo() {
    if (m_cloneMan->IsBusy()) return;
    syncLink();
    if (!m_cloneMan->InfoWithProgress(&indMain::infoCompletion, this, QStringLiteral("Cloning")))
        emit cloneFinished(indCloneMan::OpInfo, -1);
}

void indMain::infoCompletion(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    if (result->status == CS_Ok) {
        if (self->m_cloneInfoWindow) self->m_cloneInfoWindow->close();
        auto* window = new cuiSheetWindow(QStringLiteral("GI_Sheet_CloneInfo"),
                                          cmcGTex::mainTable(), self->m_form);
        window->setObjectName(QStringLiteral("CloneInfo"));
        self->m_cloneInfoWindow = window;
        window->show();
    } else {
        showStatus(self->m_cloneMan->lastSummary());
    }
    emit self->cloneFinished(indCloneMan::OpInfo, result->status);
}

// The cells of the clone side: the COM port items of the menu and the information sheet.
bool indMain::CloneInfoCell(cmcCellRequest& r) {
    switch (r.label) {
    case CL_Menu_Port_Com: {
        // Off Windows a port number is only a place in the port table: the item also names
        // the device behind it. Before the window's first paint the devices are not looked
        // for yet: the item keeps its plain name until its menu opens.
        if (r.execute) {
            selectComPort(r.index);
            if (auto* ev = cmcEvMan::instance()) ev->post(EV_Controller);
        }
        uint32_t state = isComPortChecked(r.index) ? cmcCellObj::F_Ticked : 0u;
        const QString name = cmcPortLookup::deferred() ? QString() : cmcComm::DisplayName(r.index);
        if (!name.isEmpty() && name != QStringLiteral("COM%1").arg(r.index)) {
            r.fl.display = name;
            state |= cmcCellObj::F_CaptionSet;
        }
        r.menuState = state;
        return true;
    }
    case CL_CloneInfo_Dummy:
        // The information record's texts: [0] the model name, [1] the serial number.
        r.fl.display = r.index == 0   ? imcRadioIdentity::FromInfo(m_radioInfo).model
                       : r.index == 1 ? imcRadioIdentity::FromInfo(m_radioInfo).serial
                                      : QString();
        return true;
    case CL_CloneInfo_Model:
        r.fl.display = QString::asprintf("%04X", unsigned(m_radioCode1));
        r.setValue(m_radioCode1);
        return true;
    case CL_CloneInfo_Code2:
        r.fl.display = QString::asprintf("%04X", unsigned(m_radioCode2));
        r.setValue(m_radioCode2);
        return true;
    case CL_CloneInfo_Byte:
        // Bytes beyond the stored record (none read yet) show empty.
        if (r.index >= 0 && r.index < m_radioInfo.size()) {
            const uint8_t b = uint8_t(m_radioInfo.at(r.index));
            r.fl.display = QString::asprintf("%02X", unsigned(b));
            r.setValue(b);
        } else {
            r.fl.display.clear();
        }
        return true;
    default:
        return false;
    }
}

// ---- port search ----

void indMain::portSearch() {
    // A running clone or search is left alone: listing the ports would probe the one in use.
    if (m_cloneMan->IsBusy()) return;
    if (m_cloneMan->EnumeratePorts() <= 0) {
        cmcPrompt::tell(block("GI_Mess_PortErr_Search"), title(), cmcPromptIcon::Error);
        return;
    }
    syncLink();
    if (!m_cloneMan->StartSearch(&indMain::searchCompletion, this))
        emit cloneFinished(indCloneMan::OpSearch, -1);
}

void indMain::searchHandler(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    result->status = imcCloneCheck::CheckIdentify(*result, QxRadio::ModelCode);
    if (result->status == CS_Ok && !self->CheckInfoBlock(QByteArray(
                                       reinterpret_cast<const char*>(result->information.GetData()),
                                       result->information.GetLength())))
        result->status = CS_InfoMismatch;
}

void indMain::searchCompletion(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    if (result->status == CS_Ok) {
        const int port = self->m_cloneMan->searchPort();
        self->m_env.comPort = port;
        self->m_env.comDevice.clear();
        // The radio answered on a serial port: the next clone goes there, not over the network.
        self->m_env.tcpLink = false;
        cmcPrompt::tell(cmcComm::FormatPortText(block("GI_Mess_PortSearch_Succeeded"), port),
                        title(), cmcPromptIcon::Information);
    } else {
        showStatus(self->m_cloneMan->lastSummary());
    }
    emit self->cloneFinished(indCloneMan::OpSearch, result->status);
}

// ---- link settings ----

void indMain::selectComPort(int port) {
    m_env.comPort = port;
    m_env.comDevice.clear();
    m_env.tcpLink = false;
}

void indMain::setHighSpeed(bool on) {
    m_env.comSpeedHigh = on ? 1 : 0;
}

void indMain::comPortDialog() {
    linkDialog(cuiLinkDialog::ComPort);
}
void indMain::tcpAddressDialog() {
    linkDialog(cuiLinkDialog::TcpAddress);
}
void indMain::tcpPortDialog() {
    linkDialog(cuiLinkDialog::TcpPort);
}

void indMain::linkDialog(int kind) {
    const auto k = cuiLinkDialog::Kind(kind);
    const QString current = k == cuiLinkDialog::ComPort      ? QString::number(m_env.comPort)
                            : k == cuiLinkDialog::TcpAddress ? m_env.tcpAddress
                                                             : QString::number(m_env.tcpPort);
    cuiLinkDialog dialog(k, current, m_form);
    if (dialog.exec() != QDialog::Accepted) return;
    switch (k) {
    case cuiLinkDialog::ComPort:
        selectComPort(dialog.acceptedNumber());
        // A device typed as a path is remembered by it.
        if (dialog.edit()->text().trimmed().startsWith(QLatin1Char('/')))
            m_env.comDevice = cmcComm::DeviceName(m_env.comPort);
        break;
    case cuiLinkDialog::TcpAddress:
        m_env.tcpAddress = dialog.acceptedText();
        m_env.tcpLink = true;
        break;
    case cuiLinkDialog::TcpPort:
        m_env.tcpPort = dialog.acceptedNumber();
        m_env.tcpLink = true;
        break;
    }
}

bool indMain::isComPortChecked(int port) const {
    return !m_env.tcpLink && m_env.comDevice.isEmpty() && port == m_env.comPort;
}
bool indMain::isUsbPortChecked() const {
    return !m_env.tcpLink && (m_env.comPort > 4 || !m_env.comDevice.isEmpty());
}
bool indMain::isSpeedHighChecked(bool value) const {
    return !m_env.tcpLink && value == (m_env.comSpeedHigh != 0);
}
bool indMain::isTcpChecked() const {
    return m_env.tcpLink;
}

bool indMain::ApplyLinkOption(const QStringList& arguments) {
    QString value;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--tcp") && i + 1 < arguments.size())
            value = arguments[i + 1];
        else if (a.startsWith(QLatin1String("--tcp=")))
            value = a.mid(6);
    }
    if (value.isEmpty()) return false;
    const QString host = value.section(QLatin1Char(':'), 0, 0);
    bool ok = false;
    const int port = value.section(QLatin1Char(':'), 1).toInt(&ok);
    if (value.count(QLatin1Char(':')) != 1 || !ok || port < 1 || port > 65535 || host.isEmpty())
        return false;
    // For this run only: the adapter the user stored stays stored.
    m_env.presetTcpForThisRun(
        host == QLatin1String("localhost") ? QStringLiteral("127.0.0.1") : host, port);
    return true;
}

// ---- backups ----

QString indMain::backupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/backups");
}

QString indMain::saveBackup(const cmcEeprom& image, const QString& kind) {
    const QString path = writeBackupFile(image, kind);
    if (path.isEmpty()) {
        // The transfer itself succeeded; only its copy could not be kept.
        cmcPrompt::tell(
            block("GI_Mess_CloneBackup_Failed").arg(QDir::toNativeSeparators(backupFolder())),
            title(), cmcPromptIcon::Warning);
        return QString();
    }
    m_lastBackup = path;
    return path;
}

// Writes without asking or telling anything (it also runs in a fatal stop).
QString indMain::writeBackupFile(const cmcEeprom& image, const QString& kind) {
    return indCloneBackup::write(backupFolder(), image, kind);
}

QString indMain::RecoverUnsaved() {
    if (m_working == m_snapshot && !m_tracker.modifiedFlag()) return QString();
    return writeBackupFile(m_working, QStringLiteral("recovery"));
}

bool indMain::openBackupFolder() {
    const QString folder = backupFolder();
    QDir().mkpath(folder);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder))) return true;
    // No file manager could be started: the folder's path, to be found by hand.
    cmcPrompt::tell(block("GI_Mess_BackupFolder_Shown").arg(QDir::toNativeSeparators(folder)),
                    title(), cmcPromptIcon::Information);
    return false;
}
