#pragma once
// A text box: its text, the selection (start and length, in characters) and
// the Change event whenever the text changes, by the program or by typing.

#include "runtime/forms/Control.h"

namespace rt {

class TextBox : public Control {
public:
    TextBox(Form& form, std::string name, std::string text = {});

    const std::string& Text() const { return m_text; }
    // Puts the caret at the start; raises Change when the text differs.
    void setText(std::string text);
    int SelStart() const { return m_selStart; }
    // Past the end clamps to the end; negative is error 380.
    void setSelStart(int start);
    int SelLength() const { return m_selLength; }
    void setSelLength(int length);
    std::string SelText() const;
    // Replaces the selection; the caret goes after the new text.
    void setSelText(const std::string& text);
    bool Locked() const { return m_locked; }
    void setLocked(bool v) { m_locked = v; }
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int v);
    bool MultiLine() const { return m_multiLine; }
    void setMultiLine(bool v) { m_multiLine = v; }

    // Typing: replaces the selection, cut to MaxLength.
    void userType(const std::string& text);

    Event<> Change;

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    int length() const { return static_cast<int>(m_text.size()); }

    std::string m_text;
    int m_selStart = 0;
    int m_selLength = 0;
    bool m_locked = false;
    int m_maxLength = 0;
    bool m_multiLine = false;
};

} // namespace rt
