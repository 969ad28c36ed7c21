#include "runtime/com/PropertyBag.h"
#include "runtime/com/Dispatch.h"

#include <gtest/gtest.h>

#include "runtime/core/Error.h"
#include "tests/support/TestSupport.h"

using namespace rt;
using rt::test::errorOf;

namespace {

TEST(PropertyBag, ReadGivesTheDefaultForWhatWasNotStored) {
    PropertyBag bag;
    bag.WriteProperty("RegistryKey", Variant("Software\\frmQuibo\\Position"), Variant(""));
    EXPECT_EQ(bag.ReadProperty("registrykey", Variant("")).toString(),
              "Software\\frmQuibo\\Position");
    EXPECT_EQ(bag.ReadProperty("RegistryHive", Variant(int32_t{1})), Variant(int32_t{1}));
    EXPECT_TRUE(bag.ReadProperty("Other").isEmpty());
}

TEST(PropertyBag, ValueEqualToItsDefaultIsLeftOutAndDropsAnEarlierOne) {
    PropertyBag bag;
    bag.WriteProperty("RegistryHive", Variant(int32_t{1}), Variant(int32_t{1}));
    EXPECT_FALSE(bag.contains("RegistryHive"));
    bag.WriteProperty("RegistryHive", Variant(int32_t{4}), Variant(int32_t{1}));
    EXPECT_TRUE(bag.contains("RegistryHive"));
    // An Integer default equals a Long value of the same number.
    bag.WriteProperty("registryHIVE", Variant(int32_t{1}), Variant(int16_t{1}));
    EXPECT_FALSE(bag.contains("RegistryHive"));
    // True is not the number -1 here: the type differs, so it is kept.
    bag.WriteProperty("AdjustFont", Variant(true), Variant(int32_t{-1}));
    EXPECT_TRUE(bag.contains("AdjustFont"));
}

TEST(PropertyBag, TextFormKeepsOrderAndRoundTripsEveryKindOfValue) {
    PropertyBag bag;
    bag.WriteProperty("Caption", Variant("Say \"hi\" = 'now'"));
    bag.WriteProperty("Count", Variant(int32_t{-42}));
    bag.WriteProperty("Ratio", Variant(0.125));
    bag.WriteProperty("AdjustFont", Variant(false), Variant(true));
    bag.WriteProperty("Enabled", Variant(true));
    bag.WriteProperty("Tag", Variant::null());
    bag.WriteProperty("Count", Variant(int32_t{7})); // rewriting keeps the first place
    const std::string text = bag.toText();
    EXPECT_EQ(text, "Caption = \"Say \"\"hi\"\" = 'now'\"\n"
                    "Count = 7\n"
                    "Ratio = 0.125\n"
                    "AdjustFont = 0   'False\n"
                    "Enabled = -1  'True\n"
                    "Tag = Null\n");
    PropertyBag back = PropertyBag::fromText(text);
    EXPECT_EQ(back.names(), bag.names());
    EXPECT_EQ(back.ReadProperty("Caption").toString(), "Say \"hi\" = 'now'");
    EXPECT_EQ(back.ReadProperty("Count"), Variant(int32_t{7}));
    EXPECT_EQ(back.ReadProperty("Ratio").toDouble(), 0.125);
    EXPECT_EQ(back.ReadProperty("AdjustFont"), Variant(false));
    EXPECT_EQ(back.ReadProperty("Enabled"), Variant(true));
    EXPECT_TRUE(back.ReadProperty("Tag").isNull());
    EXPECT_EQ(back.toText(), text);
}

TEST(PropertyBag, ReadsHandWrittenTextWithBlankLinesAndSpaces) {
    PropertyBag bag = PropertyBag::fromText("\r\n  RegistryHive   =   4  \r\n\nRegistryKey=\"\"\n");
    EXPECT_EQ(bag.ReadProperty("RegistryHive", Variant(int32_t{1})).toLong(), 4);
    EXPECT_EQ(bag.ReadProperty("RegistryKey", Variant("x")).toString(), "");
}

TEST(PropertyBag, MalformedTextRaises380NamingTheLine) {
    const char* bad[] = {
        "Caption \"no equals\"", "= 5",           "Caption = \"unclosed",
        "Caption = \"a\" junk",  "Count = 12abc", "Flag = 1 'True",
        "Two Words = 1",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        try {
            PropertyBag::fromText(std::string("Ok = 1\n") + text + "\n");
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), kInvalidPropertyValue);
            EXPECT_NE(e.description().find("Line 2"), std::string::npos) << e.description();
        }
    }
}

TEST(PropertyBag, RefusesObjectsAndNamesTheTextCannotHold) {
    PropertyBag bag;
    EXPECT_EQ(errorOf([&] { bag.WriteProperty("Font", Variant(DispatchPtr{})); }), kTypeMismatch);
    EXPECT_EQ(errorOf([&] { bag.WriteProperty("A = B", Variant(int32_t{1})); }),
              kInvalidProcedureCall);
    EXPECT_EQ(errorOf([&] { bag.WriteProperty("", Variant(int32_t{1})); }), kInvalidProcedureCall);
    EXPECT_TRUE(bag.names().empty());
}

} // namespace
