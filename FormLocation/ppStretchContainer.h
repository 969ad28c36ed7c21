#pragma once
// StretchContainer's design-time page: appearance, border style, whether
// fonts follow a resize, and whether the container is enabled. It reads and
// writes the first selected control only, by property name.

#include "runtime/forms/CheckBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyPage.h"

namespace tlvFormControls {

class ppStretchContainer : public rt::PropertyPage {
public:
    ppStretchContainer();

    void cmbAppearance_Click();
    void cmbBorderStyle_Click();
    void chkAdjustFont_Click();
    void chkEnabled_Click();
    void PropertyPage_SelectionChanged() override;
    void PropertyPage_ApplyChanges() override;

    // In tab order. A list index is the property's value.
    rt::ComboBox cmbAppearance{*this, "cmbAppearance", rt::vbComboDropdownList};
    rt::ComboBox cmbBorderStyle{*this, "cmbBorderStyle", rt::vbComboDropdownList};
    rt::CheckBox chkAdjustFont{*this, "chkAdjustFont"};
    rt::CheckBox chkEnabled{*this, "chkEnabled"};
    rt::Label lblBorderStyle{*this, "lblBorderStyle", "Border Style:"};
    rt::Label lblAppearance{*this, "lblAppearance", "Appearance:"};
    rt::Label Label1{*this, "Label1", "Enabled:"};
    rt::Label Label2{*this, "Label2", "Adjust Font:"};
};

} // namespace tlvFormControls
