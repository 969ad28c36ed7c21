#pragma once
// Small helpers every test binary shares.

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <unistd.h>

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

// A new, empty folder of its own for a test: ctest runs tests in parallel
// processes, so fixed names would collide.
inline std::filesystem::path uniqueTempDir(const std::string& stem) {
    std::string templ = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
    return mkdtemp(templ.data());
}

// uniqueTempDir's folder, removed with all it holds when the test is done.
class TempDir {
public:
    explicit TempDir(const std::string& stem) : m_path(uniqueTempDir(stem)) {}
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace rt::test
