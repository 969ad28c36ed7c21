// Text boxes, combo boxes and check boxes: the events their changes raise
// and the values they refuse.

#include <string>
#include <vector>

#include "runtime/forms/CheckBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/UserInput.h"
#include "tests/forms/FormsFixture.h"
#include "tests/support/TestSupport.h"

namespace rt {
namespace {

class EditForm : public Form {
public:
    EditForm() : Form("frmEdit", "Edit") {
        txt.Change.connect([this] { log.push_back("change " + txt.Text()); });
        cboEdit.Change.connect([this] { log.push_back("cbo change " + cboEdit.Text()); });
        cboEdit.Click.connect([this] { log.push_back("cbo click"); });
        cboList.Click.connect([this] { log.push_back("list click " + cboList.Text()); });
        chk.Click.connect([this] { log.push_back("chk " + std::to_string(chk.Value())); });
        for (const char* s : {"Flat", "3D"}) {
            cboEdit.AddItem(s);
            cboList.AddItem(s);
        }
    }
    TextBox txt{*this, "txt"};
    ComboBox cboEdit{*this, "cboEdit"};
    ComboBox cboList{*this, "cboList", vbComboDropdownList};
    CheckBox chk{*this, "chk"};
    std::vector<std::string> log;
};

class ControlsTest : public test::FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        f.Show();
    }
    EditForm f;
};

TEST_F(ControlsTest, TypingReplacesTheSelectionAndRaisesChange) {
    f.txt.setText("hello world");
    f.txt.setSelStart(6);
    f.txt.setSelLength(5);
    EXPECT_EQ(f.txt.SelText(), "world");
    UserInput::typeText(f.txt, "there");
    EXPECT_EQ(f.txt.Text(), "hello there");
    EXPECT_EQ(f.txt.SelStart(), 11);
    EXPECT_EQ(f.txt.SelLength(), 0);
    EXPECT_EQ(f.log, (std::vector<std::string>{"change hello world", "change hello there"}));
}

TEST_F(ControlsTest, SelectionIsClampedToTheTextAndNegativeIsRefused) {
    f.txt.setText("abc");
    f.txt.setSelStart(10);
    EXPECT_EQ(f.txt.SelStart(), 3);
    f.txt.setSelStart(1);
    f.txt.setSelLength(10);
    EXPECT_EQ(f.txt.SelLength(), 2);
    EXPECT_EQ(test::errorOf([&] { f.txt.setSelStart(-1); }), kInvalidPropertyValue);
    EXPECT_EQ(test::errorOf([&] { f.txt.setSelLength(-1); }), kInvalidPropertyValue);
    f.txt.setText("abc"); // same text: no Change, caret to the start
    EXPECT_EQ(f.txt.SelStart(), 0);
    EXPECT_EQ(f.log.size(), 1u);
}

TEST_F(ControlsTest, TypingStopsAtMaxLengthAndLockedBoxesRefuseIt) {
    f.txt.setMaxLength(5);
    UserInput::typeText(f.txt, "abcdefgh");
    EXPECT_EQ(f.txt.Text(), "abcde");
    f.txt.setLocked(true);
    EXPECT_THROW(UserInput::typeText(f.txt, "x"), ScriptFailure);
}

TEST_F(ControlsTest, EditableComboTakesAnyTextAndMatchesALine) {
    f.cboEdit.setText("3d");
    EXPECT_EQ(f.cboEdit.ListIndex(), 1);
    f.cboEdit.setText("Other");
    EXPECT_EQ(f.cboEdit.ListIndex(), -1);
    f.cboEdit.setListIndex(0);
    EXPECT_EQ(f.cboEdit.Text(), "Flat");
    EXPECT_EQ(f.log, (std::vector<std::string>{"cbo change 3d", "cbo change Other",
                                               "cbo change Flat", "cbo click"}));
}

TEST_F(ControlsTest, DropDownListTakesOnlyTheTextOfALine) {
    f.cboList.setText("3d");
    EXPECT_EQ(f.cboList.ListIndex(), 1);
    EXPECT_EQ(f.cboList.Text(), "3D");
    EXPECT_EQ(test::errorOf([&] { f.cboList.setText("Other"); }), 383);
    EXPECT_EQ(f.cboList.Text(), "3D");
    UserInput::selectItem(f.cboList, 0);
    f.cboList.RemoveItem(0);
    EXPECT_EQ(f.cboList.ListIndex(), -1);
    EXPECT_EQ(f.cboList.Text(), "");
    EXPECT_EQ(f.log, (std::vector<std::string>{"list click 3D", "list click Flat"}));
}

TEST_F(ControlsTest, ComboListIndexCarriesTheLineNumberLateBound) {
    f.cboList.let("ListIndex", Variant(int16_t{1}));
    EXPECT_EQ(f.cboList.get("ListIndex").toInteger(), 1);
    EXPECT_EQ(f.cboList.get("Text").toString(), "3D");
    EXPECT_EQ(test::errorOf([&] { f.cboList.let("ListIndex", Variant(2)); }),
              kInvalidPropertyValue);
}

TEST_F(ControlsTest, CheckBoxClickRunsOnEveryValueChange) {
    UserInput::click(f.chk);
    UserInput::click(f.chk);
    f.chk.setValue(vbGrayed);
    f.chk.setValue(vbGrayed);
    UserInput::click(f.chk);
    EXPECT_EQ(f.log, (std::vector<std::string>{"chk 1", "chk 0", "chk 2", "chk 1"}));
    EXPECT_EQ(test::errorOf([&] { f.chk.setValue(3); }), kInvalidPropertyValue);
}

TEST_F(ControlsTest, LabelColourIsSetByNameAndRedrawnOnlyWhenItChanges) {
    Label lbl(f, "lblLink");
    int changes = 0;
    lbl.Changed.connect([&] { ++changes; });
    EXPECT_EQ(lbl.ForeColor(), static_cast<int32_t>(0x80000012));
    lbl.let("ForeColor", Variant(0x00C00000));
    lbl.setForeColor(0x00C00000);
    EXPECT_EQ(lbl.get("ForeColor"), Variant(0x00C00000));
    EXPECT_EQ(changes, 1);
}

} // namespace
} // namespace rt
