#pragma once
// PaneContainer's design-time page: appearance, border style, orientation,
// spacing between panes and whether the container is enabled. It reads and
// writes the first selected control only, by property name.

#include "runtime/forms/CheckBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/TextBox.h"

namespace tlvFormControls {

class ppPaneContainer : public rt::PropertyPage {
public:
    ppPaneContainer();

    void chkEnabled_Click();
    void cmbAppearance_Click();
    void cmbBorderStyle_Click();
    void cmbOrientation_Click();
    void txtSpacing_Change();
    void PropertyPage_SelectionChanged() override;
    void PropertyPage_ApplyChanges() override;

    // In tab order. A list index is the property's value.
    rt::ComboBox cmbAppearance{*this, "cmbAppearance", rt::vbComboDropdownList};
    rt::ComboBox cmbBorderStyle{*this, "cmbBorderStyle", rt::vbComboDropdownList};
    rt::ComboBox cmbOrientation{*this, "cmbOrientation", rt::vbComboDropdownList};
    rt::TextBox txtSpacing{*this, "txtSpacing"};
    rt::CheckBox chkEnabled{*this, "chkEnabled"};
    rt::Label lblSpacing{*this, "lblSpacing", "Spacing between Panes:"};
    rt::Label Label1{*this, "Label1", "Orientation:"};
    rt::Label Label2{*this, "Label2", "Enabled:"};
    rt::Label lblAppearance{*this, "lblAppearance", "Appearance:"};
    rt::Label lblBorderStyle{*this, "lblBorderStyle", "Border Style:"};
};

} // namespace tlvFormControls
