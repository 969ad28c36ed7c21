#include "FormLocation/ppFormLocation.h"

#include <memory>

#include "FormLocation/Classes.h"
#include "runtime/core/Error.h"

namespace tlvFormControls {

ppFormLocation::ppFormLocation() : PropertyPage("ppFormLocation", "General") {
    // The client area is the page's size; the form adds its frame.
    Move(0, 0, 4725 + (Width() - ScaleWidth()), 2985 + (Height() - ScaleHeight()));
    lblHive.Move(120, 240, 1215, 255);
    cmbHive.Move(1200, 240, 2655, 315);
    lblRegistryKey.Move(120, 600, 1245, 240);
    txtRegistryKey.Move(1200, 600, 3375, 330);
    for (const char* item :
         {"0 - HKEY_CLASSES_ROOT", "1 - HKEY_CURRENT_USER", "2 - HKEY_LOCAL_MACHINE",
          "3 - HKEY_USERS", "4 - HKEY_CURRENT_CONFIG", "5 - HKEY_DYN_DATA"})
        cmbHive.AddItem(item);
    cmbHive.Click.connect([this] { cmbHive_Click(); });
    txtRegistryKey.Change.connect([this] { txtRegistryKey_Change(); });
}

void ppFormLocation::cmbHive_Click() {
    setChanged(true);
}

void ppFormLocation::txtRegistryKey_Change() {
    setChanged(true);
}

void ppFormLocation::PropertyPage_SelectionChanged() {
    // A hive no item names leaves the list at its previous line.
    rt::skipFailure(
        [&] { cmbHive.setListIndex(SelectedControls()[0]->get("RegistryHive").toInteger()); });
    rt::skipFailure(
        [&] { txtRegistryKey.setText(SelectedControls()[0]->get("RegistryKey").toString()); });
}

void ppFormLocation::PropertyPage_ApplyChanges() {
    rt::skipFailure(
        [&] { SelectedControls()[0]->let("RegistryHive", rt::Variant(cmbHive.ListIndex())); });
    rt::skipFailure(
        [&] { SelectedControls()[0]->let("RegistryKey", rt::Variant(txtRegistryKey.Text())); });
}

rt::DispatchPtr newppFormLocation() {
    return std::make_shared<ppFormLocation>();
}

} // namespace tlvFormControls
