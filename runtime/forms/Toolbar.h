#pragma once
// A toolbar: buttons with keys, captions and tool tips; a click on an enabled
// button raises ButtonClick with it.

#include <deque>

#include "runtime/forms/Control.h"
#include "runtime/forms/ImageList.h"

namespace rt {

constexpr int tbrUnpressed = 0;
constexpr int tbrPressed = 1;

struct ToolbarButton {
    std::string Key;
    std::string Caption;
    std::string ToolTipText;
    bool Enabled = true;
    bool Visible = true;
    int Value = tbrUnpressed;
    int Index = 0; // from 1
    std::string Description;
    std::string Image; // key of its picture in the toolbar's image list
};

class Toolbar : public Control {
public:
    using Control::Control;

    // Adds a button at the end; error 35602 for a key in use.
    ToolbarButton& AddButton(const std::string& key, const std::string& caption = {},
                             const std::string& toolTip = {});
    int ButtonCount() const { return static_cast<int>(m_buttons.size()); }
    // By index (from 1; 35600 outside) or key (35601 when none).
    ToolbarButton& Buttons(int index);
    ToolbarButton& Buttons(const std::string& key);
    // Where the buttons' pictures come from; null for none.
    rt::ImageList* imageList() const { return m_imageList; }
    void setImageList(rt::ImageList* images) { m_imageList = images; }
    // Views call this after changing a button's fields.
    void buttonChanged() { Changed.raise(); }

    // The user clicks the button with `key`.
    void userClickButton(const std::string& key);

    Event<ToolbarButton&> ButtonClick;

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    std::deque<ToolbarButton> m_buttons; // stable addresses for handlers
    rt::ImageList* m_imageList = nullptr;
};

} // namespace rt
