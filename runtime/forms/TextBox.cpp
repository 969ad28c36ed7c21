#include "runtime/forms/TextBox.h"

#include <algorithm>

namespace rt {

TextBox::TextBox(Form& form, std::string name, std::string text)
    : Control(form, std::move(name)), m_text(std::move(text)) {}

void TextBox::setText(std::string text) {
    m_selStart = 0;
    m_selLength = 0;
    if (text == m_text)
        return;
    m_text = std::move(text);
    Changed.raise();
    Change.raise();
}

void TextBox::setSelStart(int start) {
    if (start < 0)
        raiseError(kInvalidPropertyValue);
    m_selStart = std::min(start, length());
    m_selLength = 0;
    Changed.raise();
}

void TextBox::setSelLength(int len) {
    if (len < 0)
        raiseError(kInvalidPropertyValue);
    m_selLength = std::min(len, length() - m_selStart);
    Changed.raise();
}

std::string TextBox::SelText() const {
    return m_text.substr(m_selStart, m_selLength);
}

void TextBox::setSelText(const std::string& text) {
    m_text.replace(m_selStart, m_selLength, text);
    m_selStart += static_cast<int>(text.size());
    m_selLength = 0;
    Changed.raise();
    Change.raise();
}

void TextBox::setMaxLength(int v) {
    if (v < 0)
        raiseError(kInvalidPropertyValue);
    m_maxLength = v;
}

void TextBox::userType(const std::string& text) {
    std::string typed = text;
    if (m_maxLength > 0) {
        int room = m_maxLength - (length() - m_selLength);
        typed.resize(std::clamp(room, 0, static_cast<int>(typed.size())));
    }
    if (typed.empty() && m_selLength == 0)
        return;
    setSelText(typed);
}

const MemberTable& TextBox::memberTable() {
    static const MemberTable table(
        {
            property<TextBox>("Text", 101, &TextBox::Text, &TextBox::setText, &Variant::toString),
            property<TextBox>("SelStart", 102, &TextBox::SelStart, &TextBox::setSelStart,
                              &Variant::toLong),
            property<TextBox>("SelLength", 103, &TextBox::SelLength, &TextBox::setSelLength,
                              &Variant::toLong),
            property<TextBox>("SelText", 104, &TextBox::SelText, &TextBox::setSelText,
                              &Variant::toString),
            property<TextBox>("Locked", 105, &TextBox::Locked, &TextBox::setLocked,
                              &Variant::toBool),
            property<TextBox>("MaxLength", 106, &TextBox::MaxLength, &TextBox::setMaxLength,
                              &Variant::toLong),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
