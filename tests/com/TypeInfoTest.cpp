#include "runtime/com/TypeInfo.h"

#include <gtest/gtest.h>

using namespace rt;

namespace {

// A class in the shape of a control: a base table (as an extender would give)
// under the class's own members.
class Locator : public TableDispatch {
public:
    int32_t hive() const { return m_hive; }
    void setHive(int32_t v) { m_hive = v; }
    std::string key() const { return m_key; }
    void setKey(std::string v) { m_key = std::move(v); }

    static Variant nothing(Dispatch&, std::span<const Variant>) { return {}; }

    static const MemberTable& memberTable() {
        static const MemberTable base({readOnly<Locator>("Value", DISPID_VALUE, &Locator::hive)});
        static const MemberTable table(
            {Member{"Restore", 0x60030002, MemberKind::Method, "Restores.", &nothing, nullptr},
             property<Locator>("Hive", 0x68030001, &Locator::hive, &Locator::setHive,
                               &Variant::toLong, "The hive."),
             property<Locator>("Key", 0x68030000, &Locator::key, &Locator::setKey,
                               &Variant::toString, "The key."),
             Member{"ShowAbout", DISPID_ABOUTBOX, MemberKind::Method, "Displays the About Box",
                    &nothing, nullptr}},
            &base);
        return table;
    }

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    int32_t m_hive = 1;
    std::string m_key;
};

const std::pair<std::string, std::string> kTypes[] = {{"Hive", "Long"}, {"key", "String"}};

const DesignMember kDesign[] = {
    {"Value", MemberKind::ReadOnlyProperty, DISPID_VALUE, "", ""},
    {"Restore", MemberKind::Method, 0x60030002, "Restores.", ""},
    {"Hive", MemberKind::Property, 0x68030001, "The hive.", "Long"},
    {"Key", MemberKind::Property, 0x68030000, "The key.", "String"},
    {"ShowAbout", MemberKind::Method, -552, "Displays the About Box", ""},
};

TEST(TypeInfo, DescribesMembersInSlotOrderBaseFirst) {
    InterfaceInfo info = describeInterface("_Locator", Locator::memberTable(), kTypes);
    ASSERT_EQ(info.members.size(), 5u);
    EXPECT_EQ(info.members[0].name, "Value");
    EXPECT_TRUE(info.members[0].isDefault);
    EXPECT_FALSE(info.members[1].isDefault);
    EXPECT_EQ(info.members[4].id, DISPID_ABOUTBOX);
    EXPECT_EQ(info.find("KEY")->type, "String");
    EXPECT_EQ(info.find("Restore")->type, "");
    EXPECT_TRUE(compareWithDesign(info, kDesign).empty());
}

// Each fault in a table is reported, and only that fault.
TEST(TypeInfo, ComparisonReportsEachDeparture) {
    struct Row {
        const char* name;
        void (*spoil)(std::vector<DesignMember>&);
        const char* expected;
    };
    const Row rows[] = {
        {"id", [](auto& d) { d[2].id = 0x68030002; },
         "_Locator.Hive has dispatch id 0x68030001, designed 0x68030002"},
        {"help", [](auto& d) { d[3].helpString = "Other."; },
         "_Locator.Key has help string \"The key.\", designed \"Other.\""},
        {"kind", [](auto& d) { d[1].kind = MemberKind::Property; },
         "_Locator.Restore is a method, designed as a property"},
        {"type", [](auto& d) { d[2].type = "Integer"; },
         "_Locator.Hive has type \"Long\", designed \"Integer\""},
        {"missing",
         [](auto& d) {
             d.push_back({"Gone", MemberKind::Method, 7, "", ""});
         },
         "_Locator.Gone is missing"},
        {"extra", [](auto& d) { d.pop_back(); }, "_Locator.ShowAbout is not in the design"},
    };
    InterfaceInfo info = describeInterface("_Locator", Locator::memberTable(), kTypes);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<DesignMember> design(std::begin(kDesign), std::end(kDesign));
        row.spoil(design);
        EXPECT_EQ(compareWithDesign(info, design), std::vector<std::string>{row.expected});
    }
}

TEST(TypeInfo, SwappedSlotsAreReportedForBothMembers) {
    InterfaceInfo info = describeInterface("_Locator", Locator::memberTable(), kTypes);
    std::vector<DesignMember> design(std::begin(kDesign), std::end(kDesign));
    std::swap(design[2], design[3]);
    EXPECT_EQ(compareWithDesign(info, design),
              (std::vector<std::string>{"_Locator.Key is in slot 3, designed for slot 2",
                                        "_Locator.Hive is in slot 2, designed for slot 3"}));
}

} // namespace
