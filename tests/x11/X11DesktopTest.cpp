// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include "runtime/backends/x11/X11Desktop.h"
#include "runtime/backends/x11/XTestKeyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "runtime/platform/desktop/User32.h"
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
    EXPECT_EQ(desktop->windowText(static_cast<HWND>(a)),
              "Caf\xC3\xA9 window"); // WM_NAME is Latin-1 here
    EXPECT_EQ(desktop->windowText(static_cast<HWND>(untitled)), "");
    EXPECT_EQ(desktop->owner(static_cast<HWND>(dialog)), static_cast<HWND>(a));
    EXPECT_EQ(desktop->owner(static_cast<HWND>(a)), 0);
    EXPECT_EQ(desktop->parent(static_cast<HWND>(a)), 0);
    EXPECT_TRUE(desktop->isVisible(static_cast<HWND>(a)));
}

// What the program keeps of the enumeration: visible, unowned, titled.
std::multiset<std::string> listedApps(x11::X11Desktop& desktop) {
    std::multiset<std::string> out;
    for (HWND h : desktop.topLevelWindows())
        if (desktop.isVisible(h) && desktop.parent(h) == 0 && desktop.owner(h) == 0 &&
            !desktop.windowText(h).empty())
            out.insert(desktop.className(h) + " | " + desktop.windowText(h));
    return out;
}

TEST_P(X11Test, EnumeratesExactlyTheClientsWithTheFactsTheProgramFilters) {
    if (std::system("command -v xclock >/dev/null && command -v xeyes >/dev/null") != 0)
        GTEST_SKIP() << "xclock or xeyes is not installed";
    server->client({"xclock"});
    server->client({"xeyes"});
    Window a = makeWindow(d(), "QuiboA", "main");
    Window untitled = makeWindow(d(), "QuiboB", nullptr);
    Window hidden = makeWindow(d(), "QuiboHidden", "hidden", false);
    Window dialog = makeWindow(d(), "QuiboDialog", "Save", true, a);
    // A pop-up menu of some toolkit: named, mapped, but no top-level window.
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    Window popup = XCreateWindow(d(), DefaultRootWindow(d()), 0, 0, 50, 50, 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWOverrideRedirect, &attrs);
    XClassHint popupClass{const_cast<char*>("menu"), const_cast<char*>("QuiboMenu")};
    XSetClassHint(d(), popup, &popupClass);
    XStoreName(d(), popup, "menu");
    XMapWindow(d(), popup);
    XSync(d(), False);

    std::multiset<std::string> expected{"QuiboA | main", "XClock | xclock", "XEyes | xeyes"};
    ASSERT_TRUE(XServer::waitFor([&] { return listedApps(*desktop) == expected; }, 10000))
        << "listed: " << testing::PrintToString(listedApps(*desktop));

    auto all = desktop->topLevelWindows();
    std::set<std::string> classes;
    for (HWND h : all)
        classes.insert(desktop->className(h));
    // Every listed window is a client: no frame, no helper window without a class.
    std::set<std::string> clients{"QuiboA", "QuiboB", "QuiboDialog", "XClock", "XEyes"};
    if (!GetParam())
        clients.insert("QuiboHidden"); // without a window manager an unmapped client is still there
    EXPECT_EQ(classes, clients);
    EXPECT_EQ(all.size(), clients.size());
    EXPECT_FALSE(listed(popup));
    EXPECT_TRUE(listed(untitled));
    EXPECT_EQ(desktop->windowText(static_cast<HWND>(untitled)), "");
    EXPECT_TRUE(listed(dialog));
    EXPECT_EQ(desktop->owner(static_cast<HWND>(dialog)), static_cast<HWND>(a));
    EXPECT_FALSE(desktop->isVisible(static_cast<HWND>(hidden)));
    EXPECT_NE(desktop->threadOf(static_cast<HWND>(a)), 0u);
}

TEST_P(X11Test, FindWindowTakesAnEmptyClassOrTitleAsOneToMatch) {
    // The untitled window lies below, so "any title" would not find it.
    Window untitled = makeWindow(d(), "QuiboA", nullptr);
    Window titled = makeWindow(d(), "QuiboA", "main");
    ASSERT_TRUE(XServer::waitFor([&] { return listed(titled) && listed(untitled); }));
    rt::setDesktop(std::make_shared<x11::X11Desktop>(display));
    struct {
        const char* name;
        std::optional<std::string> cls, title;
        HWND expected;
    } rows[] = {
        {"exact", "QuiboA", "main", static_cast<HWND>(titled)},
        {"any class", std::nullopt, "main", static_cast<HWND>(titled)},
        {"an empty title", "QuiboA", "", static_cast<HWND>(untitled)},
        {"an empty class", "", "main", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FindWindowA(row.cls, row.title), row.expected) << row.name;
    rt::setDesktop(nullptr);
}

TEST_P(X11Test, TitlesPreferTheUtf8NameAndArriveAsAnsi) {
    struct Row {
        const char* netName; // _NET_WM_NAME, UTF-8
        const char* wmName;  // WM_NAME, Latin-1
        const char* ansi;
    };
    const Row rows[] = {
        {"Caf\xC3\xA9", nullptr, "Caf\xE9"},
        {nullptr, "Caf\xE9", "Caf\xE9"},
        {"\xE2\x82\xAC 5", "EUR 5", "\x80 5"}, // the euro sign has a byte of its own in ANSI
    };
    Atom netName = XInternAtom(d(), "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(d(), "UTF8_STRING", False);
    for (const Row& row : rows) {
        Window w = makeWindow(d(), "QuiboTitle", row.wmName);
        if (row.netName)
            XChangeProperty(d(), w, netName, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(row.netName),
                            static_cast<int>(std::strlen(row.netName)));
        XSync(d(), False);
        EXPECT_EQ(desktop->windowText(static_cast<HWND>(w)), row.ansi) << row.ansi;
        XDestroyWindow(d(), w);
    }
}

TEST_P(X11Test, ActivatesAWindowAndReportsOneThatRefusesFocus) {
    Window a = makeWindow(d(), "QuiboA", "first");
    Window b = makeWindow(d(), "QuiboB", "second");
    Window stubborn = makeWindow(d(), "QuiboC", "no focus", true, 0, false);
    ASSERT_TRUE(XServer::waitFor([&] { return listed(a) && listed(b) && listed(stubborn); }));
    // The window manager gives the focus to the last new window it maps; left
    // pending, that would take it from the one activated here.
    if (GetParam())
        XServer::waitFor([&] { return desktop->foreground() == static_cast<HWND>(b); }, 2000);
    EXPECT_TRUE(desktop->setForeground(static_cast<HWND>(a)));
    EXPECT_EQ(desktop->foreground(), static_cast<HWND>(a));
    EXPECT_TRUE(desktop->setForeground(static_cast<HWND>(a))); // already active
    EXPECT_TRUE(desktop->setForeground(static_cast<HWND>(b)));
    EXPECT_EQ(desktop->foreground(), static_cast<HWND>(b));
    EXPECT_FALSE(desktop->setForeground(static_cast<HWND>(stubborn)));
    EXPECT_FALSE(desktop->setForeground(0));
    // The active window is enumerated first.
    ASSERT_TRUE(desktop->setForeground(static_cast<HWND>(a)));
    EXPECT_TRUE(XServer::waitFor(
        [&] { return desktop->topLevelWindows().front() == static_cast<HWND>(a); }));
    XDestroyWindow(d(), b);
    XSync(d(), False);
    EXPECT_FALSE(desktop->setForeground(static_cast<HWND>(b)));
    EXPECT_EQ(desktop->foreground(), static_cast<HWND>(a));
}

TEST_P(X11Test, WithoutAWindowManagerTheFocusInsideAWindowNamesItsTopLevelWindow) {
    if (GetParam())
        GTEST_SKIP() << "the window manager names the active window itself";
    Window a = makeWindow(d(), "QuiboA", "first");
    Window inner = XCreateSimpleWindow(d(), a, 5, 5, 20, 20, 0, 0, 0);
    XMapWindow(d(), inner);
    XSync(d(), False);
    XSetInputFocus(d(), inner, RevertToParent, CurrentTime);
    XSync(d(), False);
    EXPECT_EQ(desktop->foreground(), static_cast<HWND>(a));
    XSetInputFocus(d(), PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(d(), False);
    EXPECT_EQ(desktop->foreground(), 0);
}

TEST_P(X11Test, ActivatingAMinimisedWindowBringsItBack) {
    if (!GetParam())
        GTEST_SKIP() << "minimising needs a window manager";
    Window a = makeWindow(d(), "QuiboA", "first");
    Window b = makeWindow(d(), "QuiboB", "second");
    ASSERT_TRUE(XServer::waitFor([&] { return listed(a) && listed(b); }));
    ASSERT_TRUE(desktop->setForeground(static_cast<HWND>(b)));
    desktop->showWindow(static_cast<HWND>(a), SW_MINIMIZE);
    ASSERT_TRUE(XServer::waitFor([&] { return desktop->isIconic(static_cast<HWND>(a)); }));
    EXPECT_TRUE(desktop->setForeground(static_cast<HWND>(a)));
    EXPECT_EQ(desktop->foreground(), static_cast<HWND>(a));
    if (desktop->isIconic(static_cast<HWND>(a)))
        desktop->showWindow(static_cast<HWND>(a), SW_RESTORE);
    EXPECT_TRUE(XServer::waitFor([&] { return !desktop->isIconic(static_cast<HWND>(a)); }));
    EXPECT_TRUE(desktop->isVisible(static_cast<HWND>(a)));
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

// An xterm in the foreground whose keys go to a file, byte for byte.
class TypingTest : public X11Test {
protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (std::system("command -v xterm >/dev/null") != 0)
            GTEST_SKIP() << "xterm is not installed";
        dir = std::filesystem::temp_directory_path() / ("quibo-keys-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        out = dir / "typed.txt";
    }
    void TearDown() override {
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }
    void startTerminal() {
        server->client({"xterm", "-class", "QuiboTerm", "-title", "typing", "-u8", "-e", "sh", "-c",
                        "stty -echo; cat > \"$0\"", out.string()});
        HWND term = 0;
        ASSERT_TRUE(XServer::waitFor(
            [&] {
                for (HWND h : desktop->topLevelWindows())
                    if (desktop->className(h) == "QuiboTerm")
                        term = h;
                return term != 0;
            },
            10000));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_TRUE(desktop->setForeground(term));
    }
    std::string typed(const std::string& expected) {
        std::string got;
        XServer::waitFor([&] {
            std::ifstream in(out, std::ios::binary);
            got.assign(std::istreambuf_iterator<char>(in), {});
            return got == expected;
        });
        return got;
    }
    bool isDown(KeySym sym) {
        char keys[32];
        XQueryKeymap(d(), keys);
        KeyCode code = XKeysymToKeycode(d(), sym);
        return (keys[code / 8] & (1 << (code % 8))) != 0;
    }
    std::filesystem::path dir, out;
};

TEST_P(TypingTest, KeysArriveInATerminalByteForByte) {
    startTerminal();
    x11::XTestKeyboard keyboard(display);
    // Ctrl+U erases the line typed so far; the e acute is not on the
    // server's US layout, so it is typed through a borrowed keycode.
    keyboard.type(parseKeyString("aB1!+x{ENTER}{F5}~gone^ukept \xE9~"), true);
    EXPECT_EQ(typed("aB1!X\n\x1b[15~\nkept \xC3\xA9\n"), "aB1!X\n\x1b[15~\nkept \xC3\xA9\n");
    // The borrowed keycode is given back.
    EXPECT_EQ(XKeysymToKeycode(d(), XK_eacute), 0);
}

// Each typing returns once the server has the keys; the next one, even with
// a keycode borrowed and given back in between, arrives after it.
TEST_P(TypingTest, PhrasesTypedOneAfterAnotherArriveInOrder) {
    startTerminal();
    x11::XTestKeyboard keyboard(display);
    for (const char* keys : {"abc", "\xE9x~", "def~", "\xE9~"})
        keyboard.type(parseKeyString(keys), true);
    EXPECT_EQ(typed("abc\xC3\xA9x\ndef\n\xC3\xA9\n"), "abc\xC3\xA9x\ndef\n\xC3\xA9\n");
}

TEST_P(TypingTest, AShiftTheUserHoldsIsLiftedForTheTypingAndHeldAgainAfter) {
    startTerminal();
    KeyCode shift = XKeysymToKeycode(d(), XK_Shift_L);
    XTestFakeKeyEvent(d(), shift, True, CurrentTime);
    XSync(d(), False);
    x11::XTestKeyboard keyboard(display);
    keyboard.type(parseKeyString("ab1~"), true);
    EXPECT_TRUE(isDown(XK_Shift_L));
    XTestFakeKeyEvent(d(), shift, False, CurrentTime);
    XSync(d(), False);
    EXPECT_EQ(typed("ab1\n"), "ab1\n");
}

TEST_P(TypingTest, CharactersComeFromTheActiveGroupOfTheLayoutWithAltGr) {
    if (std::system("command -v setxkbmap >/dev/null") != 0)
        GTEST_SKIP() << "setxkbmap is not installed";
    ASSERT_EQ(std::system("setxkbmap -layout us,de"), 0);
    XkbLockGroup(d(), XkbUseCoreKbd, 1);
    XSync(d(), False);
    startTerminal();
    x11::XTestKeyboard keyboard(display);
    // On the German layout y and z trade places, @ is AltGr+Q and the a
    // umlaut has a key of its own.
    keyboard.type(parseKeyString("zy@\xE4{[}{ENTER}"), true);
    EXPECT_EQ(typed("zy@\xC3\xA4[\n"), "zy@\xC3\xA4[\n");
    EXPECT_FALSE(isDown(XK_ISO_Level3_Shift));
}

std::string serverName(const testing::TestParamInfo<bool>& row) {
    return row.param ? "WithWindowManager" : "Bare";
}
INSTANTIATE_TEST_SUITE_P(Desktop, X11Test, testing::Values(false, true), serverName);
INSTANTIATE_TEST_SUITE_P(Keys, TypingTest, testing::Values(false, true), serverName);

} // namespace
