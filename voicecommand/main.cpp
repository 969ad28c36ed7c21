// Quibo's entry point: picks the backends, shows the main window and runs the
// event loop until the main window's unload ends the program. It reads no
// command line.
//
// QUIBO_BACKENDS=sim (or no display) runs headless on the simulated desktop:
// each line of standard input is heard as a spoken phrase, the status bar is
// written to standard output, and the end of input closes the main window.
// On an X11 desktop the real desktop, keyboard and shell are used and the
// microphone is heard; the status bar goes to standard output, and an
// interrupt (Ctrl+C) closes the main window.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"
#include "runtime/forms/EventLoop.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "runtime/speech/ScriptedEngine.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmQuibo.h"

#ifdef QUIBO_HAVE_QUIBO_X11
#include "runtime/backends/x11/PosixShell.h"
#include "runtime/backends/x11/X11Desktop.h"
#include "runtime/backends/x11/XTestKeyboard.h"
#endif
#ifdef QUIBO_HAVE_RT_POCKETSPHINX
#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#endif

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

volatile std::sig_atomic_t g_interrupted = 0;

void printStatus(frmQuibo& main, std::string& shown) {
    std::string status = main.stbVCmd.PanelText(1) + "\t" + main.stbVCmd.PanelText(2);
    if (status != shown)
        std::cout << main.stbVCmd.PanelText(1) << "\t" << main.stbVCmd.PanelText(2) << std::endl;
    shown = status;
}

// Real desktop, real keys, real programs, the microphone.
bool installDesktopBackends() {
#ifdef QUIBO_HAVE_QUIBO_X11
    auto display = rt::x11::XDisplay::open();
    rt::setDesktop(std::make_shared<rt::x11::X11Desktop>(display));
    rt::setKeyboard(std::make_shared<rt::x11::XTestKeyboard>(display));
    rt::setShell(std::make_shared<rt::x11::PosixShell>());
#ifdef QUIBO_HAVE_RT_POCKETSPHINX
    rt::speech::installPocketSphinxEngine();
#endif
    return true;
#else
    return false;
#endif
}

int runOnDesktop() {
    rt::setFormsHost(std::make_shared<HeadlessHost>());
    std::signal(SIGINT, [](int) { g_interrupted = 1; });
    std::signal(SIGTERM, [](int) { g_interrupted = 1; });
    frmQuibo& main = rt::form<frmQuibo>().get();
    main.Show();
    std::string shown;
    while (!Program::Ended() && !g_interrupted) {
        rt::eventLoop().runPending();
        rt::releaseUnloadedForms();
        printStatus(main, shown);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!Program::Ended())
        rt::form<frmQuibo>().unload();
    rt::releaseUnloadedForms();
    return 0;
}

} // namespace

int main() {
    try {
        if (headless() || !installDesktopBackends())
            return runHeadless();
        return runOnDesktop();
    } catch (const rt::RuntimeError& e) {
        // An error nothing handled ends the program with its message, as the
        // runtime does.
        std::cerr << "quibo: run-time error " << e.number() << ": " << e.description() << "\n";
        return 1;
    }
}
