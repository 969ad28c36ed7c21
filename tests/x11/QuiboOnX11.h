#pragma once
// The real program on a private desktop with a window manager, started from
// a program folder of its own whose registry holds the layout library as the
// program's installation registers it. What the program shows is looked at
// through the X11 desktop, as another program sees it.

// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/extensions/XTest.h>
#include <initializer_list>

#include "runtime/backends/x11/X11Desktop.h"
#include "tests/quibo/ProgramCopy.h"
#include "tests/x11/XServer.h"

class QuiboOnX11 : public testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v Xvfb >/dev/null && command -v openbox >/dev/null") != 0)
            GTEST_SKIP() << "Xvfb or openbox is not installed";
        m_server = std::make_unique<XServer>(true);
        ASSERT_TRUE(m_server->ok());
        m_program = std::make_unique<quibo::test::ProgramCopy>();
        setenv("QUIBO_REGISTRY_DIR", registryFolder().c_str(), 1);
        ASSERT_EQ(
            std::system((std::string(COMPREG) + " " + TLV_FORM_CONTROLS + " >/dev/null").c_str()),
            0);
        m_display = rt::x11::XDisplay::open();
        m_desktop = std::make_unique<rt::x11::X11Desktop>(m_display);
    }
    void TearDown() override {
        if (m_quibo > 0) {
            kill(m_quibo, SIGKILL);
            waitpid(m_quibo, nullptr, 0);
        }
        m_quibo = 0;
        unsetenv("QUIBO_REGISTRY_DIR");
        m_program.reset();
    }

    const std::filesystem::path& folder() const { return m_program->folder(); }
    std::filesystem::path registryFolder() const { return folder() / "registry"; }
    std::string hive() const { return m_program->read("registry/HKEY_CURRENT_USER.reg"); }

    // Starts the program from its folder, as a user starts it; it is killed
    // at the end of the test if it still runs. `errors`, when given, takes
    // its standard error (a file in the program folder).
    void launch(const std::string& errors = {}) {
        m_quibo = fork();
        if (m_quibo == 0) {
            if (!errors.empty()) {
                int fd = ::open((folder() / errors).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (fd < 0 || dup2(fd, 2) < 0)
                    _exit(126);
            }
            execl((folder() / "quibo").c_str(), "quibo", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    // Sends the program `signal` and waits for its end: its exit status,
    // 128 and the signal's number when a signal ended it, -1 when it did not
    // end in time (it is then killed).
    int end(int signal = SIGTERM) {
        if (m_quibo <= 0)
            return -1;
        kill(m_quibo, signal);
        int status = 0;
        bool ended =
            XServer::waitFor([&] { return waitpid(m_quibo, &status, WNOHANG) == m_quibo; }, 10000);
        if (!ended) {
            kill(m_quibo, SIGKILL);
            waitpid(m_quibo, nullptr, 0);
        }
        m_quibo = 0;
        if (!ended)
            return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // The shown top-level window with this caption; 0 for none.
    Window shown(const std::string& caption) const {
        for (rt::HWND h : m_desktop->topLevelWindows())
            if (m_desktop->windowText(h) == caption && m_desktop->isVisible(h))
                return static_cast<Window>(h);
        return 0;
    }
    // A left click at (x, y) of the window's client area.
    void click(Window w, int x, int y) const {
        Display* d = m_display->get();
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(d, w, m_display->root(), x, y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(d, -1, rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(d, 1, True, CurrentTime);
        XTestFakeButtonEvent(d, 1, False, CurrentTime);
        XSync(d, False);
    }

    // A click of the window's close box: the window manager asks the window
    // to close.
    void closeBox(Window w) const { message(w, "_NET_CLOSE_WINDOW", {0, 2}); }
    void activate(Window w) const {
        message(w, "_NET_ACTIVE_WINDOW", {2, 0, 0});
        XServer::waitFor([&] { return static_cast<Window>(m_desktop->foreground()) == w; });
    }
    // A request to the window manager about `w`, as a pager sends it.
    void message(Window w, const char* type, std::initializer_list<long> data) const {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = m_display->atom(type);
        e.xclient.format = 32;
        int i = 0;
        for (long l : data)
            e.xclient.data.l[i++] = l;
        XSendEvent(m_display->get(), m_display->root(), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(m_display->get());
    }
    // Presses the keys in order and lets them go in reverse.
    void keys(std::initializer_list<KeySym> symbols) const {
        Display* d = m_display->get();
        for (KeySym s : symbols)
            XTestFakeKeyEvent(d, XKeysymToKeycode(d, s), True, CurrentTime);
        for (auto s = std::rbegin(symbols); s != std::rend(symbols); ++s)
            XTestFakeKeyEvent(d, XKeysymToKeycode(d, *s), False, CurrentTime);
        XSync(d, False);
    }

    std::unique_ptr<XServer> m_server;
    std::unique_ptr<quibo::test::ProgramCopy> m_program;
    std::shared_ptr<rt::x11::XDisplay> m_display;
    std::unique_ptr<rt::x11::X11Desktop> m_desktop;
    pid_t m_quibo = 0;
};
