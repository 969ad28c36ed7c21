#include "FormLocation/FormLocator.h"

#include <functional>
#include <memory>
#include <utility>

#include "FormLocation/Classes.h"
#include "FormLocation/Utils.h"
#include "FormLocation/clsRegistry.h"
#include "FormLocation/frmAbout.h"
#include "runtime/forms/Form.h"
#include "runtime/platform/desktop/User32.h"
#include "runtime/platform/registry/Registry.h"

namespace tlvFormControls {

namespace {

constexpr float kSide = 600;
constexpr int32_t kBackColor = 0x00C0C0C0;

// The saved form of a position or size: whole twips, halves to even, never
// negative.
std::string twipsText(const rt::Variant& twips) {
    return std::to_string(Utils::Max(twips.toLong(), 0));
}

bool isWindowState(const rt::Variant& state, int wanted) {
    return rt::IsNumeric(state) && !state.isEmpty() && state.toDouble() == wanted;
}

} // namespace

FormLocator::FormLocator() {
    setBackColor(kBackColor);
    setDesignSize(kSide, kSide);
    // Its work is done when the host calls it; nothing to see while it runs.
    setInvisibleAtRuntime(true);
}

rt::DispatchPtr FormLocator::parentForm() const {
    return Extender().get("Parent").toObject();
}

std::string FormLocator::HiveName(int32_t hive) {
    switch (hive) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG";
    case HKEY_DYN_DATA: return "HKEY_DYN_DATA";
    default: return {};
    }
}

void FormLocator::setRegistryHive(int32_t New_RegistryHive) {
    m_RegistryHive = New_RegistryHive;
    m_HiveName = HiveName(m_RegistryHive);
    PropertyChanged("RegistryHive");
}

void FormLocator::setRegistryKey(std::string New_RegistryKey) {
    m_RegistryKey = std::move(New_RegistryKey);
    PropertyChanged("RegistryKey");
}

rt::Variant FormLocator::RestoreLocation() {
    // A read that fails leaves Null, which is no number: nothing is applied.
    rt::Variant vTop = rt::Variant::null(), vLeft = vTop, vHeight = vTop, vWidth = vTop,
                vWindowState = vTop;
    {
        clsRegistry registry;
        auto read = [&](rt::Variant& value, const char* name) {
            rt::skipFailure([&] { value = registry.RegReadKey(m_HiveName, m_RegistryKey, name); });
        };
        read(vTop, "Top");
        read(vLeft, "Left");
        read(vHeight, "Height");
        read(vWidth, "Width");
        read(vWindowState, "WindowState");
    }
    // One edited value spoils the set: apply all or nothing.
    for (const rt::Variant* v : {&vTop, &vLeft, &vHeight, &vWidth, &vWindowState})
        if (!rt::IsNumeric(*v))
            return {};
    rt::skipFailure([&] { parentForm()->let("Top", vTop); });
    rt::skipFailure([&] { parentForm()->let("Left", vLeft); });
    rt::skipFailure([&] { parentForm()->let("Height", vHeight); });
    rt::skipFailure([&] { parentForm()->let("Width", vWidth); });
    // A form saved minimised reopens in its saved normal rectangle and in
    // the state it was designed with.
    rt::skipFailure([&] {
        if (isWindowState(vWindowState, rt::vbMaximized))
            parentForm()->let("WindowState", rt::Variant(int16_t{rt::vbMaximized}));
    });
    return {};
}

rt::Variant FormLocator::SaveLocation() {
    // The five values go to their hive's file in one write.
    rt::registry::Batch batch;
    rt::Variant state;
    rt::skipFailure([&] { state = parentForm()->get("WindowState"); });

    if (isWindowState(state, rt::vbMinimized)) {
        // A minimised form's own bounds are the icon's: save the rectangle
        // it will be restored to, which the window system keeps in pixels.
        rt::WINDOWPLACEMENT placement;
        bool placed = false;
        rt::skipFailure([&] {
            placement.length = sizeof placement;
            placed = rt::GetWindowPlacement(parentForm()->get("hWnd").toLong(), placement);
        });
        if (!placed)
            return {};
        const rt::RECT& rc = placement.rcNormalPosition;
        auto twipsX = [&](double pixels) {
            return twipsText(ScaleX(static_cast<float>(pixels), rt::vbPixels, rt::vbTwips));
        };
        auto twipsY = [&](double pixels) {
            return twipsText(ScaleY(static_cast<float>(pixels), rt::vbPixels, rt::vbTwips));
        };
        clsRegistry registry;
        saveValue(registry, "Top", [&] { return twipsY(rc.top); });
        saveValue(registry, "Left", [&] { return twipsX(rc.left); });
        saveValue(registry, "Height", [&] { return twipsY(double(rc.bottom) - rc.top); });
        saveValue(registry, "Width", [&] { return twipsX(double(rc.right) - rc.left); });
        saveValue(registry, "WindowState",
                  [&] { return parentForm()->get("WindowState").toString(); });
    } else {
        // A maximised form saves its maximised bounds.
        clsRegistry registry;
        saveValue(registry, "Top", [&] { return twipsText(parentForm()->get("Top")); });
        saveValue(registry, "Left", [&] { return twipsText(parentForm()->get("Left")); });
        saveValue(registry, "Height", [&] { return twipsText(parentForm()->get("Height")); });
        saveValue(registry, "Width", [&] { return twipsText(parentForm()->get("Width")); });
        saveValue(registry, "WindowState",
                  [&] { return parentForm()->get("WindowState").toString(); });
    }
    return {};
}

// One step: the value's text and its write, skipped as a whole when either
// fails; the write's own result is not looked at.
void FormLocator::saveValue(clsRegistry& registry, const char* name,
                            const std::function<std::string()>& text) {
    rt::skipFailure([&] { registry.RegWriteKey(m_HiveName, m_RegistryKey, name, text()); });
}

rt::Variant FormLocator::ShowAbout() {
    rt::skipFailure([] { tlvFormControls::ShowAbout(); });
    return {};
}

void FormLocator::UserControl_InitProperties() {
    rt::skipFailure([&] { setRegistryHive(HKEY_CURRENT_USER); });
    rt::skipFailure([&] {
        setRegistryKey("Software\\" + parentForm()->get("Name").toString() + "\\Position");
    });
}

void FormLocator::UserControl_ReadProperties(const rt::PropertyBag& PropBag) {
    rt::skipFailure(
        [&] { setRegistryHive(PropBag.ReadProperty("RegistryHive", HKEY_CURRENT_USER).toLong()); });
    rt::skipFailure([&] { setRegistryKey(PropBag.ReadProperty("RegistryKey", "").toString()); });
}

void FormLocator::UserControl_WriteProperties(rt::PropertyBag& PropBag) {
    rt::skipFailure(
        [&] { PropBag.WriteProperty("RegistryHive", m_RegistryHive, HKEY_CURRENT_USER); });
    rt::skipFailure([&] { PropBag.WriteProperty("RegistryKey", m_RegistryKey, ""); });
}

// Neither the developer nor a container that rescales its children can
// stretch the control.
void FormLocator::UserControl_Resize() {
    rt::skipFailure([&] { setHeight(kSide); });
    rt::skipFailure([&] { setWidth(kSide); });
}

const rt::MemberTable& FormLocator::memberTable() {
    auto method = [](std::string name, rt::DispId id, std::string help,
                     rt::Variant (FormLocator::*body)()) {
        return rt::Member{std::move(name),
                          id,
                          rt::MemberKind::Method,
                          std::move(help),
                          [body](rt::Dispatch& self, std::span<const rt::Variant>) {
                              return (static_cast<FormLocator&>(self).*body)();
                          },
                          nullptr};
    };
    static const rt::MemberTable table({
        method("RestoreLocation", 0x60030002, "Restores the location of the form on the screen.",
               &FormLocator::RestoreLocation),
        method("SaveLocation", 0x60030003, "Saves the location of the form on the screen.",
               &FormLocator::SaveLocation),
        rt::property<FormLocator>(
            "RegistryHive", 0x68030001, &FormLocator::RegistryHive, &FormLocator::setRegistryHive,
            &rt::Variant::toLong,
            "Returns/sets the registry hive that that form's location will be stored in."),
        rt::property<FormLocator>(
            "RegistryKey", 0x68030000, &FormLocator::RegistryKey, &FormLocator::setRegistryKey,
            &rt::Variant::toString,
            "Returns/sets the registry key that that form's location will be stored in."),
        method("ShowAbout", rt::DISPID_ABOUTBOX, "Displays the About Box", &FormLocator::ShowAbout),
    });
    return table;
}

rt::ClassInfo FormLocator::classInfo() {
    static const std::pair<std::string, std::string> kTypes[] = {
        {"RestoreLocation", "Variant"},
        {"SaveLocation", "Variant"},
        {"RegistryHive", "tlvRegistryHiveConstants"},
        {"RegistryKey", "String"},
        {"ShowAbout", "Variant"},
    };
    return rt::ClassInfo{"FormLocator",
                         rt::describeInterface("_FormLocator", memberTable(), kTypes),
                         rt::EventInterfaceInfo{"__FormLocator", {}}};
}

rt::DispatchPtr newFormLocator() {
    return std::make_shared<FormLocator>();
}

} // namespace tlvFormControls
