#include "runtime/forms/Host.h"

#include <vector>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/ScriptedUser.h"

namespace rt {

namespace {
std::shared_ptr<FormsHost>& hostSlot() {
    static std::shared_ptr<FormsHost> host;
    return host;
}
std::vector<Form*>& modalStack() {
    static std::vector<Form*> stack;
    return stack;
}
} // namespace

FormsHost& formsHost() {
    auto& host = hostSlot();
    if (!host)
        host = std::make_shared<ScriptedUser>();
    return *host;
}

void setFormsHost(std::shared_ptr<FormsHost> host) {
    hostSlot() = std::move(host);
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
