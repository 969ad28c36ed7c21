#pragma once
// The base of every control on a form: name, geometry in twips, visibility,
// enabled state, tag and font, readable and settable by name too. Views
// follow a control through its Changed event and re-read its state.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "runtime/com/Dispatch.h"
#include "runtime/core/Error.h"
#include "runtime/forms/Event.h"
#include "runtime/forms/Font.h"
#include "runtime/platform/desktop/Desktop.h"

// X11's headers name an event type KeyPress; the forms model's event of that
// name wins where both are seen.
#ifdef KeyPress
#undef KeyPress
#endif

namespace rt {

class Form;

// Mouse buttons and shift states as events report them.
constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;
constexpr int vbShiftMask = 1;
constexpr int vbCtrlMask = 2;
constexpr int vbAltMask = 4;

// Drag actions and drag-over states.
constexpr int vbCancelDrag = 0;
constexpr int vbBeginDrag = 1;
constexpr int vbEndDrag = 2;
constexpr int vbEnter = 0;
constexpr int vbLeave = 1;
constexpr int vbOver = 2;

class Control : public TableDispatch {
public:
    Control(Form& form, std::string name);
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& parentForm() const { return m_form; }
    const std::string& Name() const { return m_name; }

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void setLeft(float v) { Move(v, m_top, m_width, m_height); }
    void setTop(float v) { Move(m_left, v, m_width, m_height); }
    void setWidth(float v) { Move(m_left, m_top, v, m_height); }
    void setHeight(float v) { Move(m_left, m_top, m_width, v); }
    virtual void Move(float left, float top, float width, float height);
    // Move as late-bound callers call it: an argument left out or Empty
    // keeps that value.
    void MoveBy(std::span<const Variant> args);

    bool Visible() const { return m_visible; }
    void setVisible(bool v);
    // Whether a person sees it: it and every container visible, on a shown
    // form.
    bool showing() const;
    bool Enabled() const { return m_enabled; }
    virtual void setEnabled(bool v);
    const std::string& Tag() const { return m_tag; }
    void setTag(std::string v) { m_tag = std::move(v); }
    rt::Font& Font() const { return *m_font; }
    // The control this one sits inside (a library's container control);
    // null for one placed on the form itself. Geometry stays in twips.
    Control* Container() const { return m_container; }
    void setContainer(Control* container);

    // A window handle of its own; 0 for controls without one.
    virtual HWND hWnd() const { return 0; }

    // Gives this control the focus of its form; error 5 when it cannot take it.
    void SetFocus();
    bool hasFocus() const;

    // vbBeginDrag starts a manual drag of this control: the drop goes to the
    // control under the pointer when the user releases the button.
    void Drag(int action = vbBeginDrag);

    // What a click of the user does; a check box toggles, a button clicks.
    virtual void userClick() { Click.raise(); }

    Event<> Click;
    Event<> DblClick;
    Event<int, int, float, float> MouseDown; // button, shift, x, y
    Event<int, int, float, float> MouseMove;
    Event<int, int, float, float> MouseUp;
    Event<int&, int> KeyDown; // key code (set to 0 to swallow), shift
    Event<int&, int> KeyUp;
    Event<int&> KeyPress; // character code (set to 0 to swallow)
    Event<> GotFocus;
    Event<> LostFocus;
    Event<Control&, float, float> DragDrop;      // source, x, y
    Event<Control&, float, float, int> DragOver; // source, x, y, state
    // Any change of state a view must show.
    Event<> Changed;

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

    // What the form tells its controls: it is loading (before its load
    // handler), it was shown, it was unloaded.
    friend class Form;
    virtual void formLoading() {}
    virtual void formShown() {}
    virtual void formUnloaded() {}
    // It came into view: its form was shown or restored, or it or one of its
    // containers was made visible. A control that paints itself paints now.
    virtual void cameIntoView() {}
    // Tells `root` and every showing control inside it that it came into view.
    static void revealFrom(Control& root);

private:
    Form& m_form;
    Control* m_container = nullptr;
    std::string m_name;
    float m_left = 0, m_top = 0, m_width = 1215, m_height = 495;
    bool m_visible = true;
    bool m_enabled = true;
    std::string m_tag;
    std::shared_ptr<rt::Font> m_font = std::make_shared<rt::Font>();
};

} // namespace rt
