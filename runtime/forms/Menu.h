#pragma once
// A menu or menu item: caption, shortcut text, checked state and items of
// its own. A menu bar item has no parent; a pop-up menu is usually a hidden
// top-level menu shown with Form::PopupMenu.

#include <vector>

#include "runtime/forms/Control.h"

namespace rt {

class Menu : public Control {
public:
    Menu(Form& form, std::string name, std::string caption, Menu* parent = nullptr,
         std::string shortcut = {});
    ~Menu() override;

    const std::string& Caption() const { return m_caption; }
    void setCaption(std::string caption);
    bool Checked() const { return m_checked; }
    void setChecked(bool v);
    // As shown beside the caption, e.g. "Ctrl+O"; empty for none.
    const std::string& Shortcut() const { return m_shortcut; }
    Menu* parentMenu() const { return m_parent; }
    const std::vector<Menu*>& items() const { return m_items; }
    // The item named `name` at any depth below this menu; nullptr when none.
    Menu* item(const std::string& name) const;

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    std::string m_caption;
    std::string m_shortcut;
    Menu* m_parent;
    bool m_checked = false;
    std::vector<Menu*> m_items;
};

} // namespace rt
