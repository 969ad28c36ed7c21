#pragma once
// A check box: Value 0 (unchecked), 1 (checked) or 2 (grayed); Click runs
// whenever the value changes, by the program or the user.

#include "runtime/forms/Control.h"

namespace rt {

constexpr int vbUnchecked = 0;
constexpr int vbChecked = 1;
constexpr int vbGrayed = 2;

class CheckBox : public Control {
public:
    CheckBox(Form& form, std::string name, std::string caption = {});

    const std::string& Caption() const { return m_caption; }
    void setCaption(std::string caption);
    int Value() const { return m_value; }
    // Error 380 outside 0..2.
    void setValue(int value);

    // A click checks an unchecked or grayed box and unchecks a checked one.
    void userClick() override { setValue(m_value == vbChecked ? vbUnchecked : vbChecked); }

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    std::string m_caption;
    int m_value = vbUnchecked;
};

} // namespace rt
