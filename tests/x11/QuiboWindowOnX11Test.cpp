// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <algorithm>

#include <X11/Xatom.h>

#include "tests/x11/QuiboOnX11.h"

namespace {

class QuiboWindowOnX11 : public QuiboOnX11 {};

// The real program on a desktop with a window manager: its main window opens
// on top of the others, and a termination request closes it as its close
// box does, leaving its placement for the next start.
TEST_F(QuiboWindowOnX11, OpensItsMainWindowOnTopAndEndsCleanlyWhenAskedTo) {
    launch();
    ASSERT_GT(m_quibo, 0);

    rt::HWND main = 0;
    int titled = 0;
    EXPECT_TRUE(XServer::waitFor(
        [&] {
            titled = 0;
            for (rt::HWND h : m_desktop->topLevelWindows())
                if (m_desktop->windowText(h) == "QUIBO! Voice Control") {
                    main = h;
                    ++titled;
                }
            // The window exists, titled, a moment before it is mapped.
            return main != 0 && m_desktop->isVisible(main);
        },
        15000));
    EXPECT_EQ(titled, 1);
    if (main) {
        // The program asks for "on top" through the desktop layer with its
        // form's handle before the window is mapped, and the toolkit asks for
        // nothing of the kind: the state on this window shows that the handle
        // the program holds is the window the desktop enumerates.
        std::vector<unsigned long> state =
            m_display->longs(static_cast<Window>(main), "_NET_WM_STATE", XA_ATOM);
        EXPECT_NE(std::find(state.begin(), state.end(), m_display->atom("_NET_WM_STATE_ABOVE")),
                  state.end());
        EXPECT_TRUE(m_desktop->isVisible(main));
    }

    EXPECT_EQ(end(), 0) << "the program did not end cleanly in time";

    std::string text = hive();
    EXPECT_NE(text.find("Software\\\\frmQuibo\\\\Position"), std::string::npos) << text;
    EXPECT_NE(text.find("\"WindowState\" sz \"0\""), std::string::npos) << text;
}

// A damaged settings file is not only written to standard error: the main
// window's status bar shows it, and the next start finds nothing to tell.
TEST_F(QuiboWindowOnX11, ADamagedSettingsFileIsShownInTheStatusBar) {
    const std::filesystem::path file = registryFolder() / "HKEY_CURRENT_USER.reg";
    m_program->write("registry/HKEY_CURRENT_USER.reg", "quibo-registry 1\nkey \"Software\"\nva");
    setenv("QUIBO_TRACE_STATUS", "1", 1);
    for (bool damaged : {true, false}) {
        SCOPED_TRACE(damaged ? "damaged" : "next start");
        launch("errors.txt");
        ASSERT_GT(m_quibo, 0);
        const std::string problem = "The registry file " + file.string() + " is damaged";
        auto statusShows = [&] {
            std::string errors = m_program->read("errors.txt");
            for (size_t at = errors.find("quibo-status "); at != std::string::npos;
                 at = errors.find("quibo-status ", at + 1))
                if (errors.substr(at, errors.find('\n', at) - at).find(problem) !=
                    std::string::npos)
                    return true;
            return false;
        };
        EXPECT_TRUE(XServer::waitFor([&] { return shown("QUIBO! Voice Control") != 0; }, 15000));
        // The status is written as it changes: the next start's has been
        // written once its window is shown.
        EXPECT_EQ(damaged ? XServer::waitFor(statusShows, 5000) : statusShows(), damaged)
            << m_program->read("errors.txt");
        EXPECT_EQ(end(), 0) << "the program did not end cleanly in time";
    }
    unsetenv("QUIBO_TRACE_STATUS");
    EXPECT_NE(hive().find("Software\\\\frmQuibo\\\\Position"), std::string::npos) << hive();
}

} // namespace
