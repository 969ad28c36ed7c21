#include "voicecommand/RunningApps.h"

#include <gtest/gtest.h>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/ListBox.h"
#include "runtime/platform/desktop/User32.h"

using rt::HWND;
using rt::SimDesktop;

namespace {

class RunningAppsTest : public testing::Test {
protected:
    RunningAppsTest() {
        sim = std::make_shared<SimDesktop>();
        rt::setDesktop(sim);
        RunningApps::ReleaseWindowHandles();
        form = std::make_unique<rt::Form>("frmApp", "Voice Applications");
        list = std::make_unique<rt::ListBox>(*form, "lstRunApp", true);
    }
    ~RunningAppsTest() override {
        list.reset();
        form.reset();
        RunningApps::ReleaseWindowHandles();
        rt::setDesktop(nullptr);
    }

    HWND add(const std::string& cls, const std::string& title, SimDesktop::Window w = {}) {
        w.className = cls;
        w.title = title;
        return sim->addWindow(w);
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < list->ListCount(); ++i)
            out.push_back(list->List(i));
        return out;
    }

    std::shared_ptr<SimDesktop> sim;
    std::unique_ptr<rt::Form> form;
    std::unique_ptr<rt::ListBox> list;
};

std::string key(const std::string& cls, const std::string& title) {
    return RunningApps::MakeWindowKey(cls, title);
}

TEST_F(RunningAppsTest, ListsOnlyVisibleUnownedTitledTopLevelWindows) {
    HWND editor = add("Notepad", "notes.txt - Notepad");
    HWND dialog = add("Dialog", "Save As", {.owner = editor});
    add("Hidden", "Invisible", {.visible = false});
    add("Untitled", "");
    SimDesktop::Window child;
    child.parent = editor;
    add("Child", "Child", child);
    (void)dialog;
    EXPECT_EQ(RunningApps::FillRunningApps(*list), 1);
    EXPECT_EQ(lines(), std::vector<std::string>{key("Notepad", "notes.txt - Notepad")});
    EXPECT_EQ(list->ItemData(0), editor);
}

TEST_F(RunningAppsTest, TitlesAreCutAt255Characters) {
    add("Long", std::string(300, 't'));
    RunningApps::FillRunningApps(*list);
    EXPECT_EQ(lines(), std::vector<std::string>{key("Long", std::string(255, 't'))});
}

TEST_F(RunningAppsTest, EqualWindowsGiveEqualLinesAndTheFirstHandleIsKept) {
    HWND first = add("Term", "shell");
    HWND second = add("Term", "shell"); // enumerated first: it is on top
    RunningApps::FillRunningApps(*list);
    EXPECT_EQ(list->ListCount(), 2);
    EXPECT_EQ(RunningApps::GetWindowHandle(key("Term", "shell")), second);
    EXPECT_EQ(RunningApps::GetWindowHandle(key("TERM", "SHELL")), second);
    sim->closeWindow(second);
    RunningApps::FillRunningApps(*list);
    EXPECT_EQ(list->ListCount(), 1);
    // Stale: the collection keeps the first handle it saw for the key.
    EXPECT_EQ(RunningApps::GetWindowHandle(key("Term", "shell")), second);
    (void)first;
    EXPECT_EQ(RunningApps::GetWindowHandle(key("Never", "listed")), 0);
}

TEST_F(RunningAppsTest, ListFindExactComparesWholeLinesWithoutCase) {
    EXPECT_FALSE(RunningApps::ListFindExact(list->hWnd(), "Word"));
    list->AddItem("Word");
    list->AddItem("Mail");
    EXPECT_TRUE(RunningApps::ListFindExact(list->hWnd(), "word"));
    EXPECT_TRUE(RunningApps::ListFindExact(list->hWnd(), "MAIL"));
    EXPECT_FALSE(RunningApps::ListFindExact(list->hWnd(), "Wo"));
}

TEST_F(RunningAppsTest, ClassNamesAreCutAt255Characters) {
    add(std::string(300, 'c'), "title");
    RunningApps::FillRunningApps(*list);
    EXPECT_EQ(lines(), std::vector<std::string>{key(std::string(255, 'c'), "title")});
}

TEST_F(RunningAppsTest, EachSortedLineCarriesItsOwnWindowsHandle) {
    HWND b = add("B", "b");
    HWND a = add("A", "a");
    HWND c = add("C", "c");
    list->AddItem("stale line");
    EXPECT_EQ(RunningApps::FillRunningApps(*list), 3);
    EXPECT_EQ(lines(), (std::vector<std::string>{key("A", "a"), key("B", "b"), key("C", "c")}));
    EXPECT_EQ((std::vector<int32_t>{list->ItemData(0), list->ItemData(1), list->ItemData(2)}),
              (std::vector<int32_t>{a, b, c}));
}

TEST_F(RunningAppsTest, KeysDifferingOnlyInCaseShareTheFirstHandle) {
    HWND lower = add("Term", "shell");
    HWND upper = add("TERM", "SHELL"); // on top: enumerated first
    EXPECT_EQ(RunningApps::FillRunningApps(*list), 2);
    EXPECT_EQ(RunningApps::GetWindowHandle(key("Term", "shell")), upper);
    EXPECT_EQ(RunningApps::GetWindowHandle(key("TERM", "SHELL")), upper);
    (void)lower;
}

TEST_F(RunningAppsTest, AProgramStartedAgainStillAnswersItsOldHandle) {
    HWND old = add("Editor", "doc");
    RunningApps::FillRunningApps(*list);
    sim->closeWindow(old);
    HWND again = add("Editor", "doc");
    RunningApps::FillRunningApps(*list);
    EXPECT_EQ(list->ItemData(0), again);
    EXPECT_EQ(RunningApps::GetWindowHandle(key("Editor", "doc")), old);
    EXPECT_EQ(rt::FindWindowA("Editor", "doc"), again);
}

TEST_F(RunningAppsTest, AddWindowHandleKeepsTheFirstHandleOfAKey) {
    RunningApps::AddWindowHandle(0x111, "k");
    RunningApps::AddWindowHandle(0x222, "K");
    EXPECT_EQ(RunningApps::GetWindowHandle("k"), 0x111);
    RunningApps::ReleaseWindowHandles();
    EXPECT_EQ(RunningApps::GetWindowHandle("k"), 0);
}

// The enumeration callback against a window that only records the list-box
// messages, so the exact requests are visible.
TEST_F(RunningAppsTest, EnumWindowsProcAddsTheKeyAndSetsItemDataAtTheReturnedIndex) {
    std::vector<std::string> messages;
    HWND recorder = sim->createOwnWindow(
        {"Recorder", "", true, form->hWnd(),
         [&](uint32_t msg, intptr_t wParam, const rt::Variant& lParam) {
             messages.push_back(std::to_string(msg) + " " + std::to_string(wParam) + " " +
                                lParam.toString());
             return msg == rt::LB_ADDSTRING ? int32_t{3} : int32_t{0};
         }});
    HWND shown = add("Notepad", "a.txt");
    HWND hidden = add("Hidden", "h", {.visible = false});
    HWND untitled = add("Untitled", "");

    for (HWND h : {shown, hidden, untitled, HWND{0}})
        EXPECT_TRUE(RunningApps::EnumWindowsProc(h, recorder)) << h;
    EXPECT_EQ(messages, (std::vector<std::string>{"384 0 " + key("Notepad", "a.txt"),
                                                  "410 3 " + std::to_string(shown)}));
    EXPECT_EQ(RunningApps::GetWindowHandle(key("Notepad", "a.txt")), shown);
}

TEST_F(RunningAppsTest, ListFindExactSearchesTheWholeListFromTheFirstLine) {
    std::vector<intptr_t> starts;
    HWND recorder = sim->createOwnWindow({"Recorder", "", true, form->hWnd(),
                                          [&](uint32_t msg, intptr_t wParam, const rt::Variant&) {
                                              if (msg == rt::LB_FINDSTRINGEXACT)
                                                  starts.push_back(wParam);
                                              return starts.size() == 1 ? int32_t{0} : rt::LB_ERR;
                                          }});
    EXPECT_TRUE(RunningApps::ListFindExact(recorder, "x"));  // index 0 counts as found
    EXPECT_FALSE(RunningApps::ListFindExact(recorder, "x")); // LB_ERR
    EXPECT_EQ(starts, (std::vector<intptr_t>{-1, -1}));
}

TEST(WindowKey, SplitsAtTheFirstBrokenBar) {
    struct {
        std::string key;
        bool ok;
        std::string cls, title;
    } cases[] = {
        {"Notepad \xA6 a.txt", true, "Notepad", "a.txt"},
        {"A \xA6 t \xA6 u", true, "A", "t \xA6 u"},
        {"\xA6 title", false, "", ""},
        {"no bar", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        std::string cls, title;
        EXPECT_EQ(RunningApps::SplitWindowKey(c.key, cls, title), c.ok) << c.key;
        if (c.ok) {
            EXPECT_EQ(cls, c.cls);
            EXPECT_EQ(title, c.title);
        }
    }
}

class ForceForeground : public RunningAppsTest {
protected:
    ForceForeground() {
        other = add("Other", "other program");
        sim->activate(other);
        sim->clearLog();
    }
    HWND other = 0;
};

TEST_F(ForceForeground, AttachesTheThreadsToSwitchFromAnotherProgram) {
    HWND target = add("Target", "target");
    EXPECT_TRUE(RunningApps::ForceForeground(target));
    EXPECT_EQ(rt::GetForegroundWindow(), target);
    // Without the attach the simulated desktop refuses the switch.
    EXPECT_FALSE(rt::SetForegroundWindow(other));
}

TEST_F(ForceForeground, RestoresAMinimisedWindowAndKeepsAMaximisedOne) {
    HWND minimised = add("Min", "min", {.iconic = true});
    EXPECT_TRUE(RunningApps::ForceForeground(minimised));
    EXPECT_FALSE(rt::IsIconic(minimised));
    HWND maximised = add("Max", "max", {.zoomed = true});
    EXPECT_TRUE(RunningApps::ForceForeground(maximised));
    EXPECT_TRUE(rt::IsZoomed(maximised));
}

struct ShowRow {
    const char* name;
    SimDesktop::Window window;
    int showCmd;
    bool iconicAfter, zoomedAfter;
};

TEST_F(ForceForeground, RaisesThenRestoresOrShowsTheWindow) {
    ShowRow rows[] = {
        {"normal", {}, rt::SW_SHOW, false, false},
        {"minimised", {.iconic = true}, rt::SW_RESTORE, false, false},
        {"minimised from maximised", {.iconic = true, .zoomed = true}, rt::SW_RESTORE, false, true},
        {"maximised", {.zoomed = true}, rt::SW_SHOW, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim->activate(other);
        sim->clearLog();
        HWND target = add("Target", row.name, row.window);
        EXPECT_TRUE(RunningApps::ForceForeground(target));
        EXPECT_EQ(sim->log(), (std::vector<std::string>{"foreground " + std::to_string(target),
                                                        "show " + std::to_string(target) + " " +
                                                            std::to_string(row.showCmd)}));
        EXPECT_EQ(rt::IsIconic(target), row.iconicAfter);
        EXPECT_EQ(rt::IsZoomed(target), row.zoomedAfter);
    }
}

TEST_F(ForceForeground, SwitchesWithoutAttachFromTheProgramsOwnWindowOrFromNone) {
    HWND own = sim->createOwnWindow({"QuiboForm", "QUIBO!", true, 0, nullptr});
    sim->activate(own);
    HWND target = add("Target", "target");
    EXPECT_TRUE(RunningApps::ForceForeground(target));
    EXPECT_EQ(rt::GetForegroundWindow(), target);

    sim->closeWindow(target);
    sim->closeWindow(other);
    sim->closeWindow(own);
    ASSERT_EQ(rt::GetForegroundWindow(), 0);
    EXPECT_FALSE(RunningApps::ForceForeground(0)) << "no window is not the missing foreground";
    HWND next = add("Next", "next");
    EXPECT_TRUE(RunningApps::ForceForeground(next));
    EXPECT_EQ(rt::GetForegroundWindow(), next);
}

TEST_F(ForceForeground, AWindowThatRefusesIsStillShownButReportsFailure) {
    HWND stubborn = add("Stubborn", "no focus", {.iconic = true, .refusesFocus = true});
    EXPECT_FALSE(RunningApps::ForceForeground(stubborn));
    EXPECT_EQ(sim->log(), std::vector<std::string>{"show " + std::to_string(stubborn) + " 9"});
}

TEST_F(ForceForeground, AClosedWindowFails) {
    HWND gone = add("Gone", "gone");
    sim->closeWindow(gone);
    EXPECT_FALSE(RunningApps::ForceForeground(gone));
    EXPECT_EQ(rt::GetForegroundWindow(), other);
    EXPECT_TRUE(sim->log().empty());
}

TEST_F(ForceForeground, TheForegroundWindowIsNeitherRestoredNorShown) {
    EXPECT_TRUE(RunningApps::ForceForeground(other));
    EXPECT_TRUE(sim->log().empty());
}

TEST_F(ForceForeground, FailsForHandleZeroAndForAWindowThatRefusesFocus) {
    EXPECT_FALSE(RunningApps::ForceForeground(0));
    HWND stubborn = add("Stubborn", "no focus", {.refusesFocus = true});
    EXPECT_FALSE(RunningApps::ForceForeground(stubborn));
    EXPECT_EQ(rt::GetForegroundWindow(), other);
}

} // namespace
