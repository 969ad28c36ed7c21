#include "runtime/forms/Host.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "runtime/core/App.h"
#include "runtime/core/BackendSlot.h"
#include "runtime/core/Error.h"
#include "runtime/forms/EventDispatch.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/forms/UserInput.h"

namespace rt {

namespace {
BackendSlot<FormsHost, ScriptedUser>& hostSlot() {
    static BackendSlot<FormsHost, ScriptedUser> slot;
    return slot;
}
std::vector<Form*>& modalStack() {
    static std::vector<Form*> stack;
    return stack;
}
} // namespace

void FormsHost::reportError(const UnhandledError& error) {
    std::fprintf(stderr, "Run-time error '%d': %s\n", static_cast<int>(error.number),
                 error.description.c_str());
}

FormsHost& formsHost() {
    return hostSlot().get();
}

void setFormsHost(std::shared_ptr<FormsHost> host) {
    hostSlot().set(std::move(host));
}

ModalScope::ModalScope(Form& form) {
    modalStack().push_back(&form);
}
ModalScope::~ModalScope() {
    modalStack().pop_back();
}

Form* topModalForm() {
    return modalStack().empty() ? nullptr : modalStack().back();
}

Form* FormsHost::activeForm() const {
    HWND active = desktop().foreground();
    for (Form* f : existingForms())
        if (active && f->Visible() && f->hWnd() == active)
            return f;
    return nullptr;
}

namespace {
// The form a window opening now belongs to, `opening` itself never.
Form* ownerExcept(const Form* opening) {
    auto counts = [&](const Form* f) {
        return f && f != opening && f->Visible() && !f->hostForm();
    };
    // The nearest one up the modal chain that shows (a window may hide
    // itself while the one it opens is modal); the opening form itself is
    // on the stack once its modal show has begun.
    auto& stack = modalStack();
    auto inner = std::find_if(stack.rbegin(), stack.rend(), counts);
    if (inner != stack.rend())
        return *inner;
    if (Form* active = formsHost().activeForm(); counts(active))
        return active;
    for (Form* f : existingForms())
        if (counts(f))
            return f;
    return nullptr;
}
} // namespace

Form* ownerOf(const Form& form) {
    return ownerExcept(&form);
}

Form* boxOwner() {
    return ownerExcept(nullptr);
}

std::vector<Form*> modalForms() {
    return {modalStack().rbegin(), modalStack().rend()};
}

// A box ends a drag: the button is released over the box, not over a target.
int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    UserInput::cancelDrag();
    return formsHost().messageBox(
        MessageBoxRequest{prompt, buttons, title.empty() ? App().Title() : title});
}

std::string InputBox(const std::string& prompt, const std::string& title,
                     const std::string& defaultText, float x, float y) {
    UserInput::cancelDrag();
    return formsHost().inputBox(
        InputBoxRequest{prompt, title.empty() ? App().Title() : title, defaultText, x, y});
}

ScreenInfo& Screen() {
    static ScreenInfo screen;
    return screen;
}

} // namespace rt
