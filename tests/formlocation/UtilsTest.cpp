#include "FormLocation/Utils.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace tlvFormControls {
namespace {

TEST(Utils, MaxGivesTheLargerSignedNumber) {
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    struct Row {
        int32_t a, b, expected;
    };
    const Row rows[] = {
        {3, 2, 3},    {2, 3, 3},          {5, 5, 5},          {-45, 0, 0},
        {-1, -2, -1}, {kMin, kMax, kMax}, {kMax, kMin, kMax},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Utils::Max(row.a, row.b), row.expected) << row.a << ", " << row.b;
}

} // namespace
} // namespace tlvFormControls
