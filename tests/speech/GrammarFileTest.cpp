#include "runtime/speech/GrammarFile.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

using namespace rt;
using rt::speech::GrammarFile;
using rt::test::errorOf;

namespace {

using Rules = std::vector<std::string>;

struct ParseRow {
    std::string name;
    std::string text;
    Rules rules;
    friend void PrintTo(const ParseRow& row, std::ostream* os) { *os << row.name; }
};

class GrammarParse : public testing::TestWithParam<ParseRow> {};

TEST_P(GrammarParse, KeepsRuleTextsInFileOrder) {
    EXPECT_EQ(GrammarFile::parse(GetParam().text), GetParam().rules);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GrammarParse,
    testing::Values(
        ParseRow{"HeaderOnly",
                 "[Grammar]\r\nlangid = 1033\r\ntype=cfg\r\n[<start>]\r\n<start>=switch to\r\n",
                 {"switch to"}},
        ParseRow{"CaseSpacingAndDuplicatesKept",
                 "[<start>]\r\n<start>=switch to\r\n<start>=Mail\r\n<start>=Mail\r\n"
                 "<start>= Two  Spaces\r\n<start>=mail\r\n",
                 {"switch to", "Mail", "Mail", " Two  Spaces", "mail"}},
        ParseRow{"EmptyRulesAndOtherLinesPassedOver",
                 "[Grammar]\r\n<start>=\r\nstart=x\r\n <start>=y\r\n\r\n<start>=z",
                 {"z"}},
        ParseRow{"BareLineFeedsAndAnsiBytes", "<start>=caf\xe9\n<start>=F5\n", {"caf\xe9", "F5"}},
        ParseRow{"EmptyText", "", {}}),
    rt::test::RowName());

class GrammarRead : public testing::Test {
protected:
    rt::test::TempDir m_temp{"grammar_read"};
    const std::filesystem::path& m_dir = m_temp.path();
};

TEST_F(GrammarRead, ReadsAFileAndRaisesForMissingOrUnreadable) {
    std::ofstream(m_dir / "temp.txt", std::ios::binary) << "[<start>]\r\n<start>=Notepad\r\n";
    EXPECT_EQ(GrammarFile::read(m_dir / "temp.txt"), Rules{"Notepad"});
    EXPECT_EQ(errorOf([&] { GrammarFile::read(m_dir / "none.txt"); }), kFileNotFound);
    EXPECT_EQ(errorOf([&] { GrammarFile::read(m_dir); }), kPathFileAccessError);
}

TEST_F(GrammarRead, EmptyFileHasNoRules) {
    std::ofstream(m_dir / "empty.txt");
    EXPECT_TRUE(GrammarFile::read(m_dir / "empty.txt").empty());
}

} // namespace
