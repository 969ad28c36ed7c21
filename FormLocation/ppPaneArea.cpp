#include "FormLocation/ppPaneArea.h"

#include <memory>

#include "FormLocation/Classes.h"
#include "runtime/core/Error.h"

namespace tlvFormControls {

ppPaneArea::ppPaneArea() : PropertyPage("ppPaneArea", "General") {
    // The client area is the page's size; the form adds its frame.
    Move(0, 0, 5925 + (Width() - ScaleWidth()), 3495 + (Height() - ScaleHeight()));
    cmbBorderStyle.Move(1200, 480, 2295, 315);
    cmbAppearance.Move(1200, 120, 2295, 315);
    chkEnabled.Move(1200, 1560, 300, 285);
    txtPaneIndex.Move(1200, 1200, 1140, 330);
    txtMinSize.Move(1200, 840, 1125, 330);
    Label2.Move(120, 1560, 1455, 255);
    lblAppearance.Move(120, 135, 1140, 240);
    lblBorderStyle.Move(120, 495, 1245, 240);
    lblPaneIndex.Move(120, 1200, 1005, 240);
    lblMinSize.Move(120, 840, 1005, 240);
    cmbBorderStyle.AddItem("0 - None");
    cmbBorderStyle.AddItem("1 - Fixed Single");
    cmbAppearance.AddItem("0 - Flat");
    cmbAppearance.AddItem("1 - Sunken");
    cmbAppearance.Click.connect([this] { cmbAppearance_Click(); });
    cmbBorderStyle.Click.connect([this] { cmbBorderStyle_Click(); });
    chkEnabled.Click.connect([this] { chkEnabled_Click(); });
    txtPaneIndex.Change.connect([this] { txtPaneIndex_Change(); });
    txtMinSize.Change.connect([this] { txtMinSize_Change(); });
}

void ppPaneArea::cmbAppearance_Click() {
    setChanged(true);
}

void ppPaneArea::cmbBorderStyle_Click() {
    setChanged(true);
}

void ppPaneArea::chkEnabled_Click() {
    setChanged(true);
}

void ppPaneArea::txtPaneIndex_Change() {
    setChanged(true);
}

void ppPaneArea::txtMinSize_Change() {
    setChanged(true);
}

void ppPaneArea::PropertyPage_SelectionChanged() {
    rt::skipFailure(
        [&] { cmbAppearance.setListIndex(SelectedControls()[0]->get("Appearance").toInteger()); });
    rt::skipFailure([&] {
        cmbBorderStyle.setListIndex(SelectedControls()[0]->get("BorderStyle").toInteger());
    });
    // True is -1, so "And 1" ticks the box for True and clears it for False.
    rt::skipFailure(
        [&] { chkEnabled.setValue(SelectedControls()[0]->get("Enabled").toLong() & 1); });
    rt::skipFailure([&] {
        txtPaneIndex.setText(
            rt::Variant(SelectedControls()[0]->get("PaneIndex").toInteger()).toString());
    });
    rt::skipFailure([&] {
        txtMinSize.setText(rt::formatNumber(SelectedControls()[0]->get("MinSize").toSingle(), 7));
    });
}

// The texts go over as they stand: the pane's own conversion and checks
// decide what it takes.
void ppPaneArea::PropertyPage_ApplyChanges() {
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
        [&] { SelectedControls()[0]->let("PaneIndex", rt::Variant(txtPaneIndex.Text())); });
    rt::skipFailure([&] { SelectedControls()[0]->let("MinSize", rt::Variant(txtMinSize.Text())); });
}

rt::DispatchPtr newppPaneArea() {
    return std::make_shared<ppPaneArea>();
}

} // namespace tlvFormControls
