#include "runtime/forms/CommandButton.h"

namespace rt {

CommandButton::CommandButton(Form& form, std::string name, std::string caption)
    : Control(form, std::move(name)), m_caption(std::move(caption)) {}

void CommandButton::setCaption(std::string caption) {
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    Changed.raise();
}

void CommandButton::setValue(bool v) {
    if (v)
        Click.raise();
}

const MemberTable& CommandButton::memberTable() {
    static const MemberTable table(
        {
            property<CommandButton>("Caption", 101, &CommandButton::Caption,
                                    &CommandButton::setCaption, &Variant::toString),
            property<CommandButton>("Value", 102, &CommandButton::Value, &CommandButton::setValue,
                                    &Variant::toBool),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
