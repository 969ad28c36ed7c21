#pragma once
// A timer: raises Timer every Interval milliseconds of the event loop's
// clock while Enabled and Interval > 0. Changing either restarts the count.

#include "runtime/forms/Control.h"

namespace rt {

class Timer : public Control {
public:
    Timer(Form& form, std::string name, int interval = 0, bool enabled = true);
    ~Timer() override;

    int Interval() const { return m_interval; }
    // 0..65535 ms; error 380 otherwise.
    void setInterval(int ms);
    void setEnabled(bool v) override;

    bool running() const { return Enabled() && m_interval > 0; }
    int64_t due() const { return m_start + m_interval; }
    // Called by the event loop when due.
    void fire();

    // The Timer event (a member cannot share the class's name).
    Event<> TimerEvent;

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    void restart();

    int m_interval;
    int64_t m_start = 0;
};

} // namespace rt
