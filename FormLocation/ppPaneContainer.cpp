#include "FormLocation/ppPaneContainer.h"

#include <memory>

#include "FormLocation/Classes.h"
#include "runtime/core/Error.h"

namespace tlvFormControls {

ppPaneContainer::ppPaneContainer() : PropertyPage("ppPaneContainer", "General") {
    // The client area is the page's size; the form adds its frame.
    Move(0, 0, 5925 + (Width() - ScaleWidth()), 3495 + (Height() - ScaleHeight()));
    chkEnabled.Move(1920, 1560, 300, 285);
    cmbAppearance.Move(1920, 120, 2295, 315);
    cmbBorderStyle.Move(1920, 480, 2295, 315);
    cmbOrientation.Move(1920, 840, 2295, 315);
    txtSpacing.Move(1920, 1200, 1005, 330);
    lblBorderStyle.Move(120, 495, 1245, 240);
    lblAppearance.Move(120, 135, 1140, 240);
    Label2.Move(120, 1560, 1455, 255);
    Label1.Move(120, 855, 1575, 255);
    lblSpacing.Move(90, 1215, 2700, 240);
    cmbAppearance.AddItem("0 - tlv Flat");
    cmbAppearance.AddItem("1 - tlv3D");
    cmbBorderStyle.AddItem("0 -tlv None");
    cmbBorderStyle.AddItem("1 - tlvFixed Single");
    cmbOrientation.AddItem("0 - tlvHorizontal");
    cmbOrientation.AddItem("1 - tlvVertical");
    chkEnabled.Click.connect([this] { chkEnabled_Click(); });
    cmbAppearance.Click.connect([this] { cmbAppearance_Click(); });
    cmbBorderStyle.Click.connect([this] { cmbBorderStyle_Click(); });
    cmbOrientation.Click.connect([this] { cmbOrientation_Click(); });
    txtSpacing.Change.connect([this] { txtSpacing_Change(); });
}

void ppPaneContainer::chkEnabled_Click() {
    setChanged(true);
}

void ppPaneContainer::cmbAppearance_Click() {
    setChanged(true);
}

void ppPaneContainer::cmbBorderStyle_Click() {
    setChanged(true);
}

void ppPaneContainer::cmbOrientation_Click() {
    setChanged(true);
}

void ppPaneContainer::txtSpacing_Change() {
    setChanged(true);
}

void ppPaneContainer::PropertyPage_SelectionChanged() {
    rt::skipFailure(
        [&] { cmbAppearance.setListIndex(SelectedControls()[0]->get("Appearance").toInteger()); });
    rt::skipFailure([&] {
        cmbBorderStyle.setListIndex(SelectedControls()[0]->get("BorderStyle").toInteger());
    });
    // True is -1, so "And 1" ticks the box for True and clears it for False.
    rt::skipFailure(
        [&] { chkEnabled.setValue(SelectedControls()[0]->get("Enabled").toLong() & 1); });
    rt::skipFailure([&] {
        txtSpacing.setText(
            rt::Variant(SelectedControls()[0]->get("Spacing").toInteger()).toString());
    });
    rt::skipFailure([&] {
        cmbOrientation.setListIndex(SelectedControls()[0]->get("Orientation").toInteger());
    });
}

// The spacing text goes over as it stands: the container's conversion and
// check decide, and the orientation is applied even when they refuse it.
void ppPaneContainer::PropertyPage_ApplyChanges() {
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
    rt::skipFailure([&] { SelectedControls()[0]->let("Spacing", rt::Variant(txtSpacing.Text())); });
    rt::skipFailure([&] {
        SelectedControls()[0]->let(
            "Orientation", rt::Variant(rt::Variant(cmbOrientation.ListIndex()).toInteger()));
    });
}

rt::DispatchPtr newppPaneContainer() {
    return std::make_shared<ppPaneContainer>();
}

} // namespace tlvFormControls
