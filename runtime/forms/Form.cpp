#include "runtime/forms/Form.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"
#include "runtime/forms/Control.h"
#include "runtime/forms/Host.h"

namespace rt {

namespace {
// Never destroyed: a form held by a static outlives any static list and
// leaves it at exit.
std::vector<Form*>& forms() {
    static auto* all = new std::vector<Form*>;
    return *all;
}
} // namespace

const std::vector<Form*>& existingForms() {
    return forms();
}

Form::Form(std::string name, std::string caption)
    : m_name(std::move(name)), m_caption(std::move(caption)) {
    forms().push_back(this);
    m_hWnd = desktop().createOwnWindow(OwnWindow{"QuiboForm", m_caption, false, 0, nullptr});
    syncPlacement();
    m_font->Changed.connect([this] { Changed.raise(); });
}

Form::~Form() {
    std::erase(forms(), this);
    // A view must not keep a window for a form that is gone.
    if (m_loaded || m_visible) {
        m_loaded = m_visible = false;
        formsHost().formChanged(*this);
    }
    if (m_hWnd)
        desktop().destroyOwnWindow(m_hWnd);
}

void Form::setCaption(std::string caption) {
    if (caption == m_caption)
        return;
    m_caption = std::move(caption);
    syncWindow();
}

void Form::setIcon(std::string icon) {
    if (icon == m_icon)
        return;
    m_icon = std::move(icon);
    Changed.raise();
}

void Form::Move(float left, float top, float width, float height) {
    if (width < 0 || height < 0)
        raiseError(kInvalidPropertyValue);
    bool resized = width != m_width || height != m_height;
    if (!resized && left == m_left && top == m_top)
        return;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    if (m_keepsClientSize) {
        m_clientWidth = ScaleWidth();
        m_clientHeight = ScaleHeight();
    }
    syncPlacement();
    Changed.raise();
    if (resized && m_loaded)
        Form_Resize();
}

float Form::ScaleWidth() const {
    return std::max(0.0f, m_width - m_nonClientWidth);
}
float Form::ScaleHeight() const {
    return std::max(0.0f, m_height - m_nonClientHeight);
}

void Form::setNonClientSize(float width, float height) {
    if (width == m_nonClientWidth && height == m_nonClientHeight)
        return;
    m_nonClientWidth = width;
    m_nonClientHeight = height;
    if (m_keepsClientSize) {
        float grewWidth = m_clientWidth + width - m_width;
        float grewHeight = m_clientHeight + height - m_height;
        m_width += grewWidth;
        m_height += grewHeight;
        // Placed centred by its old outer size, it stays centred.
        if (m_everShown &&
            (m_startUpPosition == vbStartUpOwner || m_startUpPosition == vbStartUpScreen)) {
            const ScreenInfo& screen = Screen();
            m_left -= std::round(grewWidth / 2 / screen.TwipsPerPixelX) * screen.TwipsPerPixelX;
            m_top -= std::round(grewHeight / 2 / screen.TwipsPerPixelY) * screen.TwipsPerPixelY;
        }
        syncPlacement();
    }
    Changed.raise();
    if (m_loaded)
        Form_Resize();
}

void Form::setClientSize(float width, float height) {
    m_keepsClientSize = true;
    m_clientWidth = width;
    m_clientHeight = height;
    Move(m_left, m_top, width + m_nonClientWidth, height + m_nonClientHeight);
}

void Form::setWindowState(int state) {
    if (state < vbNormal || state > vbMaximized)
        raiseError(kInvalidPropertyValue);
    if (state == m_windowState)
        return;
    bool restored = m_windowState == vbMinimized;
    m_windowState = state;
    syncPlacement();
    Changed.raise();
    if (m_loaded)
        Form_Resize();
    // A window coming back from the task bar is uncovered: it paints again.
    if (restored && m_visible)
        paintShowingControls();
}

void Form::setBorderStyle(int style) {
    if (style < vbBSNone || style > vbSizableToolWindow)
        raiseError(kInvalidPropertyValue);
    m_borderStyle = style;
    // As a designer sets them for the fixed kinds.
    if (style == vbFixedDialog || style == vbFixedToolWindow || style == vbSizableToolWindow) {
        m_minButton = m_maxButton = false;
        m_showInTaskbar = false;
    }
    Changed.raise();
}

void Form::setStartUpPosition(int position) {
    if (position < vbStartUpManual || position > vbStartUpWindowsDefault)
        raiseError(kInvalidPropertyValue);
    m_startUpPosition = position;
}

void Form::placeAtStartUp() {
    if (m_startUpPosition != vbStartUpOwner && m_startUpPosition != vbStartUpScreen)
        return;
    const ScreenInfo& screen = Screen();
    const Form* owner = m_startUpPosition == vbStartUpOwner ? ownerOf(*this) : nullptr;
    // Both rectangles are whole windows, frame included.
    float left =
        owner ? owner->Left() + (owner->Width() - m_width) / 2 : (screen.Width - m_width) / 2;
    float top =
        owner ? owner->Top() + (owner->Height() - m_height) / 2 : (screen.Height - m_height) / 2;
    // On the screen, its top-left corner first where it is too big for it.
    left = std::max(0.0f, std::min(left, screen.Width - m_width));
    top = std::max(0.0f, std::min(top, screen.Height - m_height));
    // Whole pixels, as the window system places windows.
    left = std::floor(left / screen.TwipsPerPixelX) * screen.TwipsPerPixelX;
    top = std::floor(top / screen.TwipsPerPixelY) * screen.TwipsPerPixelY;
    Move(left, top, m_width, m_height);
}

void Form::uncovered(Control& control) {
    if (m_windowState != vbMinimized && control.showing())
        control.cameIntoView();
}

void Form::paintShowingControls() {
    for (Control* c : std::vector<Control*>(m_controls))
        if (c->showing())
            c->cameIntoView();
}

void Form::Show(int modal) {
    if (modal != vbModeless && modal != vbModal)
        raiseError(kInvalidProcedureCall);
    if (modal == vbModal && m_visible)
        raiseError(400, {}, "Form already displayed; can't show modally");
    if (!m_loaded)
        runLoad();
    if (!m_visible && !m_everShown) {
        m_everShown = true;
        placeAtStartUp();
    }
    // Modal from the moment it appears.
    std::optional<ModalScope> scope;
    if (modal == vbModal)
        scope.emplace(*this);
    if (!m_visible) {
        m_visible = true;
        syncPlacement();
        syncWindow();
        for (Control* c : std::vector<Control*>(m_controls))
            c->formShown();
        // A window that appears is painted once, after every control heard
        // the show.
        paintShowingControls();
    }
    if (modal == vbModal)
        formsHost().runModal(*this);
}

bool Form::Unload() {
    if (!m_loaded)
        return true;
    if (!runUnload())
        return false;
    if (m_release) {
        auto release = std::move(m_release);
        release();
    }
    return true;
}

void Form::PopupMenu(Menu& menu) {
    formsHost().popupMenu(*this, menu);
}

float Form::TextHeight(const std::string& text) const {
    auto lines = 1 + std::count(text.begin(), text.end(), '\n');
    // A line is the font's height plus its leading, whole pixels.
    float tpp = Screen().TwipsPerPixelY;
    float line = std::round(m_font->Size() * 20 * 1.18f / tpp) * tpp;
    return line * static_cast<float>(lines);
}

void Form::setActiveControl(Control* control) {
    if (control == m_activeControl)
        return;
    Control* old = m_activeControl;
    m_activeControl = control;
    if (old)
        old->LostFocus.raise();
    if (control)
        control->GotFocus.raise();
}

HWND Form::hWnd() const {
    HWND native = formsHost().nativeWindow(*this);
    return native ? native : m_hWnd;
}

void Form::Hide() {
    if (!m_visible)
        return;
    m_visible = false;
    syncWindow();
}

void Form::SetFocus() {
    if (!m_visible)
        raiseError(5, {}, "Invalid procedure call or argument");
    desktop().setForeground(hWnd());
}

// The desktop's record of the form's window: its normal rectangle stays
// the form's while it is minimised or maximised.
void Form::syncPlacement() {
    auto px = [](float twips, float perPixel) {
        return static_cast<int32_t>(std::lround(twips / perPixel));
    };
    float tx = Screen().TwipsPerPixelX, ty = Screen().TwipsPerPixelY;
    RECT normal{px(m_left, tx), px(m_top, ty), px(m_left + m_width, tx), px(m_top + m_height, ty)};
    desktop().placeOwnWindow(hWnd(), normal, m_windowState == vbMinimized,
                             m_windowState == vbMaximized);
}

void Form::syncWindow() {
    desktop().updateOwnWindow(m_hWnd, m_caption, m_visible);
    Changed.raise();
    formsHost().formChanged(*this);
}

Control* Form::control(const std::string& name) const {
    for (Control* c : m_controls)
        if (textEquals(c->Name(), name))
            return c;
    return nullptr;
}

void Form::runLoad() {
    m_loaded = true;
    for (Control* c : std::vector<Control*>(m_controls))
        c->formLoading();
    formsHost().formLoaded(*this);
    Form_Load();
}

bool Form::runUnload() {
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        return false;
    m_loaded = false;
    m_activeControl = nullptr;
    Hide();
    // A view drops the window of an unloaded form, hidden or not.
    formsHost().formChanged(*this);
    for (Control* c : std::vector<Control*>(m_controls))
        c->formUnloaded();
    return true;
}

void Form::registerControl(Control* c) {
    m_controls.push_back(c);
}
void Form::unregisterControl(Control* c) {
    std::erase(m_controls, c);
    if (m_activeControl == c)
        m_activeControl = nullptr;
}

const MemberTable& Form::memberTable() {
    auto toFloat = &Variant::toSingle;
    static const MemberTable table({
        readOnly<Form>("Name", 1, &Form::Name),
        property<Form>("Caption", 2, &Form::Caption, &Form::setCaption, &Variant::toString),
        property<Form>("Left", 3, &Form::Left, &Form::setLeft, toFloat),
        property<Form>("Top", 4, &Form::Top, &Form::setTop, toFloat),
        property<Form>("Width", 5, &Form::Width, &Form::setWidth, toFloat),
        property<Form>("Height", 6, &Form::Height, &Form::setHeight, toFloat),
        readOnly<Form>("ScaleWidth", 7, &Form::ScaleWidth),
        readOnly<Form>("ScaleHeight", 8, &Form::ScaleHeight),
        property<Form>("WindowState", 9, &Form::WindowState, &Form::setWindowState,
                       &Variant::toInteger),
        readOnly<Form>("Visible", 10, &Form::Visible),
        readOnly<Form>("hWnd", 11, &Form::hWnd),
        property<Form>("KeyPreview", 12, &Form::KeyPreview, &Form::setKeyPreview, &Variant::toBool),
        Member{"Font", 13, MemberKind::ReadOnlyProperty, "",
               [](Dispatch& self, std::span<const Variant>) {
                   return Variant(
                       std::static_pointer_cast<Dispatch>(static_cast<Form&>(self).m_font));
               },
               nullptr},
    });
    return table;
}

} // namespace rt
