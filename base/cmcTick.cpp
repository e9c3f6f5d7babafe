#include "cmcTick.h"

#include <QElapsedTimer>

namespace {
cmcTick::Clock& clockOverride() {
    static cmcTick::Clock clock;
    return clock;
}
uint32_t steadyMs() {
    static QElapsedTimer timer;
    if (!timer.isValid()) timer.start();
    return uint32_t(uint64_t(timer.elapsed()));
}
} // namespace

cmcTick::cmcTick() = default;

uint32_t cmcTick::now() {
    const auto& clock = clockOverride();
    return clock ? clock() : steadyMs();
}

void cmcTick::setClock(Clock clock) {
    clockOverride() = std::move(clock);
}

void cmcTick::start(uint32_t ms) {
    m_duration = ms;
    m_start = now();
    m_running = true;
}

uint32_t cmcTick::remaining() {
    if (!m_running) return 0;
    const uint32_t elapsed = now() - m_start; // modulo 2^32: right across the wrap
    if (elapsed < m_duration) return m_duration - elapsed;
    m_running = false;
    return 0;
}
