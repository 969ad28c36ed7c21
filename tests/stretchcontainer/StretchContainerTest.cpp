// StretchContainer as hosts use it: created by ProgID from the library file,
// sited on a form with host controls placed inside it, moved through its
// extender, and called late-bound.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/Line.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/Timer.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace rt;
using rt::test::errorOf;

constexpr DispId kResizeEvent = 2;

// The worked layout: a 4800 x 3600 container holding a text box and a line
// across it.
class HostForm : public Form {
public:
    explicit HostForm(std::optional<PropertyBag> description = std::nullopt)
        : Form("frmHost", "Host"),
          str(*this, "strHost", "tlvFormControls.StretchContainer", std::move(description)) {
        str.Move(0, 0, 4800, 3600);
        txtName.Move(480, 360, 960, 720);
        place(txtName);
        place(linDiagonal);
    }

    void place(Control& c) { c.setContainer(&str); }
    // As the host's resize handler does it: the extender's Move, late-bound.
    void resize(float width, float height) {
        str.Invoke(DISPID_EXTENDER_MOVE, InvokeKind::Method,
                   std::vector<Variant>{Variant(0), Variant(0), Variant(width), Variant(height)});
    }
    UserControl& object() const { return *str.object(); }

    ControlSite str;
    TextBox txtName{*this, "txtName"};
    Line linDiagonal{*this, "linDiagonal", 0, 0, 4800, 3600};
};

std::string box(const Control& c) {
    char text[96];
    std::snprintf(text, sizeof text, "%g,%g,%g,%g", c.Left(), c.Top(), c.Width(), c.Height());
    return text;
}

std::string ends(const Line& l) {
    char text[96];
    std::snprintf(text, sizeof text, "(%g,%g)-(%g,%g)", l.X1(), l.Y1(), l.X2(), l.Y2());
    return text;
}

class StretchContainerTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = rt::test::uniqueTempDir("stretchcontainer");
        registry::setFolder(m_dir.string());
        m_user = ScriptedUser::install();
        components::registerLibrary(TLV_LIBRARY);
    }
    void TearDown() override {
        EXPECT_EQ(m_user->pending(), 0u);
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // Shows the form (the container records) and checks it was created.
    static void show(HostForm& form) {
        form.Show();
        ASSERT_NE(form.str.object(), nullptr) << form.str.creationError()->description();
    }

    std::filesystem::path m_dir;
    std::shared_ptr<ScriptedUser> m_user;
};

// ---- the worked example -------------------------------------------------------

struct ExampleRow {
    std::string name;
    std::optional<PropertyBag> description;
    bool adjustFont;
};

void PrintTo(const ExampleRow& row, std::ostream* os) {
    *os << row.name;
}

class WorkedExample : public StretchContainerTest,
                      public testing::WithParamInterface<ExampleRow> {};

TEST_P(WorkedExample, RecordedControlsArePlacedFromTheFirstShowAndLinesStepByStep) {
    HostForm form(GetParam().description);
    show(form);
    EXPECT_EQ(form.str.get("AdjustFont").toBool(), GetParam().adjustFont);
    struct Step {
        float width, height;
        const char* box;
        float fontSize; // with AdjustFont on
        const char* line;
    };
    const Step steps[] = {
        {9600, 1800, "960,180,1920,360", 4.125f, "(0,0)-(9600,1800)"},
        {4800, 3600, "480,360,960,720", 8.25f, "(0,0)-(4800,3600)"},
        {2400, 3600, "240,360,480,720", 8.25f, "(0,0)-(2400,3600)"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.width);
        form.resize(step.width, step.height);
        EXPECT_EQ(box(form.txtName), step.box);
        EXPECT_EQ(form.txtName.Font().Size(), GetParam().adjustFont ? step.fontSize : 8.25f);
        EXPECT_EQ(ends(form.linDiagonal), step.line);
    }
    form.Unload();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WorkedExample,
    testing::Values(ExampleRow{"AdjustFontOn", std::nullopt, true},
                    ExampleRow{"AdjustFontOff", PropertyBag::fromText("AdjustFont = 0"), false}),
    rt::test::RowName());

TEST_F(StretchContainerTest, AControlAddedAfterTheFirstShowIsScaledStepByStep) {
    HostForm form;
    show(form);
    form.resize(2400, 3600);
    CommandButton later(form, "cmdLater");
    later.Move(100, 300, 200, 400);
    form.place(later);
    form.resize(4800, 3600);
    EXPECT_EQ(box(later), "200,300,400,400");
    // Its font goes with the height against the previous pass.
    form.resize(4800, 1800);
    EXPECT_EQ(box(later), "200,150,400,200");
    EXPECT_EQ(later.Font().Size(), 4.125f);
    EXPECT_EQ(box(form.txtName), "480,180,960,360");
    form.Unload();
}

TEST_F(StretchContainerTest, ComingBackToTheFirstSizeRestoresEveryRecordedControlExactly) {
    HostForm form;
    Label lblOdd(form, "lblOdd", "odd");
    lblOdd.Move(333, 777, 1111, 289);
    lblOdd.Font().setSize(9.75f);
    form.place(lblOdd);
    CommandButton cmdHidden(form, "cmdHidden");
    cmdHidden.Move(4799, 3599, 1, 1);
    cmdHidden.setVisible(false);
    form.place(cmdHidden);
    show(form);
    for (float width : {4799.0f, 7.0f, 12345.0f, 1234.5f, 3.0f})
        for (float height : {3601.0f, 13.0f, 9999.0f})
            form.resize(width, height);
    form.resize(4800, 3600);
    EXPECT_EQ(box(form.txtName), "480,360,960,720");
    EXPECT_EQ(form.txtName.Font().Size(), 8.25f);
    EXPECT_EQ(box(lblOdd), "333,777,1111,289");
    EXPECT_EQ(lblOdd.Font().Size(), 9.75f);
    EXPECT_EQ(box(cmdHidden), "4799,3599,1,1");
    EXPECT_EQ(cmdHidden.Font().Size(), 8.25f);
    form.Unload();
}

TEST_F(StretchContainerTest, OnlyTheFirstShowRecords) {
    HostForm form;
    show(form);
    form.txtName.Move(0, 0, 10, 10);
    form.Hide();
    form.Show();
    form.resize(9600, 7200);
    EXPECT_EQ(box(form.txtName), "960,720,1920,1440");
    form.Unload();
}

// ---- what is recorded ----------------------------------------------------------

// The host moves every control by hand after the first show; a resize to
// twice the size then places a recorded control from its record (the hand
// move is lost) and scales any other from where the hand put it.
TEST_F(StretchContainerTest, HiddenControlsAreRecordedTimersAndLinesNever) {
    HostForm form;
    CommandButton cmdHidden(form, "cmdHidden");
    cmdHidden.Move(100, 200, 300, 400);
    cmdHidden.setVisible(false);
    form.place(cmdHidden);
    Timer tmrScroll(form, "tmrScroll", 1000, false);
    tmrScroll.Move(1000, 2000, 10, 20);
    form.place(tmrScroll);
    show(form);

    cmdHidden.Move(0, 0, 10, 10);
    form.txtName.Move(0, 0, 10, 10);
    tmrScroll.Move(500, 600, 10, 20);
    form.linDiagonal.setEnds(10, 20, 30, 40);
    form.resize(9600, 7200);

    EXPECT_EQ(box(cmdHidden), "200,400,600,800");
    EXPECT_FALSE(cmdHidden.Visible());
    EXPECT_EQ(box(form.txtName), "960,720,1920,1440");
    // A timer has no size and no font: only its position moves.
    EXPECT_EQ(box(tmrScroll), "1000,1200,10,20");
    EXPECT_EQ(ends(form.linDiagonal), "(20,40)-(60,80)");
    form.Unload();
}

// Whatever fails while one control is recorded (a line's missing box, a
// name taken, a control without a font) leaves the next one recorded.
TEST_F(StretchContainerTest, AFailureWhileRecordingOneControlDoesNotStopTheNext) {
    HostForm form; // its line comes before the controls below
    CommandButton cmdTwin1(form, "cmdTwin"), cmdTwin2(form, "cmdTwin");
    cmdTwin1.Move(100, 100, 100, 100);
    cmdTwin2.Move(1000, 1000, 100, 100);
    ControlSite flocHost(form, "flocHost", "tlvFormControls.FormLocator");
    flocHost.Move(2400, 1800, 600, 600);
    TextBox txtLast(form, "txtLast");
    txtLast.Move(10, 20, 30, 40);
    for (Control* c : std::vector<Control*>{&cmdTwin1, &cmdTwin2, &flocHost, &txtLast})
        form.place(*c);
    show(form);
    ASSERT_NE(flocHost.object(), nullptr);

    for (Control* c : std::vector<Control*>{&cmdTwin1, &cmdTwin2, &flocHost, &txtLast})
        c->Move(0, 0, c->Width(), c->Height());
    form.resize(9600, 7200);

    EXPECT_EQ(box(cmdTwin1), "200,200,200,200");
    // The second of two controls sharing a name has no record of its own.
    EXPECT_EQ(box(cmdTwin2), "0,0,200,200");
    // Recorded without a font and placed; it keeps its own fixed size.
    EXPECT_EQ(box(flocHost), "4800,3600,600,600");
    EXPECT_EQ(box(txtLast), "20,40,60,80");
    EXPECT_EQ(txtLast.Font().Size(), 16.5f);
    form.Unload();
}

TEST_F(StretchContainerTest, ControlsNamedLikeTheFormOrTheContainerAreNeverMoved) {
    struct Row {
        const char* name;
        bool moved;
    };
    const Row rows[] = {
        {"frmHost", false}, {"strHost", false}, {"FRMHOST", true}, {"strhost", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HostForm form;
        Label lbl(form, row.name);
        lbl.Move(100, 100, 100, 100);
        form.place(lbl);
        show(form);
        form.resize(9600, 7200);
        EXPECT_EQ(box(lbl), row.moved ? "200,200,200,200" : "100,100,100,100");
        EXPECT_EQ(lbl.Font().Size(), row.moved ? 16.5f : 8.25f);
        form.Unload();
    }
}

// ---- passes without a usable ratio ---------------------------------------------

TEST_F(StretchContainerTest, BeforeTheFirstShowEveryControlIsScaledStepByStep) {
    HostForm form;
    form.runLoad();
    // The pass at creation had no previous size: nothing moved.
    EXPECT_EQ(box(form.txtName), "480,360,960,720");
    EXPECT_EQ(ends(form.linDiagonal), "(0,0)-(4800,3600)");
    form.resize(9600, 1800);
    EXPECT_EQ(box(form.txtName), "960,180,1920,360");
    EXPECT_EQ(form.txtName.Font().Size(), 4.125f);
    // Against the previous pass, not against any record.
    form.txtName.Move(0, 0, 100, 100);
    form.resize(4800, 3600);
    EXPECT_EQ(box(form.txtName), "0,0,50,200");
    EXPECT_EQ(form.txtName.Font().Size(), 8.25f);
    form.Unload();
}

TEST_F(StretchContainerTest, AZeroSizePassSkipsWhatItCannotComputeAndRecordsComeBack) {
    HostForm form;
    show(form);
    CommandButton later(form, "cmdLater");
    later.Move(100, 100, 200, 200);
    form.place(later);

    form.resize(0, 3600);
    // Width against 0: collapsed; heights and fonts unchanged.
    EXPECT_EQ(box(form.txtName), "0,360,0,720");
    EXPECT_EQ(box(later), "0,100,0,200");
    form.resize(0, 0);
    // A font cannot be 0 points: that step fails and the size stays.
    EXPECT_EQ(box(form.txtName), "0,0,0,0");
    EXPECT_EQ(form.txtName.Font().Size(), 8.25f);

    // The previous pass measured 0: no step-by-step ratio, so the later
    // button keeps what the zero-size pass made of it, while the recorded
    // text box is placed against the first show again.
    form.resize(4800, 3600);
    EXPECT_EQ(box(form.txtName), "480,360,960,720");
    EXPECT_EQ(form.txtName.Font().Size(), 8.25f);
    EXPECT_EQ(box(later), "0,0,0,0");
    EXPECT_EQ(ends(form.linDiagonal), "(0,0)-(0,0)");
    form.resize(9600, 7200);
    EXPECT_EQ(box(form.txtName), "960,720,1920,1440");
    form.Unload();
}

TEST_F(StretchContainerTest, AContainerFirstShownWithoutWidthPlacesOnlyByHeight) {
    HostForm form;
    form.str.Move(0, 0, 0, 3600);
    show(form);
    form.resize(4800, 7200);
    // No width ratio against the first show nor the previous pass.
    EXPECT_EQ(box(form.txtName), "480,720,960,1440");
    EXPECT_EQ(form.txtName.Font().Size(), 16.5f);
    form.Unload();
}

// ---- design time, AdjustFont and events --------------------------------------

TEST_F(StretchContainerTest, AtDesignTimeAResizeMovesNothingButKeepsTheSizeAndRaisesResize) {
    HostForm form;
    form.str.setUserMode(false);
    show(form);
    CommandButton later(form, "cmdLater");
    later.Move(100, 100, 200, 200);
    form.place(later);
    int resizes = 0;
    form.object().advise([&](DispId id, std::span<Variant> args) {
        EXPECT_TRUE(args.empty());
        resizes += id == kResizeEvent;
    });
    form.resize(9600, 7200);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(box(form.txtName), "480,360,960,720");
    EXPECT_EQ(box(later), "100,100,200,200");
    EXPECT_EQ(ends(form.linDiagonal), "(0,0)-(4800,3600)");

    // Back at run time, the next pass measures against the size kept above.
    form.str.setUserMode(true);
    form.resize(4800, 3600);
    EXPECT_EQ(resizes, 2);
    EXPECT_EQ(box(later), "50,50,100,100");
    EXPECT_EQ(box(form.txtName), "480,360,960,720");
    form.Unload();
}

TEST_F(StretchContainerTest, ChangingAdjustFontWaitsForTheNextResize) {
    HostForm form;
    show(form);
    form.resize(4800, 1800);
    ASSERT_EQ(form.txtName.Font().Size(), 4.125f);
    form.str.let("AdjustFont", Variant(false));
    EXPECT_EQ(form.txtName.Font().Size(), 4.125f);
    EXPECT_EQ(box(form.txtName), "480,180,960,360");
    form.resize(4800, 7200);
    EXPECT_EQ(form.txtName.Font().Size(), 4.125f);
    form.str.let("AdjustFont", Variant(true));
    EXPECT_EQ(form.txtName.Font().Size(), 4.125f);
    form.resize(4800, 7201);
    EXPECT_FLOAT_EQ(form.txtName.Font().Size(), 8.25f * 7201 / 3600);
    form.Unload();
}

TEST_F(StretchContainerTest, TheHostsResizeHandlerFindsTheControlsAlreadyPlaced) {
    HostForm form;
    show(form);
    std::string seen;
    form.object().advise([&](DispId id, std::span<Variant>) {
        if (id == kResizeEvent)
            seen = box(form.txtName);
    });
    form.resize(9600, 7200);
    EXPECT_EQ(seen, "960,720,1920,1440");
    form.Unload();
}

TEST_F(StretchContainerTest, InputEventsPassTheirArgumentsByReference) {
    HostForm form;
    show(form);
    struct Raised {
        DispId id;
        std::vector<Variant> args;
    };
    std::vector<Raised> raised;
    form.object().advise([&](DispId id, std::span<Variant> args) {
        raised.push_back({id, std::vector<Variant>(args.begin(), args.end())});
        // A host that swallows keys.
        if (id == -602 || id == -603 || id == -604)
            args[0] = Variant(int16_t{0});
    });
    struct Row {
        const char* name;
        std::function<void()> act;
        DispId id;
        std::vector<Variant> args;
    };
    int keyCode = 65, keyAscii = 97, keyUp = 66;
    const Row rows[] = {
        {"Click", [&] { UserInput::click(form.str); }, -600, {}},
        {"DblClick", [&] { UserInput::dblClick(form.str); }, -601, {}},
        {"KeyDown",
         [&] { form.object().UserControl_KeyDown(keyCode, vbShiftMask); },
         -602,
         {Variant(int16_t{65}), Variant(int16_t{1})}},
        {"KeyPress",
         [&] { form.object().UserControl_KeyPress(keyAscii); },
         -603,
         {Variant(int16_t{97})}},
        {"KeyUp",
         [&] { form.object().UserControl_KeyUp(keyUp, 0); },
         -604,
         {Variant(int16_t{66}), Variant(int16_t{0})}},
        {"MouseDown",
         [&] { UserInput::mouseDown(form.str, vbRightButton, vbCtrlMask, 12, 34); },
         -605,
         {Variant(int16_t{2}), Variant(int16_t{2}), Variant(12.0f), Variant(34.0f)}},
        {"MouseMove",
         [&] { form.object().UserControl_MouseMove(0, 0, 1.5f, 2.5f); },
         -606,
         {Variant(int16_t{0}), Variant(int16_t{0}), Variant(1.5f), Variant(2.5f)}},
        {"MouseUp",
         [&] { UserInput::mouseUp(form.str, vbLeftButton, 0, 5, 6); },
         -607,
         {Variant(int16_t{1}), Variant(int16_t{0}), Variant(5.0f), Variant(6.0f)}},
        {"Paint", [&] { form.str.call("Refresh"); }, 1, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        raised.clear();
        row.act();
        ASSERT_FALSE(raised.empty());
        EXPECT_EQ(raised.back().id, row.id);
        EXPECT_EQ(raised.back().args, row.args);
    }
    EXPECT_EQ(keyCode, 0);
    EXPECT_EQ(keyAscii, 0);
    EXPECT_EQ(keyUp, 0);
    form.Unload();
}

// ---- members, late-bound through the extender ------------------------------------

TEST_F(StretchContainerTest, LetsSignalTheChangeEvenWhenTheSurfaceRefusesTheValue) {
    struct Row {
        const char* name;
        Variant value;
        Variant after;
    };
    const Row rows[] = {
        {"BackColor", Variant(0x00FF00), Variant(0x00FF00)},
        {"ForeColor", Variant(255), Variant(255)},
        {"Enabled", Variant(false), Variant(false)},
        {"BorderStyle", Variant(1), Variant(int16_t{1})},
        {"BorderStyle", Variant(7), Variant(int16_t{0})},
        {"BorderStyle", Variant(70000), Variant(int16_t{0})},
        {"Appearance", Variant(0), Variant(int16_t{0})},
        {"Appearance", Variant(-1), Variant(int16_t{1})},
        {"AdjustFont", Variant(false), Variant(false)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name + (" = " + row.value.toString()));
        HostForm form;
        show(form);
        std::vector<std::string> changed;
        form.str.PropertyChanged.connect([&](const std::string& n) { changed.push_back(n); });
        form.str.let(row.name, row.value);
        Variant got = form.str.get(row.name);
        // Colours come back as Longs, the two enumerations as Longs too.
        EXPECT_EQ(got.toDouble(), row.after.toDouble());
        EXPECT_EQ(changed, std::vector<std::string>{row.name});
        form.Unload();
    }
}

TEST_F(StretchContainerTest, FontIsSetByReferenceAndNeverScaled) {
    HostForm form;
    show(form);
    std::vector<std::string> changed;
    form.str.PropertyChanged.connect([&](const std::string& n) { changed.push_back(n); });
    auto font = std::make_shared<Font>();
    font->setSize(12);
    form.str.set("Font", Variant(DispatchPtr(font)));
    EXPECT_EQ(form.str.get("Font").toObject(), font);
    font->setBold(true);
    EXPECT_TRUE(form.str.get("Font").toObject()->get("Bold").toBool());
    // Nothing is refused by the surface; the change is signalled all the same.
    form.str.set("Font", Variant(DispatchPtr()));
    EXPECT_EQ(form.str.get("Font").toObject(), font);
    EXPECT_EQ(changed, (std::vector<std::string>{"Font", "Font"}));
    // What is not a font does not match the parameter.
    EXPECT_EQ(errorOf([&] {
                  form.str.set("Font", Variant(DispatchPtr(form.str.object()->shared_from_this())));
              }),
              kTypeMismatch);
    form.resize(9600, 7200);
    EXPECT_EQ(font->Size(), 12);
    form.Unload();
}

TEST_F(StretchContainerTest, ANewInstanceTakesTheFormsFontWithoutSignalling) {
    HostForm form;
    form.Font().setName("Arial");
    form.Font().setSize(10);
    std::vector<std::string> changed;
    form.str.PropertyChanged.connect([&](const std::string& n) { changed.push_back(n); });
    show(form);
    DispatchPtr font = form.str.get("Font").toObject();
    EXPECT_EQ(font->get("Name").toString(), "Arial");
    EXPECT_EQ(font->get("Size").toSingle(), 10);
    EXPECT_TRUE(form.str.get("AdjustFont").toBool());
    EXPECT_TRUE(changed.empty());
    // Equal to the ambient font, so not stored.
    EXPECT_FALSE(form.str.saveProperties().contains("Font"));
    font->let("Size", Variant(14));
    EXPECT_EQ(form.str.saveProperties().ReadProperty("Font").toString(), "Arial,14,False");
    form.Unload();
}

TEST_F(StretchContainerTest, ControlsIsTheSurfacesOwnEmptyCollection) {
    HostForm form;
    show(form);
    DispatchPtr controls = form.str.get("Controls").toObject();
    EXPECT_EQ(controls->get("Count").toLong(), 0);
    EXPECT_EQ(errorOf([&] { controls->call("Item", {Variant(0)}); }), kSubscriptOutOfRange);
    form.Unload();
}

TEST_F(StretchContainerTest, ShowAboutShowsTheLibrarysAboutBoxModally) {
    HostForm form;
    show(form);
    std::string caption;
    m_user->whileModal("frmAbout", [&](Form& about) {
        caption = about.Caption();
        UserInput::click(*about.control("btnClose"));
    });
    EXPECT_TRUE(form.str.Invoke(DISPID_ABOUTBOX, InvokeKind::Method, {}).isEmpty());
    EXPECT_EQ(caption, "About Talvane Software Form Controls");
    form.Unload();
}

TEST_F(StretchContainerTest, TheProgIdNamesTheLibraryFile) {
    const std::string clsid = "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E002}";
    EXPECT_EQ(components::clsidOf("tlvFormControls.StretchContainer"), clsid);
    EXPECT_EQ(components::libraryOf(clsid),
              std::filesystem::absolute(TLV_LIBRARY).lexically_normal().string());
    DispatchPtr made = CreateObject("tlvFormControls.StretchContainer");
    EXPECT_NE(std::dynamic_pointer_cast<UserControl>(made), nullptr);
}

} // namespace
