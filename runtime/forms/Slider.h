#pragma once
// A slider: Value within Min..Max (380 outside). Change follows every new
// value; Scroll reports each step while the user drags the thumb.

#include "runtime/forms/Control.h"

namespace rt {

class Slider : public Control {
public:
    Slider(Form& form, std::string name, int min = 0, int max = 10);

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    int Value() const { return m_value; }
    void setMin(int v);
    void setMax(int v);
    void setValue(int v);
    int SmallChange() const { return m_smallChange; }
    void setSmallChange(int v) { m_smallChange = v; }
    int LargeChange() const { return m_largeChange; }
    void setLargeChange(int v) { m_largeChange = v; }
    int TickFrequency() const { return m_tickFrequency; }
    void setTickFrequency(int v) { m_tickFrequency = v; }

    // The user drags the thumb to `value`, clamped to the range.
    void userSlide(int value);

    Event<> Change;
    Event<> Scroll;

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    int m_min;
    int m_max;
    int m_value;
    int m_smallChange = 1;
    int m_largeChange = 5;
    int m_tickFrequency = 1;
};

} // namespace rt
