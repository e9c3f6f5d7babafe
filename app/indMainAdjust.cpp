// The adjustment read of the controller: the guarded sequence that ends with the radio in
// its adjustment state (access password, caution, a clone read of the whole image, the
// wait while a networked radio restarts, the adjustment command), the adjustment value read
// and the adjustment window with its cells.

#include "indMain.h"

#include "cmcCellObj.h"
#include "cmcCellRequest.h"
#include "cmcEvMan.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cuiAdjustPassword.h"
#include "cuiColor.h"
#include "cuiRebootWait.h"
#include "cuiServicePassword.h"
#include "dst_CDrv_Result.h"
#include "imcCloneCheck.h"
#include "imcRadioIdentity.h"
#include "indCloneMan.h"
#include "indEnviron.h"
#include "iuiWinAd.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

namespace {
QString title() {
    return cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle"));
}
} // namespace

// ---- the sequence ----

bool indMain::adjustAccess() {
    if (m_env.adjustModeWord.isEmpty() || m_adjustAccepted) return true;
    // A wrong password (or Cancel) gives the keyboard back to the main window, to the
    // widget that had it.
    const QPointer<QWidget> focus = QApplication::focusWidget();
    cuiAdjustPassword dialog(m_env.adjustModeWord, m_form);
    if (dialog.exec() != QDialog::Accepted) {
        if (m_form) {
            m_form->activateWindow();
            if (focus && focus->window() == m_form.data())
                focus->setFocus(Qt::ActiveWindowFocusReason);
        }
        return false;
    }
    m_adjustAccepted = true;
    if (auto* ev = cmcEvMan::instance()) ev->post(EV_RepaintAll);
    return true;
}

void indMain::servicePasswordDialog() {
    cuiServicePassword dialog(m_env.adjustModeWord, m_form);
    if (dialog.exec() != QDialog::Accepted) return;
    m_env.adjustModeWord = dialog.word();
    // The next adjustment read asks for the new password.
    m_adjustAccepted = false;
    if (auto* ev = cmcEvMan::instance())
        ev->post(cmcEvStatusText{
            cmcGTex::mainTable().getText(QStringLiteral("GI_AppInd_Opt_SvcPwd_Done"),
                                         m_env.adjustModeWord.isEmpty() ? 1 : 0),
            cuiColor::toQColor(cuiColor::clWindowText).rgb(),
            cuiColor::toQColor(cuiColor::clBtnFace).rgb()});
}

void indMain::adjustRead() {
    if (m_cloneMan->IsBusy()) return;
    if (!adjustAccess()) return;
    if (cmcPrompt::ask(cmcGTex::mainTable().getTextBlock(QStringLiteral("GI_Mess_Adjust_Caution")),
                       title(), cmcPromptButtons::OkCancel, cmcPromptIcon::Warning) != PA_Ok)
        return;
    // The read replaces the document: unsaved changes are offered for saving first.
    if (SaveChangesPrompt(false) == PA_Cancel) return;
    if (m_cloneMan->IsBusy()) return;
    syncLink();
    m_cloneMan->setAdjustMode(indCloneMan::AdjustReading);
    if (!m_cloneMan->Info(&indMain::adjustInfoContinuation, this)) {
        m_cloneMan->setAdjustMode(indCloneMan::AdjustNone);
        emit cloneFinished(indCloneMan::OpAdjust, -1);
    }
}

// The clone read's own continuation. When it did not start the read, the adjustment read
// ends here (a failed exchange has already reset the adjustment mode and said why).
void indMain::adjustInfoContinuation(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    readContinuation(context, result);
    if (!self->m_cloneMan->IsBusy()) self->m_cloneMan->setAdjustMode(indCloneMan::AdjustNone);
}

// Called by the read completion once an image has been taken over. The rest runs after
// the driver's callback has returned, so that the wait dialog's loop holds up no step.
void indMain::adjustAfterRead() {
    QTimer::singleShot(0, this, [this] { adjustCommand(); });
}

void indMain::adjustCommand() {
    if (m_cloneMan->adjustMode() != indCloneMan::AdjustReading) return;
    if (m_env.tcpLink) {
        // A networked radio restarts after the read; the sequence goes on however the wait ends.
        cuiRebootWait wait(cuiRebootWait::configuredSeconds(), m_form);
        wait.exec();
    }
    m_adjustValues.clear();
    m_cloneMan->setAdjustMode(indCloneMan::AdjustCommanding);
    if (m_cloneMan->adjustDriver().IsBusy() || m_cloneMan->IsBusy()) {
        emit cloneFinished(indCloneMan::OpAdjust, -1);
        return;
    }
    syncLink();
    m_cloneMan->adjustDriver().SetCommand(imcAdjustValues::EnterSubCommand,
                                          imcAdjustValues::EnterArgument, nullptr);
    if (!m_cloneMan->StartAdjust(&indMain::adjustCommandCompletion, this))
        emit cloneFinished(indCloneMan::OpAdjust, -1);
}

void indMain::adjustCommandCompletion(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    if (auto* ev = cmcEvMan::instance()) {
        ev->send(EV_RepaintAll);
        // The radio is in its adjustment state: its values come up at once.
        if (result->status == CS_Ok) ev->post(EV_AdjustWindow);
    }
    emit self->cloneFinished(indCloneMan::OpAdjust, result->status);
}

// ---- the adjustment values ----

bool indMain::ReadAdjustValues() {
    if (m_cloneMan->IsBusy()) return false;
    syncLink();
    m_cloneMan->adjustDriver().SetCommandTable(m_adjustValues.table());
    return m_cloneMan->StartAdjustTable(&indMain::adjustValuesCompletion, this);
}

void indMain::adjustValuesCompletion(void* context, dst_CDrv_Result* result) {
    auto* self = static_cast<indMain*>(context);
    imcAdjustValues::Radio radio;
    radio = imcRadioIdentity::FromInfo(self->m_radioInfo);
    self->m_adjustValues.finishRead(result->status == CS_Ok, radio, QDateTime::currentDateTime());
    if (auto* ev = cmcEvMan::instance()) {
        if (self->m_adjustWindow) ev->send(EV_AdjustValuesRead);
        ev->send(EV_RepaintAll);
    }
    emit self->adjustValuesRead(result->status);
}

void indMain::OpenAdjustWindow() {
    if (m_adjustWindow) {
        if (auto* ev = cmcEvMan::instance())
            ev->send(cmcEvWindowByName{QString::fromLatin1(iuiWinAd::SheetKey)});
        return;
    }
    auto* window = new iuiWinAd(m_adjustValues, m_form);
    window->setRefresh([this] { ReadAdjustValues(); });
    m_adjustWindow = window;
    window->show();
    if (!ReadAdjustValues()) emit adjustValuesRead(-1);
}

bool indMain::AdjustCell(cmcCellRequest& r) {
    const int item = r.index;
    const bool inTable = item >= 0 && item < imcAdjustValues::Count;
    switch (r.label) {
    case CL_WinAD_Arg:
        r.fl.display =
            inTable ? imcAdjustValues::argumentText(imcAdjustValues::argument(item)) : QString();
        if (inTable) r.setValue(imcAdjustValues::argument(item));
        return true;
    case CL_WinAD_Hex:
    case CL_WinAD_Dec:
        // Nothing until a read has completed.
        if (!inTable || !m_adjustValues.isRead()) {
            r.fl.display.clear();
            return true;
        }
        r.fl.display = r.label == CL_WinAD_Hex
                           ? imcAdjustValues::hexText(m_adjustValues.value(item))
                           : QString::number(m_adjustValues.value(item));
        r.setValue(m_adjustValues.value(item));
        return true;
    case CL_WinAD_Radio:
        r.fl.display = !m_adjustValues.isRead() ? QString()
                       : item == 0              ? m_adjustValues.radio().model
                       : item == 1              ? m_adjustValues.radio().serial
                       : item == 2
                           ? m_adjustValues.readAt().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                           : QString();
        return true;
    default:
        return false;
    }
}
