#pragma once
// The forms host of the Qt view: a window for each shown form, modal forms
// as nested event loops, and Qt dialogs for message and input boxes.

#include <QPointer>
#include <map>
#include <set>
#include <vector>

#include "runtime/forms/Host.h"

class QEventLoop;
class QWidget;

namespace rt::qt {

class FormWindow;

class QtFormsHost : public FormsHost {
public:
    ~QtFormsHost() override;

    void runModal(Form& form) override;
    int messageBox(const MessageBoxRequest& request) override;
    std::string inputBox(const InputBoxRequest& request) override;
    void popupMenu(Form& form, Menu& menu) override;
    void formLoaded(Form& form) override;
    void formChanged(Form& form) override;
    HWND nativeWindow(const Form& form) const override;
    Form* activeForm() const override;
    // A message box titled with the program's name; the program goes on.
    void reportError(const UnhandledError& error) override;

    // Deletes every window; their forms are left as they are.
    void closeAll();
    // The window showing `form`; nullptr while the form is hidden.
    FormWindow* window(const Form& form) const;
    // Whether a loaded form is showing.
    bool anyLoaded() const { return !m_loaded.empty(); }
    // Quits Qt's main loop when the last shown form is unloaded or hidden.
    void setQuitWhenNoForms(bool quit) { m_quitWhenNoForms = quit; }

private:
    // A loaded form's window, shown or not.
    FormWindow* existingWindow(const Form& form) const;
    FormWindow& makeWindow(Form& form);
    void makeModal(Form& form, FormWindow& win) const;
    // The window a message or input box opening now belongs to.
    QWidget* boxParent() const;

    std::map<const Form*, QPointer<FormWindow>> m_windows;
    std::map<const Form*, QEventLoop*> m_modalLoops;
    std::set<const Form*> m_loaded;
    bool m_quitWhenNoForms = false;
};

} // namespace rt::qt
