#pragma once
// FormLocator's design-time page: the hive and the key under which the
// control keeps its form's placement. It reads and writes the first selected
// control only, by property name.

#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/TextBox.h"

namespace tlvFormControls {

class ppFormLocation : public rt::PropertyPage {
public:
    ppFormLocation();

    void cmbHive_Click();
    void txtRegistryKey_Change();
    void PropertyPage_SelectionChanged() override;
    void PropertyPage_ApplyChanges() override;

    rt::Label lblHive{*this, "lblHive", "Registry Hive:"};
    // Item i names hive i of tlvRegistryHiveConstants.
    rt::ComboBox cmbHive{*this, "cmbHive", rt::vbComboDropdownList};
    rt::Label lblRegistryKey{*this, "lblRegistryKey", "Registry Key:"};
    rt::TextBox txtRegistryKey{*this, "txtRegistryKey"};
};

} // namespace tlvFormControls
