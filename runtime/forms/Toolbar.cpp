#include "runtime/forms/Toolbar.h"

#include "runtime/forms/KeyedItems.h"
#include "runtime/forms/UserInput.h"

namespace rt {

ToolbarButton& Toolbar::AddButton(const std::string& key, const std::string& caption,
                                  const std::string& toolTip) {
    checkNewKey(m_buttons, key);
    ToolbarButton button;
    button.Key = key;
    button.Caption = caption;
    button.ToolTipText = toolTip;
    button.Index = ButtonCount() + 1;
    m_buttons.push_back(std::move(button));
    Changed.raise();
    return m_buttons.back();
}

ToolbarButton& Toolbar::Buttons(int index) {
    return m_buttons[checkedIndex(m_buttons, index)];
}

ToolbarButton& Toolbar::Buttons(const std::string& key) {
    return m_buttons[checkedKey(m_buttons, key)];
}

void Toolbar::userClickButton(const std::string& key) {
    int i = findKey(m_buttons, key);
    if (i < 0)
        throw ScriptFailure("toolbar " + Name() + " has no button \"" + key + "\"");
    ToolbarButton& button = m_buttons[static_cast<size_t>(i)];
    if (!button.Enabled || !button.Visible)
        throw ScriptFailure("toolbar button \"" + key + "\" is hidden or disabled");
    ButtonClick.raise(button);
}

const MemberTable& Toolbar::memberTable() {
    static const MemberTable table({readOnly<Toolbar>("ButtonCount", 101, &Toolbar::ButtonCount)},
                                   &Control::memberTable());
    return table;
}

} // namespace rt
