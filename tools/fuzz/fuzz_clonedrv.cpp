// The clone driver against a radio that says whatever the fuzzer says. The first byte picks
// the operation (identify, information, read, write) and the link (serial line without the
// echo check, or TCP, where the program's own frames coming back are skipped); the rest is
// what the radio sends, handed to the driver in reads of varying size. Time runs on a clock
// of the fuzzer's own, so every time-out passes in a few ticks.
//
// Besides the sanitizers' findings: the callback comes exactly once, with a status the
// driver can give; a read that succeeds holds every requested address; the driver ends
// within a bounded number of ticks.

#include "cmcCloneDrv.h"
#include "cmcEeprom.h"
#include "cmcTick.h"
#include "dst_CDrv_Result.h"
#include "imcRadioFacts.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

uint32_t g_now = 0;

const cmcAdrRange Ranges[] = {{0x0000, 0x01FF}, {0x0450, 0x047F}, {1, 0}};

class ScriptedRadio : public cmcCloneLink {
  public:
    ScriptedRadio(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Open(const QString&) override { return true; }
    void Close() override {}
    int Read(uint8_t* buffer, int capacity) override {
        if (m_pos >= m_size) return 0;
        // Reads of 1 to 97 bytes, so that frames split across reads at every place.
        int n = 1 + int((m_reads++ * 37) % 97);
        n = int(std::min<size_t>({size_t(n), size_t(capacity), m_size - m_pos}));
        std::memcpy(buffer, m_data + m_pos, size_t(n));
        m_pos += size_t(n);
        return n;
    }
    void Write(const uint8_t*, int count) override { m_written += count; }

  private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    size_t m_reads = 0;
    int64_t m_written = 0;
};

struct Outcome {
    int calls = 0;
    int status = -1;
    bool complete = true;
};

void done(void* context, dst_CDrv_Result* r) {
    auto* o = static_cast<Outcome*>(context);
    ++o->calls;
    o->status = r->status;
    if (r->status == CS_Ok && r->operation == cmcCloneDrv::OpRead)
        for (const cmcAdrRange* range = Ranges; range->first <= range->last; ++range)
            for (int32_t a = range->first; a <= range->last; ++a)
                if (!r->received(a)) o->complete = false;
}

bool knownStatus(int status) {
    switch (status) {
    case CS_Ok:
    case CS_LinkOpen:
    case CS_Echo:
    case CS_Timeout:
    case CS_BadFrame:
    case CS_FrameCount:
    case CS_Missing:
    case CS_Outside:
    case CS_WriteReply:
    case CS_SerialWrite:
    case CS_LinkLost:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Timer tasks want an application object; the fuzzer never runs its event loop.
    static QCoreApplication app(*argc, *argv);
    cmcTick::setClock([] { return g_now; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const cmcEeprom source = [] {
        cmcEeprom e(QxRadio::ImageSize);
        for (int32_t a = 0; a < e.GetSize(); ++a)
            e.SetByte(a, uint8_t(a * 7 + 3));
        return e;
    }();
    const int operation = data[0] & 3;
    const bool tcp = data[0] & 4;
    ScriptedRadio radio(data + 1, size - 1);
    cmcCloneDrv drv;
    drv.SetLinkOverride(&radio);
    drv.SetTcpLink(tcp, QStringLiteral("127.0.0.1"), 41000);
    drv.SetCodes(QxRadio::ModelCode, QxRadio::FrameCode2);
    drv.SetImageSize(QxRadio::ImageSize);
    drv.SetEchoCheck(false);
    drv.SetAckBlock(128);
    Outcome outcome;
    bool started = false;
    switch (operation) {
    case 0:
        started = drv.StartIdentify(&done, &outcome);
        break;
    case 1:
        started = drv.StartInfo(&done, &outcome);
        break;
    case 2:
        started = drv.StartRead(Ranges, &done, &outcome);
        break;
    default:
        started = drv.StartWrite(source, Ranges, &done, &outcome);
        break;
    }
    if (!started) std::abort();
    // Every byte is taken within a few ticks; silence ends with a time-out of at most 2 s.
    const int maxTicks = 1000 + int(size);
    int ticks = 0;
    for (; drv.IsBusy() && ticks < maxTicks; ++ticks) {
        g_now += 25;
        drv.Tick();
    }
    if (drv.IsBusy()) std::abort();
    if (outcome.calls != 1 || !knownStatus(outcome.status) || !outcome.complete) std::abort();
    return 0;
}
