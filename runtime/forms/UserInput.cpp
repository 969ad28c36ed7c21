#include "runtime/forms/UserInput.h"

#include <algorithm>
#include <vector>

#include "runtime/forms/ComboBox.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Control.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/Menu.h"
#include "runtime/forms/Slider.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/Toolbar.h"
#include "runtime/forms/UserControl.h"

namespace rt {

namespace {
int g_actionDepth = 0;
Control* g_dragSource = nullptr;
Control* g_dragTarget = nullptr; // the control the dragged pointer is over
float g_dragX = 0, g_dragY = 0;  // the pointer over it, in its twips
std::function<void()> g_dragWatcher;

void dragChanged() {
    // A copy: the watcher may replace itself.
    if (std::function<void()> watcher = g_dragWatcher)
        watcher();
}

void fail(const std::string& what) {
    throw ScriptFailure(what);
}

constexpr int kKeyReturn = 13;
constexpr int kKeyEscape = 27;

bool pressable(const CommandButton& button) {
    return button.showing() && button.Enabled();
}

// The button that Enter or Escape presses in the form of `control`.
CommandButton* keyButton(Control& control, int keyCode) {
    if (keyCode != kKeyReturn && keyCode != kKeyEscape)
        return nullptr;
    if (auto* focused = dynamic_cast<CommandButton*>(&control); focused && keyCode == kKeyReturn)
        return focused;
    Form& form = control.parentForm();
    std::vector<CommandButton*> buttons;
    for (Control* c : form.Controls())
        if (auto* b = dynamic_cast<CommandButton*>(c); b && pressable(*b))
            buttons.push_back(b);
    for (CommandButton* b : buttons)
        if (keyCode == kKeyReturn ? b->Default() : b->Cancel())
            return b;
    // A modal window with one button is answered by it, as a box is.
    std::vector<Form*> modal = modalForms();
    bool isModal = std::find(modal.begin(), modal.end(), &form) != modal.end();
    if (keyCode == kKeyEscape && isModal && buttons.size() == 1)
        return buttons.front();
    return nullptr;
}
} // namespace

UserInput::Action::Action() {
    ++g_actionDepth;
}

UserInput::Action::~Action() {
    if (--g_actionDepth == 0 && !topModalForm())
        releaseUnloadedForms();
}

void UserInput::checkReachable(const Form& form) {
    if (!form.Loaded() || !form.Visible())
        fail("form " + form.Name() + " is not showing");
    if (const Form* host = form.hostForm()) {
        checkReachable(*host);
        return;
    }
    Form* modal = topModalForm();
    if (modal && modal != &form)
        fail("form " + form.Name() + " is behind the modal form " + modal->Name());
}

void UserInput::checkReachable(const Control& control) {
    checkReachable(control.parentForm());
    // A hidden or disabled container hides or disables what it holds; a
    // library control whose own Enabled is off takes no input either.
    for (const Control* c = &control; c; c = c->Container()) {
        auto* site = dynamic_cast<const ControlSite*>(c);
        if (!c->Visible() || !c->Enabled() || (site && !site->surfaceEnabled()))
            fail("control " + control.Name() + " is hidden or disabled" +
                 (c == &control ? std::string() : " (by " + c->Name() + ")"));
    }
}

void UserInput::click(Control& control) {
    Action action;
    checkReachable(control);
    control.userClick();
}

void UserInput::dblClick(Control& control) {
    Action action;
    checkReachable(control);
    control.DblClick.raise();
}

void UserInput::mouseDown(Control& control, int button, int shift, float x, float y) {
    Action action;
    checkReachable(control);
    control.MouseDown.raise(button, shift, x, y);
}

void UserInput::mouseMove(Control& control, int button, int shift, float x, float y) {
    Action action;
    checkReachable(control);
    control.MouseMove.raise(button, shift, x, y);
}

void UserInput::mouseUp(Control& control, int button, int shift, float x, float y) {
    Action action;
    checkReachable(control);
    control.MouseUp.raise(button, shift, x, y);
}

bool UserInput::keyDown(Control& control, int keyCode, int shift) {
    Action action;
    checkReachable(control);
    Form& form = control.parentForm();
    if (form.KeyPreview())
        form.KeyDown.raise(keyCode, shift);
    if (keyCode != 0)
        control.KeyDown.raise(keyCode, shift);
    if (shift != 0)
        return false;
    CommandButton* button = keyButton(control, keyCode);
    if (!button)
        return false;
    click(*button);
    return true;
}

int UserInput::keyPress(Control& control, int keyAscii) {
    Action action;
    checkReachable(control);
    Form& form = control.parentForm();
    if (form.KeyPreview())
        form.KeyPress.raise(keyAscii);
    if (keyAscii != 0)
        control.KeyPress.raise(keyAscii);
    return keyAscii;
}

void UserInput::keyUp(Control& control, int keyCode, int shift) {
    Action action;
    checkReachable(control);
    control.KeyUp.raise(keyCode, shift);
}

void UserInput::focus(Control& control) {
    Action action;
    checkReachable(control);
    control.parentForm().setActiveControl(&control);
}

void UserInput::typeText(TextBox& box, const std::string& text) {
    Action action;
    checkReachable(box);
    box.parentForm().setActiveControl(&box);
    if (box.Locked())
        fail("text box " + box.Name() + " is locked");
    box.userType(text);
}

void UserInput::typeText(ComboBox& box, const std::string& text) {
    Action action;
    checkReachable(box);
    box.parentForm().setActiveControl(&box);
    box.userType(text);
}

void UserInput::selectItem(ListBox& list, int index, int shift) {
    Action action;
    checkReachable(list);
    if (index < 0 || index >= list.ListCount())
        fail("list " + list.Name() + " has no line " + std::to_string(index));
    list.parentForm().setActiveControl(&list);
    list.userSelect(index, shift);
}

void UserInput::pressItem(ListBox& list, int index, int button, int shift, float x, float y) {
    Action action;
    checkReachable(list);
    if (index >= list.ListCount())
        fail("list " + list.Name() + " has no line " + std::to_string(index));
    list.parentForm().setActiveControl(&list);
    bool picked = button == vbLeftButton && index >= 0;
    if (picked)
        list.userPress(index, shift);
    list.MouseDown.raise(button, shift, x, y);
    // The MouseDown handler may have hidden or unloaded the list's form.
    if (picked && list.parentForm().Loaded() && list.parentForm().Visible())
        list.Click.raise();
}

void UserInput::chooseMenu(Menu& item) {
    Action action;
    checkReachable(item);
    for (Menu* m = item.parentMenu(); m; m = m->parentMenu())
        checkReachable(*m);
    if (!item.items().empty())
        fail("menu " + item.Name() + " opens a submenu; choose one of its items");
    item.Click.raise();
}

void UserInput::selectItem(ComboBox& combo, int index) {
    Action action;
    checkReachable(combo);
    if (index < 0 || index >= combo.ListCount())
        fail("combo box " + combo.Name() + " has no line " + std::to_string(index));
    combo.parentForm().setActiveControl(&combo);
    combo.userSelect(index);
}

void UserInput::clickButton(Toolbar& toolbar, const std::string& key) {
    Action action;
    checkReachable(toolbar);
    toolbar.userClickButton(key);
}

void UserInput::slide(Slider& slider, int value) {
    Action action;
    checkReachable(slider);
    slider.userSlide(value);
}

void UserInput::closeForm(Form& form) {
    Action action;
    checkReachable(form);
    if (form.hostForm())
        fail("form " + form.Name() + " sits inside " + form.hostForm()->Name() +
             " and has no close box");
    form.Unload();
}

void UserInput::beginDrag(Control& source) {
    g_dragSource = &source;
    g_dragTarget = nullptr;
    dragChanged();
}

void UserInput::endDrag(Control& source, bool drop) {
    if (g_dragSource != &source)
        return;
    Control* target = g_dragTarget;
    g_dragSource = nullptr;
    g_dragTarget = nullptr;
    dragChanged();
    // Dropped where the pointer was last seen over the target.
    if (drop && target)
        target->DragDrop.raise(source, g_dragX, g_dragY);
}

void UserInput::cancelDrag() {
    if (g_dragSource)
        endDrag(*g_dragSource, false);
}

void UserInput::forget(const Control& control) {
    if (g_dragTarget == &control)
        g_dragTarget = nullptr;
    if (g_dragSource == &control) {
        g_dragSource = nullptr;
        g_dragTarget = nullptr;
        dragChanged();
    }
}

Control* UserInput::dragSource() {
    return g_dragSource;
}

void UserInput::setDragWatcher(std::function<void()> watcher) {
    g_dragWatcher = std::move(watcher);
}

void UserInput::dragOver(Control& target, float x, float y) {
    Action action;
    if (!g_dragSource)
        fail("no drag in progress over " + target.Name());
    checkReachable(target);
    Control& source = *g_dragSource;
    // The control left behind hears where the pointer last was over it, in
    // its own coordinates, not in those of the control entered.
    if (g_dragTarget && g_dragTarget != &target)
        g_dragTarget->DragOver.raise(source, g_dragX, g_dragY, vbLeave);
    int state = g_dragTarget == &target ? vbOver : vbEnter;
    g_dragTarget = &target;
    g_dragX = x;
    g_dragY = y;
    target.DragOver.raise(source, x, y, state);
}

void UserInput::dragOverNothing() {
    Action action;
    if (!g_dragSource)
        fail("no drag in progress");
    Control* left = g_dragTarget;
    g_dragTarget = nullptr;
    if (left)
        left->DragOver.raise(*g_dragSource, g_dragX, g_dragY, vbLeave);
}

void UserInput::drop(Control& target, float x, float y) {
    Action action;
    if (!g_dragSource)
        fail("no drag in progress to drop on " + target.Name());
    checkReachable(target);
    Control& source = *g_dragSource;
    g_dragSource = nullptr;
    g_dragTarget = nullptr;
    dragChanged();
    target.DragDrop.raise(source, x, y);
}

void UserInput::dragTo(Control& source, Control& target, float x, float y) {
    Action action;
    mouseDown(source, vbLeftButton, 0, x, y);
    if (g_dragSource != &source) {
        mouseUp(source, vbLeftButton, 0, x, y);
        return;
    }
    dragOver(target, x, y);
    drop(target, x, y);
}

} // namespace rt
