#include "runtime/forms/Timer.h"

#include "runtime/forms/EventLoop.h"

namespace rt {

Timer::Timer(Form& form, std::string name, int interval, bool enabled)
    : Control(form, std::move(name)), m_interval(0) {
    setInterval(interval);
    Control::setEnabled(enabled);
    restart();
    eventLoop().addTimer(this);
}

Timer::~Timer() {
    eventLoop().removeTimer(this);
}

void Timer::setInterval(int ms) {
    if (ms < 0 || ms > 65535)
        raiseError(kInvalidPropertyValue);
    m_interval = ms;
    restart();
}

void Timer::setEnabled(bool v) {
    Control::setEnabled(v);
    restart();
}

void Timer::restart() {
    m_start = eventLoop().now();
}

void Timer::fire() {
    m_start = due();
    TimerEvent.raise();
}

// A timer is invisible at run time and has no size or font: of Control's
// table it keeps the name, position, enabled state and tag only.
const MemberTable& Timer::memberTable() {
    const MemberTable& control = Control::memberTable();
    static const MemberTable table({
        *control.find("Name"),
        *control.find("Left"),
        *control.find("Top"),
        *control.find("Enabled"),
        *control.find("Tag"),
        property<Timer>("Interval", 101, &Timer::Interval, &Timer::setInterval, &Variant::toLong),
    });
    return table;
}

} // namespace rt
