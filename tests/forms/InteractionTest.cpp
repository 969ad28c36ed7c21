// What the user does across controls: drag and drop, pop-up menus, message
// and input boxes, and timers in virtual time.

#include <string>
#include <vector>

#include "runtime/core/App.h"
#include "runtime/core/UiThread.h"
#include "runtime/forms/EventLoop.h"
#include "runtime/forms/ListBox.h"
#include "runtime/forms/Menu.h"
#include "runtime/forms/Timer.h"
#include "runtime/forms/UserInput.h"
#include "tests/forms/FormsFixture.h"
#include "tests/support/TestSupport.h"

namespace rt {
namespace {

class DragForm : public Form {
public:
    DragForm() : Form("frmDrag", "Drag") {
        lstFrom.MouseDown.connect([this](int button, int, float, float) {
            if (button == vbLeftButton && dragEnabled)
                lstFrom.Drag(vbBeginDrag);
        });
        lstFrom.MouseUp.connect([this](int, int, float, float) { log.push_back("up"); });
        lstTo.DragOver.connect([this](Control& src, float, float, int state) {
            log.push_back("over " + src.Name() + " " + std::to_string(state));
        });
        lstFrom.DragOver.connect([this](Control&, float, float, int state) {
            log.push_back("over self " + std::to_string(state));
        });
        lstTo.DragDrop.connect([this](Control& src, float x, float y) {
            log.push_back("drop " + src.Name() + " " + std::to_string(int(x)) + "," +
                          std::to_string(int(y)));
        });
        mnuCopy.Click.connect([this] { log.push_back("copy"); });
        tmrPoll.TimerEvent.connect(
            [this] { log.push_back("tick " + std::to_string(eventLoop().now())); });
        mnuPopup.setVisible(false);
    }
    ListBox lstFrom{*this, "lstFrom"};
    ListBox lstTo{*this, "lstTo"};
    Menu mnuPopup{*this, "mnuPopup", "Popup"};
    Menu mnuCopy{*this, "mnuCopy", "&Copy", &mnuPopup, "Ctrl+C"};
    Menu mnuPaste{*this, "mnuPaste", "&Paste", &mnuPopup};
    Timer tmrPoll{*this, "tmrPoll", 0};
    bool dragEnabled = true;
    std::vector<std::string> log;
};

class InteractionTest : public test::FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        f.Show();
    }
    DragForm f;
};

TEST_F(InteractionTest, DragFromOneListDropsOnTheControlUnderThePointer) {
    UserInput::dragTo(f.lstFrom, f.lstTo, 120, 45);
    EXPECT_EQ(f.log, (std::vector<std::string>{"over lstFrom 0", "drop lstFrom 120,45"}));
    EXPECT_EQ(UserInput::dragSource(), nullptr);
}

TEST_F(InteractionTest, DragOverReportsEnterOverAndLeave) {
    UserInput::mouseDown(f.lstFrom, vbLeftButton);
    UserInput::dragOver(f.lstTo);
    UserInput::dragOver(f.lstTo);
    UserInput::dragOver(f.lstFrom);
    UserInput::drop(f.lstFrom);
    EXPECT_EQ(f.log, (std::vector<std::string>{"over lstFrom 0", "over lstFrom 2", "over lstFrom 1",
                                               "over self 0"}));
}

TEST_F(InteractionTest, PressWithoutADragStartedIsAnOrdinaryClick) {
    f.dragEnabled = false;
    UserInput::dragTo(f.lstFrom, f.lstTo);
    EXPECT_EQ(f.log, (std::vector<std::string>{"up"}));
    EXPECT_THROW(UserInput::drop(f.lstTo), ScriptFailure);
}

TEST_F(InteractionTest, CancelledDragDropsNothing) {
    UserInput::mouseDown(f.lstFrom, vbLeftButton);
    UserInput::dragOver(f.lstTo);
    f.lstFrom.Drag(vbCancelDrag);
    EXPECT_EQ(UserInput::dragSource(), nullptr);
    EXPECT_EQ(f.log, (std::vector<std::string>{"over lstFrom 0"}));
}

TEST_F(InteractionTest, PopupMenuRunsTheChosenItemBeforeReturning) {
    user->choosePopup("mnuCopy").choosePopup("");
    f.PopupMenu(f.mnuPopup);
    f.log.push_back("returned");
    f.PopupMenu(f.mnuPopup);
    EXPECT_EQ(f.log, (std::vector<std::string>{"copy", "returned"}));
    f.mnuCopy.setEnabled(false);
    user->choosePopup("mnuCopy");
    EXPECT_THROW(f.PopupMenu(f.mnuPopup), ScriptFailure);
}

TEST_F(InteractionTest, MessageBoxTakesTheProgramTitleWhenNoneIsGiven) {
    App().setTitle("Quibo Test");
    user->answerMsgBox(vbYes, "Delete").answerMsgBox(vbOK);
    EXPECT_EQ(MsgBox("Delete the word?", vbYesNo + vbQuestion), vbYes);
    EXPECT_EQ(MsgBox("Saved", vbOKOnly + vbInformation, "Store"), vbOK);
    ASSERT_EQ(user->messageBoxes().size(), 2u);
    EXPECT_EQ(user->messageBoxes()[0].title, "Quibo Test");
    EXPECT_EQ(user->messageBoxes()[0].buttons, vbYesNo + vbQuestion);
    EXPECT_EQ(user->messageBoxes()[1].title, "Store");
}

TEST_F(InteractionTest, UnexpectedOrMismatchedBoxesFailTheScript) {
    EXPECT_THROW(MsgBox("surprise"), ScriptFailure);

    user->answerInputBox("x");
    EXPECT_THROW(MsgBox("not an input box"), ScriptFailure);
    EXPECT_EQ(InputBox("Name?"), "x"); // a failed step stays in the script

    user->answerMsgBox(vbOK, "expected words");
    EXPECT_THROW(MsgBox("other words"), ScriptFailure);
    EXPECT_EQ(MsgBox("the expected words"), vbOK);
}

TEST_F(InteractionTest, ScriptFailureIsNoRuntimeErrorTheProgramCouldSwallow) {
    EXPECT_THROW(skipFailure([] { MsgBox("surprise"); }), ScriptFailure);
}

TEST_F(InteractionTest, InputBoxGivesTheAnswerOrTheEmptyTextOnCancel) {
    user->answerInputBox("Notepad").cancelInputBox();
    EXPECT_EQ(InputBox("Program name?", "Add", "default", 1200, 900), "Notepad");
    EXPECT_EQ(InputBox("Again?", "", "default"), "");
    ASSERT_EQ(user->inputBoxes().size(), 2u);
    EXPECT_EQ(user->inputBoxes()[0].defaultText, "default");
    EXPECT_EQ(user->inputBoxes()[0].x, 1200);
    EXPECT_EQ(user->inputBoxes()[1].title, App().Title());
}

TEST_F(InteractionTest, TimersFireInVirtualTimeWhileEnabled) {
    int64_t t0 = eventLoop().now();
    f.tmrPoll.setInterval(100);
    eventLoop().advance(250);
    f.tmrPoll.setEnabled(false);
    eventLoop().advance(500);
    f.tmrPoll.setEnabled(true); // restarts the count
    eventLoop().advance(150);
    std::vector<std::string> expected;
    for (int64_t t : {100, 200, 850})
        expected.push_back("tick " + std::to_string(t0 + t));
    EXPECT_EQ(f.log, expected);
    EXPECT_EQ(eventLoop().now(), t0 + 900);
    EXPECT_EQ(test::errorOf([&] { f.tmrPoll.setInterval(-1); }), kInvalidPropertyValue);
}

TEST_F(InteractionTest, TwoTimersFireInDueOrderAndAHandlerMayStopTheOther) {
    Timer fast(f, "tmrFast", 30);
    int64_t t0 = eventLoop().now();
    f.tmrPoll.setInterval(100);
    int fastTicks = 0;
    fast.TimerEvent.connect([&] {
        ++fastTicks;
        f.log.push_back("fast " + std::to_string(eventLoop().now() - t0));
    });
    f.tmrPoll.TimerEvent.connect([&] { fast.setEnabled(false); });
    eventLoop().advance(200);
    EXPECT_EQ(fastTicks, 3);
    EXPECT_EQ(f.log.back(), "tick " + std::to_string(t0 + 200));
}

TEST_F(InteractionTest, EventLoopRunsWorkPostedFromOtherThreads) {
    std::vector<std::string> seen;
    uithread::post([&] { seen.push_back("posted"); });
    eventLoop().runPending();
    EXPECT_EQ(seen, (std::vector<std::string>{"posted"}));
}

} // namespace
} // namespace rt
