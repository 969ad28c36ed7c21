#include "runtime/forms/Menu.h"

#include <algorithm>

#include "runtime/core/Strings.h"

namespace rt {

Menu::Menu(Form& form, std::string name, std::string caption, Menu* parent, std::string shortcut)
    : Control(form, std::move(name)), m_caption(std::move(caption)),
      m_shortcut(std::move(shortcut)), m_parent(parent) {
    if (m_parent)
        m_parent->m_items.push_back(this);
}

Menu::~Menu() {
    if (m_parent)
        std::erase(m_parent->m_items, this);
    for (Menu* child : m_items)
        child->m_parent = nullptr;
}

void Menu::setCaption(std::string caption) {
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    Changed.raise();
}

void Menu::setChecked(bool v) {
    if (v == m_checked)
        return;
    m_checked = v;
    Changed.raise();
}

Menu* Menu::item(const std::string& name) const {
    for (Menu* child : m_items) {
        if (textEquals(child->Name(), name))
            return child;
        if (Menu* found = child->item(name))
            return found;
    }
    return nullptr;
}

const MemberTable& Menu::memberTable() {
    static const MemberTable table(
        {
            property<Menu>("Caption", 101, &Menu::Caption, &Menu::setCaption, &Variant::toString),
            property<Menu>("Checked", 102, &Menu::Checked, &Menu::setChecked, &Variant::toBool),
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
