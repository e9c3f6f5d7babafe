#include "imcFleetClone.h"

#include "cmcCloneMessage.h"
#include "cmcComm.h"
#include "dst_CDrv_Result.h"
#include "imcCloneCheck.h"
#include "imcFleetSheet.h"
#include "imcRadioFacts.h"

#include <QHash>
#include <QTimer>

imcFleetClone::imcFleetClone() = default;

imcFleetClone::~imcFleetClone() = default;

void imcFleetClone::setLinks(const QList<Link>& links) {
    if (m_running) return;
    m_slots.clear();
    for (const Link& link : links) {
        auto s = std::make_unique<Slot>();
        s->fleet = this;
        s->index = int(m_slots.size());
        s->radio.link = link;
        m_slots.push_back(std::move(s));
    }
}

void imcFleetClone::setSheet(const imcFleetSheet* sheet, bool plainForUnlisted,
                             const cmcEeprom* defaults) {
    if (m_running) return;
    m_sheet = sheet;
    m_plainForUnlisted = plainForUnlisted;
    m_defaults = defaults;
}

bool imcFleetClone::startWrite(const cmcEeprom& image, const cmcAdrRange* ranges) {
    if (m_running || !ranges) return false;
    m_image = image;
    m_ranges = ranges;
    m_total = imcCloneCheck::RangeBytes(ranges) +
              (m_verify ? imcCloneCheck::RangeBytes(QxRadio::CloneRead) : 0);
    return start(true);
}

bool imcFleetClone::startRead() {
    if (m_running) return false;
    m_ranges = QxRadio::CloneRead;
    m_total = imcCloneCheck::RangeBytes(QxRadio::CloneRead);
    return start(false);
}

bool imcFleetClone::start(bool write) {
    if (m_slots.empty()) return false;
    m_write = write;
    m_running = true;
    m_planned = false;
    m_open = int(m_slots.size());
    for (auto& s : m_slots) {
        Radio& r = s->radio;
        r.phase = Identifying;
        r.status = 0;
        r.partlyWritten = r.refused = r.hasImage = false;
        r.information.clear();
        r.differences.clear();
        r.doneBefore = 0;
        r.applied.clear();
        r.note.clear();
        s->identified = s->ownImage = false;
        s->infosLeft = write ? m_infoExchanges : 1;
        configure(*s);
    }
    // Every driver starts before any can finish: a link that fails to open still ends
    // from its own tick.
    for (auto& s : m_slots)
        if (!s->driver.StartInfo(&imcFleetClone::callback, s.get())) end(*s, CS_LinkOpen);
    return true;
}

void imcFleetClone::configure(Slot& s) {
    const Link& l = s.radio.link;
    cmcCloneDrv& d = s.driver;
    d.SetCodes(QxRadio::ModelCode, QxRadio::FrameCode2);
    d.SetImageSize(QxRadio::ImageSize);
    d.SetTcpLink(l.tcp, l.host, l.tcpPort);
    if (!l.tcp) d.SetLink(l.comPort, l.serialSettings);
    d.SetEchoCheck(true);
    d.SetAckBlock(128);
    d.SetStepTimeout(ReadStepTimeout);
}

void imcFleetClone::callback(void* context, dst_CDrv_Result* result) {
    auto* s = static_cast<Slot*>(context);
    s->fleet->advance(*s, *result);
}

// One radio's next step, from inside its driver's callback (which may start the next
// operation at once).
void imcFleetClone::advance(Slot& s, dst_CDrv_Result& result) {
    Radio& r = s.radio;
    cmcCloneDrv& d = s.driver;
    if (result.status != CS_Ok) {
        r.partlyWritten = result.partlyWritten;
        r.refused = result.refused;
        end(s, result.status);
        return;
    }
    switch (r.phase) {
    case Identifying: {
        r.information = QByteArray(reinterpret_cast<const char*>(result.information.GetData()),
                                   result.information.GetLength());
        const int32_t verdict = imcCloneCheck::CheckInfo(result);
        if (verdict != CS_Ok) {
            end(s, verdict);
            return;
        }
        if (--s.infosLeft > 0) {
            if (!d.StartInfo(&imcFleetClone::callback, &s)) end(s, CS_LinkOpen);
            return;
        }
        if (m_write && m_sheet) {
            s.identified = true;
            planWhenReady();
            return;
        }
        startTransfer(s);
        return;
    }
    case Writing:
        if (!m_verify) {
            end(s, CS_Ok);
            return;
        }
        r.phase = Verifying;
        r.doneBefore = imcCloneCheck::RangeBytes(m_ranges);
        d.SetStepTimeout(ReadStepTimeout);
        if (!d.StartRead(QxRadio::CloneRead, &imcFleetClone::callback, &s)) end(s, CS_LinkOpen);
        return;
    case Verifying:
        r.image = result.image;
        r.hasImage = true;
        r.differences = imcCloneCheck::Differences(sentImage(s.index), result.image, m_ranges);
        end(s, r.differences.empty() ? CS_Ok : CS_Verify);
        return;
    case Reading: {
        const int32_t verdict = imcCloneCheck::CheckReadImage(result.image);
        if (verdict == CS_Ok) {
            r.image = result.image;
            r.hasImage = true;
        }
        end(s, verdict);
        return;
    }
    default:
        end(s, CS_Ok);
        return;
    }
}

void imcFleetClone::startTransfer(Slot& s) {
    Radio& r = s.radio;
    cmcCloneDrv& d = s.driver;
    bool started = false;
    if (m_write) {
        r.phase = Writing;
        // The radio takes its time to store each block.
        d.SetStepTimeout(WriteStepTimeout);
        d.SetAckTimeout(WriteAckTimeout);
        started =
            d.StartWrite(s.ownImage ? s.image : m_image, m_ranges, &imcFleetClone::callback, &s);
    } else {
        r.phase = Reading;
        started = d.StartRead(QxRadio::CloneRead, &imcFleetClone::callback, &s);
    }
    if (!started) end(s, CS_LinkOpen);
}

void imcFleetClone::planWhenReady() {
    if (!m_write || !m_sheet || m_planned) return;
    for (const auto& s : m_slots)
        if (s->radio.phase != Done && !s->identified) return;
    m_planned = true;
    // From the event loop, not from inside a driver's callback.
    QTimer::singleShot(0, &m_notifier, [this] { plan(); });
}

namespace {
// The names a radio's row may give for its link.
QStringList linkNames(const imcFleetClone::Link& l) {
    QStringList names{l.name};
    if (l.tcp)
        names << QStringLiteral("%1:%2").arg(l.host).arg(l.tcpPort);
    else
        names << cmcComm::DeviceName(l.comPort) << QStringLiteral("COM%1").arg(l.comPort);
    return names;
}
} // namespace

void imcFleetClone::plan() {
    std::vector<Slot*> ready;
    for (auto& s : m_slots)
        if (s->radio.phase != Done && s->identified) ready.push_back(s.get());
    QStringList problems;
    QHash<int, Slot*> claimed;
    std::vector<int> rowOf;
    for (Slot* s : ready) {
        const imcRadioIdentity id = identity(s->index);
        const int row = m_sheet->find({id.key, id.serial}, linkNames(s->radio.link));
        rowOf.push_back(row);
        if (row < 0) {
            if (!m_plainForUnlisted)
                problems << QStringLiteral("radio %1 (%2) has no row in the per-radio values")
                                .arg(id.shownSerial(), s->radio.link.name);
            continue;
        }
        if (Slot* other = claimed.value(row)) {
            problems << QStringLiteral("radios %1 and %2 both answer to row %3")
                            .arg(other->radio.link.name, s->radio.link.name,
                                 m_sheet->rows()[size_t(row)].radio);
            continue;
        }
        claimed.insert(row, s);
    }
    // Every image is made before any is written: a row that fails stops the batch as well.
    for (size_t i = 0; i < ready.size() && problems.isEmpty(); ++i) {
        Slot& s = *ready[i];
        s.image = m_image;
        s.ownImage = true;
        s.radio.applied = QStringLiteral("-");
        if (rowOf[i] < 0) continue;
        std::vector<cmcCsvIssue> errors;
        if (!m_sheet->apply(rowOf[i], s.image, m_defaults, &errors)) {
            for (const cmcCsvIssue& e : errors)
                problems << e.describe();
            continue;
        }
        s.radio.applied = m_sheet->applied(rowOf[i]);
    }
    if (!problems.isEmpty()) {
        const QString why = problems.join(QStringLiteral("; "));
        for (Slot* s : ready)
            leaveOut(*s, QStringLiteral("not written: %1").arg(why));
        return;
    }
    // The plain document into several radios gives them all the same identity: allowed,
    // but said before anything is sent.
    QStringList plain;
    for (size_t i = 0; i < ready.size(); ++i)
        if (rowOf[i] < 0)
            plain << QStringLiteral("%1 (%2)").arg(identity(ready[i]->index).shownSerial(),
                                                   ready[i]->radio.link.name);
    if (plain.size() >= 2 && m_plainReview && !m_plainReview(plain)) {
        for (Slot* s : ready)
            leaveOut(*s, QStringLiteral("not written: cancelled before any data was sent"));
        return;
    }
    for (Slot* s : ready)
        if (s->radio.phase != Done) startTransfer(*s);
}

bool imcFleetClone::cancel() {
    if (!m_running) return false;
    bool any = false;
    for (auto& s : m_slots) {
        Radio& r = s->radio;
        if (r.phase == Done) continue;
        if (s->driver.IsBusy()) {
            // The driver ends through its callback with the cancelled status.
            any = s->driver.Cancel() || any;
        } else if (r.phase == Waiting || s->identified) {
            // Waiting for the others before its write: nothing of it has started.
            end(*s, CS_Cancelled);
            any = true;
        }
    }
    return any;
}

void imcFleetClone::leaveOut(Slot& s, const QString& note) {
    s.radio.note = note;
    s.radio.applied.clear();
    end(s, LeftOut);
}

const cmcEeprom& imcFleetClone::sentImage(int i) const {
    const Slot& s = *m_slots[size_t(i)];
    return s.ownImage ? s.image : m_image;
}

void imcFleetClone::end(Slot& s, int32_t status) {
    Radio& r = s.radio;
    if (r.phase == Done) return;
    r.phase = Done;
    r.status = status;
    --m_open;
    planWhenReady();
    QTimer::singleShot(0, &m_notifier, [this, index = s.index, last = m_open == 0] {
        if (m_radioFinished) m_radioFinished(index);
        if (last) {
            m_running = false;
            if (m_finished) m_finished();
        }
    });
}

imcRadioIdentity imcFleetClone::identity(int i) const {
    return imcRadioIdentity::FromInfo(radio(i).information);
}

int32_t imcFleetClone::done(int i) const {
    const Slot& s = *m_slots[size_t(i)];
    if (s.radio.phase == Done) return s.radio.status == CS_Ok ? m_total : s.radio.doneBefore;
    if (s.radio.phase == Identifying || s.radio.phase == Waiting) return 0;
    return s.radio.doneBefore + s.driver.DataByteCount();
}

int32_t imcFleetClone::worstStatus() const {
    int32_t worst = 0;
    for (const auto& s : m_slots)
        worst = std::max(worst, s->radio.status);
    return worst;
}

namespace {
cmcCloneMessage::Link messageLink(const imcFleetClone::Link& l) {
    cmcCloneMessage::Link link;
    link.tcp = l.tcp;
    link.comPort = l.comPort;
    link.tcpAddress = l.host;
    link.tcpPort = l.tcpPort;
    return link;
}
} // namespace

QString imcFleetClone::fullMessage(int i) const {
    const Radio& r = radio(i);
    if (r.status == LeftOut) return r.note;
    dst_CDrv_Result result;
    result.status = r.status;
    result.partlyWritten = r.partlyWritten;
    result.refused = r.refused;
    result.differences = r.differences;
    return cmcCloneMessage::Text(result, messageLink(r.link));
}

QString imcFleetClone::message(int i) const {
    if (radio(i).status == LeftOut) return radio(i).note;
    // The headline, and for a partly written memory its note, on one line.
    const QStringList parts = fullMessage(i).split(QStringLiteral("\n\n"));
    QString line = parts.value(0);
    if (radio(i).partlyWritten && parts.size() > 1) line += QLatin1Char(' ') + parts.value(1);
    return line.replace(QLatin1Char('\n'), QLatin1Char(' ')).trimmed();
}
