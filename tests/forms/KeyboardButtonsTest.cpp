// Enter and Escape work a window's buttons as a keyboard user expects: the
// focused button, the Default one, the Cancel one, the only one of a modal
// window; a key a handler swallowed presses nothing.

#include <string>
#include <vector>

#include "runtime/forms/CommandButton.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/UserInput.h"
#include "tests/forms/FormsFixture.h"

namespace rt {
namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;

class frmKeys : public Form {
public:
    frmKeys() : Form("frmKeys", "Keys") {
        for (CommandButton* b : {&cmdSave, &cmdClose, &cmdOther})
            b->Click.connect([this, b] { pressed.push_back(b->Name()); });
        KeyDown.connect([this](int& key, int) {
            if (swallow)
                key = 0;
        });
    }
    TextBox txtName{*this, "txtName"};
    CommandButton cmdSave{*this, "cmdSave", "&Save"};
    CommandButton cmdClose{*this, "cmdClose", "&Close"};
    CommandButton cmdOther{*this, "cmdOther", "&Other"};
    std::vector<std::string> pressed;
    bool swallow = false;
};

struct KeyRow {
    const char* name;
    bool marked;       // cmdSave is Default and cmdClose is Cancel
    bool modal;        // the form is shown modally
    bool oneButton;    // only cmdOther is visible
    bool swallowEnter; // the form's key preview swallows the key
    const char* at;    // the control with the focus
    int key;
    int shift;
    std::vector<std::string> pressed;
};

void PrintTo(const KeyRow& row, std::ostream* os) {
    *os << row.name;
}

class KeyboardButtons : public test::FormsTest, public testing::WithParamInterface<KeyRow> {};

TEST_P(KeyboardButtons, PressTheButtonAKeyboardUserExpects) {
    const KeyRow& row = GetParam();
    frmKeys f;
    f.cmdSave.setDefault(row.marked);
    f.cmdClose.setCancel(row.marked);
    f.cmdSave.setVisible(!row.oneButton);
    f.cmdClose.setVisible(!row.oneButton);
    f.setKeyPreview(row.swallowEnter);
    f.swallow = row.swallowEnter;
    bool used = false;
    auto press = [&] {
        Control& at = *f.control(row.at);
        UserInput::focus(at);
        used = UserInput::keyDown(at, row.key, row.shift);
    };
    if (row.modal) {
        user->whileModal("frmKeys", [&](Form& shown) {
            press();
            shown.Hide();
        });
        f.Show(vbModal);
    } else {
        f.Show();
        press();
    }
    EXPECT_EQ(f.pressed, row.pressed);
    EXPECT_EQ(used, !row.pressed.empty());
    f.Unload();
}

const std::vector<std::string> kNone;

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyboardButtons,
    testing::Values(KeyRow{"EnterPressesTheFocusedButton",
                           false,
                           false,
                           false,
                           false,
                           "cmdOther",
                           kEnter,
                           0,
                           {"cmdOther"}},
                    KeyRow{"EnterOnAButtonPressesItRatherThanTheDefault",
                           true,
                           false,
                           false,
                           false,
                           "cmdOther",
                           kEnter,
                           0,
                           {"cmdOther"}},
                    KeyRow{"EnterInATextBoxPressesTheDefaultButton",
                           true,
                           false,
                           false,
                           false,
                           "txtName",
                           kEnter,
                           0,
                           {"cmdSave"}},
                    KeyRow{"EnterInATextBoxWithoutADefaultPressesNothing", false, false, false,
                           false, "txtName", kEnter, 0, kNone},
                    KeyRow{"EscapePressesTheCancelButton",
                           true,
                           false,
                           false,
                           false,
                           "cmdSave",
                           kEscape,
                           0,
                           {"cmdClose"}},
                    KeyRow{"EscapeInAModalWindowWithOneButtonPressesIt",
                           false,
                           true,
                           true,
                           false,
                           "txtName",
                           kEscape,
                           0,
                           {"cmdOther"}},
                    KeyRow{"EscapeInAModalWindowOfManyButtonsWithoutCancelPressesNothing", false,
                           true, false, false, "txtName", kEscape, 0, kNone},
                    KeyRow{"EscapeInAModelessWindowWithOneButtonPressesNothing", false, false, true,
                           false, "txtName", kEscape, 0, kNone},
                    KeyRow{"AHiddenDefaultButtonIsNotPressed", true, false, true, false, "txtName",
                           kEnter, 0, kNone},
                    KeyRow{"ShiftEnterPressesNothing", true, false, false, false, "cmdOther",
                           kEnter, vbShiftMask, kNone},
                    KeyRow{"AKeyTheFormSwallowedPressesNothing", true, false, false, true,
                           "cmdOther", kEnter, 0, kNone}),
    [](const testing::TestParamInfo<KeyRow>& info) { return info.param.name; });

} // namespace
} // namespace rt
