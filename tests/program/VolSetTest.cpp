#include "voicecommand/frmVolSet.h"

#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "runtime/platform/registry/Settings.h"
#include "runtime/speech/ScriptedEngine.h"
#include "tests/program/ProgramFixture.h"
#include "tests/support/TestSupport.h"

namespace {

class VolSet : public ProgramFixture {
protected:
    ~VolSet() override { rt::form<frmVolSet>().unload(); }
    rt::speech::ScriptedEngine& engine() {
        return dynamic_cast<rt::speech::ScriptedEngine&>(rt::form<frmQuibo>()->DirectSR1->engine());
    }
    // Opened as the user does: Configure, then the menu item, while the
    // meter window runs `actions`; the configuration closes afterwards.
    void openFromMenu(const std::function<void(frmVolSet&)>& actions) {
        user->whileModal("frmApp", [this](rt::Form& f) {
            rt::UserInput::chooseMenu(dynamic_cast<frmApp&>(f).mnuMeter);
            f.Hide();
        });
        user->whileModal("frmVolSet",
                         [actions](rt::Form& f) { actions(dynamic_cast<frmVolSet&>(f)); });
        rt::UserInput::click(rt::form<frmQuibo>()->cmdConfigure);
        EXPECT_EQ(user->pending(), 0u);
    }
    static void release(frmVolSet& w, int value, int button = rt::vbLeftButton, int shift = 0) {
        rt::UserInput::mouseDown(w.Slider1, button, shift);
        rt::UserInput::slide(w.Slider1, value);
        rt::UserInput::mouseUp(w.Slider1, button, shift);
    }
    static std::string stored() { return rt::GetSetting("RiriDozuzeze", "Startup", "VUMeter"); }
};

struct ScaleRow {
    std::string name;
    std::string setting; // empty: none stored
    int slider;
};

void PrintTo(const ScaleRow& row, std::ostream* os) {
    *os << row.name;
}

class VolSetScale : public VolSet, public testing::WithParamInterface<ScaleRow> {};

// A scale the slider cannot show sits at its nearest end; the setting stays
// as it was until a release.
TEST_P(VolSetScale, OpeningShowsTheMetersScale) {
    const ScaleRow& row = GetParam();
    if (!row.setting.empty())
        rt::SaveSetting("RiriDozuzeze", "Startup", "VUMeter", row.setting);
    start();
    int shown = -1;
    openFromMenu([&](frmVolSet& w) {
        shown = w.Slider1.Value();
        rt::UserInput::closeForm(w);
    });
    EXPECT_EQ(shown, row.slider);
    EXPECT_EQ(stored(), row.setting);
}

INSTANTIATE_TEST_SUITE_P(Rows, VolSetScale,
                         testing::Values(ScaleRow{"Default", "", 3000},
                                         ScaleRow{"Stored", "12000", 12000},
                                         ScaleRow{"HalfRoundsToEven", "2500.5", 2500},
                                         ScaleRow{"HalfRoundsUpToEven", "2501.5", 2502},
                                         ScaleRow{"BelowRange", "500", 2000},
                                         ScaleRow{"AboveRange", "25000", 20000},
                                         ScaleRow{"FarAboveRange", "1e12", 20000}),
                         rt::test::RowName());

TEST_F(VolSet, AMouseReleaseSetsTheMeterAndTheSettingAndTheNextStartReadsIt) {
    struct {
        int button;
        int shift;
        int value;
    } rows[] = {{rt::vbLeftButton, 0, 12000},
                {rt::vbRightButton, rt::vbShiftMask | rt::vbCtrlMask, 7000}};
    for (const auto& r : rows) {
        frmQuibo& main = start();
        float duringWindow = 0;
        openFromMenu([&](frmVolSet& w) {
            release(w, r.value, r.button, r.shift);
            duringWindow = main.VUMeter.Max();
            rt::UserInput::click(w.cmdDone);
        });
        EXPECT_EQ(duringWindow, r.value);
        EXPECT_EQ(stored(), std::to_string(r.value));
        rt::form<frmQuibo>().unload();
        rt::releaseUnloadedForms();
        Program::reset();
        EXPECT_EQ(start().VUMeter.Max(), r.value);
    }
}

TEST_F(VolSet, KeyboardMovesChangeNothingUntilAMouseRelease) {
    frmQuibo& main = start();
    openFromMenu([&](frmVolSet& w) {
        // Keys move the thumb without any mouse button.
        rt::UserInput::focus(w.Slider1);
        rt::UserInput::slide(w.Slider1, 5000);
        rt::UserInput::slide(w.Slider1, 6000);
        EXPECT_EQ(main.VUMeter.Max(), 3000);
        EXPECT_EQ(stored(), "");
        rt::UserInput::mouseUp(w.Slider1, rt::vbLeftButton);
        EXPECT_EQ(main.VUMeter.Max(), 6000);
        EXPECT_EQ(stored(), "6000");
        rt::UserInput::click(w.cmdDone);
    });
}

// The meter keeps moving while the window shows: a scale below the level it
// shows brings the level down instead of being refused.
TEST_F(VolSet, AScaleBelowTheCurrentLevelBringsTheLevelDown) {
    frmQuibo& main = start();
    openFromMenu([&](frmVolSet& w) {
        engine().level(2800);
        ASSERT_EQ(main.VUMeter.Value(), 2800);
        release(w, 2000);
        EXPECT_EQ(main.VUMeter.Max(), 2000);
        EXPECT_EQ(main.VUMeter.Value(), 2000);
        rt::UserInput::closeForm(w);
    });
    EXPECT_EQ(stored(), "2000");
}

TEST_F(VolSet, DoneStopsListeningAndTheNextOpeningLoadsAgain) {
    frmQuibo& main = start();
    bool listeningBefore = false;
    openFromMenu([&](frmVolSet& w) {
        listeningBefore = main.DirectSR1->active();
        engine().level(1500);
        rt::UserInput::click(w.cmdDone);
    });
    EXPECT_TRUE(listeningBefore);
    EXPECT_FALSE(main.DirectSR1->active());
    EXPECT_EQ(main.VUMeter.Value(), 0);
    EXPECT_FALSE(rt::form<frmVolSet>().isLoaded());

    main.VUMeter.setMax(9000);
    int shown = 0;
    openFromMenu([&](frmVolSet& w) {
        shown = w.Slider1.Value();
        rt::UserInput::click(w.cmdDone);
    });
    EXPECT_EQ(shown, 9000);
}

TEST_F(VolSet, TheCloseBoxLeavesListeningOnAndTheScaleAsItWas) {
    frmQuibo& main = start();
    openFromMenu([&](frmVolSet& w) {
        rt::UserInput::slide(w.Slider1, 15000);
        rt::UserInput::closeForm(w);
    });
    EXPECT_TRUE(main.DirectSR1->active());
    EXPECT_EQ(main.VUMeter.Max(), 3000);
    EXPECT_FALSE(rt::form<frmVolSet>().isLoaded());
}

} // namespace
