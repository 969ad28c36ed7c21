#include "runtime/forms/Label.h"

namespace rt {

Label::Label(Form& form, std::string name, std::string caption)
    : Control(form, std::move(name)), m_caption(std::move(caption)) {}

void Label::setCaption(std::string caption) {
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    Changed.raise();
}

void Label::setAlignment(int alignment) {
    if (alignment < vbLeftJustify || alignment > vbCenter)
        raiseError(kInvalidPropertyValue);
    m_alignment = alignment;
    Changed.raise();
}

void Label::setForeColor(int32_t color) {
    if (color == m_foreColor)
        return;
    m_foreColor = color;
    Changed.raise();
}

const MemberTable& Label::memberTable() {
    static const MemberTable table(
        {
            property<Label>("Caption", 101, &Label::Caption, &Label::setCaption,
                            &Variant::toString),
            property<Label>("Alignment", 102, &Label::Alignment, &Label::setAlignment,
                            &Variant::toLong),
            property<Label>("ForeColor", 103, &Label::ForeColor, &Label::setForeColor,
                            &Variant::toLong),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
