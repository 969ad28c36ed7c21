#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRubberBand>
#include <QTest>
#include <string>
#include <vector>

#include "runtime/forms/Host.h"
#include "runtime/forms/UserInput.h"
#include "tests/qt/BoxWatcher.h"
#include "tests/qt/QtViewFixture.h"

namespace rt::test {
namespace {

QPoint rowCentre(QListWidget& list, int row) {
    return list.visualItemRect(list.item(row)).center();
}

TEST_F(QtViewTest, ClicksReachTheModelInPressReleaseClickOrder) {
    SampleForm& f = showSample();
    std::vector<std::string> seen;
    f.cmdStart.MouseDown.connect([&](int b, int s, float x, float y) {
        seen.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " +
                       std::to_string(int(x)) + "," + std::to_string(int(y)));
    });
    f.cmdStart.MouseUp.connect(
        [&](int b, int, float, float) { seen.push_back("up " + std::to_string(b)); });
    f.cmdStart.Click.connect([&] { seen.push_back("click"); });
    QTest::mouseClick(widget(f.cmdStart), Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 5));
    EXPECT_EQ(seen, (std::vector<std::string>{"down 1 1 150,75", "up 1", "click"}));
}

TEST_F(QtViewTest, CheckBoxStateComesFromTheModelOnly) {
    SampleForm& f = showSample();
    int clicks = 0;
    f.chkLoud.Click.connect([&] { ++clicks; });
    QTest::mouseClick(widget(f.chkLoud), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_EQ(f.chkLoud.Value(), vbChecked);
    EXPECT_EQ(clicks, 1);
    // A handler that puts the value back wins over what Qt would toggle to.
    f.chkLoud.Click.connect([&] { f.chkLoud.setValue(vbChecked); });
    QTest::mouseClick(widget(f.chkLoud), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_EQ(f.chkLoud.Value(), vbChecked);
    EXPECT_EQ(widget<QCheckBox>(f.chkLoud)->checkState(), Qt::Checked);
}

TEST_F(QtViewTest, ExtendedListSelectsWithShiftAndControl) {
    SampleForm& f = showSample();
    auto* list = widget<QListWidget>(f.lstWords);
    int clicks = 0;
    f.lstWords.Click.connect([&] { ++clicks; });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(*list, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(*list, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(*list, 1));
    EXPECT_TRUE(f.lstWords.Selected(0));
    EXPECT_FALSE(f.lstWords.Selected(1));
    EXPECT_TRUE(f.lstWords.Selected(2));
    EXPECT_FALSE(f.lstWords.Selected(3));
    EXPECT_EQ(f.lstWords.ListIndex(), 1);
    EXPECT_GE(clicks, 1);
    EXPECT_FALSE(list->item(1)->isSelected());
    EXPECT_TRUE(list->item(2)->isSelected());
}

// MouseDown of a list hears the press after the list took it: the line
// pressed is already current and selected (or toggled, with Ctrl).
TEST_F(QtViewTest, AListPressSelectsTheLineBeforeMouseDownSeesIt) {
    SampleForm& f = showSample();
    auto* list = widget<QListWidget>(f.lstWords);
    std::vector<std::string> seen;
    f.lstWords.MouseDown.connect([&](int button, int, float, float y) {
        std::string selected;
        for (int i = 0; i < f.lstWords.ListCount(); ++i)
            selected += f.lstWords.Selected(i) ? "x" : ".";
        seen.push_back(std::to_string(button) + " " + std::to_string(f.lstWords.ListIndex()) + " " +
                       selected + (y > 0 ? "" : " no y"));
    });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(*list, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(*list, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(*list, 2));
    // The right button leaves the selection as it is.
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, rowCentre(*list, 3));
    EXPECT_EQ(seen, (std::vector<std::string>{"1 2 ..x.", "1 0 x.x.", "1 2 x...", "2 2 x..."}));
}

TEST_F(QtViewTest, DoubleClickOnAListReachesItsDblClick) {
    SampleForm& f = showSample();
    auto* list = widget<QListWidget>(f.lstWords);
    int dbl = 0;
    f.lstWords.DblClick.connect([&] { ++dbl; });
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(*list, 3));
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(f.lstWords.ListIndex(), 3);
}

TEST_F(QtViewTest, TypingReplacesTheSelectionThroughTheModel) {
    SampleForm& f = showSample();
    int changes = 0;
    f.txtName.Change.connect([&] { ++changes; });
    auto* edit = widget<QLineEdit>(f.txtName);
    QTest::keyClicks(edit, "hello");
    EXPECT_EQ(f.txtName.Text(), "hello");
    EXPECT_EQ(changes, 5);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(f.txtName.Text(), "hell");
    edit->setSelection(1, 2);
    QTest::keyClicks(edit, "EE");
    EXPECT_EQ(f.txtName.Text(), "hEEl");
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(f.txtName.Text(), "EEl");
    EXPECT_EQ(edit->text(), "EEl");
}

TEST_F(QtViewTest, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
    SampleForm& f = showSample();
    f.setKeyPreview(true);
    std::vector<std::string> seen;
    f.KeyDown.connect([&](int& code, int shift) {
        if (code == 16 || code == 17) // the modifier keys themselves
            return;
        seen.push_back("form " + std::to_string(code) + " " + std::to_string(shift));
        if (code == 113) // F2 belongs to the form
            code = 0;
    });
    f.txtName.KeyDown.connect([&](int& code, int) {
        if (code != 16 && code != 17)
            seen.push_back("box " + std::to_string(code));
    });
    auto* edit = widget<QLineEdit>(f.txtName);
    QTest::keyClick(edit, Qt::Key_A, Qt::ShiftModifier, 0);
    QTest::keyClick(edit, Qt::Key_F2);
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(seen, (std::vector<std::string>{"form 65 1", "box 65", "form 113 0", "form 13 2",
                                              "box 13"}));
    EXPECT_EQ(f.txtName.Text(), "a"); // F2 and Ctrl+Return typed nothing
}

TEST_F(QtViewTest, ProgressBarTakesClicks) {
    SampleForm& f = showSample();
    int clicks = 0;
    f.prgLevel.Click.connect([&] { ++clicks; });
    QTest::mouseClick(widget(f.prgLevel), Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_EQ(clicks, 1);
}

TEST_F(QtViewTest, ComboPickGoesToTheModel) {
    SampleForm& f = showSample();
    int clicks = 0;
    f.cboMode.Click.connect([&] { ++clicks; });
    auto* combo = widget<QComboBox>(f.cboMode);
    emit combo->activated(1); // as a pick from the opened list
    EXPECT_EQ(f.cboMode.ListIndex(), 1);
    EXPECT_EQ(f.cboMode.Text(), "Commands");
    EXPECT_EQ(clicks, 1);
}

TEST_F(QtViewTest, MenuItemsAreChosenByMenuAndByShortcut) {
    SampleForm& f = showSample();
    int opened = 0;
    f.mnuOpen.Click.connect([&] { ++opened; });
    QAction* open = window()->findChild<QAction*>("mnuOpen");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), "&Open...");
    EXPECT_EQ(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    open->trigger();
    EXPECT_EQ(opened, 1);
    f.mnuOpen.setEnabled(false);
    EXPECT_FALSE(open->isEnabled());
    f.mnuOpen.setChecked(true);
    EXPECT_TRUE(open->isChecked());
}

TEST_F(QtViewTest, DisabledControlIgnoresTheUser) {
    SampleForm& f = showSample();
    int clicks = 0;
    f.cmdStart.Click.connect([&] { ++clicks; });
    f.cmdStart.setEnabled(false);
    QTest::mouseClick(widget(f.cmdStart), Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
}

// A press on the list drags the title label, as a window drags a hidden
// outline: the control under the pointer hears the drag and takes the drop.
TEST_F(QtViewTest, AManualDragFollowsThePointerAndDropsOnTheControlUnderIt) {
    SampleForm& f = showSample();
    f.lstWords.MouseDown.connect([&](int, int, float, float) { f.lblTitle.Drag(); });
    std::vector<std::string> heard;
    f.txtName.DragOver.connect([&](Control& source, float, float, int state) {
        heard.push_back(source.Name() + " over " + std::to_string(state));
    });
    f.cmdStart.DragOver.connect([&](Control&, float, float, int state) {
        heard.push_back("button " + std::to_string(state));
    });
    float dropX = -1;
    f.txtName.DragDrop.connect([&](Control& source, float x, float) {
        heard.push_back(source.Name() + " dropped");
        dropX = x;
    });
    auto* list = widget<QListWidget>(f.lstWords);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rowCentre(*list, 1));
    EXPECT_EQ(UserInput::dragSource(), &f.lblTitle);
    QWidget* button = widget(f.cmdStart);
    QWidget* edit = widget(f.txtName);
    QTest::mouseMove(button, QPoint(5, 5));
    QTest::mouseMove(edit, QPoint(10, 5));
    QTest::mouseMove(edit, QPoint(12, 6));
    QTest::mouseRelease(edit, Qt::LeftButton, {}, QPoint(12, 6));
    EXPECT_EQ(heard, (std::vector<std::string>{"button 0", "button 1", "lblTitle over 0",
                                               "lblTitle over 2", "lblTitle dropped"}));
    EXPECT_FLOAT_EQ(dropX, 12 * 15);
    EXPECT_EQ(UserInput::dragSource(), nullptr);
}

TEST_F(QtViewTest, AManualDragReleasedOverNothingDropsNothing) {
    SampleForm& f = showSample();
    f.lstWords.MouseDown.connect([&](int, int, float, float) { f.lblTitle.Drag(); });
    int drops = 0;
    f.txtName.DragDrop.connect([&](Control&, float, float) { ++drops; });
    auto* list = widget<QListWidget>(f.lstWords);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rowCentre(*list, 0));
    QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(window()->width() - 2, 2));
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(UserInput::dragSource(), nullptr);
}

// The button goes up over the box: once it is answered no outline is left
// to follow the pointer, and nothing hears a drag.
TEST_F(QtViewTest, AMessageBoxDuringADragEndsIt) {
    SampleForm& f = showSample();
    BoxWatcher boxes;
    f.lstWords.MouseDown.connect([&](int, int, float, float) {
        f.lblTitle.Drag();
        MsgBox("Please Select A Dictionary Word!");
    });
    int heard = 0;
    f.txtName.DragOver.connect([&](Control&, float, float, int) { ++heard; });
    auto* list = widget<QListWidget>(f.lstWords);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, rowCentre(*list, 1));
    EXPECT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(UserInput::dragSource(), nullptr);
    QTest::mouseMove(widget(f.txtName), QPoint(10, 5));
    QTest::mouseMove(widget(f.txtName), QPoint(12, 6));
    EXPECT_EQ(heard, 0);
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<QRubberBand*>(top) && top->isVisible());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, rowCentre(*list, 1));
}

struct CloseForm : SampleForm {
    int cancel = 0;
    int unloads = 0;
    void Form_Unload(int& c) override {
        ++unloads;
        c = cancel;
    }
};

TEST_F(QtViewTest, TitleBarCloseUnloadsUnlessTheFormCancels) {
    auto owned = std::make_unique<CloseForm>();
    CloseForm& f = *owned;
    form = std::move(owned);
    f.Show();
    f.cancel = 1;
    window()->close();
    EXPECT_EQ(f.unloads, 1);
    EXPECT_TRUE(f.Loaded());
    ASSERT_NE(window(), nullptr);
    f.cancel = 0;
    window()->close();
    EXPECT_EQ(f.unloads, 2);
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(window(), nullptr);
}

} // namespace
} // namespace rt::test
