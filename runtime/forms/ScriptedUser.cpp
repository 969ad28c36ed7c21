#include "runtime/forms/ScriptedUser.h"

#include "runtime/core/Strings.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Menu.h"
#include "runtime/forms/UserInput.h"

namespace rt {

namespace {
const char* kindName(int k) {
    static const char* names[] = {"message box", "input box", "modal form", "pop-up menu"};
    return names[k];
}
} // namespace

std::shared_ptr<ScriptedUser> ScriptedUser::install() {
    auto user = std::make_shared<ScriptedUser>();
    setFormsHost(user);
    return user;
}

ScriptedUser& ScriptedUser::answerMsgBox(int answer, std::string promptPart) {
    m_steps.push_back(Step{Kind::MsgBox, answer, std::move(promptPart), false, nullptr});
    return *this;
}

ScriptedUser& ScriptedUser::answerInputBox(std::string text) {
    m_steps.push_back(Step{Kind::InputBox, 0, std::move(text), false, nullptr});
    return *this;
}

ScriptedUser& ScriptedUser::cancelInputBox() {
    m_steps.push_back(Step{Kind::InputBox, 0, {}, true, nullptr});
    return *this;
}

ScriptedUser& ScriptedUser::whileModal(std::string formName, std::function<void(Form&)> actions) {
    m_steps.push_back(Step{Kind::Modal, 0, std::move(formName), false, std::move(actions)});
    return *this;
}

ScriptedUser& ScriptedUser::choosePopup(std::string itemName) {
    m_steps.push_back(Step{Kind::Popup, 0, std::move(itemName), false, nullptr});
    return *this;
}

ScriptedUser::Step ScriptedUser::next(Kind kind, const std::string& what, const Check& check) {
    std::string shown = std::string(kindName(static_cast<int>(kind))) + " \"" + what + "\"";
    if (m_steps.empty())
        throw ScriptFailure("unexpected " + shown + ": the script has no more steps");
    if (m_steps.front().kind != kind)
        throw ScriptFailure("unexpected " + shown + ": the script expected a " +
                            kindName(static_cast<int>(m_steps.front().kind)));
    // A step that does not fit stays, so the failure names the real culprit.
    if (check) {
        std::string mismatch = check(m_steps.front());
        if (!mismatch.empty())
            throw ScriptFailure(mismatch);
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    return step;
}

void ScriptedUser::runModal(Form& form) {
    Step step = next(Kind::Modal, form.Name(), [&](const Step& s) {
        return textEquals(s.text, form.Name()) ? std::string()
                                               : "unexpected modal form \"" + form.Name() +
                                                     "\": the script expected \"" + s.text + "\"";
    });
    if (step.actions) {
        UserInput::Action action;
        step.actions(form);
    }
    if (form.Loaded() && form.Visible())
        throw ScriptFailure("modal form \"" + form.Name() + "\" is still open after its script");
}

int ScriptedUser::messageBox(const MessageBoxRequest& request) {
    m_messageBoxes.push_back(request);
    return next(Kind::MsgBox, request.prompt,
                [&](const Step& s) {
                    return s.text.empty() || request.prompt.find(s.text) != std::string::npos
                               ? std::string()
                               : "message box \"" + request.prompt + "\" lacks the expected \"" +
                                     s.text + "\"";
                })
        .answer;
}

std::string ScriptedUser::inputBox(const InputBoxRequest& request) {
    m_inputBoxes.push_back(request);
    Step step = next(Kind::InputBox, request.prompt);
    return step.cancel ? std::string() : step.text;
}

void ScriptedUser::popupMenu(Form& form, Menu& menu) {
    Step step = next(Kind::Popup, menu.Name());
    if (step.text.empty())
        return;
    Menu* item = menu.item(step.text);
    if (!item)
        throw ScriptFailure("pop-up menu \"" + menu.Name() + "\" of " + form.Name() +
                            " has no item \"" + step.text + "\"");
    if (!item->Enabled() || !item->Visible())
        throw ScriptFailure("menu item \"" + step.text + "\" is hidden or disabled");
    UserInput::Action action;
    item->Click.raise();
}

} // namespace rt
