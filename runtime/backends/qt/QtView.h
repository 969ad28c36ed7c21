#pragma once
// Entry points of the Qt view: make the forms model show real windows and
// run the program's event loop on Qt's.

#include <functional>

class QWidget;

namespace rt {
class Form;
}

namespace rt::qt {

// Creates the application object when there is none, installs the Qt forms
// host, wakes the Qt loop for work other threads post and drives the forms
// timers from the real clock.
void installQtView(int& argc, char** argv);
// Runs until no loaded form is showing any more (the last one was unloaded
// or hidden); returns at once when none is showing.
int runEventLoop();
// A termination request: unloads every modal form, innermost first, then
// runs `closeMain`, each as a user action of its own (what their handlers
// save is saved), and ends the event loop even when one of them refused.
void closeOnRequest(const std::function<void()>& closeMain);
// Removes the windows and the view, and the application object the view
// created; call before the program returns from main.
void shutdownQtView();
// The window showing `form`; nullptr while it is hidden.
QWidget* formWindow(const Form& form);

} // namespace rt::qt
