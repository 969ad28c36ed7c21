#include "runtime/com/Dispatch.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace rt;
using rt::test::errorOf;

namespace {

class Counter : public TableDispatch {
public:
    int32_t value() const { return m_value; }
    void setValue(int32_t v) { m_value = v; }
    int32_t step() const { return m_step; }

    static const MemberTable& memberTable() {
        static const MemberTable base({readOnly<Counter>("Step", 2, &Counter::step)});
        static const MemberTable table(
            {property<Counter>("Value", 1, &Counter::value, &Counter::setValue, &Variant::toLong,
                               "The count"),
             Member{"Add", 3, MemberKind::Method, "",
                    [](Dispatch& self, std::span<const Variant> args) {
                        auto& c = static_cast<Counter&>(self);
                        c.m_value += args.empty() ? c.m_step : args[0].toLong();
                        return Variant(c.m_value);
                    },
                    nullptr}},
            &base);
        return table;
    }

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    int32_t m_value = 0;
    int32_t m_step = 1;
};

TEST(Dispatch, NamesAreCaseInsensitiveAndReachTheBaseTable) {
    Counter c;
    c.let("vALUE", Variant("41"));
    EXPECT_EQ(c.call("add").toLong(), 42);
    EXPECT_EQ(c.get("Step").toLong(), 1);
    EXPECT_EQ(c.GetIDOfName("step"), 2);
}

TEST(Dispatch, MissingMembersAndWrongKindsRaise438) {
    Counter c;
    EXPECT_EQ(errorOf([&] { c.get("Nope"); }), kObjectDoesNotSupport);
    EXPECT_EQ(errorOf([&] { c.let("Step", Variant(int32_t{3})); }), kObjectDoesNotSupport);
    EXPECT_EQ(errorOf([&] { c.Invoke(99, InvokeKind::PropertyGet, {}); }), kObjectDoesNotSupport);
}

TEST(Dispatch, WrongArgumentTypeRaises13) {
    Counter c;
    EXPECT_EQ(errorOf([&] { c.let("Value", Variant("many")); }), kTypeMismatch);
    EXPECT_EQ(c.value(), 0);
}

} // namespace
