#include "indCloneMan.h"

#include "clsPortDiagnosis.h"
#include "cmcCloneMessage.h"
#include "cmcComm.h"
#include "cmcGTex.h"
#include "cmcPrompt.h"
#include "cmcTask.h"
#include "cuiCloneProgress.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"

#include <QWidget>
#include <algorithm>

indCloneMan::indCloneMan() {
    m_task = new cmcTask;
    m_task->setCallback(&indCloneMan::taskCallback, this);
}

indCloneMan::~indCloneMan() {
    cmcTask::release(m_task);
    if (m_progress) delete m_progress.data();
}

void indCloneMan::SetCodes(uint32_t code1, uint32_t code2) {
    m_driver.SetCodes(code1, code2);
    m_adjust.SetCodes(code1, code2);
}

void indCloneMan::SetImageSize(int32_t size) {
    m_driver.SetImageSize(size);
    m_adjust.SetImageSize(size);
}

void indCloneMan::setUpLink(bool serialSettings) {
    m_driver.SetTcpLink(m_link.tcpLink, m_link.tcpAddress, uint16_t(m_link.tcpPort));
    if (serialSettings || !m_link.tcpLink) {
        if (!m_link.tcpLink)
            m_driver.SetLink(m_link.comPort,
                             QString::fromLatin1(m_link.highSpeed ? HighSpeed : LowSpeed));
        m_driver.SetEchoCheck(true);
        m_driver.SetAckBlock(128);
        m_driver.SetStepTimeout(ReadStepTimeout);
    }
}

void indCloneMan::begin(int32_t operation, Completion completion, void* context,
                        const QString& progressCaption) {
    m_operation = operation;
    m_completion = completion;
    m_completionContext = context;
    m_clock.start();
    m_summary.clear();
    setMainEnabled(false);
    if (!progressCaption.isEmpty()) {
        if (m_progress) delete m_progress.data();
        m_progress = new cuiCloneProgress(progressCaption, m_mainWindow);
        m_progress->setCancelText(progressText(3));
        m_progress->onCancel = [this] { Cancel(); };
        m_progress->setProgress(0, m_total);
        updateProgressText();
        startTask();
    }
}

bool indCloneMan::Info(Completion completion, void* context) {
    if (IsBusy()) return false;
    setUpLink(false);
    if (!m_driver.StartInfo(&indCloneMan::driverCallback, this)) return false;
    begin(OpInfo, completion, context, QString());
    return true;
}

bool indCloneMan::InfoWithProgress(Completion completion, void* context, const QString& caption) {
    if (IsBusy()) return false;
    setUpLink(false);
    m_total = 0;
    if (!m_driver.StartInfo(&indCloneMan::driverCallback, this)) return false;
    begin(OpInfo, completion, context, caption);
    return true;
}

bool indCloneMan::Read(const cmcAdrRange* ranges, Completion completion, void* context) {
    if (IsBusy()) return false;
    setUpLink(true);
    m_driver.SetStepTimeout(ReadStepTimeout);
    m_total = imcCloneCheck::RangeBytes(ranges);
    if (!m_driver.StartRead(ranges, &indCloneMan::driverCallback, this)) return false;
    begin(OpRead, completion, context, QStringLiteral("Cloning"));
    return true;
}

bool indCloneMan::Write(const cmcEeprom& image, const cmcAdrRange* ranges, Completion completion,
                        void* context) {
    if (IsBusy()) return false;
    setUpLink(true);
    m_driver.SetStepTimeout(WriteStepTimeout);
    m_driver.SetAckTimeout(WriteAckTimeout);
    m_total = imcCloneCheck::RangeBytes(ranges);
    m_writeBytes = m_total;
    m_verifying = false;
    m_doneBefore = 0;
    if (m_verifyWrite) {
        m_sent = image;
        m_writeRanges = ranges;
        m_total += imcCloneCheck::RangeBytes(QxRadio::CloneRead);
    }
    if (!m_driver.StartWrite(image, ranges, &indCloneMan::driverCallback, this)) return false;
    begin(OpWrite, completion, context, QStringLiteral("Cloning"));
    return true;
}

namespace {
int listPorts(void*, int* ports, int capacity) {
    int found[cmcComm::MaxPorts];
    int count = 0;
    cmcComm probe;
    probe.EnumeratePorts(found, &count);
    count = std::min(count, capacity);
    for (int i = 0; i < count; ++i)
        ports[i] = found[i];
    return count;
}
} // namespace

int indCloneMan::EnumeratePorts() {
    // Never while a clone runs: probing would open the port in use and a running search
    // would lose its list.
    if (IsBusy()) return -1;
    m_portCount = 0;
    const PortLister lister = m_lister.lister ? m_lister.lister : &listPorts;
    m_portCount = std::clamp(lister(m_lister.context, m_ports, MaxPorts), 0, int(MaxPorts));
    return m_portCount;
}

void indCloneMan::SetPortList(const QList<int>& ports) {
    if (IsBusy()) return;
    m_portCount = int(std::min<qsizetype>(ports.size(), MaxPorts));
    for (int i = 0; i < m_portCount; ++i)
        m_ports[i] = ports[i];
}

bool indCloneMan::StartSearch(Completion completion, void* context) {
    if (IsBusy() || m_portCount <= 0) return false;
    m_total = m_portCount;
    m_searchIndex = 0;
    begin(OpSearch, completion, context, QStringLiteral(" Searching"));
    return true;
}

void indCloneMan::searchStep() {
    // The search asks serial ports, whatever the TCP setting says.
    m_driver.SetTcpLink(false);
    m_driver.SetEchoCheck(true);
    m_driver.SetAckBlock(128);
    m_driver.SetStepTimeout(ReadStepTimeout);
    m_driver.SetLink(m_ports[m_searchIndex],
                     QString::fromLatin1(m_link.highSpeed ? HighSpeed : LowSpeed));
    m_driver.StartIdentify(&indCloneMan::driverCallback, this);
}

// The radio listens at 9,600 baud until the speed-change frame asks it for 38,400; the
// program always asks for the high speed here, whatever the clone commands use.
void indCloneMan::setUpAdjustLink() {
    m_adjust.SetTcpLink(m_link.tcpLink, m_link.tcpAddress, uint16_t(m_link.tcpPort));
    m_adjust.SetScript(m_link.tcpLink ? QString()
                                      : imcCloneDrv::SpeedChangeScript(m_adjust.Code1()));
    if (!m_link.tcpLink) m_adjust.SetLink(m_link.comPort, QString::fromLatin1(HighSpeed));
    m_adjust.SetEchoCheck(false);
    m_adjust.SetAckBlock(128);
    m_adjust.SetStepTimeout(ReadStepTimeout);
}

bool indCloneMan::StartAdjust(Completion completion, void* context) {
    if (IsBusy()) return false;
    setUpAdjustLink();
    m_adjust.SetCommandInterval(m_adjustMode == AdjustCommanding ? AdjustCommandSlowMs
                                                                 : AdjustCommandMs);
    if (!m_adjust.StartCommand(&indCloneMan::driverCallback, this)) return false;
    begin(OpAdjust, completion, context, QString());
    return true;
}

bool indCloneMan::StartAdjustTable(Completion completion, void* context) {
    if (IsBusy()) return false;
    setUpAdjustLink();
    if (!m_adjust.StartTable(&indCloneMan::driverCallback, this)) return false;
    begin(OpAdjust, completion, context, QString());
    return true;
}

int32_t indCloneMan::done() const {
    if (m_operation == OpSearch) return m_searchIndex + 1;
    return m_doneBefore + m_driver.DataByteCount();
}

cuiCloneProgress* indCloneMan::progressWindow() const {
    return m_progress.data();
}

void indCloneMan::startTask() {
    if (m_task->interval() != TaskMs) m_task->setInterval(TaskMs);
}

void indCloneMan::taskCallback(void* context, cmcTask*) {
    static_cast<indCloneMan*>(context)->tick();
}

void indCloneMan::tick() {
    const bool searching = m_operation == OpSearch && m_searchIndex < m_portCount;
    if (searching && !m_driver.IsBusy()) searchStep();
    if (m_progress) {
        m_progress->setProgress(done(), m_total);
        updateProgressText();
    }
    if (!IsBusy() && !(m_operation == OpSearch && m_searchIndex < m_portCount))
        m_task->setInterval(-1);
}

void indCloneMan::driverCallback(void* context, dst_CDrv_Result* result) {
    static_cast<indCloneMan*>(context)->complete(result);
}

bool indCloneMan::startVerify() {
    m_verifying = true;
    m_doneBefore = m_driver.DataByteCount();
    m_driver.SetStepTimeout(ReadStepTimeout);
    if (m_driver.StartRead(QxRadio::CloneRead, &indCloneMan::driverCallback, this)) return true;
    m_verifying = false;
    return false;
}

// The read-back ends the write: its verdict (or the read's failure) is the write's.
void indCloneMan::finishVerify(dst_CDrv_Result* result) {
    m_verifying = false;
    result->operation = cmcCloneDrv::OpWrite;
    if (result->status != CS_Ok) return;
    result->readBack = true;
    result->differences = imcCloneCheck::Differences(m_sent, result->image, m_writeRanges);
    if (!result->differences.empty()) result->status = CS_Verify;
}

void indCloneMan::complete(dst_CDrv_Result* result) {
    // A write that went through is read back before anyone hears of it; the progress
    // window stays.
    if (m_operation == OpWrite && result->operation == cmcCloneDrv::OpWrite && m_verifyWrite &&
        result->status == CS_Ok) {
        if (startVerify()) return;
        result->status = CS_LinkOpen;
    } else if (m_verifying && result->operation == cmcCloneDrv::OpRead) {
        finishVerify(result);
    }
    switch (result->operation) {
    case cmcCloneDrv::OpInfo:
        if (result->status == CS_Ok) {
            if (m_infoHandler.handler)
                m_infoHandler.handler(m_infoHandler.context, result);
            else
                result->status = CS_InfoMismatch;
        }
        break;
    case cmcCloneDrv::OpRead:
        if (result->status == CS_Ok) {
            if (m_readHandler.handler)
                m_readHandler.handler(m_readHandler.context, result);
            else
                result->status = CS_Missing;
        }
        break;
    case cmcCloneDrv::OpIdentify:
        if (result->status == CS_Ok && m_searchHandler.handler)
            m_searchHandler.handler(m_searchHandler.context, result);
        if (m_operation == OpSearch && result->status != CS_Ok && result->status != CS_Cancelled) {
            // The next port on the next tick; the progress window stays.
            if (++m_searchIndex < m_portCount) return;
            m_searchIndex = m_portCount - 1; // the last port asked
            result->status = CS_NoRadio;
        }
        break;
    default:
        break;
    }

    // The task stops before the message: a search must not ask its last port again while
    // the user reads the box.
    m_task->setInterval(-1);
    m_summary = summaryOf(*result);
    const QString text = ErrorText(*result);
    if (!text.isEmpty())
        cmcPrompt::tell(text, cmcGTex::mainTable().getText(QStringLiteral("GI_Sys_AppTitle")),
                        cmcPromptIcon::Error);
    endOperation();

    const Completion completion = m_completion;
    void* context = m_completionContext;
    m_completion = nullptr;
    m_completionContext = nullptr;
    if (result->status != CS_Ok) m_adjustMode = 0;
    if (completion) completion(context, result);
}

void indCloneMan::endOperation() {
    m_task->setInterval(-1);
    m_doneBefore = 0;
    m_verifying = false;
    setMainEnabled(true);
    if (m_progress) {
        m_progress->finish();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    m_operation = OpNone;
}

void indCloneMan::setMainEnabled(bool enabled) {
    if (m_mainWindow) m_mainWindow->setEnabled(enabled);
}

QString indCloneMan::ErrorText(int status) const {
    dst_CDrv_Result result;
    result.status = status;
    return ErrorText(result);
}

QString indCloneMan::ErrorText(const dst_CDrv_Result& result) const {
    const int status = result.status;
    // The user who cancelled needs no message about it.
    if (status == CS_Ok || status == CS_Cancelled) return QString();
    // A search asks serial ports whatever the TCP setting says, so its texts are the cable's.
    cmcCloneMessage::Link link;
    link.tcp = m_link.tcpLink && m_operation != OpSearch;
    link.comPort = m_link.comPort;
    link.tcpAddress = m_link.tcpAddress;
    link.tcpPort = m_link.tcpPort;
    QString text = cmcCloneMessage::Text(result, link);
    // Why a serial device did not open; a network link's headline names what it tried.
    if (status == CS_LinkOpen && !link.tcp && m_operation != OpSearch) {
        const QString why = clsPortDiagnosis::explain(m_link.comPort);
        if (!why.isEmpty()) text += QStringLiteral("\n\n") + why;
    }
    return text;
}

// ---- cancel, progress texts, summary ----

bool indCloneMan::CanCancel() const {
    switch (m_operation) {
    case OpInfo:
    case OpRead:
    case OpSearch:
        return true;
    case OpWrite:
        // Once data frames have gone out the radio holds part of the new data: the write
        // runs to its end (and its read-back with it).
        return !m_verifying && m_driver.CanCancel();
    default:
        return false;
    }
}

bool indCloneMan::Cancel() {
    if (!CanCancel()) return false;
    if (m_driver.IsBusy()) return m_driver.Cancel();
    if (m_operation != OpSearch) return false;
    // A search between two ports: it ends here, at the port asked last.
    m_searchIndex = std::clamp(m_searchIndex, 0, std::max(0, m_portCount - 1));
    dst_CDrv_Result result;
    result.operation = cmcCloneDrv::OpIdentify;
    result.status = CS_Cancelled;
    complete(&result);
    return true;
}

namespace {
// Used when an overlay lacks the progress texts.
const char* const PlainProgress[] = {
    "%1 % - %2 of %3 bytes",
    "%1 % - %2 of %3 bytes - about %4 s left",
    "Link: %1",
    "Cancel",
    "The data is going into the radio: the write can no longer be cancelled.",
    "Port %1 of %2: %3",
    "Asking the radio...",
    "Read %1 bytes from %2 in %3 s",
    "Wrote %1 bytes to %2 in %3 s",
    "Cancelled: the document and the radio are as they were.",
    ",",
    ".",
};
constexpr int PlainProgressLines = int(sizeof(PlainProgress) / sizeof(PlainProgress[0]));
const QString ProgressKey = QStringLiteral("GI_AppInd_CloneProgress");
} // namespace

QString indCloneMan::progressText(int line) {
    cmcGTex& t = cmcGTex::mainTable();
    if (t.hasKey(ProgressKey)) {
        const QString text = t.getText(ProgressKey, line);
        if (!text.startsWith(QLatin1Char('#'))) return text;
    }
    return line >= 0 && line < PlainProgressLines ? QString::fromUtf8(PlainProgress[line])
                                                  : QString();
}

namespace {
// 65520 as "65,520" (or "65.520"): the separator is the language's.
QString grouped(int64_t n, const QString& separator) {
    QString digits = QString::number(n);
    for (int i = int(digits.size()) - 3; i > 0 && digits.at(i - 1).isDigit(); i -= 3)
        digits.insert(i, separator);
    return digits;
}
} // namespace

QString indCloneMan::linkName() const {
    if (m_operation == OpSearch) return cmcComm::DisplayName(searchPort());
    if (m_link.tcpLink) return QStringLiteral("%1:%2").arg(m_link.tcpAddress).arg(m_link.tcpPort);
    return cmcComm::DisplayName(m_link.comPort);
}

void indCloneMan::updateProgressText() {
    if (!m_progress) return;
    const QString separator = progressText(10);
    QString line;
    if (m_operation == OpSearch) {
        line = progressText(5)
                   .arg(std::min(m_searchIndex + 1, m_portCount))
                   .arg(m_portCount)
                   .arg(cmcComm::DisplayName(searchPort()));
    } else if (m_operation == OpInfo || m_total <= 0) {
        line = progressText(6);
    } else {
        const int64_t doneBytes = std::clamp<int64_t>(done(), 0, m_total);
        const int64_t percent = doneBytes * 100 / m_total;
        const qint64 ms = m_clock.elapsed();
        // The time left from the rate so far, once there is a rate to speak of.
        if (doneBytes > 0 && ms >= 1000 && doneBytes < m_total) {
            const int64_t left = ((m_total - doneBytes) * ms / doneBytes + 999) / 1000;
            line = progressText(1)
                       .arg(percent)
                       .arg(grouped(doneBytes, separator), grouped(m_total, separator))
                       .arg(left);
        } else {
            line = progressText(0).arg(percent).arg(grouped(doneBytes, separator),
                                                    grouped(m_total, separator));
        }
    }
    const bool cancel = CanCancel();
    m_progress->setLines(line, progressText(2).arg(linkName()));
    m_progress->setCancelOffered(cancel,
                                 m_operation == OpWrite && !cancel ? progressText(4) : QString());
}

QString indCloneMan::summaryOf(const dst_CDrv_Result& result) const {
    if (result.status == CS_Cancelled) return progressText(9);
    if (result.status != CS_Ok) return QString();
    const QString seconds = QString::number(m_clock.elapsed() / 1000.0, 'f', 1)
                                .replace(QLatin1Char('.'), progressText(11));
    const QString separator = progressText(10);
    if (m_operation == OpRead && result.operation == cmcCloneDrv::OpRead)
        return progressText(7).arg(grouped(m_total, separator), linkName(), seconds);
    if (m_operation == OpWrite)
        return progressText(8).arg(grouped(m_writeBytes, separator), linkName(), seconds);
    return QString();
}
