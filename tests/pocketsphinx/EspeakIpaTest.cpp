#include "runtime/backends/pocketsphinx/EspeakIpa.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/pocketsphinx/FakeEspeak.h"
#include "tests/support/TestSupport.h"

using rt::speech::EspeakIpa;

namespace {

struct WordsRow {
    std::string name;
    std::vector<std::string> words;
    friend void PrintTo(const WordsRow& row, std::ostream* os) { *os << row.name; }
};

// Runs whose sound could change with the runs around them, were the lines
// read as one text.
class RunsAskedTogether : public testing::TestWithParam<WordsRow> {};

TEST_P(RunsAskedTogether, AreAnsweredAsEachAskedAlone) {
    if (std::system("command -v espeak-ng >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "espeak-ng not installed";
    const auto& words = GetParam().words;
    auto together = EspeakIpa::ofRuns(words);
    ASSERT_TRUE(together.has_value());
    ASSERT_EQ(together->size(), words.size());
    for (size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ((*together)[i], EspeakIpa::ofRun(words[i]).value_or("<none>")) << words[i];
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RunsAskedTogether,
    testing::Values(
        WordsRow{"LetterNames", {"a", "i", "f", "x", "q", "w", "z"}},
        WordsRow{"FunctionWords", {"the", "of", "a", "to", "an", "and", "the", "a"}},
        WordsRow{"Abbreviations", {"mr", "smith", "st", "john", "dr", "etc", "vs", "no"}},
        WordsRow{"RomanNumerals", {"henry", "viii", "ii", "iv", "xiv", "louis", "xvi"}},
        WordsRow{"Apostrophes", {"don't", "o'", "rock'n'roll", "it's", "o'clock", "i'm"}},
        WordsRow{"Heteronyms", {"read", "live", "lead", "wind", "tear", "bass", "close"}},
        WordsRow{"MadeUpNames", {"vexlore", "quibo", "zarkplex", "kwibbo", "ng", "hmm", "zzz"}},
        WordsRow{"NumberWords", {"forty", "two", "hundred", "thousand", "zero", "nineteen"}},
        WordsRow{"GrammarWords",
                 {"koeki",     "lebron",   "dutka",   "commented", "devotes",   "frigid",
                  "legere",    "namaste",  "males",   "pellett",   "retell",    "tomasko",
                  "halftones", "phased",   "tanzer",  "firsts",    "medi",      "hagwood",
                  "sovran",    "collette", "richton", "kendavis",  "glaciated", "mafias"}}),
    rt::test::RowName());

struct ChildRow {
    std::string name;
    std::optional<std::string> batch; // the child's script; none: not installed
    size_t runs;
    friend void PrintTo(const ChildRow& row, std::ostream* os) { *os << row.name; }
};

// A child whose lines cannot be matched to the runs one by one gives no
// answers at all, and the asking process lives on whatever the child does.
class UntrustedChild : public testing::TestWithParam<ChildRow> {};

TEST_P(UntrustedChild, GivesNoAnswers) {
    rt::test::FakeEspeak espeak(GetParam().batch);
    std::vector<std::string> runs(GetParam().runs, std::string(60, 'r'));
    EXPECT_FALSE(EspeakIpa::ofRuns(runs).has_value());
}

// 5,000 runs of 60 letters fill any socket or pipe buffer.
INSTANTIATE_TEST_SUITE_P(
    Rows, UntrustedChild,
    testing::Values(ChildRow{"NotInstalled", std::nullopt, 3},
                    ChildRow{"JoinsLines", "cat >/dev/null; echo 'bˈɑː'", 3},
                    ChildRow{"SplitsALine", "sed 's/.*/b\\nɑ/'", 3},
                    ChildRow{"LeavesARunUnanswered", "sed '2s/.*/ /'", 3},
                    ChildRow{"CrashesAfterAnswering", "cat; kill -SEGV $$", 3},
                    ChildRow{"FailsAfterAnswering", "cat; exit 3", 3},
                    ChildRow{"ExitsAtOnce", "exit 0", 5000},
                    ChildRow{"StopsReadingAtOnce", "exec 0<&-; sleep 0.2", 5000},
                    ChildRow{"WritesMuchBeforeReading", "yes 'bˈɑː' | head -n 100000; cat", 5000}),
    rt::test::RowName());

TEST(ManyRuns, AreAnsweredLineByLineWhileTheChildReadsAndWrites) {
    rt::test::FakeEspeak espeak("sed 's/^/ b/'");
    std::vector<std::string> runs;
    for (int i = 0; i < 5000; ++i)
        runs.push_back(std::string(55, 'r') + std::to_string(i));
    auto answers = EspeakIpa::ofRuns(runs);
    ASSERT_TRUE(answers.has_value());
    ASSERT_EQ(answers->size(), runs.size());
    for (size_t i = 0; i < runs.size(); ++i)
        ASSERT_EQ((*answers)[i], "b" + runs[i]);
}

} // namespace
