#include "runtime/forms/Host.h"

#include <cstdio>
#include <vector>

#include "runtime/core/App.h"
#include "runtime/core/BackendSlot.h"
#include "runtime/core/Error.h"
#include "runtime/forms/EventDispatch.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/ScriptedUser.h"

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

std::vector<Form*> modalForms() {
    return {modalStack().rbegin(), modalStack().rend()};
}

int MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    return formsHost().messageBox(
        MessageBoxRequest{prompt, buttons, title.empty() ? App().Title() : title});
}

std::string InputBox(const std::string& prompt, const std::string& title,
                     const std::string& defaultText, float x, float y) {
    return formsHost().inputBox(
        InputBoxRequest{prompt, title.empty() ? App().Title() : title, defaultText, x, y});
}

ScreenInfo& Screen() {
    static ScreenInfo screen;
    return screen;
}

} // namespace rt
