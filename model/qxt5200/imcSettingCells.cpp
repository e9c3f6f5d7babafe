#include "imcSettingCells.h"

#include "cmcCellDispatch.h"
#include "cmcEeprom.h"
#include "cmcFCache.h"
#include "cmcFmtFreq.h"
#include "cmcFmtNumber.h"
#include "cmcFmtSelect.h"
#include "cmcFmtTimer.h"

namespace {

enum Kind { Dec, Sel, SelWord, Hex, SoundLength, ScanCallTime };

struct Setting {
    int32_t label;
    int32_t address;
    Kind kind;
    int min;
    int max;
    const cmcSelRef* list;
};

#define QX_SEL(name, key) const cmcSelRef name{key, cuiFlector::KindSelection};
QX_SEL(sOnOff, "GI_Sheet_Sel_Misc_OnOff")
QX_SEL(sBackLight, "GI_Sheet_Sel_SetM_BackLight")
QX_SEL(sAgc, "GI_Sheet_Sel_SetM_Agc")
QX_SEL(sBandWidth, "GI_Sheet_Sel_SetM_BandWidth")
QX_SEL(sOpMode, "GI_Sheet_Sel_SetM_OpMode")
QX_SEL(sPreAmp, "GI_Sheet_Sel_SetM_PreAmp")
QX_SEL(sRfPower, "GI_Sheet_Sel_SetM_RfPower")
QX_SEL(sLockMode, "GI_Sheet_Sel_SetM_LockMode")
QX_SEL(sTxRxMode, "GI_Sheet_Sel_SetM_TxRxMode")
QX_SEL(sDisplayMode, "GI_Sheet_Sel_SetM_DisplayMode")
QX_SEL(sTunerType, "GI_Sheet_Sel_SetM_TunerType")
QX_SEL(sTxTimeout, "GI_Sheet_Sel_SetM_TxTimeout")
QX_SEL(sCwBreakIn, "GI_Sheet_Sel_SetM_CwBreakIn")
QX_SEL(sMeter, "GI_Sheet_Sel_SetM_Meter")
QX_SEL(sFskTone, "GI_Sheet_Sel_SetM_FskTone")
QX_SEL(sFskShift, "GI_Sheet_Sel_SetM_FskShift")
QX_SEL(sFskPolarity, "GI_Sheet_Sel_SetM_FskPolarity")
QX_SEL(sModem, "GI_Sheet_Sel_SetM_Modem")
QX_SEL(sDataMode, "GI_Sheet_Sel_SetM_DataMode")
QX_SEL(sShiftFreq, "GI_Sheet_Sel_SetM_ShiftFreq")
QX_SEL(sScan, "GI_Sheet_Sel_SetM_Scan")
QX_SEL(sScanAutoStart, "GI_Sheet_Sel_SetM_ScanAutoStart")
QX_SEL(sScanSpeed, "GI_Sheet_Sel_SetM_ScanSpeed")
QX_SEL(sTimeout, "GI_Sheet_Sel_SetM_Timeout")
QX_SEL(sDisRxTx, "GI_Sheet_Sel_SetM_DisRxTx")
QX_SEL(sSounding, "GI_Sheet_Sel_SetM_Sounding")
QX_SEL(sDecayTime, "GI_Sheet_Sel_SetM_DecayTime")
QX_SEL(sInitTransMode, "GI_Sheet_Sel_SetM_InitTransMode")
QX_SEL(sBaudrate, "GI_Sheet_Sel_SetM_Baudrate")
#undef QX_SEL

#define D(l, a, lo, hi)                                                                            \
    { l, a, Dec, lo, hi, nullptr }
#define S(l, a, list)                                                                              \
    { l, a, Sel, 0, 0, &list }
// In address order; CL_USetM_Clarifier is the one 16-bit value.
const Setting kSettings[] = {
    D(CL_USetM_LcdContrast, 0xA962, 0, 10),
    D(CL_USetM_LcdDimmer, 0xA963, 0, 10),
    S(CL_USetM_BackLight, 0xA964, sBackLight),
    D(CL_USetM_BeepLevel, 0xA965, 0, 50),
    D(CL_USetM_SqlLevel, 0xA966, 0, 50),
    S(CL_USetM_NoiseBlanker, 0xA967, sOnOff),
    D(CL_USetM_NoiseBlankerLv, 0xA968, 0, 15),
    S(CL_USetM_Agc, 0xA969, sAgc),
    S(CL_USetM_BandWidth, 0xA96A, sBandWidth),
    {CL_USetM_Clarifier, 0xA96B, SelWord, 0, 0, &sOnOff},
    S(CL_USetM_OpMode, 0xA96D, sOpMode),
    S(CL_USetM_PreAmp, 0xA96E, sPreAmp),
    S(CL_USetM_Split, 0xA96F, sOnOff),
    S(CL_USetM_RfPower, 0xA970, sRfPower),
    S(CL_USetM_SpeechProcessor, 0xA971, sOnOff),
    D(CL_USetM_SpeechProcessorLv, 0xA972, 0, 10),
    D(CL_USetM_MicGain, 0xA973, 0, 10),
    S(CL_USetM_KeyLock, 0xA974, sLockMode),
    D(CL_USetM_SideToneLv, 0xA975, 0, 50),
    S(CL_USetM_Scrambler, 0xA976, sOnOff),
    S(CL_USetM_Gps, 0xA977, sOnOff),
    S(CL_USetM_Mode, 0xA978, sTxRxMode),
    S(CL_SetM_DisplayMode, 0xA979, sDisplayMode),
    S(CL_SetM_TunerType, 0xA97A, sTunerType),
    S(CL_SetM_TxTimeout, 0xA97B, sTxTimeout),
    S(CL_SetM_CwBreakIn, 0xA97C, sCwBreakIn),
    D(CL_SetM_ScrambleCode, 0xA97D, 0, 255),
    S(CL_SetM_VfoMode, 0xA97E, sOnOff),
    S(CL_SetM_Agc, 0xA97F, sOnOff),
    D(CL_SetM_ClearTalkLv, 0xA980, 1, 15),
    S(CL_SetM_MeterType, 0xA981, sMeter),
    S(CL_SetM_FskTone, 0xA982, sFskTone),
    S(CL_SetM_FskShift, 0xA983, sFskShift),
    S(CL_SetM_FskPolarity, 0xA984, sFskPolarity),
    S(CL_SetM_Modem, 0xA985, sModem),
    S(CL_SetM_DataMode1, 0xA986, sDataMode),
    S(CL_SetM_DataMode2, 0xA987, sDataMode),
    S(CL_SetM_DataMode3, 0xA988, sDataMode),
    S(CL_SetM_ShiftFreq, 0xA989, sShiftFreq),
    S(CL_SetM_Scan, 0xA98A, sScan),
    S(CL_SetM_ScanResume, 0xA98B, sOnOff),
    S(CL_SetM_ScanAutoStart, 0xA98C, sScanAutoStart),
    S(CL_SetM_ScanSpeed, 0xA98D, sScanSpeed),
    S(CL_SetM_SelcallSilent, 0xA98E, sOnOff),
    S(CL_SetM_SelcallTimeout, 0xA98F, sTimeout),
    S(CL_SetM_SelcallSelectiveMode, 0xA990, sDisRxTx),
    S(CL_SetM_SelcallChannelTest, 0xA991, sDisRxTx),
    S(CL_SetM_SelcallSendPosition, 0xA992, sDisRxTx),
    S(CL_SetM_SelcallGetPosition, 0xA993, sDisRxTx),
    S(CL_SetM_SelcallPhone, 0xA994, sDisRxTx),
    S(CL_SetM_SelcallGetStatus, 0xA995, sDisRxTx),
    S(CL_SetM_SelcallMessage, 0xA996, sDisRxTx),
    S(CL_SetM_SelcallEmergency, 0xA997, sDisRxTx),
    S(CL_SetM_AleMode, 0xA998, sDisRxTx),
    D(CL_SetM_AleScanGroup, 0xA999, 1, 100),
    S(CL_SetM_AleScanSpeed, 0xA99A, sScanSpeed),
    S(CL_SetM_AleAutoSound, 0xA99B, sSounding),
    D(CL_SetM_AleAutoSoundGroup, 0xA99C, 1, 100),
    D(CL_SetM_AleAutoSoundSelfId, 0xA99D, 1, 20),
    S(CL_SetM_AleDecayTime, 0xA99E, sDecayTime),
    {CL_SetM_AleSoundLength, 0xA99F, SoundLength, 5, 100, nullptr},
    D(CL_SetM_AleBerThreshold, 0xA9A0, 0, 48),
    D(CL_SetM_AleGolayThreshold, 0xA9A1, 0, 3),
    D(CL_SetM_AleErrThreshold, 0xA9A2, 0, 4),
    S(CL_SetM_AleSilent, 0xA9A3, sOnOff),
    D(CL_SetM_AleCallRetry, 0xA9A4, 0, 99),
    D(CL_SetM_AleLqaAverage, 0xA9A5, 1, 8),
    S(CL_SetM_AleLqaRequest, 0xA9A6, sOnOff),
    {CL_SetM_AleScanCallTime, 0xA9A7, ScanCallTime, 1, 101, nullptr},
    S(CL_SetM_AdvanceUserMode, 0xA9A8, sOnOff),
    S(CL_SetM_InitTransMode, 0xA9A9, sInitTransMode),
    {CL_SetM_RCX_Address, 0xA9AA, Hex, 0x01, 0xDF, nullptr},
    S(CL_SetM_RCX_Baudrate, 0xA9AB, sBaudrate),
};
#undef D
#undef S

constexpr int32_t kFirstLabel = CL_USetM_LcdContrast;
constexpr int32_t kLastLabel = CL_SetM_RCX_Baudrate;
constexpr int kSettingCount = int(sizeof(kSettings) / sizeof(kSettings[0]));
static_assert(kSettingCount == kLastLabel - kFirstLabel + 1,
              "one entry per setting label, in label order");

const uint32_t kBandLimits[9][2] = {
    {30000, 2499990},     {2500000, 5999990},   {6000000, 8999990},
    {9000000, 12999990},  {13000000, 16999990}, {17000000, 19999990},
    {20000000, 22999990}, {23000000, 25999990}, {26000000, 29999990},
};

uint32_t readU32(const cmcEeprom& image, int32_t a) {
    uint8_t b[4];
    image.GetBlock(a, b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void writeU32(cmcEeprom& image, int32_t a, uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    image.SetBlock(a, b, 4);
}

} // namespace

bool imcSettingCells::serves(int32_t label) {
    return (label >= kFirstLabel && label <= kLastLabel) ||
           (label >= CL_VFO_A_Band1 && label <= CL_VFO_B_Band9);
}

int32_t imcSettingCells::addressOf(int32_t label) {
    if (label >= kFirstLabel && label <= kLastLabel) return kSettings[label - kFirstLabel].address;
    if (label >= CL_VFO_A_Band1 && label <= CL_VFO_A_Band9)
        return VfoABase + 8 * (label - CL_VFO_A_Band1);
    if (label >= CL_VFO_B_Band1 && label <= CL_VFO_B_Band9)
        return VfoBBase + 8 * (label - CL_VFO_B_Band1);
    return -1;
}

void imcSettingCells::bandLimits(int band, uint32_t* min, uint32_t* max) {
    if (band < 1 || band > 9) band = 1;
    *min = kBandLimits[band - 1][0];
    *max = kBandLimits[band - 1][1];
}

bool imcSettingCells::dispatch(cmcCellDispatch& d, cmcCellRequest& r) {
    cmcEeprom& image = *d.m_image;
    if (r.label >= CL_VFO_A_Band1 && r.label <= CL_VFO_B_Band9) {
        const int band = (r.label - CL_VFO_A_Band1) % 9 + 1;
        const int32_t a = addressOf(r.label);
        uint32_t lo = 0, hi = 0;
        bandLimits(band, &lo, &hi);
        uint32_t v = readU32(image, a);
        if (cmcFmtFreq::limited(r.fl, v, lo, hi)) {
            writeU32(image, a, v);
            d.changedNow(r);
        }
        r.setValue(v);
        return r.changed;
    }

    const Setting& s = kSettings[r.label - kFirstLabel];
    int64_t v = 0;
    switch (s.kind) {
    case SelWord:
        v = image.GetByte(s.address) | image.GetByte(s.address + 1) << 8;
        break;
    case ScanCallTime:
        v = image.GetByte(s.address) + 1;
        break; // the byte holds the value - 1
    default:
        v = image.GetByte(s.address);
        break;
    }

    bool changed = false;
    switch (s.kind) {
    case Dec:
        changed = cmcFmtNumber::decimal(r.fl, v, s.min, s.max);
        break;
    case Sel:
    case SelWord:
        changed = cmcFmtSelect::select(r.fl, v, s.list->get());
        break;
    case Hex:
        changed = cmcFmtNumber::hex(r.fl, v, s.min, s.max, 2);
        break;
    case SoundLength: {
        cmcTimerParams p;
        p.min = s.min;
        p.max = s.max;
        p.special = 101;
        p.trim = 4;
        changed = cmcFmtTimer::run(r.fl, v, p);
        break;
    }
    case ScanCallTime: {
        cmcTimerParams p;
        p.min = s.min;
        p.max = s.max;
        p.mode = 2;
        p.special = 101;
        changed = cmcFmtTimer::run(r.fl, v, p);
        break;
    }
    }
    if (changed) {
        switch (s.kind) {
        case SelWord:
            image.SetByte(s.address, uint8_t(v));
            image.SetByte(s.address + 1, uint8_t(v >> 8));
            break;
        case ScanCallTime:
            image.SetByte(s.address, uint8_t(v - 1));
            break;
        default:
            image.SetByte(s.address, uint8_t(v));
            break;
        }
        d.changedNow(r);
    }
    r.setValue(v);
    return r.changed;
}
