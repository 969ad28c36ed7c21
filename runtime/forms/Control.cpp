#include "runtime/forms/Control.h"

#include <vector>

#include "runtime/forms/Form.h"
#include "runtime/forms/UserInput.h"

namespace rt {

Control::Control(Form& form, std::string name) : m_form(form), m_name(std::move(name)) {
    m_form.registerControl(this);
    m_font->Changed.connect([this] { Changed.raise(); });
}

Control::~Control() {
    for (Control* c : m_form.Controls())
        if (c->m_container == this)
            c->m_container = nullptr;
    UserInput::forget(*this);
    m_form.unregisterControl(this);
}

void Control::Move(float left, float top, float width, float height) {
    if (width < 0 || height < 0)
        raiseError(kInvalidPropertyValue);
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Changed.raise();
}

void Control::MoveBy(std::span<const Variant> args) {
    auto arg = [&](size_t i, float current) {
        return i < args.size() && !args[i].isEmpty() ? args[i].toSingle() : current;
    };
    Move(arg(0, m_left), arg(1, m_top), arg(2, m_width), arg(3, m_height));
}

void Control::setContainer(Control* container) {
    // A control cannot sit inside itself or inside one of its own contents.
    for (Control* c = container; c; c = c->Container())
        if (c == this)
            raiseError(kInvalidPropertyValue);
    if (container && &container->parentForm() != &m_form)
        raiseError(kInvalidPropertyValue);
    if (container == m_container)
        return;
    m_container = container;
    Changed.raise();
}

void Control::setVisible(bool v) {
    if (v == m_visible)
        return;
    m_visible = v;
    Changed.raise();
    if (v && showing())
        revealFrom(*this);
}

bool Control::showing() const {
    for (const Control* c = this; c; c = c->Container())
        if (!c->Visible())
            return false;
    return m_form.Visible();
}

void Control::revealFrom(Control& root) {
    for (Control* c : std::vector<Control*>(root.m_form.Controls())) {
        bool inside = false;
        for (Control* up = c; up && !inside; up = up->Container())
            inside = up == &root;
        if (inside && c->showing())
            c->cameIntoView();
    }
}

void Control::setEnabled(bool v) {
    if (v == m_enabled)
        return;
    m_enabled = v;
    Changed.raise();
}

void Control::SetFocus() {
    if (!m_visible || !m_enabled || !m_form.Visible())
        raiseError(kInvalidProcedureCall);
    m_form.setActiveControl(this);
}

bool Control::hasFocus() const {
    return m_form.ActiveControl() == this;
}

void Control::Drag(int action) {
    if (action == vbBeginDrag)
        UserInput::beginDrag(*this);
    else
        UserInput::endDrag(*this, action == vbEndDrag);
}

const MemberTable& Control::memberTable() {
    auto toFloat = &Variant::toSingle;
    static const MemberTable table({
        readOnly<Control>("Name", 1, &Control::Name),
        property<Control>("Left", 2, &Control::Left, &Control::setLeft, toFloat),
        property<Control>("Top", 3, &Control::Top, &Control::setTop, toFloat),
        property<Control>("Width", 4, &Control::Width, &Control::setWidth, toFloat),
        property<Control>("Height", 5, &Control::Height, &Control::setHeight, toFloat),
        property<Control>("Visible", 6, &Control::Visible, &Control::setVisible, &Variant::toBool),
        property<Control>("Enabled", 7, &Control::Enabled, &Control::setEnabled, &Variant::toBool),
        property<Control>("Tag", 8, &Control::Tag, &Control::setTag, &Variant::toString),
        Member{"Move", 9, MemberKind::Method, "",
               [](Dispatch& self, std::span<const Variant> a) {
                   static_cast<Control&>(self).MoveBy(a);
                   return Variant();
               },
               nullptr},
        Member{"Font", 10, MemberKind::ReadOnlyProperty, "",
               [](Dispatch& self, std::span<const Variant>) {
                   return Variant(
                       std::static_pointer_cast<Dispatch>(static_cast<Control&>(self).m_font));
               },
               nullptr},
        readOnly<Control>("hWnd", 11, &Control::hWnd),
        Member{"SetFocus", 12, MemberKind::Method, "",
               [](Dispatch& self, std::span<const Variant>) {
                   static_cast<Control&>(self).SetFocus();
                   return Variant();
               },
               nullptr},
    });
    return table;
}

} // namespace rt
