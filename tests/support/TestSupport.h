#pragma once
// Small helpers every test binary shares.

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "runtime/core/Error.h"

namespace rt::test {

// The number of the RuntimeError that `f` raised, 0 when it raised none.
inline int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// Row names for INSTANTIATE_TEST_SUITE_P over a table whose rows have `name`.
struct RowName {
    template <class Row>
    std::string operator()(const testing::TestParamInfo<Row>& row) const {
        return row.param.name;
    }
};

} // namespace rt::test
