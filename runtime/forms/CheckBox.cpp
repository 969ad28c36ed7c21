#include "runtime/forms/CheckBox.h"

namespace rt {

CheckBox::CheckBox(Form& form, std::string name, std::string caption)
    : Control(form, std::move(name)), m_caption(std::move(caption)) {}

void CheckBox::setCaption(std::string caption) {
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    Changed.raise();
}

void CheckBox::setValue(int value) {
    if (value < vbUnchecked || value > vbGrayed)
        raiseError(kInvalidPropertyValue);
    if (value == m_value)
        return;
    m_value = value;
    Changed.raise();
    Click.raise();
}

const MemberTable& CheckBox::memberTable() {
    static const MemberTable table(
        {
            property<CheckBox>("Caption", 101, &CheckBox::Caption, &CheckBox::setCaption,
                               &Variant::toString),
            property<CheckBox>("Value", 102, &CheckBox::Value, &CheckBox::setValue,
                               &Variant::toLong),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
