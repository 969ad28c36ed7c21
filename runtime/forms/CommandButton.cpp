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

void CommandButton::setPicture(std::string picture) {
    if (picture == m_picture)
        return;
    m_picture = std::move(picture);
    Changed.raise();
}

void CommandButton::setToolTipText(std::string text) {
    if (text == m_toolTipText)
        return;
    m_toolTipText = std::move(text);
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
            property<CommandButton>("Picture", 103, &CommandButton::Picture,
                                    &CommandButton::setPicture, &Variant::toString),
            property<CommandButton>("ToolTipText", 104, &CommandButton::ToolTipText,
                                    &CommandButton::setToolTipText, &Variant::toString),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
