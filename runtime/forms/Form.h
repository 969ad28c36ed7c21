#pragma once
// A form: a top-level window of the program with its controls. Deliverables
// derive their windows from it and connect their handlers in the constructor;
// Form_Load runs when the form is first referenced (see FormRef.h).

#include <functional>
#include <memory>
#include <string>
#include <vector>

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

class Control;
class Menu;

constexpr int vbModeless = 0;
constexpr int vbModal = 1;
constexpr int vbNormal = 0;
constexpr int vbMinimized = 1;
constexpr int vbMaximized = 2;

// Border styles of a form.
constexpr int vbBSNone = 0;
constexpr int vbFixedSingle = 1;
constexpr int vbSizable = 2;
constexpr int vbFixedDialog = 3;
constexpr int vbFixedToolWindow = 4;
constexpr int vbSizableToolWindow = 5;
// Where a form first appears.
constexpr int vbStartUpManual = 0;
constexpr int vbStartUpOwner = 1;
constexpr int vbStartUpScreen = 2;
constexpr int vbStartUpWindowsDefault = 3;

class Form : public TableDispatch {
public:
    Form(std::string name, std::string caption);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return m_name; }
    const std::string& Caption() const { return m_caption; }
    void setCaption(std::string caption);
    // The picture of the window's title bar and task button, by name or
    // file, as an image list keeps pictures; empty for the view's default.
    const std::string& Icon() const { return m_icon; }
    void setIcon(std::string icon);
    // The real window's handle while a view shows the form; the desktop
    // layer's own handle otherwise.
    HWND hWnd() const;

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void setLeft(float v) { Move(v, m_top, m_width, m_height); }
    void setTop(float v) { Move(m_left, v, m_width, m_height); }
    void setWidth(float v) { Move(m_left, m_top, v, m_height); }
    void setHeight(float v) { Move(m_left, m_top, m_width, v); }
    void Move(float left, float top, float width, float height);
    // The client area: the outer size less borders and title bar.
    float ScaleWidth() const;
    float ScaleHeight() const;
    // The borders, title bar and menu bar around the client area, in twips;
    // a view whose window system frames windows otherwise sets its own.
    void setNonClientSize(float width, float height);
    // A form whose design gives its client area (a fixed dialog) keeps that
    // area whatever frame the window system puts around it; its outer size
    // follows the frame.
    void setClientSize(float width, float height);

    // The window's kind. A fixed dialog or tool window has neither minimise
    // nor maximise button and no task-bar entry; only sizable ones can be
    // resized by the user. Error 380 outside vbBSNone..vbSizableToolWindow.
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    bool MinButton() const { return m_minButton; }
    void setMinButton(bool v) { m_minButton = v; }
    bool MaxButton() const { return m_maxButton; }
    void setMaxButton(bool v) { m_maxButton = v; }
    bool ShowInTaskbar() const { return m_showInTaskbar; }
    void setShowInTaskbar(bool v) { m_showInTaskbar = v; }
    // Applied at the first show: centred over the owner (ownerOf in
    // Host.h; the screen when there is none) or on the screen, kept on the
    // screen; manual and the system's default keep Left and Top.
    int StartUpPosition() const { return m_startUpPosition; }
    void setStartUpPosition(int position);

    int WindowState() const { return m_windowState; }
    void setWindowState(int state);
    bool Visible() const { return m_visible; }
    bool KeyPreview() const { return m_keyPreview; }
    void setKeyPreview(bool v) { m_keyPreview = v; }
    bool Loaded() const { return m_loaded; }

    // Modeless: shows and returns. Modal: shows and returns when the form is
    // hidden or unloaded; the other forms take no input meanwhile. Loads the
    // form first when it is not loaded.
    void Show(int modal = vbModeless);
    void Hide();
    // Runs Form_Unload; unless it cancels, hides the form and releases the
    // instance its FormRef holds. False when cancelled.
    bool Unload();
    void SetFocus();
    // Shows `menu` as a pop-up at the pointer; returns after the user chose
    // an item (its Click has run) or dismissed it.
    void PopupMenu(Menu& menu);
    // Height of `text` in the form's font, in twips.
    float TextHeight(const std::string& text) const;
    rt::Font& Font() const { return *m_font; }

    const std::vector<Control*>& Controls() const { return m_controls; }
    // By name without regard to case, as late-bound code looks them up.
    Control* control(const std::string& name) const;
    Control* ActiveControl() const { return m_activeControl; }
    void setActiveControl(Control* control);
    // The form this one is shown inside (a property page in its frame); it
    // takes input whenever that form does, and its Left and Top lie in that
    // form's client area. Null for a top-level form.
    Form* hostForm() const { return m_hostForm; }
    void setHostForm(Form* host) { m_hostForm = host; }

    // Handlers a deliverable's form overrides.
    virtual void Form_Load() {}
    virtual void Form_Unload(int& /*cancel*/) {}
    virtual void Form_Resize() {}

    Event<int&, int> KeyDown; // key code, shift: with key preview, before the control sees it
    Event<int&> KeyPress;     // character code: with key preview, before the control sees it
    Event<> Changed;          // caption, geometry, state or visibility changed

    // Entry points of the user and the forms runtime.
    void runLoad();
    // Runs the unload handler; false when it cancelled.
    bool runUnload();
    // Another window that covered `control` went away: a control that
    // paints itself paints again.
    void uncovered(Control& control);
    void setReleaser(std::function<void()> release) { m_release = std::move(release); }
    void registerControl(Control* control);
    void unregisterControl(Control* control);

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    void syncWindow();
    void syncPlacement();
    void paintShowingControls();
    void placeAtStartUp();

    std::string m_name;
    std::string m_caption;
    std::string m_icon;
    HWND m_hWnd = 0;
    float m_left = 1500, m_top = 1500, m_width = 4800, m_height = 3600;
    float m_nonClientWidth = 120, m_nonClientHeight = 510;
    bool m_keepsClientSize = false;
    float m_clientWidth = 0, m_clientHeight = 0;
    int m_windowState = vbNormal;
    int m_borderStyle = vbSizable;
    bool m_minButton = true;
    bool m_maxButton = true;
    bool m_showInTaskbar = true;
    int m_startUpPosition = vbStartUpManual;
    bool m_everShown = false;
    bool m_visible = false;
    bool m_keyPreview = false;
    bool m_loaded = false;
    std::vector<Control*> m_controls;
    Control* m_activeControl = nullptr;
    Form* m_hostForm = nullptr;
    std::function<void()> m_release;
    std::shared_ptr<rt::Font> m_font = std::make_shared<rt::Font>();
};

// Every form that exists now, oldest first.
const std::vector<Form*>& existingForms();

} // namespace rt
