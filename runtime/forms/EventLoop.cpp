#include "runtime/forms/EventLoop.h"

#include <algorithm>

#include "runtime/core/UiThread.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/forms/Timer.h"
#include "runtime/forms/UserInput.h"

namespace rt {

EventLoop& eventLoop() {
    static EventLoop loop;
    return loop;
}

void EventLoop::runPending() {
    UserInput::Action action;
    uithread::runPosted();
}

int64_t EventLoop::nextDue() const {
    int64_t due = -1;
    for (const Timer* t : m_timers)
        if (t->running() && (due < 0 || t->due() < due))
            due = t->due();
    return due;
}

void EventLoop::advance(int64_t ms) {
    advanceTo(m_now + std::max<int64_t>(ms, 0));
}

void EventLoop::advanceTo(int64_t time) {
    runPending();
    for (;;) {
        int64_t due = nextDue();
        if (due < 0 || due > time)
            break;
        m_now = std::max(m_now, due);
        // The first timer due at that moment; a handler may stop or delete others.
        auto it = std::find_if(m_timers.begin(), m_timers.end(),
                               [due](const Timer* t) { return t->running() && t->due() == due; });
        {
            UserInput::Action action;
            (*it)->fire();
        }
        runPending();
    }
    m_now = std::max(m_now, time);
}

void EventLoop::addTimer(Timer* timer) {
    m_timers.push_back(timer);
}
void EventLoop::removeTimer(Timer* timer) {
    std::erase(m_timers, timer);
}

} // namespace rt
