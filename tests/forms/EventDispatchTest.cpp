// The top of an event handler: an error nothing caught is reported and the
// program goes on; an action no person could take still fails the script.

#include <stdexcept>
#include <string>

#include "runtime/core/Error.h"
#include "runtime/forms/EventDispatch.h"
#include "runtime/forms/UserInput.h"
#include "tests/forms/FormsFixture.h"

namespace rt {
namespace {

struct EscapeRow {
    const char* name;
    void (*handler)();
    std::string reported;
};

class EventDispatchTest : public test::FormsTest, public testing::WithParamInterface<EscapeRow> {};

TEST_P(EventDispatchTest, AnErrorLeavingAHandlerIsWrittenToStandardError) {
    testing::internal::CaptureStderr();
    bool ok = dispatchEvent(GetParam().handler);
    std::string written = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(ok);
    EXPECT_EQ(written, GetParam().reported);
    // The next event runs as usual.
    int runs = 0;
    EXPECT_TRUE(dispatchEvent([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, EventDispatchTest,
    testing::Values(
        EscapeRow{"RuntimeError", [] { raiseError(13); }, "Run-time error '13': Type mismatch\n"},
        EscapeRow{"ApplicationError", [] { raiseError(13012, "Quibo.CFile", "Cannot write"); },
                  "Run-time error '13012': Cannot write\n"},
        EscapeRow{"OtherException", [] { throw std::runtime_error("disk gone"); },
                  "Run-time error '51': Internal error: disk gone\n"}),
    [](const testing::TestParamInfo<EscapeRow>& info) { return std::string(info.param.name); });

TEST(EventDispatch, AnActionNoPersonCouldTakeIsNotSwallowed) {
    EXPECT_THROW(dispatchEvent([] { throw ScriptFailure("behind a modal form"); }), ScriptFailure);
}

TEST(EventDispatch, TheMessageReadsAsTheRuntimeShowsIt) {
    EXPECT_EQ(unhandledErrorText({5, "Invalid procedure call or argument"}),
              "Run-time error '5':\n\nInvalid procedure call or argument");
}

} // namespace
} // namespace rt
