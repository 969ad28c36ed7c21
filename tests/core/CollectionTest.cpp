#include "runtime/core/Collection.h"
#include "runtime/core/Error.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace rt;
using rt::test::errorOf;

TEST(Collection, KeysIgnoreCaseAndTheFirstItemKeepsItsKey) {
    Collection c;
    c.Add(Variant(int32_t{100}), "Notepad \xA6 Untitled");
    EXPECT_EQ(errorOf([&] { c.Add(Variant(int32_t{200}), "NOTEPAD \xA6 untitled"); }),
              kKeyAlreadyAssociated);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.Item(Variant("notepad \xA6 UNTITLED")).toLong(), 100);
}

TEST(Collection, MissingKeyRaisesFiveAndBadIndexRaisesNine) {
    Collection c;
    c.Add(Variant("a"));
    EXPECT_EQ(errorOf([&] { c.Item(Variant("nope")); }), kInvalidProcedureCall);
    EXPECT_EQ(errorOf([&] { c.Item(Variant(int32_t{0})); }), kSubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { c.Item(Variant(int32_t{2})); }), kSubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { c.Remove(Variant(int32_t{2})); }), kSubscriptOutOfRange);
}

TEST(Collection, CountsFromOneAndInsertsBeforeOrAfter) {
    Collection c;
    c.Add(Variant("b"));
    c.Add(Variant("d"));
    c.Add(Variant("a"), std::nullopt, Variant(int32_t{1}));
    c.Add(Variant("c"), "k", Variant(), Variant(int32_t{2}));
    std::string all;
    for (long i = 1; i <= c.Count(); ++i)
        all += c.Item(Variant(int32_t(i))).toString();
    EXPECT_EQ(all, "abcd");
    c.Remove(Variant("K"));
    EXPECT_EQ(c.Count(), 3);
    EXPECT_FALSE(c.hasKey("k"));
}

// Keys of the ANSI code page beyond ASCII fold case too, before and after
// the positions are counted again by an insertion in front and a removal.
TEST(Collection, AccentedKeysIgnoreCaseThroughInsertionsAndRemovals) {
    Collection c;
    c.Add(Variant(int32_t{1}), "Caf\xE9 \xA6 \xE0 la carte");
    c.Add(Variant(int32_t{2}), "second");
    EXPECT_TRUE(c.hasKey("CAF\xC9 \xA6 \xC0 LA CARTE"));
    c.Add(Variant(int32_t{0}), "first", Variant(int32_t{1}));
    c.Remove(Variant("SECOND"));
    ASSERT_NE(c.find("caf\xC9 \xA6 \xE0 LA carte"), nullptr);
    EXPECT_EQ(c.find("caf\xC9 \xA6 \xE0 LA carte")->toLong(), 1);
    EXPECT_EQ(c.Item(Variant("FIRST")).toLong(), 0);
    EXPECT_EQ(c.find("cafe \xA6 a la carte"), nullptr);
    EXPECT_EQ(errorOf([&] { c.Add(Variant(int32_t{3}), "CAF\xC9 \xA6 \xC0 la carte"); }),
              kKeyAlreadyAssociated);
}
