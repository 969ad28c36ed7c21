#pragma once
// What stands between the forms model and a person: modal loops, message
// boxes, input boxes and pop-up menus. Tests install a scripted user
// (ScriptedUser.h); the real view installs one that shows windows. Until one
// is installed, a scripted user with an empty script answers, so any box or
// modal window fails loudly instead of blocking.

#include <memory>
#include <string>
#include <vector>

#include "runtime/platform/desktop/Desktop.h"

namespace rt {

class Form;
class Menu;
struct UnhandledError;

constexpr int vbOKOnly = 0;
constexpr int vbOKCancel = 1;
constexpr int vbYesNo = 4;
constexpr int vbCritical = 16;
constexpr int vbQuestion = 32;
constexpr int vbExclamation = 48;
constexpr int vbInformation = 64;
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

struct MessageBoxRequest {
    std::string prompt;
    int buttons = vbOKOnly; // buttons + icon
    std::string title;      // the program's title when none was given
};

struct InputBoxRequest {
    std::string prompt;
    std::string title;
    std::string defaultText;
    float x = -1; // twips; -1: centred
    float y = -1;
};

class FormsHost {
public:
    virtual ~FormsHost() = default;
    // Runs until `form` is hidden or unloaded.
    virtual void runModal(Form& form) = 0;
    virtual int messageBox(const MessageBoxRequest& request) = 0;
    // The text entered; the empty text for Cancel.
    virtual std::string inputBox(const InputBoxRequest& request) = 0;
    // Returns after the user chose an item of `menu` (its Click ran) or
    // dismissed it.
    virtual void popupMenu(Form& form, Menu& menu) = 0;
    // A form was loaded (before its load handler runs): a view may make its
    // window now, hidden, so that the form has its real handle from the start.
    virtual void formLoaded(Form&) {}
    // A form was shown, hidden, renamed or unloaded; views follow it.
    virtual void formChanged(Form&) {}
    // The handle of the real window that shows `form`, 0 for none.
    virtual HWND nativeWindow(const Form&) const { return 0; }
    // The shown form whose window is active; by default the one the desktop
    // has in the foreground. nullptr for none.
    virtual Form* activeForm() const;
    // An error reached the top of an event handler (EventDispatch.h). Where
    // nobody sees a box it goes to standard error.
    virtual void reportError(const UnhandledError& error);
};

FormsHost& formsHost();
void setFormsHost(std::shared_ptr<FormsHost> host);

// Marks a modal form for its lifetime: only it (and forms shown above it)
// take user input meanwhile.
class ModalScope {
public:
    explicit ModalScope(Form& form);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};
// The innermost modal form; nullptr when none is showing.
Form* topModalForm();
// The form that a window opening now belongs to: the innermost modal form
// that shows, else the active one, else the oldest (the main window). Only
// a shown top-level form other than `form` counts; nullptr when there is
// none.
Form* ownerOf(const Form& form);
// The form that a message box or input box opening now belongs to, by the
// same rule; nullptr when no form shows.
Form* boxOwner();
// Every form whose modal loop runs, innermost first.
std::vector<Form*> modalForms();

// Buttons + icon in `buttons`; the title defaults to App().Title(). Returns
// vbOK, vbCancel, vbYes, vbNo...
int MsgBox(const std::string& prompt, int buttons = vbOKOnly, const std::string& title = {});
// Cancel gives the empty text.
std::string InputBox(const std::string& prompt, const std::string& title = {},
                     const std::string& defaultText = {}, float x = -1, float y = -1);

constexpr int vbDefault = 0;
constexpr int vbArrow = 1;
constexpr int vbHourglass = 11;

// Twips per pixel of the screen (15 at 96 dots per inch) and the mouse
// pointer the program shows over all its windows.
struct ScreenInfo {
    float TwipsPerPixelX = 15;
    float TwipsPerPixelY = 15;
    float Width = 1024 * 15; // the screen's size, twips
    float Height = 768 * 15;
    int MousePointer = 0;
};
ScreenInfo& Screen();

} // namespace rt
