// Form life cycle: load on first reference, unload releasing the instance,
// modal shows that nest and return, key preview and resize.

#include <optional>
#include <string>
#include <vector>

#include "runtime/forms/CommandButton.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/UserInput.h"
#include "tests/forms/FormsFixture.h"
#include "tests/support/TestSupport.h"

namespace rt {
namespace {

std::vector<std::string> g_log;

class frmMain : public Form {
public:
    frmMain() : Form("frmMain", "Main") {
        cmdOK.Click.connect([this] { cmdOK_Click(); });
        txtName.KeyDown.connect(
            [](int& key, int) { g_log.push_back("txt key " + std::to_string(key)); });
        KeyDown.connect([](int& key, int shift) {
            g_log.push_back("form key " + std::to_string(key));
            if (shift & vbCtrlMask)
                key = 0;
        });
    }
    void Form_Load() override {
        ++loads;
        g_log.push_back("load main");
    }
    void Form_Unload(int& cancel) override {
        g_log.push_back("unload main");
        cancel = refuseUnload;
    }
    void Form_Resize() override { g_log.push_back("resize main"); }
    void cmdOK_Click() { g_log.push_back("ok " + txtName.Text()); }

    TextBox txtName{*this, "txtName"};
    CommandButton cmdOK{*this, "cmdOK", "OK"};
    int loads = 0;
    bool refuseUnload = false;
};

class frmDialog : public Form {
public:
    frmDialog() : Form("frmDialog", "Dialog") {
        cmdClose.Click.connect([this] { Hide(); });
    }
    void Form_Load() override { g_log.push_back("load dialog"); }
    CommandButton cmdClose{*this, "cmdClose", "Close"};
};

class frmInner : public Form {
public:
    frmInner() : Form("frmInner", "Inner") {}
    void Form_Unload(int&) override { g_log.push_back("unload inner"); }
};

class FormLifeTest : public test::FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        g_log.clear();
    }
    void TearDown() override {
        form<frmMain>()->refuseUnload = false;
        form<frmMain>().unload();
        form<frmDialog>().unload();
        form<frmInner>().unload();
        FormsTest::TearDown();
    }
};

TEST_F(FormLifeTest, ReferringToAControlLoadsTheFormHiddenOnce) {
    EXPECT_FALSE(form<frmMain>().isLoaded());
    form<frmMain>()->txtName.setText("x");
    form<frmMain>()->txtName.setText("y");
    EXPECT_EQ(form<frmMain>()->loads, 1);
    EXPECT_FALSE(form<frmMain>()->Visible());
    EXPECT_EQ(g_log, (std::vector<std::string>{"load main"}));
}

TEST_F(FormLifeTest, UnloadReleasesTheInstanceAndTheNextReferenceLoadsAFreshOne) {
    form<frmMain>()->txtName.setText("typed");
    form<frmMain>()->Show();
    HWND first = form<frmMain>()->hWnd();
    EXPECT_TRUE(desktop().isWindow(first));

    EXPECT_TRUE(form<frmMain>().unload());
    EXPECT_FALSE(form<frmMain>().isLoaded());
    releaseUnloadedForms();
    EXPECT_FALSE(desktop().isWindow(first));

    EXPECT_EQ(form<frmMain>()->txtName.Text(), "");
    EXPECT_EQ(form<frmMain>()->loads, 1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"load main", "unload main", "load main"}));
}

TEST_F(FormLifeTest, CancelledUnloadKeepsTheFormShowing) {
    form<frmMain>()->Show();
    form<frmMain>()->refuseUnload = true;
    UserInput::closeForm(*form<frmMain>());
    EXPECT_TRUE(form<frmMain>().isLoaded());
    EXPECT_TRUE(form<frmMain>()->Visible());
}

TEST_F(FormLifeTest, ClosingAFormFromItsOwnHandlerDefersItsDestruction) {
    auto& f = *form<frmMain>();
    f.Show();
    f.cmdOK.Click.connect([&f] { f.Unload(); });
    UserInput::click(f.cmdOK); // the handler runs on after Unload; must not crash
    EXPECT_FALSE(form<frmMain>().isLoaded());
}

TEST_F(FormLifeTest, ShowingAFormKeepsItsWindowInStepWithTheDesktop) {
    auto& f = *form<frmMain>();
    EXPECT_FALSE(desktop().isVisible(f.hWnd()));
    f.Show();
    EXPECT_TRUE(desktop().isVisible(f.hWnd()));
    f.setCaption("Renamed");
    EXPECT_EQ(desktop().windowText(f.hWnd()), "Renamed");
    f.Hide();
    EXPECT_FALSE(desktop().isVisible(f.hWnd()));
}

TEST_F(FormLifeTest, ModalShowReturnsOnlyAfterTheUserClosedTheForm) {
    user->whileModal("frmDialog", [](Form& f) {
        g_log.push_back("dialog showing");
        UserInput::click(static_cast<frmDialog&>(f).cmdClose);
    });
    form<frmDialog>()->Show(vbModal);
    g_log.push_back("returned");
    EXPECT_EQ(g_log, (std::vector<std::string>{"load dialog", "dialog showing", "returned"}));
    EXPECT_FALSE(form<frmDialog>()->Visible());
}

TEST_F(FormLifeTest, ModalShowsNestAndReturnInnermostFirst) {
    user->whileModal("frmDialog",
                     [](Form& f) {
                         form<frmInner>()->Show(vbModal);
                         g_log.push_back("inner returned");
                         f.Hide();
                     })
        .whileModal("frmInner", [](Form& f) {
            // The outer modal form takes no input while the inner one shows.
            EXPECT_THROW(UserInput::click(form<frmDialog>()->cmdClose), ScriptFailure);
            UserInput::closeForm(f);
        });
    form<frmDialog>()->Show(vbModal);
    g_log.push_back("outer returned");
    EXPECT_EQ(g_log, (std::vector<std::string>{"load dialog", "unload inner", "inner returned",
                                               "outer returned"}));
    EXPECT_FALSE(form<frmInner>().isLoaded());
}

TEST_F(FormLifeTest, ModalFormLeftOpenByTheScriptFails) {
    user->whileModal("frmDialog", [](Form&) {});
    EXPECT_THROW(form<frmDialog>()->Show(vbModal), ScriptFailure);
}

TEST_F(FormLifeTest, UnexpectedModalFormFailsNamingIt) {
    try {
        form<frmDialog>()->Show(vbModal);
        FAIL() << "no failure";
    } catch (const ScriptFailure& e) {
        EXPECT_NE(std::string(e.what()).find("frmDialog"), std::string::npos);
    }
}

TEST_F(FormLifeTest, ShowingAVisibleFormModallyIsAnError) {
    form<frmDialog>()->Show();
    EXPECT_EQ(test::errorOf([] { form<frmDialog>()->Show(vbModal); }), 400);
}

TEST_F(FormLifeTest, KeyPreviewLetsTheFormSeeAndSwallowKeysFirst) {
    auto& f = *form<frmMain>();
    f.Show();
    UserInput::keyDown(f.txtName, 65);
    f.setKeyPreview(true);
    UserInput::keyDown(f.txtName, 66);
    UserInput::keyDown(f.txtName, 67, vbCtrlMask);
    EXPECT_EQ(g_log, (std::vector<std::string>{"load main", "txt key 65", "form key 66",
                                               "txt key 66", "form key 67"}));
}

TEST_F(FormLifeTest, ResizeRunsOnSizeAndStateChangesOnly) {
    auto& f = *form<frmMain>();
    g_log.clear();
    f.Move(0, 0, f.Width(), f.Height());
    f.setWidth(6000);
    f.setWindowState(vbMaximized);
    EXPECT_EQ(g_log, (std::vector<std::string>{"resize main", "resize main"}));
    EXPECT_EQ(test::errorOf([&] { f.setWindowState(3); }), kInvalidPropertyValue);
    EXPECT_LT(f.ScaleWidth(), f.Width());
}

TEST_F(FormLifeTest, ActingOnHiddenOrDisabledControlsFails) {
    auto& f = *form<frmMain>();
    EXPECT_THROW(UserInput::click(f.cmdOK), ScriptFailure); // form not shown
    f.Show();
    f.cmdOK.setEnabled(false);
    EXPECT_THROW(UserInput::click(f.cmdOK), ScriptFailure);
    f.cmdOK.setEnabled(true);
    f.txtName.setText("Ann");
    UserInput::click(f.cmdOK);
    EXPECT_EQ(g_log.back(), "ok Ann");
}

TEST_F(FormLifeTest, FocusMovesWithGotFocusAndLostFocus) {
    auto& f = *form<frmMain>();
    f.txtName.GotFocus.connect([] { g_log.push_back("got"); });
    f.txtName.LostFocus.connect([] { g_log.push_back("lost"); });
    EXPECT_EQ(test::errorOf([&] { f.txtName.SetFocus(); }), kInvalidProcedureCall); // hidden form
    f.Show();
    f.txtName.SetFocus();
    f.txtName.SetFocus();
    UserInput::focus(f.cmdOK);
    EXPECT_EQ(g_log, (std::vector<std::string>{"load main", "got", "lost"}));
}

TEST_F(FormLifeTest, ControlsAreReachableByNameLateBound) {
    auto& f = *form<frmMain>();
    Control* c = f.control("TXTNAME");
    ASSERT_NE(c, nullptr);
    c->let("Left", Variant(300));
    c->get("Font").toObject()->let("Size", Variant(12));
    EXPECT_EQ(f.txtName.Left(), 300);
    EXPECT_EQ(f.txtName.Font().Size(), 12);
    c->let("Text", Variant("late"));
    EXPECT_EQ(f.txtName.Text(), "late");
    EXPECT_EQ(f.get("Caption").toString(), "Main");
}

TEST_F(FormLifeTest, TextHeightGrowsWithLinesAndFontSize) {
    auto& f = *form<frmMain>();
    float one = f.TextHeight("A");
    EXPECT_GT(one, 0);
    EXPECT_EQ(f.TextHeight("A\nB"), 2 * one);
    f.Font().setSize(16);
    EXPECT_GT(f.TextHeight("A"), one);
}

// Where a form with a start-up position opens: the owner is the innermost
// modal form, else the active one, else the main (oldest) one, and the form
// stays on the screen (15360 x 11520 twips here).
class frmBox : public Form {
public:
    frmBox() : Form("frmBox", "Box") { Move(600, 900, 3000, 2000); }
};

struct Box {
    float left, top, width, height;
};

struct StartUpRow {
    const char* name;
    int position;
    std::optional<Box> main, other; // shown before the box opens
    enum { None, OtherActive, OtherModalMainActive } context;
    float left, top; // where the box opens
};

void PrintTo(const StartUpRow& row, std::ostream* os) {
    *os << row.name;
}

class StartUpTest : public test::FormsTest, public testing::WithParamInterface<StartUpRow> {
protected:
    void TearDown() override {
        form<frmBox>().unload();
        form<frmMain>().unload();
        form<frmDialog>().unload();
        FormsTest::TearDown();
    }
};

TEST_P(StartUpTest, OpensCentredOverItsOwnerOrTheScreenAndOnTheScreen) {
    const StartUpRow& row = GetParam();
    ASSERT_EQ(Screen().Width, 15360);
    ASSERT_EQ(Screen().Height, 11520);
    auto place = [](Form& f, const Box& b) { f.Move(b.left, b.top, b.width, b.height); };
    if (row.main) {
        place(*form<frmMain>(), *row.main);
        form<frmMain>()->Show();
    }
    frmBox* box = nullptr;
    auto open = [&] {
        box = &form<frmBox>().get();
        box->setStartUpPosition(row.position);
        box->Show();
    };
    if (row.other) {
        place(*form<frmDialog>(), *row.other);
        if (row.context == StartUpRow::OtherModalMainActive) {
            user->whileModal("frmDialog", [&](Form& f) {
                desktop().setForeground(form<frmMain>()->hWnd());
                open();
                f.Hide();
            });
            form<frmDialog>()->Show(vbModal);
        } else {
            form<frmDialog>()->Show();
            form<frmDialog>()->SetFocus();
            open();
        }
    } else {
        open();
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Left(), row.left);
    EXPECT_EQ(box->Top(), row.top);
    EXPECT_EQ(box->Width(), 3000);
    EXPECT_EQ(box->Height(), 2000);
    // The desktop's record of the window, in pixels, says the same.
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(desktop().windowPlacement(box->hWnd(), placement));
    EXPECT_EQ(placement.rcNormalPosition.left, row.left / 15);
    EXPECT_EQ(placement.rcNormalPosition.top, row.top / 15);
    // Only the first show places it.
    box->Move(150, 150, 3000, 2000);
    box->Hide();
    box->Show();
    EXPECT_EQ(box->Left(), 150);
}

// Centred rectangles fall on whole pixels (15 twips), rounded down.
INSTANTIATE_TEST_SUITE_P(
    Rows, StartUpTest,
    testing::Values(StartUpRow{"WithoutAnotherFormOverTheScreen",
                               vbStartUpOwner,
                               {},
                               {},
                               StartUpRow::None,
                               6180,
                               4755},
                    StartUpRow{"OverTheMainForm",
                               vbStartUpOwner,
                               Box{1500, 1500, 6000, 4500},
                               {},
                               StartUpRow::None,
                               3000,
                               2745},
                    StartUpRow{"OverTheActiveForm", vbStartUpOwner, Box{1500, 1500, 6000, 4500},
                               Box{7500, 3000, 6000, 6000}, StartUpRow::OtherActive, 9000, 4995},
                    StartUpRow{"OverTheModalFormThoughAnotherIsActive", vbStartUpOwner,
                               Box{1500, 1500, 6000, 4500}, Box{7500, 3000, 6000, 6000},
                               StartUpRow::OtherModalMainActive, 9000, 4995},
                    StartUpRow{"KeptOffTheRightAndBottomEdges",
                               vbStartUpOwner,
                               Box{13000, 10000, 6000, 4500},
                               {},
                               StartUpRow::None,
                               12360,
                               9510},
                    StartUpRow{"KeptOffTheLeftAndTopEdges",
                               vbStartUpOwner,
                               Box{-3000, -2000, 4000, 3000},
                               {},
                               StartUpRow::None,
                               0,
                               0},
                    StartUpRow{"OnTheScreenWhateverFormShows",
                               vbStartUpScreen,
                               Box{1500, 1500, 6000, 4500},
                               {},
                               StartUpRow::None,
                               6180,
                               4755},
                    StartUpRow{"ManualWhereItWasPut",
                               vbStartUpManual,
                               Box{1500, 1500, 6000, 4500},
                               {},
                               StartUpRow::None,
                               600,
                               900},
                    StartUpRow{"TheSystemsDefaultWhereItWasPut",
                               vbStartUpWindowsDefault,
                               Box{1500, 1500, 6000, 4500},
                               {},
                               StartUpRow::None,
                               600,
                               900}),
    [](const testing::TestParamInfo<StartUpRow>& info) { return info.param.name; });

} // namespace
} // namespace rt
