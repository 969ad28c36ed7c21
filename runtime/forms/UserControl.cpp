#include "runtime/forms/UserControl.h"

#include <algorithm>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Host.h"

namespace rt {

namespace {

// A pointer the host keeps alive itself, as late-bound values carry objects.
template <class T> DispatchPtr unowned(T& object) {
    return DispatchPtr(DispatchPtr(), static_cast<Dispatch*>(&object));
}

float convertScale(float value, int from, int to, float twipsPerPixel) {
    auto toTwips = [&](int mode) {
        if (mode == vbTwips)
            return 1.0f;
        if (mode == vbPixels)
            return twipsPerPixel;
        raiseError(kInvalidProcedureCall);
    };
    return value * toTwips(from) / toTwips(to);
}

} // namespace

// ---- UserControl ----------------------------------------------------------

UserControl::UserControl() {
    followFont();
}

// A font object may be shared and outlive this control, or be replaced: its
// handler speaks only while this control lives and still uses that font.
void UserControl::followFont() {
    std::weak_ptr<bool> alive = m_alive;
    const rt::Font* font = m_font.get();
    m_font->Changed.connect([this, alive, font] {
        if (!alive.expired() && m_font.get() == font)
            Changed.raise();
    });
}

UserControl::~UserControl() = default;

void UserControl::setBackColor(int32_t v) {
    m_backColor = v;
    Changed.raise();
}

void UserControl::setForeColor(int32_t v) {
    m_foreColor = v;
    Changed.raise();
}

void UserControl::setEnabled(bool v) {
    m_enabled = v;
    Changed.raise();
}

void UserControl::setFont(std::shared_ptr<rt::Font> font) {
    if (!font)
        raiseError(kObjectRequired);
    if (font == m_font)
        return;
    m_font = std::move(font);
    followFont();
    Changed.raise();
}

void UserControl::setBorderStyle(int16_t v) {
    if (v != 0 && v != 1)
        raiseError(kInvalidPropertyValue);
    m_borderStyle = v;
    Changed.raise();
}

void UserControl::setAppearance(int16_t v) {
    if (v != 0 && v != 1)
        raiseError(kInvalidPropertyValue);
    m_appearance = v;
    Changed.raise();
}

void UserControl::setMousePointer(int16_t v) {
    m_mousePointer = v;
    Changed.raise();
}

float UserControl::Width() const {
    return m_site ? m_site->Width() : 0;
}

float UserControl::Height() const {
    return m_site ? m_site->Height() : 0;
}

void UserControl::setWidth(float v) {
    Extender().setWidth(v);
}

void UserControl::setHeight(float v) {
    Extender().setHeight(v);
}

float UserControl::ScaleWidth() const {
    float border = m_borderStyle ? 2 * Screen().TwipsPerPixelX : 0;
    return std::max(0.0f, Width() - border);
}

float UserControl::ScaleHeight() const {
    float border = m_borderStyle ? 2 * Screen().TwipsPerPixelY : 0;
    return std::max(0.0f, Height() - border);
}

float UserControl::ScaleX(float value, int from, int to) const {
    return convertScale(value, from, to, Screen().TwipsPerPixelX);
}

float UserControl::ScaleY(float value, int from, int to) const {
    return convertScale(value, from, to, Screen().TwipsPerPixelY);
}

void UserControl::Refresh() {
    Changed.raise();
    UserControl_Paint();
}

void UserControl::Cls() {
    // Nothing is drawn at run time on our surfaces; a view repaints.
    Changed.raise();
}

ControlSite& UserControl::Extender() const {
    if (!m_site)
        raiseError(kObjectVariableNotSet);
    return *m_site;
}

Form& UserControl::Parent() const {
    return Extender().parentForm();
}

AmbientProperties UserControl::Ambient() const {
    AmbientProperties ambient;
    if (!m_site) {
        ambient.Font = std::make_shared<rt::Font>();
        return ambient;
    }
    ambient.UserMode = m_site->userMode();
    ambient.DisplayName = m_site->Name();
    // A copy: a control that changes its own font leaves the form's alone.
    const rt::Font& formFont = m_site->parentForm().Font();
    ambient.Font = std::make_shared<rt::Font>();
    ambient.Font->setName(formFont.Name());
    ambient.Font->setSize(formFont.Size());
    ambient.Font->setBold(formFont.Bold());
    return ambient;
}

std::vector<Control*> UserControl::ContainedControls() const {
    return m_site ? m_site->containedControls() : std::vector<Control*>{};
}

const std::vector<Control*>& UserControl::ParentControls() const {
    return Parent().Controls();
}

void UserControl::PropertyChanged(std::string_view name) {
    Changed.raise();
    if (m_site)
        m_site->PropertyChanged.raise(std::string(name));
}

// ---- ControlSite ----------------------------------------------------------

ControlSite::ControlSite(Form& form, std::string name, std::string progId,
                         std::optional<PropertyBag> description)
    : Control(form, std::move(name)), m_progId(std::move(progId)),
      m_description(std::move(description)) {
    Click.connect([this] {
        if (m_object)
            m_object->UserControl_Click();
    });
    DblClick.connect([this] {
        if (m_object)
            m_object->UserControl_DblClick();
    });
    KeyDown.connect([this](int& code, int shift) {
        if (m_object)
            m_object->UserControl_KeyDown(code, shift);
    });
    KeyPress.connect([this](int& ascii) {
        if (m_object)
            m_object->UserControl_KeyPress(ascii);
    });
    KeyUp.connect([this](int& code, int shift) {
        if (m_object)
            m_object->UserControl_KeyUp(code, shift);
    });
    MouseDown.connect([this](int button, int shift, float x, float y) {
        if (m_object)
            m_object->UserControl_MouseDown(button, shift, x, y);
    });
    MouseMove.connect([this](int button, int shift, float x, float y) {
        if (m_object)
            m_object->UserControl_MouseMove(button, shift, x, y);
    });
    MouseUp.connect([this](int button, int shift, float x, float y) {
        if (m_object)
            m_object->UserControl_MouseUp(button, shift, x, y);
    });
}

ControlSite::~ControlSite() {
    release();
}

void ControlSite::formLoading() {
    create();
}

void ControlSite::formShown() {
    if (m_object)
        m_object->UserControl_Show();
}

void ControlSite::formUnloaded() {
    release();
}

void ControlSite::cameIntoView() {
    if (m_object)
        m_object->UserControl_Paint();
}

void ControlSite::create() {
    if (m_object)
        return;
    m_creationError.reset();
    try {
        DispatchPtr made = CreateObject(m_progId);
        auto control = std::dynamic_pointer_cast<UserControl>(made);
        if (!control)
            raiseError(kTypeMismatch, {}, "'" + m_progId + "' is not a control");
        m_object = std::move(control);
        // A site nobody placed is new: it takes the control's design size.
        if (!m_placed)
            Control::Move(Left(), Top(), m_object->designWidth(), m_object->designHeight());
    } catch (const RuntimeError& e) {
        m_creationError = e;
        return;
    }
    // A control whose start fails (stored properties it refuses) is left
    // out like one that cannot be made; the form loads all the same.
    try {
        UserControl& object = *m_object;
        object.UserControl_Initialize();
        object.m_site = this;
        object.Changed.connect([this] { Changed.raise(); });
        if (m_description)
            object.UserControl_ReadProperties(*m_description);
        else
            object.UserControl_InitProperties();
        if (m_object)
            m_object->UserControl_Resize();
    } catch (const RuntimeError& e) {
        m_creationError = e;
        release();
    }
}

void ControlSite::release() {
    if (!m_object)
        return;
    std::shared_ptr<UserControl> object = std::move(m_object);
    object->UserControl_Terminate();
    object->m_site = nullptr;
    object->Changed.disconnectAll();
}

UserControl& ControlSite::requireObject() const {
    if (m_object)
        return *m_object;
    if (m_creationError)
        throw *m_creationError;
    raiseError(kObjectVariableNotSet);
}

std::vector<Control*> ControlSite::containedControls() const {
    std::vector<Control*> contained;
    for (Control* c : parentForm().Controls())
        if (c->Container() == this)
            contained.push_back(c);
    return contained;
}

PropertyBag ControlSite::saveProperties() {
    PropertyBag bag;
    requireObject().UserControl_WriteProperties(bag);
    m_description = bag;
    return bag;
}

void ControlSite::Move(float left, float top, float width, float height) {
    bool resized = width != Width() || height != Height();
    Control::Move(left, top, width, height);
    m_placed = true;
    if (resized && m_object) {
        m_object->UserControl_Resize();
        // A resized control that shows is painted afresh.
        if (m_object && showing())
            m_object->UserControl_Paint();
    }
}

const MemberTable& ControlSite::extenderTable() {
    auto toFloat = &Variant::toSingle;
    auto id = [](uint32_t v) { return static_cast<DispId>(v); };
    static const MemberTable table({
        readOnly<Control>("Name", id(0x80010000), &Control::Name),
        property<Control>("Visible", id(0x80010007), &Control::Visible, &Control::setVisible,
                          &Variant::toBool),
        Member{"Parent", id(0x80010008), MemberKind::ReadOnlyProperty, "",
               [](Dispatch& self, std::span<const Variant>) {
                   return Variant(unowned(static_cast<Control&>(self).parentForm()));
               },
               nullptr},
        property<Control>("Tag", id(0x80010009), &Control::Tag, &Control::setTag,
                          &Variant::toString),
        property<Control>("Left", id(0x80011100), &Control::Left, &Control::setLeft, toFloat),
        property<Control>("Top", id(0x80011101), &Control::Top, &Control::setTop, toFloat),
        property<Control>("Width", id(0x80011102), &Control::Width, &Control::setWidth, toFloat),
        property<Control>("Height", id(0x80011103), &Control::Height, &Control::setHeight, toFloat),
        Member{"Move", DISPID_EXTENDER_MOVE, MemberKind::Method, "",
               [](Dispatch& self, std::span<const Variant> a) {
                   static_cast<Control&>(self).MoveBy(a);
                   return Variant();
               },
               nullptr},
        Member{"Container", id(0x8001000A), MemberKind::ReadOnlyProperty, "",
               [](Dispatch& self, std::span<const Variant>) {
                   auto& c = static_cast<Control&>(self);
                   if (Control* container = c.Container())
                       return Variant(unowned(*container));
                   return Variant(unowned(c.parentForm()));
               },
               nullptr},
    });
    return table;
}

DispId ControlSite::GetIDOfName(std::string_view name) const {
    if (const Member* m = extenderTable().find(name))
        return m->id;
    return requireObject().GetIDOfName(name);
}

Variant ControlSite::Invoke(DispId id, InvokeKind kind, std::span<const Variant> args) {
    const Member* m = extenderTable().find(id);
    if (!m)
        return requireObject().Invoke(id, kind, args);
    return invokeMember(m, *this, kind, args);
}

} // namespace rt
