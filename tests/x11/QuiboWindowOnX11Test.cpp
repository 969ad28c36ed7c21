// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <algorithm>

#include "runtime/backends/x11/X11Desktop.h"
#include "tests/support/TestSupport.h"
#include "tests/x11/XServer.h"

namespace {

namespace fs = std::filesystem;

// The real program on a desktop with a window manager: its main window opens
// on top of the others, and a termination request closes it as its close
// box does, leaving its placement for the next start.
TEST(QuiboWindowOnX11, OpensItsMainWindowOnTopAndEndsCleanlyWhenAskedTo) {
    if (std::system("command -v Xvfb >/dev/null && command -v openbox >/dev/null") != 0)
        GTEST_SKIP() << "Xvfb or openbox is not installed";
    XServer server(true);
    ASSERT_TRUE(server.ok());
    // The program folder is the executable's: a copy of it in a folder of
    // its own keeps the build folder clean.
    fs::path folder = rt::test::uniqueTempDir("quibo-window-x11");
    fs::copy_file(QUIBO_EXE, folder / "quibo");
    fs::path registry = folder / "registry";
    setenv("QUIBO_REGISTRY_DIR", registry.c_str(), 1);
    ASSERT_EQ(std::system((std::string(COMPREG) + " " + TLV_FORM_CONTROLS + " >/dev/null").c_str()),
              0);

    pid_t quibo = fork();
    if (quibo == 0) {
        execl((folder / "quibo").c_str(), "quibo", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(quibo, 0);

    auto display = rt::x11::XDisplay::open();
    rt::x11::X11Desktop desktop(display);
    rt::HWND main = 0;
    int titled = 0;
    EXPECT_TRUE(XServer::waitFor(
        [&] {
            titled = 0;
            for (rt::HWND h : desktop.topLevelWindows())
                if (desktop.windowText(h) == "QUIBO! Voice Control") {
                    main = h;
                    ++titled;
                }
            // The window exists, titled, a moment before it is mapped.
            return main != 0 && desktop.isVisible(main);
        },
        15000));
    EXPECT_EQ(titled, 1);
    if (main) {
        // The program asks for "on top" through the desktop layer with its
        // form's handle before the window is mapped, and the toolkit asks for
        // nothing of the kind: the state on this window shows that the handle
        // the program holds is the window the desktop enumerates.
        std::vector<unsigned long> state =
            display->longs(static_cast<Window>(main), "_NET_WM_STATE", XA_ATOM);
        EXPECT_NE(std::find(state.begin(), state.end(), display->atom("_NET_WM_STATE_ABOVE")),
                  state.end());
        EXPECT_TRUE(desktop.isVisible(main));
    }

    kill(quibo, SIGTERM);
    int status = -1;
    bool ended = XServer::waitFor([&] { return waitpid(quibo, &status, WNOHANG) == quibo; }, 10000);
    if (!ended) {
        kill(quibo, SIGKILL);
        waitpid(quibo, &status, 0);
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;

    std::ifstream hive(registry / "HKEY_CURRENT_USER.reg");
    std::string text((std::istreambuf_iterator<char>(hive)), {});
    EXPECT_NE(text.find("Software\\\\frmQuibo\\\\Position"), std::string::npos) << text;
    EXPECT_NE(text.find("\"WindowState\" sz \"0\""), std::string::npos) << text;

    unsetenv("QUIBO_REGISTRY_DIR");
    std::error_code ec;
    fs::remove_all(folder, ec);
}

} // namespace
