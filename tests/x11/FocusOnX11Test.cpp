// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <X11/keysym.h>

#include "tests/support/ProgramFolder.h"
#include "tests/x11/QuiboOnX11.h"

namespace {

const char* const kMain = "QUIBO! Voice Control";
const char* const kApplications = "Application Command Configuration";
const char* const kVocabularies = "Vocabulary/Dictionary Configuration";
const char* const kMeterScale = "Sound Card Volume Visibility";
const char* const kAbout = "About QUIBO! Voice Command";

// The real program worked from the keyboard, as a user without a mouse
// works it: every window it opens stands above the always-on-top main
// window and belongs to its owner, takes the focus, and takes Enter,
// Escape, Tab and typing where the program puts the focus.
class FocusOnX11 : public QuiboOnX11 {
protected:
    // The program's mapped window of that caption once it is the active
    // one, ready for keys; 0 when none comes.
    Window active(const std::string& caption, int ms = 15000) const {
        Window found = 0;
        XServer::waitFor(
            [&] {
                found = shown(caption);
                return found && static_cast<Window>(m_desktop->foreground()) == found;
            },
            ms);
        if (!found || static_cast<Window>(m_desktop->foreground()) != found) {
            std::cerr << "\"" << caption << "\" is not the active window; showing:";
            for (rt::HWND h : m_desktop->topLevelWindows())
                if (m_desktop->isVisible(h))
                    std::cerr << " \"" << m_desktop->windowText(h) << "\"";
            std::cerr << "\n";
            return 0;
        }
        // The toolkit gives the window's focus a moment after activation.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return found;
    }
    bool gone(Window w) const {
        return XServer::waitFor([&] { return !m_desktop->isVisible(w); }, 10000);
    }
    // Whether `upper` stands above `lower` in the window manager's stacking.
    bool above(Window upper, Window lower) const {
        std::vector<rt::HWND> order = m_desktop->topLevelWindows(); // topmost first
        auto at = [&](Window w) {
            return std::find(order.begin(), order.end(), static_cast<rt::HWND>(w)) - order.begin();
        };
        return at(upper) < at(lower) && at(lower) < static_cast<long>(order.size());
    }
    Window owner(Window w) const { return static_cast<Window>(m_desktop->owner(w)); }
    // Types lower-case letters, digits, blanks and colons, one key at a time.
    void type(const std::string& text) const {
        for (char c : text) {
            if (c == ':')
                keys({XK_Shift_L, XK_colon});
            else if (c == ' ')
                keys({XK_space});
            else
                keys({static_cast<KeySym>(c)});
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    }
    void vocabulary(const std::string& name, const std::vector<std::string>& records) const {
        m_program->write("vocab/" + name + ".txt", rt::test::recordFile(records, 128));
    }
    // Starts the program and opens the application window with its
    // Configure button.
    Window configure() {
        launch();
        Window main = active(kMain);
        if (!main)
            return 0;
        // The Configure button, at the left of the main window's client area.
        click(main, 40, 20);
        return active(kApplications);
    }
};

// Every window the program opens over the main window, message boxes
// included, is its owner's and stands above the main window.
TEST_F(FocusOnX11, OwnedWindowsStandAboveTheMainWindowAndTheirOwner) {
    vocabulary("Editing", {"save:^s"});
    Window app = configure();
    ASSERT_NE(app, 0u);
    Window main = shown(kMain);
    EXPECT_EQ(owner(app), main);
    EXPECT_TRUE(above(app, main));

    // Save Command with no application listed: the box that says so.
    keys({XK_Alt_L, XK_s});
    Window box = active("No item to save");
    ASSERT_NE(box, 0u);
    EXPECT_EQ(owner(box), app);
    EXPECT_TRUE(above(box, app));
    EXPECT_TRUE(above(box, main));
    // Enter answers the box, and the focus goes back to the window.
    keys({XK_Return});
    EXPECT_TRUE(gone(box));
    ASSERT_EQ(active(kApplications), app);

    // The vocabulary window opens while the application window hides: the
    // main window is its owner.
    keys({XK_Alt_L, XK_v});
    Window vocab = active(kVocabularies);
    ASSERT_NE(vocab, 0u);
    EXPECT_EQ(owner(vocab), main);
    EXPECT_TRUE(above(vocab, main));
    keys({XK_Alt_L, XK_v});
    app = active(kApplications);
    ASSERT_NE(app, 0u);
    EXPECT_TRUE(above(app, main));

    // Edit > Sound Meter: the scale window is the application window's, and
    // Escape presses its only button.
    keys({XK_Alt_L, XK_e});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    keys({XK_s});
    Window scale = active(kMeterScale);
    ASSERT_NE(scale, 0u);
    EXPECT_EQ(owner(scale), app);
    EXPECT_TRUE(above(scale, main));
    keys({XK_Escape});
    EXPECT_TRUE(gone(scale));

    // Help > About: Escape closes the About box too.
    ASSERT_EQ(active(kApplications), app);
    keys({XK_Alt_L, XK_h});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    keys({XK_Down});
    keys({XK_Return});
    Window about = active(kAbout);
    ASSERT_NE(about, 0u);
    EXPECT_EQ(owner(about), app);
    EXPECT_TRUE(above(about, main));
    keys({XK_Escape});
    EXPECT_TRUE(gone(about));

    EXPECT_EQ(end(), 0);
}

// How the user reaches the vocabulary window and presses Save Changes.
struct KeyboardRow {
    const char* name;
    bool tabStops; // Enter on the first tab stop, Tab and Enter; else Alt+V and Alt+S
};

void PrintTo(const KeyboardRow& row, std::ostream* os) {
    *os << row.name;
}

class NewWordOnX11 : public FocusOnX11, public testing::WithParamInterface<KeyboardRow> {};

// From the keyboard alone: New Word puts the focus in the edit box, where
// the typing goes, and Save Changes stores it. The application window opens
// with the focus on its first tab stop, "Application/Vocabulary", which
// Enter presses; from the edit box Tab goes on to Save Changes. The file
// holds the typed phrase once, after the program ended.
TEST_P(NewWordOnX11, ANewWordTypedFromTheKeyboardIsStoredOnce) {
    const KeyboardRow& row = GetParam();
    vocabulary("Editing", {"save:^s"});
    ASSERT_NE(configure(), 0u);
    if (row.tabStops)
        keys({XK_Return});
    else
        keys({XK_Alt_L, XK_v});
    ASSERT_NE(active(kVocabularies), 0u);
    // Edit Dictionary > New Word.
    keys({XK_Alt_L, XK_e});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    keys({XK_n});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    type("hello:h");
    if (row.tabStops) {
        keys({XK_Tab});
        keys({XK_Return});
    } else {
        keys({XK_Alt_L, XK_s});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(end(), 0);
    EXPECT_EQ(m_program->read("vocab/Editing.txt"),
              rt::test::recordFile({"save:^s", "hello:h"}, 128));
}

INSTANTIATE_TEST_SUITE_P(Keys, NewWordOnX11,
                         testing::Values(KeyboardRow{"ByMnemonics", false},
                                         KeyboardRow{"ByTabStopsAndEnter", true}),
                         [](const testing::TestParamInfo<KeyboardRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
