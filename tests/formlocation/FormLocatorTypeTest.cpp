// What hosts see of FormLocator before it sits on a form: its type
// description and a control that has no form to work on.

#include "FormLocation/FormLocator.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "FormLocation/Classes.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace tlvFormControls {
namespace {

using namespace rt;

const DesignMember kDesign[] = {
    {"RestoreLocation", MemberKind::Method, 0x60030002,
     "Restores the location of the form on the screen.", "Variant"},
    {"SaveLocation", MemberKind::Method, 0x60030003,
     "Saves the location of the form on the screen.", "Variant"},
    {"RegistryHive", MemberKind::Property, 0x68030001,
     "Returns/sets the registry hive that that form's location will be stored in.",
     "tlvRegistryHiveConstants"},
    {"RegistryKey", MemberKind::Property, 0x68030000,
     "Returns/sets the registry key that that form's location will be stored in.", "String"},
    {"ShowAbout", MemberKind::Method, static_cast<DispId>(0xFFFFFDD8), "Displays the About Box",
     "Variant"},
};

TEST(FormLocatorType, InterfaceMatchesItsDesign) {
    ClassInfo info = FormLocator::classInfo();
    EXPECT_EQ(info.name, "FormLocator");
    EXPECT_EQ(info.defaultInterface.name, "_FormLocator");
    EXPECT_EQ(compareWithDesign(info.defaultInterface, kDesign), std::vector<std::string>{});
    EXPECT_EQ(info.defaultEvents.name, "__FormLocator");
    EXPECT_TRUE(info.defaultEvents.events.empty());
}

TEST(FormLocatorType, LateBoundNamesReachTheDesignedIdentifiers) {
    DispatchPtr locator = newFormLocator();
    for (const DesignMember& member : kDesign)
        EXPECT_EQ(locator->GetIDOfName(member.name), member.id) << member.name;
    locator->let("registryhive", Variant(4));
    locator->let("RegistryKey", Variant("Software\\frmX\\Position"));
    EXPECT_EQ(locator->get("RegistryHive"), Variant(4));
    EXPECT_EQ(locator->get("RegistryKey"), Variant("Software\\frmX\\Position"));
    EXPECT_EQ(rt::test::errorOf([&] { locator->let("RegistryHive", Variant("four")); }),
              kTypeMismatch);
}

// Without a form every step fails and is skipped: nothing is raised and the
// registry is not touched.
TEST(FormLocatorType, WithoutAFormItsMethodsDoNothing) {
    auto dir = rt::test::uniqueTempDir("formlocator-unsited");
    registry::setFolder(dir.string());
    DispatchPtr locator = newFormLocator();
    locator->let("RegistryHive", Variant(1));
    locator->let("RegistryKey", Variant("Software\\frmX\\Position"));
    for (DispId id : {0x60030002, 0x60030003}) {
        Variant result;
        EXPECT_EQ(rt::test::errorOf([&] { result = locator->Invoke(id, InvokeKind::Method, {}); }),
                  0);
        EXPECT_TRUE(result.isEmpty());
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tlvFormControls
