#include "runtime/forms/ProgressBar.h"

namespace rt {

void ProgressBar::setMin(float v) {
    if (v >= m_max || v > m_value)
        raiseError(kInvalidPropertyValue);
    m_min = v;
    Changed.raise();
}

void ProgressBar::setMax(float v) {
    if (v <= m_min || v < m_value)
        raiseError(kInvalidPropertyValue);
    m_max = v;
    Changed.raise();
}

void ProgressBar::setValue(float v) {
    if (v < m_min || v > m_max)
        raiseError(kInvalidPropertyValue);
    if (v == m_value)
        return;
    m_value = v;
    Changed.raise();
}

const MemberTable& ProgressBar::memberTable() {
    auto toFloat = &Variant::toSingle;
    static const MemberTable table(
        {
            property<ProgressBar>("Min", 101, &ProgressBar::Min, &ProgressBar::setMin, toFloat),
            property<ProgressBar>("Max", 102, &ProgressBar::Max, &ProgressBar::setMax, toFloat),
            property<ProgressBar>("Value", 103, &ProgressBar::Value, &ProgressBar::setValue,
                                  toFloat),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
