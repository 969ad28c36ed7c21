// Events raised to advised sinks: by value the raiser keeps its arguments,
// by reference it gets back what the sinks made of them.

#include "runtime/com/EventSource.h"

#include <vector>

#include <gtest/gtest.h>

namespace rt {
namespace {

class Raiser : public EventSource {
public:
    using EventSource::fireEvent;
    using EventSource::fireEventByRef;
};

TEST(EventSource, ByReferenceTheRaiserSeesWhatTheSinksChanged) {
    Raiser raiser;
    std::vector<Variant> seen;
    raiser.advise([&](DispId, std::span<Variant> args) { args[0] = Variant(int16_t{0}); });
    // A later sink sees the earlier one's change, as one shared argument.
    raiser.advise([&](DispId, std::span<Variant> args) { seen.push_back(args[0]); });

    std::vector<Variant> args{Variant(int16_t{65})};
    raiser.fireEventByRef(-603, args);
    EXPECT_EQ(args[0], Variant(int16_t{0}));
    EXPECT_EQ(seen, std::vector<Variant>{Variant(int16_t{0})});

    const std::vector<Variant> byValue{Variant(int16_t{66})};
    raiser.fireEvent(-603, std::span<const Variant>(byValue));
    EXPECT_EQ(byValue[0], Variant(int16_t{66}));
}

TEST(EventSource, ASinkMayUnadviseItselfWhileTheEventRuns) {
    Raiser raiser;
    int calls = 0, cookie = 0;
    cookie = raiser.advise([&](DispId, std::span<Variant>) {
        ++calls;
        raiser.unadvise(cookie);
    });
    raiser.fireEvent(1, {});
    raiser.fireEvent(1, {});
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(raiser.hasSinks());
}

} // namespace
} // namespace rt
