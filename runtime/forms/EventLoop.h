#pragma once
// The program's event loop over a clock of its own: tests advance virtual
// time and timers fire in due order; the view advances it with the real
// clock. Each turn also runs the work other threads posted for the
// user-interface thread and releases unloaded forms.

#include <cstdint>
#include <vector>

namespace rt {

class Timer;

class EventLoop {
public:
    // Milliseconds since the loop started.
    int64_t now() const { return m_now; }
    // Moves the clock forward by `ms`, running posted work and every timer
    // that falls due on the way, in time order.
    void advance(int64_t ms);
    void advanceTo(int64_t time);
    // Runs posted work and releases unloaded forms without moving the clock.
    void runPending();
    // When the next enabled timer falls due; -1 when none is running.
    int64_t nextDue() const;

    void addTimer(Timer* timer);
    void removeTimer(Timer* timer);

private:
    int64_t m_now = 0;
    std::vector<Timer*> m_timers;
};

EventLoop& eventLoop();

} // namespace rt
