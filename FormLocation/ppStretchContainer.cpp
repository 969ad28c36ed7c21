#include "FormLocation/ppStretchContainer.h"

#include <memory>

#include "FormLocation/Classes.h"
#include "runtime/core/Error.h"

namespace tlvFormControls {

ppStretchContainer::ppStretchContainer() : PropertyPage("ppStretchContainer", "General") {
    // The client area is the page's size; the form adds its frame.
    Move(0, 0, 5925 + (Width() - ScaleWidth()), 3495 + (Height() - ScaleHeight()));
    chkAdjustFont.Move(1200, 840, 375, 375);
    cmbBorderStyle.Move(1200, 480, 2295, 315);
    cmbAppearance.Move(1200, 120, 2295, 315);
    chkEnabled.Move(1200, 1200, 300, 285);
    Label2.Move(120, 880, 1095, 255);
    Label1.Move(120, 1225, 1455, 255);
    lblAppearance.Move(120, 135, 1140, 240);
    lblBorderStyle.Move(120, 495, 1245, 240);
    cmbBorderStyle.AddItem("0 -tlv None");
    cmbBorderStyle.AddItem("1 - tlvFixed Single");
    cmbAppearance.AddItem("0 -tlv Flat");
    cmbAppearance.AddItem("1 - tlv3D");
    cmbAppearance.Click.connect([this] { cmbAppearance_Click(); });
    cmbBorderStyle.Click.connect([this] { cmbBorderStyle_Click(); });
    chkAdjustFont.Click.connect([this] { chkAdjustFont_Click(); });
    chkEnabled.Click.connect([this] { chkEnabled_Click(); });
}

void ppStretchContainer::cmbAppearance_Click() {
    setChanged(true);
}

void ppStretchContainer::cmbBorderStyle_Click() {
    setChanged(true);
}

void ppStretchContainer::chkAdjustFont_Click() {
    setChanged(true);
}

void ppStretchContainer::chkEnabled_Click() {
    setChanged(true);
}

namespace {

// True is -1, so "And 1" ticks the box for True and clears it for False.
int checkValue(const rt::Variant& v) {
    return v.toLong() & 1;
}

} // namespace

void ppStretchContainer::PropertyPage_SelectionChanged() {
    rt::skipFailure(
        [&] { cmbAppearance.setListIndex(SelectedControls()[0]->get("Appearance").toInteger()); });
    rt::skipFailure([&] {
        cmbBorderStyle.setListIndex(SelectedControls()[0]->get("BorderStyle").toInteger());
    });
    rt::skipFailure(
        [&] { chkEnabled.setValue(checkValue(SelectedControls()[0]->get("Enabled"))); });
    rt::skipFailure(
        [&] { chkAdjustFont.setValue(checkValue(SelectedControls()[0]->get("AdjustFont"))); });
}

void ppStretchContainer::PropertyPage_ApplyChanges() {
    rt::skipFailure([&] {
        SelectedControls()[0]->let("Appearance",
                                   rt::Variant(rt::Variant(cmbAppearance.ListIndex()).toInteger()));
    });
    rt::skipFailure([&] {
        SelectedControls()[0]->let(
            "BorderStyle", rt::Variant(rt::Variant(cmbBorderStyle.ListIndex()).toInteger()));
    });
    rt::skipFailure(
        [&] { SelectedControls()[0]->let("Enabled", rt::Variant(chkEnabled.Value() == 1)); });
    rt::skipFailure(
        [&] { SelectedControls()[0]->let("AdjustFont", rt::Variant(chkAdjustFont.Value() == 1)); });
}

rt::DispatchPtr newppStretchContainer() {
    return std::make_shared<ppStretchContainer>();
}

} // namespace tlvFormControls
