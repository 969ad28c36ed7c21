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
