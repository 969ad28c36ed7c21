// The vocabulary window of the real program worked with the mouse and keys
// through XTest, as a person works it: a phrase clicked and edited, a
// deletion after a save, and phrases dragged onto another vocabulary's name.
// Each case ends the program and checks the bytes of the vocabulary files.

// gtest before the X headers: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include <X11/keysym.h>

#include "runtime/backends/x11/XTestKeyboard.h"
#include "runtime/core/FileSystem.h"
#include "runtime/platform/keyboard/KeyString.h"
#include "tests/support/ProgramFolder.h"
#include "tests/x11/QuiboOnX11.h"

namespace {

const char* const kMain = "QUIBO! Voice Control";
const char* const kApp = "Application Command Configuration";
const char* const kVocab = "Vocabulary/Dictionary Configuration";

// The window's client area at its design size, in twips (15 a pixel), and
// the height of its menu bar in the window's font, in pixels.
constexpr float kClientWidth = 9390;
constexpr float kClientHeight = 4845;
constexpr int kMenuBarHeight = 19;

struct Point {
    int x, y;
};

class VocabularyOnX11 : public QuiboOnX11 {
protected:
    void SetUp() override {
        QuiboOnX11::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_keyboard = std::make_unique<rt::x11::XTestKeyboard>(m_display);
    }

    void writeVocab(const std::string& name, const std::vector<std::string>& records) const {
        m_program->write("vocab/" + name + ".txt", rt::test::recordFile(records, 128));
    }
    std::string readVocab(const std::string& name) const {
        return m_program->read("vocab/" + name + ".txt");
    }
    // The window lists the vocabularies in the folder's order.
    int listed(const std::string& name) const {
        std::vector<std::string> files = rt::listFiles(folder() / "vocab", "*.txt");
        auto found = std::find(files.begin(), files.end(), name + ".txt");
        return found == files.end() ? -1 : static_cast<int>(found - files.begin());
    }

    Window waitShown(const std::string& caption, int ms = 15000) const {
        Window w = 0;
        XServer::waitFor([&] { return (w = shown(caption)) != 0; }, ms);
        return w;
    }
    // Starts the program and opens the vocabulary window as a person does:
    // Configure in the main window, then Alt+V in the application window.
    // A press a busy machine let go by unanswered is made again.
    Window openVocabularies() {
        launch();
        Window main = waitShown(kMain);
        if (!main)
            return 0;
        pause(500);
        Window app = 0;
        for (int attempt = 0; attempt < 3 && !app; ++attempt) {
            QuiboOnX11::click(main, 30, 18);
            app = waitShown(kApp, 8000);
        }
        if (!app)
            return 0;
        pause(500);
        Window vocab = 0;
        for (int attempt = 0; attempt < 3 && !vocab; ++attempt) {
            type("%v");
            vocab = waitShown(kVocab, 8000);
        }
        if (!vocab)
            return 0;
        pause(800);
        // The controls are stretched over the client area below the menu bar.
        XWindowAttributes attrs{};
        XGetWindowAttributes(m_display->get(), vocab, &attrs);
        m_scaleX = static_cast<float>(attrs.width) * 15 / kClientWidth;
        m_scaleY = static_cast<float>(attrs.height - kMenuBarHeight) * 15 / kClientHeight;
        m_window = vocab;
        return vocab;
    }
    // Closes the window by its Close button, then ends the program, which
    // must end cleanly.
    void closeAndEnd() {
        click(closeButton());
        EXPECT_TRUE(XServer::waitFor([&] { return !m_desktop->isVisible(m_window); }, 10000));
        EXPECT_EQ(end(), 0) << "the program did not end cleanly";
    }

public:
    // A design place in the client area, in twips, and pixels below it.
    Point at(float x, float y, int down = 0) const {
        return {static_cast<int>(x / 15 * m_scaleX + 0.5f),
                static_cast<int>(y / 15 * m_scaleY + 0.5f) + down};
    }
    // The lists' lines are 13 pixels high in the window's font, below a
    // border of 1. Over the vocabulary list a drag picks line n in the band
    // 180 twips (12 pixels) n from its top, whatever the window's size.
    Point phraseLine(int line) const { return at(5400, 960, 1 + 13 * line + 6); }
    Point vocabularyLine(int line) const { return at(720, 960, 1 + 13 * line + 6); }
    Point vocabularyBand(int line) const { return at(900, 960, 12 * line + 6); }
    Point editBox() const { return at(2347, 3862); }
    Point saveChanges() const { return at(5887, 3727); }
    Point closeButton() const { return at(8227, 4387); }
    // The toolbar's seventh button, "Delete Word": the buttons keep their
    // size in pixels at the left of the toolbar.
    Point deleteWordButton() const { return {218, 20}; }

    // The user's steps, for the tables below.
    static void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    void type(const std::string& keys) const {
        m_keyboard->type(rt::parseKeyString(keys), true);
        pause(300);
    }
    // The pointer to a place of the client area.
    void moveTo(Point p) const {
        Display* d = m_display->get();
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(d, m_window, m_display->root(), p.x, p.y + kMenuBarHeight, &rootX,
                              &rootY, &child);
        XTestFakeMotionEvent(d, -1, rootX, rootY, CurrentTime);
        XSync(d, False);
        pause(40);
    }
    void button(bool down) const {
        XTestFakeButtonEvent(m_display->get(), 1, down ? True : False, CurrentTime);
        XSync(m_display->get(), False);
        pause(200);
    }
    void click(Point p) const {
        moveTo(p);
        button(true);
        button(false);
        pause(200);
    }
    // Presses at `from` and moves in small steps to `to`, where the button
    // goes up; with Ctrl held all along when `control`.
    void drag(Point from, Point to, bool control = false) const {
        Display* d = m_display->get();
        KeyCode ctrl = XKeysymToKeycode(d, XK_Control_L);
        moveTo(from);
        if (control) {
            XTestFakeKeyEvent(d, ctrl, True, CurrentTime);
            XSync(d, False);
            pause(100);
        }
        button(true);
        const int steps = 12;
        for (int i = 1; i <= steps; ++i)
            moveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        pause(200);
        button(false);
        if (control) {
            XTestFakeKeyEvent(d, ctrl, False, CurrentTime);
            XSync(d, False);
        }
        pause(300);
    }
    // Replaces the edit box's text, as typed after a click in it.
    void retype(const std::string& keys) {
        click(editBox());
        type("{END}+{HOME}" + keys);
    }

protected:
    std::unique_ptr<rt::x11::XTestKeyboard> m_keyboard;
    Window m_window = 0;
    float m_scaleX = 1, m_scaleY = 1;
};

// ---- editing and deleting ------------------------------------------------------------

struct EditRow {
    const char* name;
    std::vector<std::string> before;
    std::function<void(VocabularyOnX11&)> steps;
    std::vector<std::string> after;
};

void PrintTo(const EditRow& row, std::ostream* os) {
    *os << row.name;
}

class VocabularyEditOnX11 : public VocabularyOnX11, public testing::WithParamInterface<EditRow> {};

TEST_P(VocabularyEditOnX11, TheFileHoldsWhatTheUserSavedAndDeleted) {
    const EditRow& row = GetParam();
    writeVocab("Editing", row.before);
    writeVocab("Other", {"other:o"});
    ASSERT_NE(openVocabularies(), 0u);
    click(vocabularyLine(listed("Editing")));
    row.steps(*this);
    closeAndEnd();
    EXPECT_EQ(readVocab("Editing"), rt::test::recordFile(row.after, 128));
    EXPECT_EQ(readVocab("Other"), rt::test::recordFile({"other:o"}, 128));
}

const std::vector<std::string> kAbc{"alpha:a", "bravo:b", "charlie:c"};
const std::vector<std::string> kTabs{"save:^s", "close tab:^w"};

INSTANTIATE_TEST_SUITE_P(X11, VocabularyEditOnX11,
                         testing::Values(EditRow{"ClickedPhraseEditedInPlace",
                                                 kAbc,
                                                 [](VocabularyOnX11& t) {
                                                     t.click(t.phraseLine(1));
                                                     t.retype("bravo two:b");
                                                     t.click(t.saveChanges());
                                                 },
                                                 {"alpha:a", "bravo two:b", "charlie:c"}},
                                         EditRow{"ClickedLastPhraseEditedInPlace",
                                                 kAbc,
                                                 [](VocabularyOnX11& t) {
                                                     t.click(t.phraseLine(2));
                                                     t.retype("charlie two:c");
                                                     t.click(t.saveChanges());
                                                 },
                                                 {"alpha:a", "bravo:b", "charlie two:c"}},
                                         // A phrase typed with no line chosen is appended; the
                                         // deletion of another line after it keeps it.
                                         EditRow{"DeletionAfterASaveKeepsThePhraseSaved",
                                                 kTabs,
                                                 [](VocabularyOnX11& t) {
                                                     t.retype("reload:{{}F5{}}");
                                                     t.click(t.saveChanges());
                                                     t.click(t.phraseLine(0));
                                                     t.type("%e");
                                                     t.type("d");
                                                 },
                                                 {"close tab:^w", "reload:{F5}"}},
                                         EditRow{"DeletionAfterAnEditKeepsTheEdit",
                                                 kTabs,
                                                 [](VocabularyOnX11& t) {
                                                     t.click(t.phraseLine(0));
                                                     t.retype("save all:{^}s");
                                                     t.click(t.saveChanges());
                                                     t.click(t.phraseLine(1));
                                                     t.click(t.deleteWordButton());
                                                 },
                                                 {"save all:^s"}}),
                         [](const testing::TestParamInfo<EditRow>& info) {
                             return std::string(info.param.name);
                         });

// ---- dragging phrases onto another vocabulary --------------------------------------------

struct DragRow {
    const char* name;
    // What the user does in the phrase list of Source, given the line of
    // Target in the vocabulary list.
    std::function<void(VocabularyOnX11&, int target)> steps;
    std::vector<std::string> target;
};

void PrintTo(const DragRow& row, std::ostream* os) {
    *os << row.name;
}

class VocabularyDragOnX11 : public VocabularyOnX11, public testing::WithParamInterface<DragRow> {};

TEST_P(VocabularyDragOnX11, TheTargetGetsThePickedUpPhrasesItLacks) {
    const DragRow& row = GetParam();
    const std::vector<std::string> source{"A:a", "B:b", "C:c"};
    writeVocab("Source", source);
    writeVocab("Target", {"X:x"});
    ASSERT_NE(openVocabularies(), 0u);
    click(vocabularyLine(listed("Source")));
    row.steps(*this, listed("Target"));
    closeAndEnd();
    EXPECT_EQ(readVocab("Target"), rt::test::recordFile(row.target, 128));
    EXPECT_EQ(readVocab("Source"), rt::test::recordFile(source, 128));
}

INSTANTIATE_TEST_SUITE_P(
    X11, VocabularyDragOnX11,
    testing::Values(DragRow{"PressDragged",
                            [](VocabularyOnX11& t, int target) {
                                t.drag(t.phraseLine(1), t.vocabularyBand(target));
                            },
                            {"X:x", "B:b"}},
                    // The click picked up A; the plain press on B starts the count at 1
                    // again, and the drop copies the word picked up first.
                    DragRow{"ClickThenPressDragged",
                            [](VocabularyOnX11& t, int target) {
                                t.click(t.phraseLine(0));
                                t.drag(t.phraseLine(1), t.vocabularyBand(target));
                            },
                            {"X:x", "A:a"}},
                    // Both lines selected: both are counted.
                    DragRow{"ClickThenControlPressDragged",
                            [](VocabularyOnX11& t, int target) {
                                t.click(t.phraseLine(0));
                                t.drag(t.phraseLine(2), t.vocabularyBand(target), true);
                            },
                            {"X:x", "A:a", "C:c"}},
                    // Select Entire Dictionary: the next press picks up every line, the
                    // empty last one included.
                    DragRow{"SelectAllThenPressDragged",
                            [](VocabularyOnX11& t, int target) {
                                t.type("%e");
                                t.type("s");
                                t.drag(t.phraseLine(1), t.vocabularyBand(target));
                            },
                            {"X:x", "A:a", "B:b", "C:c", ""}},
                    // On its way to the edit box the pointer crosses the vocabulary list.
                    DragRow{"ReleasedOutsideTheVocabularyList",
                            [](VocabularyOnX11& t, int) { t.drag(t.phraseLine(1), t.editBox()); },
                            {"X:x"}}),
    [](const testing::TestParamInfo<DragRow>& info) { return std::string(info.param.name); });

} // namespace
