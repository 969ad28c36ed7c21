// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "runtime/backends/x11/X11Desktop.h"
#include "tests/support/TestSupport.h"
#include "tests/x11/XServer.h"

namespace {

namespace fs = std::filesystem;

// A window's whole rectangle on the screen, frame included, as the window
// manager draws it.
struct Outer {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Outer&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outer& r) {
    return os << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

// The real program, started and closed again and again on one desktop with
// a window manager, with its registry in a folder of the test.
class PlacementOnX11 : public testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v Xvfb >/dev/null && command -v openbox >/dev/null") != 0)
            GTEST_SKIP() << "Xvfb or openbox is not installed";
        m_server = std::make_unique<XServer>(true);
        ASSERT_TRUE(m_server->ok());
        m_folder = rt::test::uniqueTempDir("quibo-placement-x11");
        fs::copy_file(QUIBO_EXE, m_folder / "quibo");
        setenv("QUIBO_REGISTRY_DIR", (m_folder / "registry").c_str(), 1);
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
        unsetenv("QUIBO_REGISTRY_DIR");
        std::error_code ec;
        if (!m_folder.empty())
            fs::remove_all(m_folder, ec);
    }

    // Starts the program and waits until its main window is mapped and no
    // longer moves.
    Window start() {
        m_quibo = fork();
        if (m_quibo == 0) {
            execl((m_folder / "quibo").c_str(), "quibo", static_cast<char*>(nullptr));
            _exit(127);
        }
        Window main = 0;
        XServer::waitFor(
            [&] {
                for (rt::HWND h : m_desktop->topLevelWindows())
                    if (m_desktop->windowText(h) == "QUIBO! Voice Control" &&
                        m_desktop->isVisible(h))
                        main = static_cast<Window>(h);
                return main != 0;
            },
            15000);
        if (main)
            settled(main);
        return main;
    }
    // Closes the program as a termination request does (its close box's
    // path) and waits for its end.
    void close() {
        kill(m_quibo, SIGTERM);
        int status = -1;
        bool ended =
            XServer::waitFor([&] { return waitpid(m_quibo, &status, WNOHANG) == m_quibo; }, 10000);
        EXPECT_TRUE(ended);
        if (ended)
            m_quibo = 0;
    }

    Outer outer(Window w) const {
        Display* d = m_display->get();
        XWindowAttributes attrs{};
        XGetWindowAttributes(d, w, &attrs);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(d, w, m_display->root(), 0, 0, &x, &y, &child);
        std::vector<unsigned long> f = m_display->longs(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        if (f.size() != 4)
            f = {0, 0, 0, 0};
        return Outer{x - int(f[0]), y - int(f[2]), attrs.width + int(f[0] + f[1]),
                     attrs.height + int(f[2] + f[3])};
    }
    // The rectangle once it has stayed the same for a while (long enough
    // for a program slowed by a busy machine to have placed its window).
    Outer settled(Window w) const {
        Outer last = outer(w);
        int same = 0;
        for (int i = 0; i < 300 && same < 30; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            Outer now = outer(w);
            same = now == last ? same + 1 : 0;
            last = now;
        }
        return last;
    }
    // Moves and sizes the window's frame as a user dragging it would, through
    // the window manager.
    void moveFrame(Window w, int x, int y, int width, int height) const {
        std::vector<unsigned long> f = m_display->longs(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        ASSERT_EQ(f.size(), 4u);
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = m_display->atom("_NET_MOVERESIZE_WINDOW");
        e.xclient.format = 32;
        // North-west gravity: x and y are the frame's; sizes are the client's.
        e.xclient.data.l[0] = NorthWestGravity | (0xf << 8) | (2 << 12);
        e.xclient.data.l[1] = x;
        e.xclient.data.l[2] = y;
        e.xclient.data.l[3] = width - long(f[0] + f[1]);
        e.xclient.data.l[4] = height - long(f[2] + f[3]);
        XSendEvent(m_display->get(), m_display->root(), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(m_display->get());
    }
    void minimise(Window w) const {
        XIconifyWindow(m_display->get(), w, DefaultScreen(m_display->get()));
        XFlush(m_display->get());
        XServer::waitFor([&] { return m_desktop->isIconic(w); });
    }
    std::string hive() const {
        std::ifstream in(m_folder / "registry" / "HKEY_CURRENT_USER.reg");
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::unique_ptr<XServer> m_server;
    fs::path m_folder;
    std::shared_ptr<rt::x11::XDisplay> m_display;
    std::unique_ptr<rt::x11::X11Desktop> m_desktop;
    pid_t m_quibo = 0;
};

// Five starts, each closed where the last one left the window, some closed
// while minimised: the window comes back at the same rectangle, to the pixel.
TEST_F(PlacementOnX11, TheMainWindowReopensWhereItWasLeftFiveTimesOver) {
    Window main = start();
    ASSERT_NE(main, 0u);
    moveFrame(main, 300, 200, 340, 130);
    Outer left = settled(main);
    ASSERT_EQ(left.x, 300) << left;
    ASSERT_EQ(left.y, 200) << left;
    close();
    for (int run = 1; run <= 5; ++run) {
        SCOPED_TRACE("start " + std::to_string(run));
        main = start();
        ASSERT_NE(main, 0u);
        EXPECT_EQ(settled(main), left) << hive();
        // Every other run closes minimised: the rectangle saved is still the
        // whole window's normal one.
        if (run % 2 == 1)
            minimise(main);
        close();
    }
}

// A rectangle saved where no screen shows the title bar (another screen
// that is gone, an edited registry) opens on the screen.
TEST_F(PlacementOnX11, AWindowWhoseTitleBarNoScreenShowsOpensOnTheScreen) {
    Window main = start();
    ASSERT_NE(main, 0u);
    moveFrame(main, 300, 200, 340, 130);
    settled(main);
    close();
    std::string text = hive();
    for (const char* name : {"\"Top\" sz \"", "\"Left\" sz \""}) {
        size_t at = text.find(name);
        ASSERT_NE(at, std::string::npos) << text;
        at += std::string(name).size();
        text.replace(at, text.find('"', at) - at, "60000");
    }
    std::ofstream(m_folder / "registry" / "HKEY_CURRENT_USER.reg") << text;
    main = start();
    ASSERT_NE(main, 0u);
    // The whole title bar can be grabbed, and the size is as it was.
    Outer now = settled(main);
    EXPECT_GE(now.x, 0) << now;
    EXPECT_GE(now.y, 0) << now;
    EXPECT_LE(now.x + now.width, 1280) << now;
    EXPECT_LE(now.y + 20, 1024) << now;
    EXPECT_EQ(now.width, 340);
    EXPECT_EQ(now.height, 130);
    close();
}

} // namespace
