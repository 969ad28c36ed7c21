#pragma once
// Controls that component libraries make. The library's class derives from
// UserControl, the control surface: its own properties, the host's ambient
// properties, its extender, the host controls placed inside it, and the
// lifecycle handlers. The host form holds a ControlSite, an ordinary control
// of the form that creates the object by ProgID when the form loads and
// stands for it as its extender.
//
// Order of events for a sited object: UserControl_Initialize, then
// UserControl_InitProperties (a new instance) or UserControl_ReadProperties
// (stored properties), then UserControl_Resize; UserControl_Show on every
// show of the host form; UserControl_Paint when the shown control comes into
// view (its form shown or restored, it or a container made visible), after
// every resize while it shows, and at once on Refresh; UserControl_Terminate
// when the form unloads.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/com/Dispatch.h"
#include "runtime/com/EventSource.h"
#include "runtime/com/PropertyBag.h"
#include "runtime/core/Error.h"
#include "runtime/forms/Control.h"
#include "runtime/forms/Event.h"
#include "runtime/forms/Font.h"

namespace rt {

class ControlSite;
class Form;

// Scale modes of ScaleX and ScaleY.
constexpr int vbTwips = 1;
constexpr int vbPixels = 3;

// The extender's Move, which hosts call by this identifier.
constexpr DispId DISPID_EXTENDER_MOVE = static_cast<DispId>(0x80011002);

// System colours as colour values hold them.
constexpr int32_t vbButtonFace = static_cast<int32_t>(0x8000000F);
constexpr int32_t vbButtonText = static_cast<int32_t>(0x80000012);

// What the host tells its controls about itself.
struct AmbientProperties {
    bool UserMode = true;    // false while a designer edits the form
    std::string DisplayName; // the control's name in the host
    std::shared_ptr<rt::Font> Font;
    int32_t BackColor = vbButtonFace;
    int32_t ForeColor = vbButtonText;
};

class UserControl : public TableDispatch, public EventSource {
public:
    UserControl();
    ~UserControl() override;
    UserControl(const UserControl&) = delete;
    UserControl& operator=(const UserControl&) = delete;

    // The surface's own properties.
    int32_t BackColor() const { return m_backColor; }
    void setBackColor(int32_t v);
    int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(int32_t v);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool v);
    const std::shared_ptr<rt::Font>& Font() const { return m_font; }
    // By reference: the surface then shares the given font object.
    void setFont(std::shared_ptr<rt::Font> font);
    // 0 none, 1 fixed single; anything else raises 380.
    int16_t BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int16_t v);
    // 0 flat, 1 3-D; anything else raises 380.
    int16_t Appearance() const { return m_appearance; }
    void setAppearance(int16_t v);

    // The surface is as large as its extender; setting the size resizes the
    // site (and so raises UserControl_Resize).
    float Width() const;
    float Height() const;
    void setWidth(float v);
    void setHeight(float v);
    // The inside of the surface, less its border, in twips.
    float ScaleWidth() const;
    float ScaleHeight() const;
    // Converts between twips and pixels (vbTwips, vbPixels); 5 otherwise.
    float ScaleX(float value, int from, int to) const;
    float ScaleY(float value, int from, int to) const;
    void Refresh();
    void Cls();
    // The pointer's shape over the surface (0 the default arrow).
    int16_t MousePointer() const { return m_mousePointer; }
    void setMousePointer(int16_t v);

    // The host's side; raise 91 when the object is not sited.
    bool sited() const { return m_site != nullptr; }
    ControlSite& Extender() const;
    // The form the control sits on, late-bound as hosts expose it.
    Form& Parent() const;
    AmbientProperties Ambient() const;
    // The host's controls placed inside this control, in the form's order.
    std::vector<Control*> ContainedControls() const;
    // Every control of the host form.
    const std::vector<Control*>& ParentControls() const;
    // Tells the host that a property changed (it then saves the form).
    void PropertyChanged(std::string_view name);

    // The size a new site of this control takes, in twips.
    float designWidth() const { return m_designWidth; }
    float designHeight() const { return m_designHeight; }

    // What the control draws on its surface besides its back colour and
    // border, in front of the controls it contains: filled rectangles in
    // the surface's twips (a splitter's bar).
    struct Shape {
        std::string name;
        float left = 0, top = 0, width = 0, height = 0;
        int32_t colour = 0;
    };
    virtual std::vector<Shape> shapes() const { return {}; }

    // A control that does nothing visible at run time shows only to a
    // designer.
    bool InvisibleAtRuntime() const { return m_invisibleAtRuntime; }

    // The names of the control's property pages, in the order shown.
    virtual std::vector<std::string> PropertyPages() const { return {}; }

    // Lifecycle handlers a library's control overrides.
    virtual void UserControl_Initialize() {}
    virtual void UserControl_InitProperties() {}
    virtual void UserControl_ReadProperties(const PropertyBag& /*bag*/) {}
    virtual void UserControl_WriteProperties(PropertyBag& /*bag*/) {}
    virtual void UserControl_Show() {}
    virtual void UserControl_Paint() {}
    virtual void UserControl_Resize() {}
    virtual void UserControl_Terminate() {}
    // The user's input on the surface.
    virtual void UserControl_Click() {}
    virtual void UserControl_DblClick() {}
    virtual void UserControl_KeyDown(int& /*keyCode*/, int /*shift*/) {}
    virtual void UserControl_KeyPress(int& /*keyAscii*/) {}
    virtual void UserControl_KeyUp(int& /*keyCode*/, int /*shift*/) {}
    virtual void UserControl_MouseDown(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void UserControl_MouseMove(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void UserControl_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}

    // Any change a view must show.
    Event<> Changed;

protected:
    void setDesignSize(float width, float height) {
        m_designWidth = width;
        m_designHeight = height;
    }
    void setInvisibleAtRuntime(bool v) { m_invisibleAtRuntime = v; }

private:
    friend class ControlSite;
    void followFont();

    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    ControlSite* m_site = nullptr;
    int32_t m_backColor = vbButtonFace;
    int32_t m_foreColor = vbButtonText;
    bool m_enabled = true;
    std::shared_ptr<rt::Font> m_font = std::make_shared<rt::Font>();
    int16_t m_borderStyle = 0;
    int16_t m_appearance = 1;
    int16_t m_mousePointer = 0;
    float m_designWidth = 1215, m_designHeight = 495;
    bool m_invisibleAtRuntime = false;
};

// The place of a library's control on a host form, and its extender: late-
// bound calls reach the extender's own members (Name, Visible, Left, Top,
// Width, Height, Move, Parent, Tag) first and the object's members after.
class ControlSite : public Control {
public:
    // `progId`: the control's class. `description`: the properties the form
    // description stores for it; none makes a new instance.
    ControlSite(Form& form, std::string name, std::string progId,
                std::optional<PropertyBag> description = std::nullopt);
    ~ControlSite() override;

    const std::string& progId() const { return m_progId; }
    // The object; null before the form loads and when creation failed.
    UserControl* object() const { return m_object.get(); }
    // Why the object could not be created; calls on the site raise it.
    const std::optional<RuntimeError>& creationError() const { return m_creationError; }

    // False makes the site a designer's: ambient UserMode is false.
    bool userMode() const { return m_userMode; }
    void setUserMode(bool v) { m_userMode = v; }
    // Whether a view shows the control where it is visible: not at run time
    // when the control is invisible then.
    bool shownOnForm() const { return !m_userMode || !m_object || !m_object->InvisibleAtRuntime(); }

    // The control placed inside (host controls whose Container is this site).
    std::vector<Control*> containedControls() const;

    // The object's properties as a form description stores them.
    PropertyBag saveProperties();

    void Move(float left, float top, float width, float height) override;
    // False while the object's own Enabled is off: the surface then takes
    // no input, nor do the controls inside it.
    bool surfaceEnabled() const { return !m_object || m_object->Enabled(); }

    // The property's name, as the object reports a change.
    Event<const std::string&> PropertyChanged;

    DispId GetIDOfName(std::string_view name) const override;
    Variant Invoke(DispId id, InvokeKind kind, std::span<const Variant> args) override;

    static const MemberTable& extenderTable();

protected:
    void formLoading() override;
    void formShown() override;
    void formUnloaded() override;
    void cameIntoView() override;

private:
    void create();
    void release();
    UserControl& requireObject() const;

    std::string m_progId;
    std::optional<PropertyBag> m_description;
    std::shared_ptr<UserControl> m_object;
    std::optional<RuntimeError> m_creationError;
    bool m_userMode = true;
    bool m_placed = false; // the host gave it a place and size
};

} // namespace rt
