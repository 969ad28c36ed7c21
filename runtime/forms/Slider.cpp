#include "runtime/forms/Slider.h"

#include <algorithm>

namespace rt {

Slider::Slider(Form& form, std::string name, int min, int max)
    : Control(form, std::move(name)), m_min(min), m_max(max), m_value(min) {
    if (min > max)
        raiseError(kInvalidPropertyValue);
}

void Slider::setMin(int v) {
    if (v > m_max)
        raiseError(kInvalidPropertyValue);
    m_min = v;
    if (m_value < v)
        setValue(v);
    Changed.raise();
}

void Slider::setMax(int v) {
    if (v < m_min)
        raiseError(kInvalidPropertyValue);
    m_max = v;
    if (m_value > v)
        setValue(v);
    Changed.raise();
}

void Slider::setValue(int v) {
    if (v < m_min || v > m_max)
        raiseError(kInvalidPropertyValue);
    if (v == m_value)
        return;
    m_value = v;
    Changed.raise();
    Change.raise();
}

void Slider::userSlide(int value) {
    int target = std::clamp(value, m_min, m_max);
    int step = target > m_value ? 1 : -1;
    while (m_value != target) {
        m_value += step;
        Changed.raise();
        Scroll.raise();
    }
    Change.raise();
}

const MemberTable& Slider::memberTable() {
    auto toLong = &Variant::toLong;
    static const MemberTable table(
        {
            property<Slider>("Min", 101, &Slider::Min, &Slider::setMin, toLong),
            property<Slider>("Max", 102, &Slider::Max, &Slider::setMax, toLong),
            property<Slider>("Value", 103, &Slider::Value, &Slider::setValue, toLong),
            property<Slider>("SmallChange", 104, &Slider::SmallChange, &Slider::setSmallChange,
                             toLong),
            property<Slider>("LargeChange", 105, &Slider::LargeChange, &Slider::setLargeChange,
                             toLong),
            property<Slider>("TickFrequency", 106, &Slider::TickFrequency,
                             &Slider::setTickFrequency, toLong),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
