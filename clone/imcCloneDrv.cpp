#include "imcCloneDrv.h"

namespace {
int upperNibble(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

void imcCloneDrv::SetCommand(uint8_t subCommand, uint8_t argument, uint8_t* result) {
    m_subCommand = subCommand;
    m_argument = argument;
    m_resultPtr = result;
    m_tableLoaded = true;
}

void imcCloneDrv::SetCommandTable(const Command* table) {
    m_table = table;
    m_tableLoaded = true;
}

bool imcCloneDrv::StartCommand(Callback callback, void* context) {
    if (IsBusy()) return false;
    SetTickInterval(m_commandInterval);
    return Begin(OpCommand, callback, context);
}

bool imcCloneDrv::StartTable(Callback callback, void* context) {
    if (IsBusy()) return false;
    SetTickInterval(TableIntervalMs);
    // The base's data byte count serves as the table index.
    if (!Begin(OpTable, callback, context)) return false;
    m_dataBytes = 0;
    return true;
}

QByteArray imcCloneDrv::CommandFrame(uint32_t code1, uint8_t subCommand, uint8_t argument) {
    QByteArray f = QByteArray::fromHex(
        QString::asprintf("FEFEEEEFE8%04X0000%02X", code1 & 0xFFFF, subCommand).toLatin1());
    f.append(QString::asprintf("%02X", argument).toLatin1());
    f.append(char(0xFD));
    return f;
}

QString imcCloneDrv::SpeedChangeScript(uint32_t code1) {
    return QStringLiteral("(9600,N,8,1)") + QStringLiteral("FE").repeated(20) +
           QString::asprintf("EEEFE8%04X0000013039FD", code1 & 0xFFFF);
}

int32_t imcCloneDrv::FirstOwnState(int32_t operation) {
    if (operation == OpCommand) return 23;
    if (operation == OpTable) return 21;
    return cmcCloneDrv::FirstOwnState(operation);
}

int32_t imcCloneDrv::OwnStep(int32_t state) {
    switch (state) {
    case 21:
        return nextEntry();
    case 23:
        return sendCommand();
    case 24:
        return readReply();
    default:
        return cmcCloneDrv::OwnStep(state);
    }
}

int32_t imcCloneDrv::nextEntry() {
    const Command* e = m_table ? &m_table[m_dataBytes] : nullptr;
    if (!e || e->subCommand >= 255 || e->subCommand < 0) {
        SetStatus(CS_Ok);
        return 27;
    }
    m_subCommand = uint8_t(e->subCommand);
    m_argument = e->argument ? *e->argument : 0;
    m_resultPtr = e->result;
    ++m_dataBytes;
    return 23;
}

int32_t imcCloneDrv::sendCommand() {
    SendBytes(CommandFrame(Code1(), m_subCommand, m_argument));
    if (m_resultPtr) return 24;
    if (Operation() == OpTable) return 21;
    SetStatus(CS_Ok);
    return 27;
}

int32_t imcCloneDrv::readReply() {
    QByteArray f;
    if (!ReadFrame(&f)) return 24;
    const auto* p = reinterpret_cast<const uint8_t*>(f.constData());
    if (f.size() < 11 || p[0] != 0xFE || p[1] != ProgramAddress || p[2] != RadioAddress ||
        p[3] != 0xE8 || p[4] != (Code1() >> 8 & 0xFF) || p[5] != (Code1() & 0xFF)) {
        SetStatus(CS_BadFrame); // noted; the frame is ignored and the wait goes on
        return 24;
    }
    for (int i = 0; i < ResultBytes && 9 + 2 * i + 1 < f.size(); ++i) {
        const int hi = upperNibble(f[9 + 2 * i]);
        const int lo = upperNibble(f[9 + 2 * i + 1]);
        if (hi < 0 || lo < 0) {
            SetStatus(CS_BadFrame);
            break;
        }
        m_resultPtr[i] = uint8_t(hi << 4 | lo);
    }
    if (Operation() == OpTable) return 21;
    SetStatus(CS_Ok);
    MarkProgress();
    return 27;
}
