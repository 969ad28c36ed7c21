#pragma once
// PaneArea's design-time page: appearance, border style, minimum size, pane
// index and whether the pane is enabled. It reads and writes the first
// selected control only, by property name.

#include "runtime/forms/CheckBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/TextBox.h"

namespace tlvFormControls {

class ppPaneArea : public rt::PropertyPage {
public:
    ppPaneArea();

    void cmbAppearance_Click();
    void cmbBorderStyle_Click();
    void chkEnabled_Click();
    void txtPaneIndex_Change();
    void txtMinSize_Change();
    void PropertyPage_SelectionChanged() override;
    void PropertyPage_ApplyChanges() override;

    // In tab order. A list index is the property's value.
    rt::ComboBox cmbAppearance{*this, "cmbAppearance", rt::vbComboDropdownList};
    rt::ComboBox cmbBorderStyle{*this, "cmbBorderStyle", rt::vbComboDropdownList};
    rt::TextBox txtMinSize{*this, "txtMinSize"};
    rt::TextBox txtPaneIndex{*this, "txtPaneIndex"};
    rt::CheckBox chkEnabled{*this, "chkEnabled"};
    rt::Label lblPaneIndex{*this, "lblPaneIndex", "Pane Index:"};
    rt::Label lblMinSize{*this, "lblMinSize", "Min Size:"};
    rt::Label lblBorderStyle{*this, "lblBorderStyle", "Border Style:"};
    rt::Label lblAppearance{*this, "lblAppearance", "Appearance:"};
    rt::Label Label2{*this, "Label2", "Enabled:"};
};

} // namespace tlvFormControls
