#pragma once
// A one-shot countdown measured with a steady millisecond clock and polled by tasks.
// The clock is a 32-bit millisecond count that wraps after about 49.7 days; elapsed time is
// computed modulo 2^32, so a countdown is right across the wrap. The clock can be replaced
// (tests cross the wrap and let time pass without waiting).

#include <cstdint>
#include <functional>

class cmcTick {
  public:
    using Clock = std::function<uint32_t()>;

    cmcTick();

    void start(uint32_t ms);
    // Milliseconds left; 0 when not running or elapsed. Reports expiry once: the first poll
    // that finds the time elapsed clears the running flag.
    uint32_t remaining();
    bool isRunning() const { return m_running; }
    uint32_t duration() const { return m_duration; }
    // The finest timer period in ms (1 here: Qt's precise timers are millisecond timers).
    uint32_t resolution() const { return m_resolution; }

    // The current millisecond count of the clock in use.
    static uint32_t now();
    // Replaces the clock for the whole program; an empty function restores the steady clock.
    static void setClock(Clock clock);

  private:
    uint32_t m_duration = 0;
    uint32_t m_start = 0;
    bool m_running = false;
    uint32_t m_resolution = 1;
};
