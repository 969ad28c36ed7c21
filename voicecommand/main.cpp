// Quibo's entry point: picks the backends, shows the main window and runs the
// event loop until the main window's unload ends the program. It reads no
// command line.
//
// QUIBO_BACKENDS=sim (or no display) runs headless on the simulated desktop:
// each line of standard input is heard as a spoken phrase, the status bar is
// written to standard output, and the end of input closes the main window.

#include <cstdlib>
#include <iostream>
#include <string>

#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"
#include "runtime/forms/EventLoop.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/speech/ScriptedEngine.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmQuibo.h"

namespace {

// Nobody to ask in a headless run: boxes are written to standard error and
// take their first button, modal windows close at once.
class HeadlessHost : public rt::FormsHost {
public:
    void runModal(rt::Form& form) override { form.Hide(); }
    int messageBox(const rt::MessageBoxRequest& request) override {
        std::cerr << request.title << ": " << request.prompt << "\n";
        return (request.buttons & 7) == rt::vbYesNo ? rt::vbYes : rt::vbOK;
    }
    std::string inputBox(const rt::InputBoxRequest& request) override { return request.defaultText; }
    void popupMenu(rt::Form&, rt::Menu&) override {}
};

bool headless() {
    const char* backends = std::getenv("QUIBO_BACKENDS");
    if (backends && std::string(backends) == "sim")
        return true;
    const char* display = std::getenv("DISPLAY");
    return !display || !*display;
}

int runHeadless() {
    rt::setFormsHost(std::make_shared<HeadlessHost>());
    frmQuibo& main = rt::form<frmQuibo>().get();
    main.Show();
    auto& engine = dynamic_cast<rt::speech::ScriptedEngine&>(main.DirectSR1->engine());
    std::string line;
    while (!Program::Ended() && std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        engine.say(line);
        rt::eventLoop().runPending();
        rt::releaseUnloadedForms();
        std::cout << main.stbVCmd.PanelText(1);
        if (!main.stbVCmd.PanelText(2).empty())
            std::cout << "\t" << main.stbVCmd.PanelText(2);
        std::cout << std::endl;
    }
    if (!Program::Ended())
        rt::form<frmQuibo>().unload();
    rt::releaseUnloadedForms();
    return 0;
}

} // namespace

int main() {
    try {
        if (headless())
            return runHeadless();
        std::cerr << "quibo: the desktop view is not built yet; running headless (QUIBO_BACKENDS=sim).\n";
        return runHeadless();
    } catch (const rt::RuntimeError& e) {
        // An error nothing handled ends the program with its message, as the
        // runtime does.
        std::cerr << "quibo: run-time error " << e.number() << ": " << e.description() << "\n";
        return 1;
    }
}
