#include "runtime/platform/keyboard/KeyString.h"
#include "runtime/platform/keyboard/SendKeys.h"

#include <gtest/gtest.h>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/backends/sim/SimKeyboard.h"
#include "tests/support/TestSupport.h"

using namespace rt;

namespace {

// The transcript the simulated keyboard writes for a key string.
std::string typed(const std::string& keys) {
    auto sim = std::make_shared<SimDesktop>();
    setDesktop(sim);
    HWND target = sim->addWindow({.className = "Term", .title = "shell"}, true);
    auto kb = std::make_shared<SimKeyboard>();
    setKeyboard(kb);
    SendKeys(keys, true);
    std::string out = kb->transcript(target);
    setKeyboard(nullptr);
    setDesktop(nullptr);
    return out;
}

struct Row {
    const char* name;
    const char* keys;
    const char* transcript;
};

class Notation : public testing::TestWithParam<Row> {};

TEST_P(Notation, TypesWhatTheStringStandsFor) { EXPECT_EQ(typed(GetParam().keys), GetParam().transcript); }

INSTANTIATE_TEST_SUITE_P(
    Table, Notation,
    testing::Values(Row{"PlainText", "ab1", "ab1"}, Row{"Enter", "~", "{ENTER}"},
                    Row{"ShiftOverOneKey", "+ab", "<SHIFTa>SHIFTb"},
                    Row{"CtrlAltNested", "^%x", "<CTRL<ALTx>ALT>CTRL"},
                    Row{"GroupUnderShift", "+(ab)c", "<SHIFTab>SHIFTc"},
                    Row{"NamedKeyAnyCase", "{f5}{Tab}{pgdn}", "{F5}{TAB}{PGDN}"},
                    Row{"Aliases", "{BS}{DEL}{ESC}", "{BACKSPACE}{DELETE}{ESC}"},
                    Row{"Repeat", "{TAB 3}", "{TAB}{TAB}{TAB}"}, Row{"RepeatChar", "{a 2}", "aa"},
                    Row{"RepeatZero", "{a 0}", ""},
                    Row{"Literals", "{+}{^}{%}{~}{(}{)}{{}{}}{[}{]}", "+^%~(){}[]"},
                    Row{"F16", "{F16}", "{F16}"}, Row{"ModifierOverNamedKey", "%{F4}", "<ALT{F4}>ALT"},
                    Row{"Empty", "", ""}),
    rt::test::RowName());

class Malformed : public testing::TestWithParam<const char*> {};

TEST_P(Malformed, RaisesFiveAndTypesNothing) {
    auto sim = std::make_shared<SimDesktop>();
    setDesktop(sim);
    HWND target = sim->addWindow({.className = "Term", .title = "shell"}, true);
    auto kb = std::make_shared<SimKeyboard>();
    setKeyboard(kb);
    EXPECT_EQ(rt::test::errorOf([] { SendKeys(GetParam(), true); }), kInvalidProcedureCall);
    EXPECT_TRUE(kb->received(target).empty());
    setKeyboard(nullptr);
    setDesktop(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, Malformed,
                         testing::Values("ab{ENTER", "}", "+(ab", "ab)", "{NOSUCHKEY}", "{TAB x}",
                                         "{TAB -1}", "{TAB 99999}", "{F17}", "{F0}", "+", "^)",
                                         "{}", "abc{"));

} // namespace
