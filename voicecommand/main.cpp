// Quibo's entry point: picks the backends, shows the main window and runs the
// event loop until the main window's unload ends the program. It reads no
// command line.
//
// QUIBO_BACKENDS=sim (or no display) runs headless on the simulated desktop
// (headless/HeadlessRun.h), whose other windows QUIBO_SIM_WINDOWS names.
// On an X11 desktop the windows are real (Qt), as are the desktop, keyboard
// and shell, and the microphone is heard; an interrupt (Ctrl+C) or a
// termination request closes every open window as its close box does, the
// modal ones first, and ends the program.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "runtime/core/App.h"
#include "runtime/core/Error.h"
#include "runtime/core/UiThread.h"
#include "runtime/forms/EventDispatch.h"
#include "runtime/forms/EventLoop.h"
#include "runtime/forms/FormRef.h"
#include "runtime/forms/Host.h"
#include "voicecommand/CFile.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmQuibo.h"
#include "voicecommand/headless/HeadlessRun.h"

// Qt before Xlib, whose macros clash with Qt's names.
#ifdef QUIBO_HAVE_QUIBO_QT
#include <QTimer>

#include "runtime/backends/qt/QtSupport.h"
#include "runtime/backends/qt/QtView.h"
#endif
#ifdef QUIBO_HAVE_QUIBO_X11
#include "runtime/backends/x11/PosixShell.h"
#include "runtime/backends/x11/X11Desktop.h"
#include "runtime/backends/x11/XTestKeyboard.h"
#endif
#ifdef QUIBO_HAVE_RT_POCKETSPHINX
#include "runtime/backends/pocketsphinx/PocketSphinxEngine.h"
#endif

namespace {

// The one Quibo of its folder may clear what stopped rewrites left there.
bool claimFolder() {
    if (!Program::ClaimFolder())
        return false;
    rt::skipFailure([] { CFile::RemoveLeftRewrites(); });
    return true;
}

bool headless() {
    const char* backends = std::getenv("QUIBO_BACKENDS");
    if (backends && std::string(backends) == "sim")
        return true;
    const char* display = std::getenv("DISPLAY");
    return !display || !*display;
}

int runHeadless() {
    const char* windows = std::getenv("QUIBO_SIM_WINDOWS");
    return ::runHeadless(std::cin, std::cout, windows ? windows : "");
}

volatile std::sig_atomic_t g_interrupted = 0;

// Real desktop, real keys, real programs, the microphone.
bool installDesktopBackends() {
#if defined(QUIBO_HAVE_QUIBO_X11) && defined(QUIBO_HAVE_QUIBO_QT)
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

#ifdef QUIBO_HAVE_QUIBO_QT
int runOnDesktop(char* program) {
    // The program reads no command line, and neither does its toolkit.
    static int argc = 1;
    static char* argv[] = {program, nullptr};
    rt::qt::installQtView(argc, argv);
    if (!claimFolder()) {
        rt::MsgBox(Program::AlreadyRunningText(), rt::vbExclamation, "QUIBO");
        rt::qt::shutdownQtView();
        return 1;
    }
    std::signal(SIGINT, [](int) { g_interrupted = 1; });
    std::signal(SIGTERM, [](int) { g_interrupted = 1; });
    // A signal handler may do nothing but set the flag; the loop looks at it.
    QTimer interrupts;
    QObject::connect(&interrupts, &QTimer::timeout, [] {
        if (g_interrupted && !Program::Ended()) {
            g_interrupted = 0;
            // The modal windows close first, as their user would close them.
            rt::qt::closeOnRequest([] { rt::form<frmQuibo>().unload(); });
        }
    });
    interrupts.start(100);
    // For timing scripts: every status the main window shows, with the time
    // of the system's monotonic clock.
    if (std::getenv("QUIBO_TRACE_STATUS")) {
        frmQuibo& main = rt::form<frmQuibo>().get();
        main.stbVCmd.Changed.connect([&main] {
            static std::string last;
            std::string now = main.stbVCmd.PanelText(2);
            if (now == last)
                return;
            last = now;
            auto ms = std::chrono::duration<double, std::milli>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
            std::fprintf(stderr, "quibo-status %.1f %s\n", ms, now.c_str());
        });
    }
    rt::form<frmQuibo>()->Show();
    if (!Program::Ended())
        rt::qt::runEventLoop();
    interrupts.stop();
    if (!Program::Ended())
        rt::form<frmQuibo>().unload();
    Program::DiscardForms();
    rt::qt::shutdownQtView();
    return 0;
}
#else
int runOnDesktop(char*) {
    if (!claimFolder()) {
        std::cerr << "QUIBO: " << Program::AlreadyRunningText() << "\n";
        return 1;
    }
    return runHeadless();
}
#endif

} // namespace

int main(int argc, char** argv) {
    rt::App().setVersion(2, 0, 3);
    try {
        if (headless() || !installDesktopBackends()) {
            if (!claimFolder()) {
                std::cerr << "QUIBO: " << Program::AlreadyRunningText() << "\n";
                return 1;
            }
            return runHeadless();
        }
        static char fallbackName[] = "quibo";
        return runOnDesktop(argc > 0 && argv[0] ? argv[0] : fallbackName);
    } catch (const std::exception& e) {
        // An error nothing handled ends the program with its message, as the
        // runtime does; a failure that is not the runtime's own is one too.
        rt::RuntimeError error = rt::asRuntimeError(e);
        std::cerr << "quibo: run-time error " << error.number() << ": " << error.description() << "\n";
        if (!headless()) {
            try {
                rt::formsHost().reportError(rt::UnhandledError{error.number(), error.description()});
            } catch (const std::exception&) {
            }
        }
        return 1;
    }
}
