// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include "runtime/backends/x11/X11Desktop.h"
#include "runtime/backends/x11/XTestKeyboard.h"

#include <X11/Xutil.h>

#include <filesystem>
#include <fstream>

#include "runtime/platform/keyboard/KeyString.h"
#include "tests/x11/XServer.h"

using namespace rt;

namespace {

Window makeWindow(Display* d, const char* cls, const char* title, bool map = true, Window owner = 0,
                  bool takesFocus = true) {
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 10, 10, 200, 100, 0, 0, 0);
    XClassHint hint{const_cast<char*>("quibotest"), const_cast<char*>(cls)};
    XSetClassHint(d, w, &hint);
    if (title)
        XStoreName(d, w, title);
    if (owner)
        XSetTransientForHint(d, w, owner);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = takesFocus ? True : False;
    XSetWMHints(d, w, &hints);
    if (map)
        XMapWindow(d, w);
    XSync(d, False);
    return w;
}

class X11Test : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (std::system("command -v Xvfb >/dev/null") != 0)
            GTEST_SKIP() << "Xvfb is not installed";
        server = std::make_unique<XServer>(GetParam());
        ASSERT_TRUE(server->ok()) << "Xvfb did not start";
        display = x11::XDisplay::open();
        desktop = std::make_unique<x11::X11Desktop>(display);
    }
    bool listed(Window w) {
        auto all = desktop->topLevelWindows();
        return std::find(all.begin(), all.end(), static_cast<HWND>(w)) != all.end();
    }
    Display* d() { return server->display(); }

    std::unique_ptr<XServer> server;
    std::shared_ptr<x11::XDisplay> display;
    std::unique_ptr<x11::X11Desktop> desktop;
};

TEST_P(X11Test, ListsClientWindowsWithTheirClassTitleAndOwner) {
    Window a = makeWindow(d(), "QuiboA", "Caf\xC3\xA9 window");
    Window untitled = makeWindow(d(), "QuiboB", nullptr);
    Window dialog = makeWindow(d(), "QuiboDialog", "Save", true, a);
    ASSERT_TRUE(XServer::waitFor([&] { return listed(a) && listed(untitled) && listed(dialog); }));
    EXPECT_EQ(desktop->className(static_cast<HWND>(a)), "QuiboA");
    EXPECT_EQ(desktop->windowText(static_cast<HWND>(a)), "Caf\xC3\xA9 window"); // WM_NAME is Latin-1 here
    EXPECT_EQ(desktop->windowText(static_cast<HWND>(untitled)), "");
    EXPECT_EQ(desktop->owner(static_cast<HWND>(dialog)), static_cast<HWND>(a));
    EXPECT_EQ(desktop->owner(static_cast<HWND>(a)), 0);
    EXPECT_EQ(desktop->parent(static_cast<HWND>(a)), 0);
    EXPECT_TRUE(desktop->isVisible(static_cast<HWND>(a)));
}

TEST_P(X11Test, ActivatesAWindowAndReportsOneThatRefusesFocus) {
    Window a = makeWindow(d(), "QuiboA", "first");
    Window b = makeWindow(d(), "QuiboB", "second");
    Window stubborn = makeWindow(d(), "QuiboC", "no focus", true, 0, false);
    ASSERT_TRUE(XServer::waitFor([&] { return listed(a) && listed(b) && listed(stubborn); }));
    EXPECT_TRUE(desktop->setForeground(static_cast<HWND>(a)));
    EXPECT_EQ(desktop->foreground(), static_cast<HWND>(a));
    EXPECT_TRUE(desktop->setForeground(static_cast<HWND>(a))); // already active
    EXPECT_TRUE(desktop->setForeground(static_cast<HWND>(b)));
    EXPECT_EQ(desktop->foreground(), static_cast<HWND>(b));
    EXPECT_FALSE(desktop->setForeground(static_cast<HWND>(stubborn)));
    EXPECT_FALSE(desktop->setForeground(0));
}

TEST_P(X11Test, RestoresAMinimisedWindow) {
    if (!GetParam())
        GTEST_SKIP() << "minimising needs a window manager";
    Window a = makeWindow(d(), "QuiboA", "first");
    ASSERT_TRUE(XServer::waitFor([&] { return listed(a); }));
    desktop->showWindow(static_cast<HWND>(a), SW_MINIMIZE);
    ASSERT_TRUE(XServer::waitFor([&] { return desktop->isIconic(static_cast<HWND>(a)); }));
    EXPECT_TRUE(desktop->isVisible(static_cast<HWND>(a)));
    desktop->showWindow(static_cast<HWND>(a), SW_RESTORE);
    EXPECT_TRUE(XServer::waitFor([&] { return !desktop->isIconic(static_cast<HWND>(a)); }));
    EXPECT_TRUE(desktop->setForeground(static_cast<HWND>(a)));
}

TEST_P(X11Test, KeysArriveInATerminalByteForByte) {
    if (std::system("command -v xterm >/dev/null") != 0)
        GTEST_SKIP() << "xterm is not installed";
    auto dir = std::filesystem::temp_directory_path() / ("quibo-keys-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto out = dir / "typed.txt";
    server->client({"xterm", "-class", "QuiboTerm", "-title", "typing", "-u8", "-e", "sh", "-c",
                    "stty -echo; cat > \"$0\"", out.string()});
    HWND term = 0;
    ASSERT_TRUE(XServer::waitFor([&] {
        for (HWND h : desktop->topLevelWindows())
            if (desktop->className(h) == "QuiboTerm")
                term = h;
        return term != 0;
    }, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(desktop->setForeground(term));
    x11::XTestKeyboard keyboard(display);
    // Ctrl+U erases the line typed so far; the e acute is not on the
    // server's US layout, so it is typed through a borrowed keycode.
    keyboard.type(parseKeyString("aB1!+x{ENTER}{F5}~gone^ukept \xE9~"), true);
    std::string expected = "aB1!X\n\x1b[15~\nkept \xC3\xA9\n";
    std::string got;
    XServer::waitFor([&] {
        std::ifstream in(out, std::ios::binary);
        got.assign(std::istreambuf_iterator<char>(in), {});
        return got == expected;
    });
    EXPECT_EQ(got, expected);
    std::filesystem::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Desktop, X11Test, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& row) {
                             return row.param ? std::string("WithWindowManager") : std::string("Bare");
                         });

} // namespace
