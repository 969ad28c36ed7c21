#include "runtime/core/Error.h"
#include "runtime/core/Variant.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace rt;

using rt::test::errorOf;

namespace {

// Below this, `expected` names an error: fails(n) is the conversion raising n.
constexpr int kFailure = -1000000;
constexpr int fails(int number) { return kFailure - number; }

struct IntCase {
    const char* name;
    Variant value;
    int expected;
};

class ToInteger : public testing::TestWithParam<IntCase> {};

TEST_P(ToInteger, ConvertsOrRaises) {
    const IntCase& c = GetParam();
    int16_t got = 0;
    int err = errorOf([&] { got = c.value.toInteger(); });
    if (c.expected <= kFailure)
        EXPECT_EQ(err, kFailure - c.expected) << c.name;
    else {
        EXPECT_EQ(err, 0) << c.name;
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToInteger,
    testing::Values(IntCase{"HalfDownToEven", Variant(2.5), 2},
                    IntCase{"HalfUpToEven", Variant(3.5), 4},
                    IntCase{"NegativeHalf", Variant(-2.5), -2},
                    IntCase{"TextNumber", Variant(" 12 "), 12},
                    IntCase{"HexText", Variant("&HFFFF"), -1},
                    IntCase{"Empty", Variant(), 0},
                    IntCase{"TrueIsMinusOne", Variant(true), -1},
                    IntCase{"MaxInteger", Variant(int32_t{32767}), 32767},
                    IntCase{"OverflowHigh", Variant(int32_t{32768}), fails(kOverflow)},
                    IntCase{"OverflowLow", Variant(-32768.6), fails(kOverflow)},
                    IntCase{"NotANumber", Variant("abc"), fails(kTypeMismatch)},
                    IntCase{"EmptyText", Variant(""), fails(kTypeMismatch)},
                    IntCase{"Null", Variant::null(), fails(kInvalidUseOfNull)}),
    rt::test::RowName());

TEST(Variant, LongOverflowRaisesSix) {
    EXPECT_EQ(errorOf([] { (void)Variant(2147483648.0).toLong(); }), kOverflow);
    EXPECT_EQ(Variant(-2147483648.0).toLong(), INT32_MIN);
}

TEST(Variant, IsNumericFollowsTheRuntime) {
    struct {
        Variant v;
        bool numeric;
    } cases[] = {{Variant("12"), true},    {Variant(" -1.5e3 "), true}, {Variant("&H1F"), true},
                 {Variant(""), false},     {Variant("1,5"), false},     {Variant("12a"), false},
                 {Variant(), true},        {Variant::null(), false},    {Variant(3.0), true},
                 {Variant("e5"), false},   {Variant("."), false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsNumeric(c.v), c.numeric) << (c.v.isString() ? c.v.toString() : "non-text");
}

TEST(Variant, TextOfNumbersAndBooleans) {
    EXPECT_EQ(Variant(0.5).toString(), "0.5");
    EXPECT_EQ(Variant(1e20).toString(), "1E+20");
    EXPECT_EQ(Variant(1.5e-7).toString(), "1.5E-07");
    EXPECT_EQ(Variant(0.1 + 0.2).toString(), "0.3");
    EXPECT_EQ(Variant(int16_t{-7}).toString(), "-7");
    EXPECT_EQ(Variant(true).toString(), "True");
    EXPECT_EQ(Variant().toString(), "");
    EXPECT_EQ(errorOf([] { (void)Variant::null().toString(); }), kInvalidUseOfNull);
}

TEST(Variant, EqualityNeedsSameTypeAndValue) {
    EXPECT_EQ(Variant(int32_t{1}), Variant(int32_t{1}));
    EXPECT_NE(Variant(int32_t{1}), Variant(int16_t{1}));
    EXPECT_EQ(Variant::null(), Variant::null());
    EXPECT_NE(Variant(), Variant::null());
}

TEST(Variant, ObjectConversionErrors) {
    EXPECT_EQ(errorOf([] { (void)Variant().toObject(); }), kObjectVariableNotSet);
    EXPECT_EQ(errorOf([] { (void)Variant("x").toObject(); }), kTypeMismatch);
}

} // namespace
