#pragma once
// A control that remembers where its form was: SaveLocation writes the host
// form's top, left, height, width and window state to five registry values,
// RestoreLocation reads them back and applies them. The host calls both; the
// control raises no events and is a fixed 600 x 600 twip square.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/com/TypeInfo.h"
#include "runtime/forms/UserControl.h"

namespace tlvFormControls {

class clsRegistry;

// The hives a RegistryHive number names (not the platform's handle values).
enum tlvRegistryHiveConstants : int32_t {
    HKEY_CLASSES_ROOT = 0,
    HKEY_CURRENT_USER = 1,
    HKEY_LOCAL_MACHINE = 2,
    HKEY_USERS = 3,
    HKEY_CURRENT_CONFIG = 4,
    HKEY_DYN_DATA = 5,
};

class FormLocator : public rt::UserControl {
public:
    FormLocator();

    // _FormLocator, in slot order.
    rt::Variant RestoreLocation();
    rt::Variant SaveLocation();
    int32_t RegistryHive() const { return m_RegistryHive; }
    void setRegistryHive(int32_t New_RegistryHive);
    const std::string& RegistryKey() const { return m_RegistryKey; }
    void setRegistryKey(std::string New_RegistryKey);
    rt::Variant ShowAbout();

    std::vector<std::string> PropertyPages() const override {
        return {"tlvFormControls.ppFormLocation"};
    }

    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const rt::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(rt::PropertyBag& PropBag) override;
    void UserControl_Resize() override;

    // The hive's name for a tlvRegistryHiveConstants number; empty for any
    // other number.
    static std::string HiveName(int32_t hive);

    static const rt::MemberTable& memberTable();
    // _FormLocator and its event interface __FormLocator (no events).
    static rt::ClassInfo classInfo();

protected:
    const rt::MemberTable& table() const override { return memberTable(); }

private:
    // The host form, late-bound through the extender.
    rt::DispatchPtr parentForm() const;
    void saveValue(clsRegistry& registry, const char* name,
                   const std::function<std::string()>& text);

    int32_t m_RegistryHive = 0;
    std::string m_HiveName;
    std::string m_RegistryKey;
};

} // namespace tlvFormControls
