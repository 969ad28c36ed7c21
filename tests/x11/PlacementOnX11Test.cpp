// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "runtime/backends/x11/X11Desktop.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/x11/QuiboOnX11.h"

namespace {

// A window's whole rectangle on the screen, frame included, as the window
// manager draws it.
struct Outer {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Outer&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outer& r) {
    return os << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

// How the user reaches a window of the program.
enum class Opening {
    AtStart,            // the main window
    Configure,          // the main window's Configure button
    ConfigureAndSwitch, // then the application window's switch to the vocabularies
};

// A window that keeps its placement, and where the user leaves it.
struct PlacedWindow {
    const char* form; // names its registry key
    const char* caption;
    Opening opening;
    Outer left;
};

const PlacedWindow kMain{
    "frmQuibo", "QUIBO! Voice Control", Opening::AtStart, {300, 200, 340, 130}};
const PlacedWindow kApplications{
    "frmApp", "Application Command Configuration", Opening::Configure, {150, 230, 700, 420}};
const PlacedWindow kVocabularies{"frmVocab",
                                 "Vocabulary/Dictionary Configuration",
                                 Opening::ConfigureAndSwitch,
                                 {410, 330, 660, 450}};
const PlacedWindow kPlacedWindows[] = {kMain, kApplications, kVocabularies};

void PrintTo(const PlacedWindow& row, std::ostream* os) {
    *os << row.form;
}

// The real program, started and closed again and again on one desktop.
class PlacementOnX11 : public QuiboOnX11, public testing::WithParamInterface<PlacedWindow> {
protected:
    // The program's mapped window of that caption once it no longer moves;
    // 0 when none appears.
    Window appears(const std::string& caption, int ms = 15000) const {
        Window found = 0;
        XServer::waitFor([&] { return (found = shown(caption)) != 0; }, ms);
        if (found)
            settled(found);
        return found;
    }
    // Starts the program and waits for its main window.
    Window start() {
        launch();
        return appears(kMain.caption);
    }
    // What the user's action opens: a press that a busy machine let go by
    // unanswered is made again (the windows behind a modal one ignore it).
    Window answered(const std::function<void()>& act, const std::string& caption) const {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            act();
            if (Window w = appears(caption, 8000))
                return w;
            std::cerr << "no \"" << caption << "\" after attempt " << attempt << "; showing:";
            for (rt::HWND h : m_desktop->topLevelWindows())
                if (m_desktop->isVisible(h))
                    std::cerr << " \"" << m_desktop->windowText(h) << "\"";
            std::cerr << "\n";
        }
        return 0;
    }
    // Alt+V in the window: the button "Application/&Vocabulary" of either
    // configuration window.
    Window switchFrom(Window w, const std::string& to) const {
        return answered(
            [&] {
                activate(w);
                keys({XK_Alt_L, XK_v});
            },
            to);
    }
    // Opens the window of the row as the user does.
    Window open(const PlacedWindow& row, Window main) const {
        if (row.opening == Opening::AtStart || !main)
            return main;
        // The Configure button, at the left of the main window's client area.
        Window app = answered([&] { click(main, 40, 20); }, kApplications.caption);
        if (row.opening == Opening::Configure || !app)
            return app;
        return switchFrom(app, row.caption);
    }
    // Closes the program as a termination request does (its close box's
    // path) and waits for its end.
    void close() { EXPECT_NE(end(), -1) << "the program did not end"; }
    // Closes the row's window by its close box (the main window ends the
    // program), then the program.
    void close(const PlacedWindow& row, Window w) {
        if (row.opening != Opening::AtStart) {
            closeBox(w);
            EXPECT_TRUE(XServer::waitFor([&] { return !m_desktop->isVisible(w); }, 10000));
        }
        close();
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
    void moveFrame(Window w, const Outer& to) const {
        std::vector<unsigned long> f = m_display->longs(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
        ASSERT_EQ(f.size(), 4u);
        // North-west gravity: x and y are the frame's; sizes are the client's.
        message(w, "_NET_MOVERESIZE_WINDOW",
                {NorthWestGravity | (0xf << 8) | (2 << 12), to.x, to.y,
                 to.width - long(f[0] + f[1]), to.height - long(f[2] + f[3])});
    }
    void minimise(Window w) const {
        XIconifyWindow(m_display->get(), w, DefaultScreen(m_display->get()));
        XFlush(m_display->get());
        EXPECT_TRUE(XServer::waitFor([&] { return m_desktop->isIconic(w); }));
    }

    // The program's saved placement of a window, as the test's own look at
    // the registry the program keeps.
    std::string positionKey(const PlacedWindow& row) const {
        return std::string("Software\\") + row.form + "\\Position";
    }
    std::string saved(const PlacedWindow& row, const std::string& name) const {
        rt::registry::setFolder(registryFolder().string());
        rt::HKEY key = 0;
        std::string text;
        if (rt::RegOpenKeyExA(rt::HKEY_CURRENT_USER, positionKey(row), 0, rt::KEY_READ, &key) !=
            rt::ERROR_SUCCESS)
            return text;
        uint8_t data[64] = {};
        uint32_t size = sizeof data, type = 0;
        if (rt::RegQueryValueExA(key, name, &type, data, &size) == rt::ERROR_SUCCESS)
            text.assign(reinterpret_cast<char*>(data), size);
        rt::RegCloseKey(key);
        return text;
    }
    void save(const PlacedWindow& row, const std::string& name, const std::string& text) const {
        rt::registry::setFolder(registryFolder().string());
        rt::HKEY key = 0;
        ASSERT_EQ(
            rt::RegOpenKeyExA(rt::HKEY_CURRENT_USER, positionKey(row), 0, rt::KEY_ALL_ACCESS, &key),
            rt::ERROR_SUCCESS);
        EXPECT_EQ(rt::RegSetValueExA(key, name, rt::REG_SZ,
                                     reinterpret_cast<const uint8_t*>(text.data()),
                                     static_cast<uint32_t>(text.size())),
                  rt::ERROR_SUCCESS);
        rt::RegCloseKey(key);
    }
};

// Five starts, each closed where the last one left the window, some closed
// while minimised: the window comes back at the same rectangle, to the pixel.
TEST_P(PlacementOnX11, ReopensWhereItWasLeftFiveTimesOver) {
    const PlacedWindow& row = GetParam();
    Window w = open(row, start());
    ASSERT_NE(w, 0u);
    moveFrame(w, row.left);
    Outer left = settled(w);
    ASSERT_EQ(left, row.left);
    close(row, w);
    for (int run = 1; run <= 5; ++run) {
        SCOPED_TRACE("start " + std::to_string(run));
        w = open(row, start());
        ASSERT_NE(w, 0u);
        EXPECT_EQ(settled(w), left) << hive();
        // Every other run closes minimised: the rectangle saved is still the
        // whole window's normal one.
        if (run % 2 == 1)
            minimise(w);
        close(row, w);
    }
}

// A rectangle saved where no screen shows the title bar (another screen
// that is gone, an edited registry) opens on the screen.
TEST_P(PlacementOnX11, OpensOnTheScreenWhenNoScreenShowsItsTitleBar) {
    const PlacedWindow& row = GetParam();
    Window w = open(row, start());
    ASSERT_NE(w, 0u);
    moveFrame(w, row.left);
    settled(w);
    close(row, w);
    for (const char* name : {"Top", "Left"}) {
        ASSERT_NE(saved(row, name), "") << hive();
        save(row, name, "60000");
    }
    w = open(row, start());
    ASSERT_NE(w, 0u);
    // The whole title bar can be grabbed, and the size is as it was.
    Outer now = settled(w);
    EXPECT_GE(now.x, 0) << now;
    EXPECT_GE(now.y, 0) << now;
    EXPECT_LE(now.x + now.width, 1280) << now;
    EXPECT_LE(now.y + 20, 1024) << now;
    EXPECT_EQ(now.width, row.left.width);
    EXPECT_EQ(now.height, row.left.height);
    close(row, w);
}

// Sizes that are numbers but no usable window (none at all, a few pixels,
// far larger than any screen): the window opens, usable, on the screen.
TEST_P(PlacementOnX11, AnUnusableSavedSizeOpensAUsableWindowOnTheScreen) {
    const PlacedWindow& row = GetParam();
    Window w = open(row, start());
    ASSERT_NE(w, 0u);
    close(row, w);
    for (const char* size : {"0", "150", "400000"}) {
        SCOPED_TRACE(std::string("size ") + size);
        ASSERT_NE(saved(row, "Width"), "") << hive();
        save(row, "Top", "300");
        save(row, "Left", "300");
        save(row, "Width", size);
        save(row, "Height", size);
        w = open(row, start());
        ASSERT_NE(w, 0u) << "no window shown";
        Outer now = settled(w);
        EXPECT_GE(now.x, 0) << now;
        EXPECT_GE(now.y, 0) << now;
        EXPECT_LE(now.x + now.width, 1280) << now;
        EXPECT_LE(now.y + now.height, 1024) << now;
        EXPECT_GE(now.width, 120) << now;
        EXPECT_GE(now.height, 60) << now;
        close(row, w);
    }
}

// The two configuration windows take turns, each hidden while the other
// shows: every time one comes back it is where the user left it.
TEST_P(PlacementOnX11, KeepsItsPlaceWhileTheOtherConfigurationWindowTakesItsTurn) {
    const PlacedWindow& row = GetParam();
    if (row.opening == Opening::AtStart)
        GTEST_SKIP() << "the main window stays while the others take turns";
    Window w = open(row, start());
    ASSERT_NE(w, 0u);
    moveFrame(w, row.left);
    ASSERT_EQ(settled(w), row.left);
    const PlacedWindow* showing = &row;
    const PlacedWindow* other = row.opening == Opening::Configure ? &kVocabularies : &kApplications;
    for (int turn = 1; turn <= 6; ++turn) {
        SCOPED_TRACE("turn " + std::to_string(turn));
        w = switchFrom(w, other->caption);
        ASSERT_NE(w, 0u);
        // The other one is moved on its first turn and kept from then on.
        if (turn == 1)
            moveFrame(w, other->left);
        EXPECT_EQ(settled(w), other->left);
        std::swap(showing, other);
    }
    close(*showing, w);
}

INSTANTIATE_TEST_SUITE_P(Windows, PlacementOnX11, testing::ValuesIn(kPlacedWindows),
                         [](const testing::TestParamInfo<PlacedWindow>& info) {
                             return std::string(info.param.form);
                         });

} // namespace
