#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>

#include <gtest/gtest.h>

#include "runtime/core/Error.h"

namespace {

struct ScriptStop : std::logic_error, rt::NotForHandlers {
    ScriptStop() : std::logic_error("script") {}
};

TEST(SkipFailure, AnyStandardExceptionIsAFailingStepWithItsText) {
    struct Case {
        std::function<void()> step;
        int32_t number;
        std::string description;
    };
    for (const Case& c : {
             Case{[] { rt::raiseError(rt::kFileNotFound); }, rt::kFileNotFound, "File not found"},
             Case{[] { std::filesystem::current_path("/no/such/folder/at/all"); },
                  rt::kInternalError, ""},
             Case{[] { throw std::bad_alloc(); }, rt::kOutOfMemory, "Out of memory"},
             Case{[] { throw std::out_of_range("position"); }, rt::kInternalError, "position"},
         }) {
        rt::Err().clear();
        EXPECT_FALSE(rt::skipFailure(c.step));
        EXPECT_EQ(rt::Err().number, c.number);
        if (!c.description.empty()) {
            EXPECT_EQ(rt::Err().description, c.description);
        }
        EXPECT_FALSE(rt::Err().description.empty());
    }
}

TEST(SkipFailure, AFailureOfATestScriptIsNotPassedOver) {
    EXPECT_THROW(rt::skipFailure([] { throw ScriptStop(); }), ScriptStop);
}

} // namespace
