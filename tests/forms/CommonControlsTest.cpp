// Progress bar, slider, toolbar, status bar, image list, line and picture
// box: ranges they refuse, keyed look-up, and the members the layout code
// reads by name.

#include <string>
#include <vector>

#include "runtime/forms/ImageList.h"
#include "runtime/forms/KeyedItems.h"
#include "runtime/forms/Line.h"
#include "runtime/forms/PictureBox.h"
#include "runtime/forms/ProgressBar.h"
#include "runtime/forms/Slider.h"
#include "runtime/forms/StatusBar.h"
#include "runtime/forms/Toolbar.h"
#include "runtime/forms/UserInput.h"
#include "tests/forms/FormsFixture.h"
#include "tests/support/TestSupport.h"

namespace rt {
namespace {

class ToolForm : public Form {
public:
    ToolForm() : Form("frmTools", "Tools") {
        tbr.ButtonClick.connect([this](ToolbarButton& b) { log.push_back("button " + b.Key); });
        sld.Change.connect([this] { log.push_back("change " + std::to_string(sld.Value())); });
        sld.Scroll.connect([this] { log.push_back("scroll " + std::to_string(sld.Value())); });
        prg.Click.connect([this] { log.push_back("meter click"); });
    }
    ProgressBar prg{*this, "prg"};
    Slider sld{*this, "sld", 0, 10};
    Toolbar tbr{*this, "tbr"};
    StatusBar sbr{*this, "sbr", 2};
    ImageList img{*this, "img"};
    Line lin{*this, "lin", 10, 20, 300, 20};
    PictureBox pic{*this, "pic"};
    std::vector<std::string> log;
};

class CommonControlsTest : public test::FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        f.Show();
    }
    ToolForm f;
};

struct RangeRow {
    const char* name;
    float min, max, value;
    int error;
};

class ProgressRangeTest : public CommonControlsTest, public testing::WithParamInterface<RangeRow> {};

TEST_P(ProgressRangeTest, ValueOutsideTheRangeIsRefusedAndTheOldOneKept) {
    const RangeRow& row = GetParam();
    f.prg.setValue(50);
    int err = test::errorOf([&] {
        f.prg.setMin(row.min);
        f.prg.setMax(row.max);
        f.prg.setValue(row.value);
    });
    EXPECT_EQ(err, row.error);
    if (err)
        EXPECT_EQ(f.prg.Value(), 50);
    else
        EXPECT_EQ(f.prg.Value(), row.value);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgressRangeTest,
                         testing::Values(RangeRow{"Inside", 0, 100, 70, 0}, RangeRow{"AtMin", 0, 100, 0, 0},
                                         RangeRow{"AtMax", 0, 100, 100, 0},
                                         RangeRow{"BelowMin", 0, 100, -1, kInvalidPropertyValue},
                                         RangeRow{"AboveMax", 0, 100, 100.5f, kInvalidPropertyValue},
                                         RangeRow{"MinAboveValue", 60, 100, 70, kInvalidPropertyValue},
                                         RangeRow{"MaxBelowValue", 0, 40, 30, kInvalidPropertyValue}),
                         test::RowName());

TEST_F(CommonControlsTest, ProgressBarClicksAndLateBoundValue) {
    UserInput::click(f.prg);
    f.prg.let("Value", Variant(25));
    EXPECT_EQ(f.prg.Value(), 25);
    EXPECT_EQ(test::errorOf([&] { f.prg.let("Value", Variant(101)); }), kInvalidPropertyValue);
    EXPECT_EQ(f.log, (std::vector<std::string>{"meter click"}));
}

TEST_F(CommonControlsTest, SliderScrollsStepByStepThenChanges) {
    UserInput::slide(f.sld, 3);
    f.sld.setValue(3);
    f.sld.setValue(1);
    UserInput::slide(f.sld, 99); // clamped
    EXPECT_EQ(f.sld.Value(), 10);
    EXPECT_EQ(f.log.front(), "scroll 1");
    EXPECT_EQ(f.log[3], "change 3");
    EXPECT_EQ(f.log[4], "change 1");
    EXPECT_EQ(f.log.back(), "change 10");
    EXPECT_EQ(test::errorOf([&] { f.sld.setValue(11); }), kInvalidPropertyValue);
}

TEST_F(CommonControlsTest, ToolbarButtonsByKeyAndIndex) {
    f.tbr.AddButton("add", "Add", "Add a program");
    f.tbr.AddButton("del", "Delete");
    EXPECT_EQ(f.tbr.Buttons("DEL").Index, 2);
    EXPECT_EQ(f.tbr.Buttons(1).ToolTipText, "Add a program");
    EXPECT_EQ(test::errorOf([&] { f.tbr.AddButton("Add"); }), kKeyNotUnique);
    EXPECT_EQ(test::errorOf([&] { f.tbr.Buttons("none"); }), kElementNotFound);
    EXPECT_EQ(test::errorOf([&] { f.tbr.Buttons(3); }), kIndexOutOfBounds);

    UserInput::clickButton(f.tbr, "del");
    f.tbr.Buttons("del").Enabled = false;
    EXPECT_THROW(UserInput::clickButton(f.tbr, "del"), ScriptFailure);
    EXPECT_THROW(UserInput::clickButton(f.tbr, "none"), ScriptFailure);
    EXPECT_EQ(f.log, (std::vector<std::string>{"button del"}));
}

TEST_F(CommonControlsTest, StatusBarPanelsCountFromOne) {
    f.sbr.setPanelText(2, "Listening");
    EXPECT_EQ(f.sbr.PanelText(2), "Listening");
    EXPECT_EQ(f.sbr.get("PanelText", {Variant(2)}).toString(), "Listening");
    EXPECT_EQ(test::errorOf([&] { f.sbr.PanelText(0); }), kIndexOutOfBounds);
    EXPECT_EQ(test::errorOf([&] { f.sbr.setPanelText(3, "x"); }), kIndexOutOfBounds);
    f.sbr.AddPanel("third");
    EXPECT_EQ(f.sbr.PanelText(3), "third");
}

TEST_F(CommonControlsTest, ImageListRenumbersAfterRemove) {
    f.img.Add("mic", "mic.bmp");
    f.img.Add("", "blank.bmp");
    f.img.Add("off", "off.bmp");
    EXPECT_EQ(test::errorOf([&] { f.img.Add("MIC", "x.bmp"); }), kKeyNotUnique);
    f.img.Remove(1);
    EXPECT_EQ(f.img.ListImages("off").Index, 2);
    EXPECT_EQ(f.img.ListImages(1).Picture, "blank.bmp");
    EXPECT_EQ(test::errorOf([&] { f.img.ListImages("mic"); }), kElementNotFound);
}

TEST_F(CommonControlsTest, LayoutCodeMovesLinesAndControlsByName) {
    Control* lin = f.control("lin");
    ASSERT_NE(lin, nullptr);
    lin->let("X2", Variant(900));
    lin->let("Y1", lin->get("Y2"));
    EXPECT_EQ(f.lin.X2(), 900);
    EXPECT_EQ(f.lin.Y1(), 20);
    Control* pic = f.control("pic");
    pic->call("Move", {Variant(100), Variant(200)});
    EXPECT_EQ(pic->get("Left").toSingle(), 100);
    EXPECT_EQ(pic->get("Top").toSingle(), 200);
    EXPECT_EQ(pic->get("Width").toSingle(), f.pic.Width()); // omitted: unchanged
    EXPECT_EQ(test::errorOf([&] { pic->let("Width", Variant(-1)); }), kInvalidPropertyValue);
}

TEST_F(CommonControlsTest, ChangesNotifyAView) {
    int changes = 0;
    f.pic.Changed.connect([&] { ++changes; });
    f.pic.setPicture("meter.bmp");
    f.pic.setPicture("meter.bmp");
    f.pic.Font().setSize(10);
    f.pic.setVisible(false);
    EXPECT_EQ(changes, 3);
}

} // namespace
} // namespace rt
