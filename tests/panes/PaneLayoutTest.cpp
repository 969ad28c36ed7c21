// PaneContainer and PaneArea as hosts use them: created by ProgID from the
// library file, panes sited inside a container on a form, laid out at the
// first paint at run time, and dragged through the user's mouse.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Host.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace rt;
using rt::test::errorOf;

constexpr DispId kContainerPaint = 1;
constexpr DispId kPaneResize = 2;
constexpr DispId kAreaResize = 1;

std::optional<PropertyBag> bag(const std::string& text) {
    return PropertyBag::fromText(text);
}

// A 3000 x 2000 container holding three panes, 1000, 500 and 800 wide.
class HostForm : public Form {
public:
    explicit HostForm(bool userMode = true, std::optional<PropertyBag> a = std::nullopt,
                      std::optional<PropertyBag> b = std::nullopt,
                      std::optional<PropertyBag> c = std::nullopt)
        : Form("frmPanes", "Panes"), paneA(*this, "paneA", "tlvFormControls.PaneArea", a),
          paneB(*this, "paneB", "tlvFormControls.PaneArea", b),
          paneC(*this, "paneC", "tlvFormControls.PaneArea", c) {
        pnc.Move(0, 0, 3000, 2000);
        for (ControlSite* pane : panes()) {
            pane->setContainer(&pnc);
            pane->setUserMode(userMode);
        }
        pnc.setUserMode(userMode);
        paneA.Move(0, 0, 1000, 2000);
        paneB.Move(1050, 0, 500, 2000);
        paneC.Move(1600, 0, 800, 2000);
    }

    std::vector<ControlSite*> panes() { return {&paneA, &paneB, &paneC}; }
    UserControl& container() const { return *pnc.object(); }
    void paint() { pnc.call("Refresh"); }
    void resize(float width, float height) {
        pnc.Invoke(DISPID_EXTENDER_MOVE, InvokeKind::Method,
                   std::vector<Variant>{Variant(0), Variant(0), Variant(width), Variant(height)});
    }

    ControlSite pnc{*this, "pncMain", "tlvFormControls.PaneContainer"};
    ControlSite paneA, paneB, paneC;
};

std::string box(const Control& c) {
    char text[96];
    std::snprintf(text, sizeof text, "%g,%g,%g,%g", c.Left(), c.Top(), c.Width(), c.Height());
    return text;
}

std::string boxes(HostForm& form) {
    return box(form.paneA) + " | " + box(form.paneB) + " | " + box(form.paneC);
}

class PaneTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = rt::test::uniqueTempDir("panes");
        registry::setFolder(m_dir.string());
        m_user = ScriptedUser::install();
        components::registerLibrary(TLV_LIBRARY);
    }
    void TearDown() override {
        EXPECT_EQ(m_user->pending(), 0u);
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // Loaded, not shown: the controls exist and nothing has painted yet.
    static void load(HostForm& form) {
        form.runLoad();
        ASSERT_NE(form.pnc.object(), nullptr) << form.pnc.creationError()->description();
        for (ControlSite* pane : form.panes())
            ASSERT_NE(pane->object(), nullptr) << pane->creationError()->description();
    }
    // The show paints every control: the container lays its panes out.
    static void show(HostForm& form) {
        load(form);
        form.Show();
    }

    // The events `source` raises from now on.
    static std::shared_ptr<std::vector<DispId>> spy(UserControl& source) {
        auto seen = std::make_shared<std::vector<DispId>>();
        source.advise([seen](DispId id, std::span<Variant>) { seen->push_back(id); });
        return seen;
    }

    std::filesystem::path m_dir;
    std::shared_ptr<ScriptedUser> m_user;
};

// ---- layout -------------------------------------------------------------------------

TEST_F(PaneTest, FirstPaintLaysThePanesOutAlongTheWidth) {
    struct Row {
        float width;
        const char* expected;
    };
    const Row rows[] = {
        // Room to spare: the last pane takes it.
        {3000, "0,0,1000,2000 | 1050,0,500,2000 | 1600,0,1400,2000"},
        // Short: the second pane's growth is capped, the third keeps its minimum.
        {1500, "0,0,1000,2000 | 1050,0,300,2000 | 1400,0,100,2000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width);
        HostForm form;
        form.pnc.Move(0, 0, row.width, 2000);
        load(form);
        // Before the first paint the panes are not collected.
        form.resize(row.width + 10, 2000);
        EXPECT_EQ(boxes(form), "0,0,1000,2000 | 1050,0,500,2000 | 1600,0,800,2000");
        form.resize(row.width, 2000);
        auto seen = spy(form.container());
        // Showing the form paints the container; nobody calls Refresh.
        form.Show();
        EXPECT_EQ(boxes(form), row.expected);
        EXPECT_EQ(*seen, (std::vector<DispId>{kPaneResize, kContainerPaint}));
        EXPECT_EQ(form.container().MousePointer(), 9);
        form.Unload();
    }
}

TEST_F(PaneTest, ASqueezedLayoutKeepsItsExtentsWhenTheContainerGrowsAgain) {
    HostForm form;
    show(form);
    form.resize(200, 2000);
    EXPECT_EQ(boxes(form), "0,0,100,2000 | 150,0,0,2000 | 200,0,0,2000");
    form.resize(3000, 2000);
    EXPECT_EQ(boxes(form), "0,0,100,2000 | 150,0,0,2000 | 200,0,2800,2000");
    form.Unload();
}

TEST_F(PaneTest, PanesAreOrderedByIndexAndEqualIndicesKeepTheHostsOrder) {
    HostForm form(true, bag("PaneIndex = 2"), bag("PaneIndex = 1"), bag("PaneIndex = 2"));
    show(form);
    EXPECT_EQ(box(form.paneB), "0,0,500,2000");
    EXPECT_EQ(box(form.paneA), "550,0,1000,2000");
    EXPECT_EQ(box(form.paneC), "1600,0,1400,2000");
    form.Unload();
}

TEST_F(PaneTest, HiddenPanesTakeNoLengthAndStayWhereTheyWere) {
    HostForm form;
    form.paneB.setVisible(false);
    show(form);
    EXPECT_EQ(boxes(form), "0,0,1000,2000 | 1050,0,500,2000 | 1050,0,1950,2000");
    // Showing it again moves nothing until the next layout.
    form.paneB.setVisible(true);
    EXPECT_EQ(box(form.paneC), "1050,0,1950,2000");
    form.pnc.call("ArrangePanes");
    EXPECT_EQ(boxes(form), "0,0,1000,2000 | 1050,0,500,2000 | 1600,0,1400,2000");
    form.Unload();
}

TEST_F(PaneTest, NoVisiblePaneLaysNothingOut) {
    HostForm form;
    for (ControlSite* pane : form.panes())
        pane->setVisible(false);
    load(form);
    auto seen = spy(form.container());
    form.Show();
    EXPECT_EQ(boxes(form), "0,0,1000,2000 | 1050,0,500,2000 | 1600,0,800,2000");
    EXPECT_EQ(*seen, std::vector<DispId>{kContainerPaint});
    EXPECT_EQ(form.container().MousePointer(), 0);
    form.Unload();
}

TEST_F(PaneTest, OneVisiblePaneGetsTheWholeAxis) {
    HostForm form;
    form.paneA.setVisible(false);
    form.paneC.setVisible(false);
    show(form);
    EXPECT_EQ(box(form.paneB), "0,0,3000,2000");
    form.Unload();
}

TEST_F(PaneTest, AnOrientationChangeTakesEffectAtTheNextLayout) {
    for (int32_t orientation : {1, 2}) {
        SCOPED_TRACE(orientation);
        HostForm form;
        show(form);
        const std::string before = boxes(form);
        form.pnc.let("Orientation", Variant(orientation));
        EXPECT_EQ(boxes(form), before);
        form.pnc.call("ArrangePanes");
        // Current heights are all 2000: the first pane grows as far as the
        // minimums of the others allow.
        EXPECT_EQ(boxes(form), "0,0,3000,1700 | 0,1750,3000,100 | 0,1900,3000,100");
        EXPECT_EQ(form.container().MousePointer(), 7);
        form.Unload();
    }
}

// The gaps overflow 16-bit arithmetic: the length is never computed, and the
// panes are stacked with no extent.
TEST_F(PaneTest, GapsBeyondTheIntegerRangeLeaveNoLength) {
    HostForm form;
    load(form);
    form.pnc.let("Spacing", Variant(int16_t{16384}));
    auto seen = spy(form.container());
    form.Show();
    EXPECT_EQ(boxes(form), "0,0,0,2000 | 16384,0,0,2000 | 32768,0,0,2000");
    EXPECT_EQ(seen->front(), kPaneResize);
    form.Unload();
}

// The first pane gets the negative length, which it refuses, so it stays;
// the next ones are placed after that negative extent.
TEST_F(PaneTest, AContainerShorterThanItsGapsLeavesTheFirstPaneAlone) {
    HostForm form;
    form.pnc.Move(0, 0, 50, 2000);
    load(form);
    auto seen = spy(form.container());
    form.Show();
    EXPECT_EQ(boxes(form), "0,0,1000,2000 | 0,0,0,2000 | 50,0,0,2000");
    EXPECT_EQ(seen->front(), kPaneResize);
    form.Unload();
}

// Panes are collected once: one placed inside later is never laid out, and
// other controls inside the container stay where the host put them.
TEST_F(PaneTest, OnlyThePanesCollectedAtTheFirstPaintAreLaidOut) {
    struct WithLabel : HostForm {
        Label lblNote{*this, "lblNote", "Note"};
    } form;
    form.paneC.setContainer(nullptr);
    form.lblNote.setContainer(&form.pnc);
    form.lblNote.Move(10, 20, 300, 200);
    show(form);
    EXPECT_EQ(box(form.paneA) + " | " + box(form.paneB), "0,0,1000,2000 | 1050,0,1950,2000");
    form.paneC.setContainer(&form.pnc);
    const std::string late = box(form.paneC);
    form.resize(4000, 2000);
    EXPECT_EQ(box(form.paneA) + " | " + box(form.paneB), "0,0,1000,2000 | 1050,0,2950,2000");
    EXPECT_EQ(box(form.paneC), late);
    EXPECT_EQ(box(form.lblNote), "10,20,300,200");
    form.Unload();
}

TEST_F(PaneTest, LayoutsKeepTheMinimumOfCollectionButDragsReadTheCurrentOne) {
    HostForm form;
    show(form);
    form.paneC.let("MinSize", Variant(1000.0f));
    form.resize(1500, 2000);
    EXPECT_EQ(box(form.paneC), "1400,0,100,2000");
    // A drag from the gap before the third pane towards its far edge.
    UserInput::mouseDown(form.pnc, vbLeftButton, 0, 1370, 10);
    UserInput::mouseMove(form.pnc, vbLeftButton, 0, 1499, 10);
    UserInput::mouseUp(form.pnc, vbLeftButton, 0, 1499, 10);
    // Clamped at its far edge less its new minimum, which lies before the
    // previous pane's start: that pane refuses a negative width and stays.
    EXPECT_EQ(box(form.paneB), "1050,0,300,2000");
    EXPECT_EQ(box(form.paneC), "550,0,950,2000");
    form.Unload();
}

// The forms runtime paints a shown control when it needs it, never because
// a form was shown again while it already showed.
TEST_F(PaneTest, AControlIsPaintedOncePerNeed) {
    struct Row {
        const char* name;
        std::function<void(HostForm&)> before; // after the load, before the show
        std::function<void(HostForm&)> act;    // after the show
        size_t paints;                         // Paint events of the container during act
    };
    auto nothing = [](HostForm&) {};
    const Row rows[] = {
        {"ShowAgainWhileShown", nothing, [](HostForm& f) { f.Show(); }, 0},
        {"HiddenAndShownAgain", nothing,
         [](HostForm& f) {
             f.Hide();
             f.Show();
         },
         1},
        {"Resized", nothing, [](HostForm& f) { f.resize(2500, 1500); }, 1},
        {"MovedOnly", nothing,
         [](HostForm& f) { f.pnc.Move(300, 300, f.pnc.Width(), f.pnc.Height()); }, 0},
        {"RestoredFromTheTaskBar", nothing,
         [](HostForm& f) {
             f.setWindowState(vbMinimized);
             f.setWindowState(vbNormal);
         },
         1},
        {"Refreshed", nothing, [](HostForm& f) { f.paint(); }, 1},
        {"MadeVisible", [](HostForm& f) { f.pnc.setVisible(false); },
         [](HostForm& f) { f.pnc.setVisible(true); }, 1},
        {"VisibleAgainWhileTheFormIsHidden", nothing,
         [](HostForm& f) {
             f.Hide();
             f.pnc.setVisible(false);
             f.pnc.setVisible(true);
         },
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HostForm form;
        load(form);
        row.before(form);
        form.resize(2900, 2000); // loaded, not shown: no paint
        auto seen = spy(form.container());
        form.Show();
        const size_t atShow = seen->size();
        EXPECT_EQ(atShow, form.pnc.Visible() ? 2u : 0u); // PaneResize, Paint
        row.act(form);
        std::vector<DispId> later(seen->begin() + static_cast<long>(atShow), seen->end());
        EXPECT_EQ(std::count(later.begin(), later.end(), kContainerPaint), row.paints);
        form.Unload();
    }
}

// Made visible by its container, a pane paints for the first time then,
// and its first paint raises its Resize.
TEST_F(PaneTest, APaneInAHiddenContainerPaintsWhenTheContainerShows) {
    HostForm form;
    form.pnc.setVisible(false);
    load(form);
    auto seen = spy(*form.paneA.object());
    form.Show();
    EXPECT_TRUE(seen->empty());
    form.pnc.setVisible(true);
    EXPECT_EQ(*seen, std::vector<DispId>{kAreaResize});
    form.Unload();
}

TEST_F(PaneTest, NewSitesTakeTheirControlsDesignSize) {
    struct Row {
        const char* progId;
        const char* size;
    };
    const Row rows[] = {
        {"tlvFormControls.PaneContainer", "0,0,4800,3600"},
        {"tlvFormControls.PaneArea", "0,0,4800,3600"},
        {"tlvFormControls.StretchContainer", "0,0,4800,3600"},
        {"tlvFormControls.FormLocator", "0,0,600,600"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.progId);
        Form form("frmNew", "New");
        ControlSite fresh(form, "ctlNew", row.progId);
        ControlSite placed(form, "ctlPlaced", row.progId);
        placed.Move(10, 20, 1000, 500);
        form.runLoad();
        ASSERT_NE(fresh.object(), nullptr);
        EXPECT_EQ(box(fresh), row.size);
        if (std::string(row.progId) != "tlvFormControls.FormLocator") {
            EXPECT_EQ(box(placed), "10,20,1000,500");
        }
        form.Unload();
    }
}

// The character a key gives reaches the form first with key preview, which
// may swallow it; then the pane raises KeyPress with it.
TEST_F(PaneTest, KeyPressGoesThroughTheFormsPreviewToThePane) {
    HostForm form;
    show(form);
    std::vector<std::string> heard;
    form.setKeyPreview(true);
    form.KeyPress.connect([&](int& ascii) {
        heard.push_back("form " + std::to_string(ascii));
        if (ascii == 'x')
            ascii = 0;
    });
    form.paneA.object()->advise([&](DispId id, std::span<Variant> args) {
        heard.push_back(std::to_string(id) + " " + args[0].toString());
    });
    EXPECT_EQ(UserInput::keyPress(form.paneA, 'a'), 'a');
    EXPECT_EQ(UserInput::keyPress(form.paneA, 'x'), 0);
    EXPECT_EQ(heard, (std::vector<std::string>{"form 97", "-603 97", "form 120"}));
    form.Unload();
}

TEST_F(PaneTest, AtDesignTimeTheContainerOnlyPaints) {
    HostForm form(false);
    show(form);
    auto seen = spy(form.container());
    form.paint();
    form.paint();
    // A resize repaints; it lays nothing out.
    form.resize(1000, 1000);
    EXPECT_EQ(*seen, (std::vector<DispId>{kContainerPaint, kContainerPaint, kContainerPaint}));
    EXPECT_EQ(boxes(form), "0,0,1000,2000 | 1050,0,500,2000 | 1600,0,800,2000");
    form.Unload();
}

// ---- the splitter drag -------------------------------------------------------------

// Two panes, 1000 and 1950 wide with the default minimums and spacing.
TEST_F(PaneTest, DraggingTheBarMovesTheBoundaryWithinTheMinimums) {
    struct Row {
        const char* name;
        std::optional<float> moveTo;
        const char* expected; // first and second pane
    };
    const Row rows[] = {
        {"Left", 1500, "0,0,1500,2000 | 1550,0,1450,2000"},
        {"PastThePreviousMinimum", 40, "0,0,100,2000 | 150,0,2850,2000"},
        {"PastTheNextMinimum", 2990, "0,0,2900,2000 | 2950,0,50,2000"},
        {"NoMoveUnclamped", std::nullopt, "0,0,1020,2000 | 1070,0,1930,2000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HostForm form;
        form.paneC.setVisible(false);
        show(form);
        ASSERT_EQ(box(form.paneB), "1050,0,1950,2000");
        UserInput::mouseDown(form.pnc, vbRightButton, vbShiftMask, 1020, 300);
        if (row.moveTo)
            UserInput::mouseMove(form.pnc, vbRightButton, 0, *row.moveTo, 300);
        UserInput::mouseUp(form.pnc, vbRightButton, 0, 0, 0);
        EXPECT_EQ(box(form.paneA) + " | " + box(form.paneB), row.expected);
        form.Unload();
    }
}

TEST_F(PaneTest, ADragBehindTheLastPaneResizesOnlyThatPane) {
    HostForm form;
    show(form);
    form.resize(5000, 2000);
    form.paneC.setWidth(800);
    UserInput::mouseDown(form.pnc, vbLeftButton, 0, 4500, 0);
    UserInput::mouseMove(form.pnc, vbLeftButton, 0, 4900, 0);
    UserInput::mouseUp(form.pnc, vbLeftButton, 0, 4900, 0);
    EXPECT_EQ(boxes(form), "0,0,1000,2000 | 1050,0,500,2000 | 1600,0,3300,2000");
    form.Unload();
}

// The hidden pane still stands where the gap now is; the drag must resize
// the visible neighbour, not it.
TEST_F(PaneTest, HiddenPanesTakeNoPartInADrag) {
    HostForm form;
    show(form);
    form.paneB.setVisible(false);
    form.pnc.call("ArrangePanes");
    ASSERT_EQ(boxes(form), "0,0,1000,2000 | 1050,0,500,2000 | 1050,0,1950,2000");
    UserInput::mouseDown(form.pnc, vbLeftButton, 0, 1020, 0);
    UserInput::mouseMove(form.pnc, vbLeftButton, 0, 1500, 0);
    UserInput::mouseUp(form.pnc, vbLeftButton, 0, 1500, 0);
    EXPECT_EQ(boxes(form), "0,0,1500,2000 | 1050,0,500,2000 | 1550,0,1450,2000");
    form.Unload();
}

TEST_F(PaneTest, AMoveWithoutAPressMovesNothing) {
    HostForm form;
    show(form);
    const std::string before = boxes(form);
    UserInput::mouseMove(form.pnc, vbLeftButton, 0, 1020, 0);
    UserInput::mouseUp(form.pnc, vbLeftButton, 0, 1020, 0);
    EXPECT_EQ(boxes(form), before);
    form.Unload();
}

TEST_F(PaneTest, AVerticalDragWorksAlongTheHeight) {
    HostForm form;
    form.paneC.setVisible(false);
    show(form);
    form.pnc.let("Orientation", Variant(1));
    form.pnc.call("ArrangePanes");
    ASSERT_EQ(box(form.paneA) + " | " + box(form.paneB), "0,0,3000,1850 | 0,1900,3000,100");
    UserInput::mouseDown(form.pnc, vbLeftButton, 0, 10, 1870);
    UserInput::mouseMove(form.pnc, vbLeftButton, 0, 10, 1000);
    UserInput::mouseUp(form.pnc, vbLeftButton, 0, 10, 1000);
    EXPECT_EQ(box(form.paneA) + " | " + box(form.paneB), "0,0,3000,1000 | 0,1050,3000,950");
    form.Unload();
}

// ---- PaneArea on a host --------------------------------------------------------------

TEST_F(PaneTest, NewPanesAreNumberedAfterEveryPaneOfTheHost) {
    struct Row {
        const char* name;
        std::optional<PropertyBag> a, b;
        int16_t expected;
    };
    const Row rows[] = {
        {"AfterTheLargest", bag("PaneIndex = 3"), bag("PaneIndex = 7"), 8},
        {"AfterZero", bag("PaneIndex = 0"), bag("PaneIndex = -4"), 1},
        {"AfterDefaults", bag(""), bag(""), 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HostForm form(true, row.a, row.b);
        // In a container of its own: the numbering is the host's.
        form.paneC.setContainer(nullptr);
        show(form);
        EXPECT_EQ(form.paneC.get("PaneIndex").toInteger(), row.expected);
        EXPECT_EQ(form.paneC.get("MinSize").toSingle(), 100.0f);
        form.Unload();
    }
}

TEST_F(PaneTest, APaneRaisesResizeAtItsFirstRunTimePaintAndAtEverySizeChange) {
    for (bool userMode : {true, false}) {
        SCOPED_TRACE(userMode);
        HostForm form(userMode);
        load(form);
        UserControl& pane = *form.paneA.object();
        auto seen = spy(pane);
        form.Show();
        for (int i = 0; i < 3; ++i)
            form.paneA.call("Refresh");
        EXPECT_EQ(seen->size(), userMode ? 1u : 0u);
        form.paneA.setWidth(700);
        EXPECT_EQ(seen->size(), userMode ? 2u : 1u);
        EXPECT_EQ(seen->back(), kAreaResize);
        form.Unload();
    }
}

// The largest index of the host leaves no number for a new pane: its start
// fails and the host goes on without it.
TEST_F(PaneTest, NoNumberLeftAfterTheLargestIndexFailsTheNewPane) {
    HostForm form(true, bag("PaneIndex = 32767"));
    form.Show();
    ASSERT_NE(form.paneA.object(), nullptr);
    for (ControlSite* pane : {&form.paneB, &form.paneC}) {
        EXPECT_EQ(pane->object(), nullptr);
        ASSERT_TRUE(pane->creationError());
        EXPECT_EQ(pane->creationError()->number(), kOverflow);
    }
    form.Unload();
}

// A new container takes the host's colours through its own properties; a new
// pane takes them silently.
TEST_F(PaneTest, ANewContainerSignalsTheHostsColours) {
    HostForm form;
    std::vector<std::string> changed;
    for (ControlSite* site : {&form.pnc, &form.paneA, &form.paneB, &form.paneC})
        site->PropertyChanged.connect(
            [&, site](const std::string& n) { changed.push_back(site->Name() + "." + n); });
    show(form);
    EXPECT_EQ(changed, (std::vector<std::string>{"pncMain.BackColor", "pncMain.ForeColor"}));
    form.Unload();
}

// A pane hands the user's input on to its host with the surface's arguments.
TEST_F(PaneTest, APanePassesTheUsersInputOn) {
    struct Row {
        const char* name;
        std::function<void(Control&)> act;
        std::string raised;
    };
    const Row rows[] = {
        {"Click", [](Control& c) { UserInput::click(c); }, "-600()"},
        {"DblClick", [](Control& c) { UserInput::dblClick(c); }, "-601()"},
        {"KeyDown", [](Control& c) { UserInput::keyDown(c, 65, vbShiftMask); }, "-602(65,1)"},
        {"KeyUp", [](Control& c) { UserInput::keyUp(c, 13); }, "-604(13,0)"},
        {"MouseDown", [](Control& c) { UserInput::mouseDown(c, vbLeftButton, 0, 12.5, 7); },
         "-605(1,0,12.5,7)"},
        {"MouseMove", [](Control& c) { UserInput::mouseMove(c, 0, vbShiftMask, 3, 4); },
         "-606(0,1,3,4)"},
        {"MouseUp", [](Control& c) { UserInput::mouseUp(c, 2, 0, 1, 2); }, "-607(2,0,1,2)"},
    };
    HostForm form;
    show(form);
    std::string raised;
    form.paneA.object()->advise([&](DispId id, std::span<Variant> args) {
        raised += std::to_string(id) + "(";
        for (size_t i = 0; i < args.size(); ++i)
            raised += (i ? "," : "") + args[i].toString();
        raised += ")";
    });
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        raised.clear();
        row.act(form.paneA);
        EXPECT_EQ(raised, row.raised);
    }
    form.Unload();
}

// A pane lets a failing About box reach its caller; a container passes over it.
TEST_F(PaneTest, ShowAboutShowsTheAboutBoxAndOnlyThePaneReportsAFailure) {
    HostForm form;
    show(form);
    for (ControlSite* site : {static_cast<ControlSite*>(&form.paneA), &form.pnc}) {
        SCOPED_TRACE(site->Name());
        std::string caption;
        m_user->whileModal("frmAbout", [&](Form& about) {
            caption = about.Caption();
            UserInput::click(*about.control("btnClose"));
        });
        EXPECT_TRUE(site->Invoke(DISPID_ABOUTBOX, InvokeKind::Method, {}).isEmpty());
        EXPECT_EQ(caption, "About Talvane Software Form Controls");
    }

    // A host that cannot show a modal window.
    struct NoModalHost : FormsHost {
        void runModal(Form&) override { raiseError(kOutOfMemory); }
        int messageBox(const MessageBoxRequest&) override { return vbOK; }
        std::string inputBox(const InputBoxRequest&) override { return {}; }
        void popupMenu(Form&, Menu&) override {}
    };
    setFormsHost(std::make_shared<NoModalHost>());
    EXPECT_EQ(errorOf([&] { form.paneA.Invoke(DISPID_ABOUTBOX, InvokeKind::Method, {}); }),
              kOutOfMemory);
    EXPECT_TRUE(form.pnc.Invoke(DISPID_ABOUTBOX, InvokeKind::Method, {}).isEmpty());
    setFormsHost(m_user);
    form.Unload();
}

// The library serves the two controls; a pane record is only the container's.
TEST_F(PaneTest, HostsCreateThePaneControlsButNoPaneRecord) {
    EXPECT_NE(CreateObject("tlvFormControls.PaneArea"), nullptr);
    EXPECT_NE(CreateObject("tlvFormControls.PaneContainer"), nullptr);
    EXPECT_EQ(errorOf([] { CreateObject("tlvFormControls.PaneInfo"); }), kCannotCreateObject);
}

// A refused value is not signalled; an accepted one is, under its own name.
TEST_F(PaneTest, OnlyAcceptedAssignmentsAreSignalled) {
    HostForm form;
    show(form);
    std::vector<std::string> changed;
    form.paneA.PropertyChanged.connect([&](const std::string& n) { changed.push_back(n); });
    form.pnc.PropertyChanged.connect([&](const std::string& n) { changed.push_back(n); });
    EXPECT_EQ(errorOf([&] { form.paneA.let("MinSize", Variant(-1)); }), 10001);
    EXPECT_EQ(errorOf([&] { form.paneA.let("PaneIndex", Variant(-1)); }), 10002);
    EXPECT_EQ(errorOf([&] { form.pnc.let("Spacing", Variant(9)); }), 10003);
    EXPECT_EQ(changed, std::vector<std::string>{});
    form.paneA.let("MinSize", Variant(0));
    form.paneA.let("PaneIndex", Variant(0));
    form.pnc.let("Spacing", Variant(10));
    form.pnc.let("SplitterColor", Variant(5));
    EXPECT_EQ(changed,
              (std::vector<std::string>{"MinSize", "PaneIndex", "Spacing", "SplitterColor"}));
    form.Unload();
}

} // namespace
