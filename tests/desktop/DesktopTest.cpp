#include <gtest/gtest.h>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/platform/desktop/User32.h"
#include "tests/support/TestSupport.h"

using namespace rt;

namespace {

class DesktopTest : public testing::Test {
protected:
    DesktopTest() { setDesktop(sim); }
    ~DesktopTest() override { setDesktop(nullptr); }

    HWND add(const std::string& cls, const std::string& title, SimDesktop::Window w = {}) {
        w.className = cls;
        w.title = title;
        return sim->addWindow(w);
    }
    static std::vector<HWND> enumerated() {
        std::vector<HWND> out;
        EnumWindows(
            [&](HWND h, intptr_t) {
                out.push_back(h);
                return true;
            },
            0);
        return out;
    }

    std::shared_ptr<SimDesktop> sim = std::make_shared<SimDesktop>();
};

TEST_F(DesktopTest, TextsAreCutToOneLessThanTheBuffer) {
    struct {
        const char* name;
        std::string text;
        int maxCount;
        std::string expected;
    } rows[] = {
        {"fits", "Notepad", 256, "Notepad"},
        {"300 characters", std::string(300, 'x'), 256, std::string(255, 'x')},
        {"exactly 255", std::string(255, 'x'), 256, std::string(255, 'x')},
        {"exactly 256", std::string(256, 'x'), 256, std::string(255, 'x')},
        {"buffer of one", "abc", 1, ""},
        {"buffer of zero", "abc", 0, ""},
        {"negative buffer", "abc", -5, ""},
        {"ansi bytes", "caf\xE9 \xA6", 256, "caf\xE9 \xA6"},
    };
    for (const auto& row : rows) {
        HWND h = add(row.text, row.text);
        EXPECT_EQ(GetWindowTextA(h, row.maxCount), row.expected) << row.name;
        EXPECT_EQ(GetClassNameA(h, row.maxCount), row.expected) << row.name;
    }
}

TEST_F(DesktopTest, HandleZeroAndClosedWindowsAnswerNothing) {
    HWND closed = add("Gone", "gone", {.owner = add("Owner", "owner"), .iconic = true});
    sim->activate(closed);
    sim->closeWindow(closed);
    sim->clearLog();
    for (HWND h : {HWND{0}, closed}) {
        SCOPED_TRACE(h);
        EXPECT_FALSE(IsWindow(h));
        EXPECT_FALSE(IsWindowVisible(h));
        EXPECT_EQ(GetParent(h), 0);
        EXPECT_EQ(GetWindowLongA(h, GWL_HWNDPARENT), 0);
        EXPECT_EQ(GetWindowTextA(h, 256), "");
        EXPECT_EQ(GetClassNameA(h, 256), "");
        EXPECT_EQ(GetWindowThreadProcessId(h), 0u);
        EXPECT_FALSE(SetForegroundWindow(h));
        EXPECT_FALSE(ShowWindow(h, SW_RESTORE));
        EXPECT_FALSE(IsIconic(h));
        EXPECT_FALSE(IsZoomed(h));
        EXPECT_FALSE(SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
        WINDOWPLACEMENT wp;
        wp.length = sizeof wp;
        EXPECT_FALSE(GetWindowPlacement(h, wp));
        EXPECT_EQ(SendMessageA(h, LB_ADDSTRING, 0, Variant(std::string("x"))), 0);
    }
    EXPECT_TRUE(sim->log().empty());
}

TEST_F(DesktopTest, GetWindowLongGivesTheOwnerOnlyForTheParentIndex) {
    HWND owner = add("Main", "main");
    HWND dialog = add("Dialog", "Save As", {.owner = owner});
    EXPECT_EQ(GetWindowLongA(dialog, GWL_HWNDPARENT), owner);
    EXPECT_EQ(GetWindowLongA(dialog, -16), 0);
    EXPECT_EQ(GetParent(dialog), 0);
    EXPECT_EQ(GetWindowLongA(owner, GWL_HWNDPARENT), 0);
}

TEST_F(DesktopTest, FindWindowMatchesClassAndTitleExactly) {
    HWND untitled = add("Notepad", "");
    HWND a = add("Notepad", "a.txt");
    HWND b = add("Notepad", "b.txt");
    HWND hidden = add("Hidden", "secret", {.visible = false});
    HWND term = add("Term", "a.txt");
    add("Child", "child", {.parent = a});
    struct {
        const char* name;
        std::optional<std::string> cls, title;
        HWND expected;
    } rows[] = {
        {"exact", "Notepad", "b.txt", b},
        {"class in other case", "notepad", "b.txt", 0},
        {"title in other case", "Notepad", "B.TXT", 0},
        {"part of the title", "Notepad", "b", 0},
        {"title with a trailing blank", "Notepad", "b.txt ", 0},
        {"any class, the upper window first", std::nullopt, "a.txt", term},
        {"any title, the upper window first", "Notepad", std::nullopt, b},
        {"any window", std::nullopt, std::nullopt, term},
        {"an empty class is a class", "", "a.txt", 0},
        {"an empty title is a title", "Notepad", "", untitled},
        {"hidden windows count", "Hidden", "secret", hidden},
        {"child windows do not", "Child", "child", 0},
        {"nothing", "None", "none", 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FindWindowA(row.cls, row.title), row.expected) << row.name;
}

TEST_F(DesktopTest, EnumerationIsTopmostFirstThenZOrder) {
    HWND a = add("A", "a");
    HWND b = add("B", "b");
    HWND c = add("C", "c");
    add("Child", "child", {.parent = b});
    EXPECT_EQ(enumerated(), (std::vector<HWND>{c, b, a}));

    EXPECT_TRUE(SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    sim->activate(b);
    HWND d = add("D", "d");
    // Neither a click nor a new window goes above the topmost window.
    EXPECT_EQ(enumerated(), (std::vector<HWND>{a, d, b, c}));

    SetWindowPos(a, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    sim->activate(c);
    EXPECT_EQ(enumerated(), (std::vector<HWND>{c, a, d, b}));
}

TEST_F(DesktopTest, EnumerationStopsWhenTheCallbackSaysSoAndSeesItsStartingWindows) {
    HWND a = add("A", "a");
    HWND b = add("B", "b");
    std::vector<HWND> seen;
    EXPECT_FALSE(EnumWindows(
        [&](HWND h, intptr_t lParam) {
            EXPECT_EQ(lParam, 42);
            seen.push_back(h);
            return false;
        },
        42));
    EXPECT_EQ(seen, std::vector<HWND>{b});

    // Windows closed by the callback are still visited, as stale handles.
    seen.clear();
    EXPECT_TRUE(EnumWindows(
        [&](HWND h, intptr_t) {
            seen.push_back(h);
            sim->closeWindow(a);
            sim->closeWindow(b);
            add("New", "new");
            return true;
        },
        0));
    EXPECT_EQ(seen, (std::vector<HWND>{b, a}));
}

struct ForegroundRow {
    std::string name;
    bool foregroundIsOwn = false; // else another program's window
    bool noForeground = false;
    bool sameThread = false; // target shares the foreground's thread
    bool attach = false;     // foreground thread attached to the target's
    bool attachReversed = false;
    bool detachAgain = false;
    bool refusesFocus = false;
    bool child = false;
    bool allowed = false;
};

class ForegroundRule : public DesktopTest, public testing::WithParamInterface<ForegroundRow> {};

TEST_P(ForegroundRule, DecidesWhoMayTakeTheForeground) {
    const ForegroundRow& row = GetParam();
    HWND fg = 0;
    if (row.foregroundIsOwn)
        fg = sim->createOwnWindow({"QuiboForm", "own", true, 0, nullptr});
    else if (!row.noForeground)
        fg = add("Other", "other");
    if (fg)
        sim->activate(fg);
    ThreadId fgThread = GetWindowThreadProcessId(fg);
    HWND top = add("Top", "top");
    SimDesktop::Window w{.refusesFocus = row.refusesFocus};
    if (row.sameThread)
        w.thread = fgThread;
    if (row.child)
        w.parent = top;
    HWND target = add("Target", "target", w);
    ThreadId targetThread = GetWindowThreadProcessId(target);
    if (row.attach) {
        EXPECT_TRUE(AttachThreadInput(fgThread, targetThread, true));
    }
    if (row.attachReversed) {
        EXPECT_TRUE(AttachThreadInput(targetThread, fgThread, true));
    }
    if (row.detachAgain)
        AttachThreadInput(fgThread, targetThread, false);
    sim->clearLog();

    EXPECT_EQ(SetForegroundWindow(target), row.allowed);
    EXPECT_EQ(GetForegroundWindow(), row.allowed ? target : fg);
    if (row.allowed) {
        EXPECT_EQ(enumerated().front(), target);
        EXPECT_EQ(sim->log(), std::vector<std::string>{"foreground " + std::to_string(target)});
    } else {
        EXPECT_TRUE(sim->log().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ForegroundRule,
    testing::Values(
        ForegroundRow{.name = "NoForegroundWindow", .noForeground = true, .allowed = true},
        ForegroundRow{.name = "FromTheProgramsOwnWindow", .foregroundIsOwn = true, .allowed = true},
        ForegroundRow{.name = "FromAnotherProgram"},
        ForegroundRow{.name = "WithinOneThread", .sameThread = true, .allowed = true},
        ForegroundRow{.name = "ForegroundInputAttached", .attach = true, .allowed = true},
        ForegroundRow{.name = "AttachedTheOtherWay", .attachReversed = true},
        ForegroundRow{.name = "AttachedAndDetached", .attach = true, .detachAgain = true},
        ForegroundRow{.name = "RefusesFocus", .noForeground = true, .refusesFocus = true},
        ForegroundRow{.name = "ChildWindow", .noForeground = true, .child = true}),
    test::RowName());

TEST_F(DesktopTest, AttachingNeedsTwoDifferentThreads) {
    HWND a = add("A", "a");
    ThreadId t = GetWindowThreadProcessId(a);
    EXPECT_FALSE(AttachThreadInput(0, t, true));
    EXPECT_FALSE(AttachThreadInput(t, 0, true));
    EXPECT_FALSE(AttachThreadInput(t, t, true));
    EXPECT_NE(GetWindowThreadProcessId(add("B", "b")), t);
}

struct ShowRow {
    std::string name;
    bool visible, iconic, zoomed;
    int showCmd;
    bool wasVisible, visibleAfter, iconicAfter, zoomedAfter;
};

class ShowCommands : public DesktopTest, public testing::WithParamInterface<ShowRow> {};

TEST_P(ShowCommands, ChangeStateAndAreLogged) {
    const ShowRow& row = GetParam();
    HWND h = add("W", "w", {.visible = row.visible, .iconic = row.iconic, .zoomed = row.zoomed});
    EXPECT_EQ(ShowWindow(h, row.showCmd), row.wasVisible);
    EXPECT_EQ(IsWindowVisible(h), row.visibleAfter);
    EXPECT_EQ(IsIconic(h), row.iconicAfter);
    EXPECT_EQ(IsZoomed(h), row.zoomedAfter);
    EXPECT_EQ(sim->log(), std::vector<std::string>{"show " + std::to_string(h) + " " +
                                                   std::to_string(row.showCmd)});
    EXPECT_EQ(GetForegroundWindow(), 0) << "showing does not activate";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShowCommands,
    testing::Values(
        // name, visible, iconic, zoomed, cmd -> wasVisible, visible, iconic, zoomed
        ShowRow{"RestoreMinimised", true, true, false, SW_RESTORE, true, true, false, false},
        ShowRow{"RestoreMinimisedMaximised", true, true, true, SW_RESTORE, true, true, false, true},
        ShowRow{"RestoreMaximised", true, false, true, SW_RESTORE, true, true, false, false},
        ShowRow{"ShowKeepsMaximised", true, false, true, SW_SHOW, true, true, false, true},
        ShowRow{"ShowKeepsMinimised", true, true, false, SW_SHOW, true, true, true, false},
        ShowRow{"ShowHidden", false, false, false, SW_SHOW, false, true, false, false},
        ShowRow{"Hide", true, false, false, SW_HIDE, true, false, false, false},
        ShowRow{"MinimiseMaximised", true, false, true, SW_MINIMIZE, true, true, true, false},
        ShowRow{"ShowNormalFromMaximised", true, false, true, SW_SHOWNORMAL, true, true, false,
                false},
        ShowRow{"ShowMaximisedFromMinimised", true, true, false, SW_SHOWMAXIMIZED, true, true,
                false, true}),
    test::RowName());

TEST_F(DesktopTest, TopmostKeepsThePlacementUnlessMovedOrSized) {
    HWND h = add("W", "w", {.normal = {10, 20, 110, 220}});
    EXPECT_TRUE(SetWindowPos(h, HWND_TOPMOST, 5, 5, 1, 1, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_TRUE(sim->window(h)->topmost);
    EXPECT_EQ(sim->log(), std::vector<std::string>{"topmost " + std::to_string(h)});

    WINDOWPLACEMENT wp;
    wp.length = sizeof wp;
    ASSERT_TRUE(GetWindowPlacement(h, wp));
    EXPECT_EQ(wp.rcNormalPosition.left, 10);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 220);

    EXPECT_TRUE(SetWindowPos(h, 0, 50, 60, 0, 0, SWP_NOSIZE));
    ASSERT_TRUE(GetWindowPlacement(h, wp));
    EXPECT_EQ((std::vector<int>{wp.rcNormalPosition.left, wp.rcNormalPosition.top,
                                wp.rcNormalPosition.right, wp.rcNormalPosition.bottom}),
              (std::vector<int>{50, 60, 150, 260}));
    EXPECT_TRUE(SetWindowPos(h, 0, 0, 0, 30, 40, SWP_NOMOVE));
    ASSERT_TRUE(GetWindowPlacement(h, wp));
    EXPECT_EQ(wp.rcNormalPosition.right, 80);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 100);
}

TEST_F(DesktopTest, PlacementNeedsItsLengthAndTellsTheState) {
    HWND normal = add("N", "n");
    HWND minimised = add("I", "i", {.iconic = true, .normal = {1, 2, 3, 4}});
    HWND maximised = add("Z", "z", {.zoomed = true});

    for (uint32_t length :
         {0u, uint32_t(sizeof(WINDOWPLACEMENT) - 1), uint32_t(sizeof(WINDOWPLACEMENT) + 4)}) {
        WINDOWPLACEMENT wp;
        wp.length = length;
        EXPECT_FALSE(GetWindowPlacement(normal, wp)) << length;
        EXPECT_EQ(wp.showCmd, 0u);
    }
    struct {
        HWND h;
        uint32_t showCmd;
    } rows[] = {
        {normal, SW_SHOWNORMAL}, {minimised, SW_SHOWMINIMIZED}, {maximised, SW_SHOWMAXIMIZED}};
    for (const auto& row : rows) {
        WINDOWPLACEMENT wp;
        wp.length = sizeof wp;
        ASSERT_TRUE(GetWindowPlacement(row.h, wp));
        EXPECT_EQ(wp.showCmd, row.showCmd);
    }
    WINDOWPLACEMENT wp;
    wp.length = sizeof wp;
    GetWindowPlacement(minimised, wp);
    // A minimised window still reports the rectangle it restores to.
    EXPECT_EQ(wp.rcNormalPosition.right, 3);
}

TEST_F(DesktopTest, OwnWindowsAnswerMessagesAndRunOnTheProgramThread) {
    HWND form = sim->createOwnWindow({"QuiboForm", "Voice Applications", false, 0, nullptr});
    std::vector<std::string> received;
    HWND list = sim->createOwnWindow(
        {"QuiboListBox", "", true, form, [&](uint32_t msg, intptr_t wParam, const Variant& lParam) {
             received.push_back(std::to_string(msg) + " " + std::to_string(wParam) + " " +
                                lParam.toString());
             return int32_t{7};
         }});
    HWND foreign = add("Other", "other");

    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, Variant(std::string("line"))), 7);
    EXPECT_EQ(received, std::vector<std::string>{"384 0 line"});
    EXPECT_EQ(SendMessageA(foreign, LB_ADDSTRING, 0, Variant(std::string("line"))), 0);
    EXPECT_EQ(SendMessageA(form, LB_ADDSTRING, 0, Variant(std::string("line"))), 0);

    EXPECT_EQ(GetParent(list), form);
    EXPECT_EQ(GetWindowThreadProcessId(form), SimDesktop::kProgramThread);
    EXPECT_EQ(GetWindowThreadProcessId(list), SimDesktop::kProgramThread);
    EXPECT_NE(GetWindowThreadProcessId(foreign), SimDesktop::kProgramThread);
    // The form is a top-level window; its list box is not.
    EXPECT_EQ(enumerated(), (std::vector<HWND>{foreign, form}));

    EXPECT_FALSE(IsWindowVisible(form));
    sim->updateOwnWindow(form, "QUIBO!", true);
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_EQ(GetWindowTextA(form, 256), "QUIBO!");

    // A form takes its list boxes with it.
    sim->destroyOwnWindow(form);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, Variant(std::string("late"))), 0);
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(DesktopTest, ClosingAWindowClosesItsDialogsAndHandsTheForegroundOn) {
    HWND below = add("Below", "below");
    add("Hidden", "hidden", {.visible = false});
    HWND main = add("Main", "main");
    HWND dialog = add("Dialog", "dialog", {.owner = main});
    sim->activate(dialog);

    sim->closeWindow(main);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(GetForegroundWindow(), below) << "the hidden window is passed over";

    HWND other = add("Other", "other");
    sim->closeWindow(other);
    EXPECT_EQ(GetForegroundWindow(), below);
    sim->closeWindow(below);
    EXPECT_EQ(GetForegroundWindow(), 0);
}

TEST_F(DesktopTest, AClickInsideAChildActivatesItsTopLevelWindow) {
    HWND form = add("Form", "form");
    HWND button = add("Button", "OK", {.parent = add("Panel", "", {.parent = form})});
    add("Other", "other");
    sim->activate(button);
    EXPECT_EQ(GetForegroundWindow(), form);
    EXPECT_EQ(enumerated().front(), form);
}

TEST_F(DesktopTest, ClosingAWindowOutsideTheForegroundLeavesNoForegroundAsItWas) {
    HWND a = add("A", "a");
    sim->closeWindow(a);
    add("B", "b");
    sim->closeWindow(add("C", "c"));
    EXPECT_EQ(GetForegroundWindow(), 0);
}

TEST(DesktopSlot, ResettingGivesAFreshSimulatedDesktop) {
    auto sim = std::make_shared<SimDesktop>();
    setDesktop(sim);
    HWND h = sim->addWindow({.className = "A", .title = "a"});
    EXPECT_TRUE(IsWindow(h));
    setDesktop(nullptr);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_NE(dynamic_cast<SimDesktop*>(&desktop()), nullptr);
}

} // namespace
