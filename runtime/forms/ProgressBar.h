#pragma once
// A progress bar: Value within Min..Max. A value outside the range raises
// 380 and keeps the old one; so does a range that would leave the value out.

#include "runtime/forms/Control.h"

namespace rt {

class ProgressBar : public Control {
public:
    using Control::Control;

    float Min() const { return m_min; }
    float Max() const { return m_max; }
    float Value() const { return m_value; }
    void setMin(float v);
    void setMax(float v);
    void setValue(float v);

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    float m_min = 0;
    float m_max = 100;
    float m_value = 0;
};

} // namespace rt
