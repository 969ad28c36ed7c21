// The keyboard focus in real widgets: every focus the program gives reaches
// the widget, the user's Tab and clicks reach the model, Enter presses the
// focused button, and a window opens with the focus on its first tab stop,
// never on a layout control that shows nothing to type into.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/qt/QtViewFixture.h"
#include "tests/support/TestSupport.h"

namespace rt::test {
namespace {

class FocusTest : public QtViewTest {
protected:
    SampleForm& showActive() {
        SampleForm& f = showSample();
        window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window()));
        return f;
    }
};

TEST_F(FocusTest, EveryFocusTheProgramGivesReachesTheWidget) {
    SampleForm& f = showActive();
    for (Control* c : std::vector<Control*>{&f.txtName, &f.lstWords, &f.cboMode, &f.cmdStart}) {
        SCOPED_TRACE(c->Name());
        c->SetFocus();
        EXPECT_EQ(QApplication::focusWidget(), widget(*c));
    }
    // Typing then goes where the program put the focus.
    f.txtName.SetFocus();
    QTest::keyClicks(QApplication::focusWidget(), "said");
    EXPECT_EQ(f.txtName.Text(), "said");
}

TEST_F(FocusTest, AFocusGivenWhileTheWindowIsInactiveWaitsForItsActivation) {
    SampleForm& f = showActive();
    auto other = std::make_unique<QWidget>();
    other->show();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other.get()));
    f.txtName.SetFocus();
    other.reset();
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    EXPECT_EQ(QApplication::focusWidget(), widget(f.txtName));
}

TEST_F(FocusTest, TabAndClicksMoveTheModelsFocus) {
    SampleForm& f = showActive();
    int gotFocus = 0;
    f.txtName.GotFocus.connect([&] { ++gotFocus; });
    f.cmdStart.SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(f.ActiveControl(), &f.txtName);
    EXPECT_EQ(gotFocus, 1);
    QTest::mouseClick(widget(f.cmdStart), Qt::LeftButton);
    EXPECT_EQ(f.ActiveControl(), &f.cmdStart);
}

TEST_F(FocusTest, EnterOnAFocusedButtonClicksItOnceDefaultOrNot) {
    SampleForm& f = showActive();
    int clicks = 0;
    f.cmdStart.Click.connect([&] { ++clicks; });
    f.cmdStart.SetFocus();
    QTest::keyClick(widget(f.cmdStart), Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    // The toolkit's own default button would take Enter a second time.
    f.cmdStart.setDefault(true);
    f.cmdStart.setCaption("&Go");
    QTest::keyClick(widget(f.cmdStart), Qt::Key_Enter);
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(widget(f.cmdStart), Qt::Key_Space);
    EXPECT_EQ(clicks, 3);
}

// A container covering the window, as the program's windows hold theirs,
// and an invisible locator before the controls.
class ContainerForm : public Form {
public:
    ContainerForm() : Form("frmContainer", "Container") {
        Move(600, 600, 4920, 4110);
        str.Move(0, 0, 4800, 3600);
        loc.setContainer(&str);
        txtName.setContainer(&str);
        cmdOK.setContainer(&str);
        txtName.Move(480, 360, 1920, 315);
        cmdOK.Move(480, 1200, 1200, 375);
    }
    ControlSite str{*this, "strMain", "tlvFormControls.StretchContainer"};
    ControlSite loc{*this, "flocMain", "tlvFormControls.FormLocator"};
    TextBox txtName{*this, "txtName"};
    CommandButton cmdOK{*this, "cmdOK", "OK"};
};

TEST(FocusOnLayoutControls, AWindowOpensWithTheFocusOnItsFirstTabStopAndTabSkipsLayouts) {
    std::filesystem::path dir = uniqueTempDir("qtfocus");
    registry::setFolder(dir.string());
    components::registerLibrary(TLV_LIBRARY);
    {
        ContainerForm f;
        f.Show();
        QWidget* w = qt::formWindow(f);
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        auto* edit = w->findChild<QLineEdit*>("txtName");
        auto* ok = w->findChild<QPushButton*>("cmdOK");
        EXPECT_EQ(QApplication::focusWidget(), edit);
        EXPECT_EQ(f.ActiveControl(), &f.txtName);
        QTest::keyClick(edit, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), edit);
        f.Unload();
        QApplication::processEvents();
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

} // namespace
} // namespace rt::test
