#pragma once
// A user that follows a script: answers to message and input boxes, what to
// do while a modal form shows, which pop-up menu item to choose, all in the
// order the program will ask. Anything the script did not expect throws
// ScriptFailure naming it.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/forms/Host.h"

namespace rt {

class ScriptedUser : public FormsHost {
public:
    // Creates a scripted user and makes it the forms host.
    static std::shared_ptr<ScriptedUser> install();

    // The next message box is answered with `answer`; when `promptPart` is
    // given, its prompt must contain it.
    ScriptedUser& answerMsgBox(int answer, std::string promptPart = {});
    ScriptedUser& answerInputBox(std::string text);
    ScriptedUser& cancelInputBox();
    // The next modal form must be `formName`; `actions` run while it shows
    // and must hide or unload it.
    ScriptedUser& whileModal(std::string formName, std::function<void(Form&)> actions);
    // The next pop-up menu: click the item named `itemName`, or dismiss it
    // when the name is empty.
    ScriptedUser& choosePopup(std::string itemName);

    // What the program showed, in order.
    const std::vector<MessageBoxRequest>& messageBoxes() const { return m_messageBoxes; }
    const std::vector<InputBoxRequest>& inputBoxes() const { return m_inputBoxes; }
    // Steps of the script still waiting; a finished test expects none.
    size_t pending() const { return m_steps.size(); }

    void runModal(Form& form) override;
    int messageBox(const MessageBoxRequest& request) override;
    std::string inputBox(const InputBoxRequest& request) override;
    void popupMenu(Form& form, Menu& menu) override;

private:
    enum class Kind { MsgBox, InputBox, Modal, Popup };
    struct Step {
        Kind kind;
        int answer = 0;
        std::string text; // prompt part, input, form or item name
        bool cancel = false;
        std::function<void(Form&)> actions;
    };
    // The front step when it is of `kind` and `check` finds no mismatch.
    using Check = std::function<std::string(const Step&)>;
    Step next(Kind kind, const std::string& what, const Check& check = {});

    std::deque<Step> m_steps;
    std::vector<MessageBoxRequest> m_messageBoxes;
    std::vector<InputBoxRequest> m_inputBoxes;
};

} // namespace rt
