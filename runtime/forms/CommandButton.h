#pragma once
// A command button. Setting Value to true clicks it, as the program does to
// press a button on the user's behalf.

#include "runtime/forms/Control.h"

namespace rt {

class CommandButton : public Control {
public:
    CommandButton(Form& form, std::string name, std::string caption = {});

    const std::string& Caption() const { return m_caption; }
    void setCaption(std::string caption);
    bool Default() const { return m_default; }
    void setDefault(bool v) { m_default = v; }
    bool Cancel() const { return m_cancel; }
    void setCancel(bool v) { m_cancel = v; }
    bool Value() const { return false; }
    void setValue(bool v);
    // A picture shown on the button, by name or file as an image list keeps
    // pictures; a button with a picture and no caption shows only it.
    const std::string& Picture() const { return m_picture; }
    void setPicture(std::string picture);
    const std::string& ToolTipText() const { return m_toolTipText; }
    void setToolTipText(std::string text);

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    std::string m_caption;
    std::string m_picture;
    std::string m_toolTipText;
    bool m_default = false;
    bool m_cancel = false;
};

} // namespace rt
