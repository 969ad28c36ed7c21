#include "voicecommand/frmVolSet.h"

#include <algorithm>

#include "runtime/core/Variant.h"
#include "runtime/forms/FormRef.h"
#include "runtime/platform/registry/Settings.h"
#include "voicecommand/Program.h"
#include "voicecommand/frmQuibo.h"

namespace {
constexpr rt::DispId kDeactivate = 4;
constexpr int kStep = 1000;
} // namespace

frmVolSet::frmVolSet() : rt::Form("frmVolSet", "Sound Card Volume Visibility") {
    setIcon(Program::kIcon);
    Move(Left(), Top(), 4800, 1800);
    Slider1.Move(120, 120, 4455, 630);
    Slider1.setSmallChange(kStep);
    Slider1.setLargeChange(kStep);
    Slider1.setTickFrequency(kStep);
    cmdDone.Move(1800, 900, 1215, 375);
    Slider1.MouseUp.connect(
        [this](int button, int shift, float x, float y) { Slider1_MouseUp(button, shift, x, y); });
    cmdDone.Click.connect([this] { cmdDone_Click(); });
}

// A scale outside the slider's range (a setting edited by hand) shows at the
// nearest end; the meter and the setting keep it until the user releases the
// slider.
void frmVolSet::Form_Load() {
    float scale = rt::form<frmQuibo>()->VUMeter.Max();
    if (!(scale > static_cast<float>(Slider1.Min())))
        Slider1.setValue(Slider1.Min());
    else if (scale >= static_cast<float>(Slider1.Max()))
        Slider1.setValue(Slider1.Max());
    else
        Slider1.setValue(std::clamp(rt::Variant(scale).toLong(), Slider1.Min(), Slider1.Max()));
}

void frmVolSet::Slider1_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {
    rt::ProgressBar& meter = rt::form<frmQuibo>()->VUMeter;
    // The meter moves while this window shows: a level above the new scale
    // comes down to it, or the meter would refuse the scale.
    if (meter.Value() > static_cast<float>(Slider1.Value()))
        meter.setValue(static_cast<float>(Slider1.Value()));
    meter.setMax(static_cast<float>(Slider1.Value()));
    rt::SaveSetting("RiriDozuzeze", "Startup", "VUMeter", std::to_string(Slider1.Value()));
}

void frmVolSet::cmdDone_Click() {
    frmQuibo& main = rt::form<frmQuibo>().get();
    main.DirectSR1->Invoke(kDeactivate, rt::InvokeKind::Method, {});
    main.VUMeter.setValue(0);
    Hide();
    Unload();
}
