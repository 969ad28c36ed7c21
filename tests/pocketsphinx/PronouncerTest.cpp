#include "runtime/backends/pocketsphinx/Pronouncer.h"

#include <map>
#include <optional>

#include <gtest/gtest.h>

#include "tests/pocketsphinx/FakeEspeak.h"
#include "tests/support/TestSupport.h"

using rt::speech::Pronouncer;

namespace {

struct TextRow {
    std::string name;
    std::string in;
    std::string out; // empty: none
    friend void PrintTo(const TextRow& row, std::ostream* os) { *os << row.name; }
};

class NumberWords : public testing::TestWithParam<TextRow> {};

TEST_P(NumberWords, SpeaksDigitsAsWords) {
    EXPECT_EQ(Pronouncer::numberWords(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberWords,
    testing::Values(TextRow{"Zero", "0", "zero"}, TextRow{"Teen", "13", "thirteen"},
                    TextRow{"Tens", "42", "forty two"}, TextRow{"RoundTens", "90", "ninety"},
                    TextRow{"Hundreds", "100", "one hundred"},
                    TextRow{"Thousands", "2005", "two thousand five"},
                    TextRow{"LeadingZero", "007", "zero zero seven"},
                    TextRow{"Long", "1234567", "one two three four five six seven"}),
    rt::test::RowName());

class IpaPhones : public testing::TestWithParam<TextRow> {};

TEST_P(IpaPhones, MapsToTheModelsPhones) {
    auto phones = Pronouncer::phonesFromIpa(GetParam().in);
    EXPECT_EQ(phones.value_or(""), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, IpaPhones,
    testing::Values(TextRow{"StressAndDiphthong", "nˈoʊtpæd", "N OW T P AE D"},
                    TextRow{"Affricates", "tʃˈɜːtʃ dʒˈʌdʒ", "CH ER CH JH AH JH"},
                    TextRow{"MadeUpName", "kwˌɪbəzˈɪlə", "K W IH B AH Z IH L AH"},
                    TextRow{"UnknownSoundRefused", "nˈoʊ☃", ""}, TextRow{"MarksOnly", "ˈˌ", ""}),
    rt::test::RowName());

class FakeDictionary : public testing::Test {
protected:
    std::map<std::string, std::string> m_words{{"f", "EH F"},
                                               {"five", "F AY V"},
                                               {"forty", "F AO R T IY"},
                                               {"two", "T UW"},
                                               {"mail", "Z UW"}}; // deliberately not how it sounds
    Pronouncer m_pronouncer{[this](const std::string& w) -> std::optional<std::string> {
        auto found = m_words.find(w);
        if (found == m_words.end())
            return std::nullopt;
        return found->second;
    }};
};

TEST_F(FakeDictionary, KeyNamesAndNumbersAreSpokenAsWords) {
    EXPECT_EQ(m_pronouncer.phones("f5").value_or(""), "EH F F AY V");
    EXPECT_EQ(m_pronouncer.phones("f42").value_or(""), "EH F F AO R T IY T UW");
}

TEST_F(FakeDictionary, WordsWithoutLettersOrDigitsCannotBeSpoken) {
    EXPECT_FALSE(m_pronouncer.phones("###").has_value());
    EXPECT_FALSE(m_pronouncer.phones("").has_value());
}

TEST_F(FakeDictionary, UnknownWordsAreGeneratedFromTheirSpelling) {
    if (std::system("command -v espeak-ng >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "espeak-ng not installed";
    auto phones = m_pronouncer.phones("zarkplex");
    ASSERT_TRUE(phones.has_value());
    EXPECT_EQ(phones->rfind("Z AA R K", 0), 0u) << *phones;
    // A word cannot smuggle options or commands into the generator.
    EXPECT_FALSE(m_pronouncer.phones("--help;").value_or("").empty());
}

TEST_F(FakeDictionary, TheSecondWayToSayAWordComesFromItsSpellingNotTheDictionary) {
    if (std::system("command -v espeak-ng >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "espeak-ng not installed";
    EXPECT_EQ(m_pronouncer.phones("mail").value_or(""), "Z UW");
    EXPECT_EQ(m_pronouncer.spoken("mail").value_or(""), "M EY L");
    // Digits are still spoken as number words, each generated too.
    auto f5 = m_pronouncer.spoken("f5").value_or("");
    EXPECT_NE(f5.find("F AY V"), std::string::npos) << f5;
    EXPECT_FALSE(m_pronouncer.spoken("###").has_value());
}

struct PrepareRow {
    std::string name;
    std::string prefix; // of the row's words, which no other test asks about
    std::optional<std::string> batch;
    bool trusted; // the batch answers are taken
    friend void PrintTo(const PrepareRow& row, std::ostream* os) { *os << row.name; }
};

// The fake espeak-ng echoes each run as its IPA, alone and in a batch; its
// letters are IPA symbols that are their own phones. Untrusted batches answer
// with a "z" before each run, so a wrongly taken answer shows.
class PreparedRuns : public testing::TestWithParam<PrepareRow> {
protected:
    static std::vector<std::string> words(const std::string& prefix) {
        const std::string letters = "bdfkmnpstv";
        std::vector<std::string> out;
        for (size_t i = 0; i < 200; ++i)
            out.push_back(prefix + letters[i / 100] + letters[i / 10 % 10] + letters[i % 10]);
        return out;
    }
    static std::string phonesOf(const std::string& word) {
        std::string out;
        for (char c : word)
            out += (out.empty() ? "" : " ") + std::string(1, char(std::toupper(c)));
        return out;
    }
    Pronouncer m_pronouncer{[](const std::string&) { return std::optional<std::string>(); }};
};

TEST_P(PreparedRuns, EveryRunGetsItsOwnAnswer) {
    rt::test::FakeEspeak espeak(GetParam().batch, "printf '%s\\n' \"$5\"");
    auto asked = words(GetParam().prefix);
    Pronouncer::prepare(asked);
    int starts = espeak.starts();
    for (const auto& word : asked)
        EXPECT_EQ(m_pronouncer.spoken(word).value_or("<none>"), phonesOf(word)) << word;
    EXPECT_EQ(espeak.starts(), starts) << "answers not kept";
    if (GetParam().trusted) {
        EXPECT_LE(starts * 10, int(asked.size())) << "too many processes";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PreparedRuns,
    testing::Values(PrepareRow{"ChunksAnswered", "bd", "cat", true},
                    PrepareRow{"LinesJoined", "bf", "cat >/dev/null; echo 'bˈɑː'", false},
                    PrepareRow{"RunsLeftUnanswered", "bk", "sed 's/^/z/; 3,4d'", false},
                    PrepareRow{"Crashed", "bm", "sed 's/^/z/'; kill -SEGV $$", false},
                    PrepareRow{"Failed", "bn", "sed 's/^/z/'; exit 1", false}),
    rt::test::RowName());

TEST(PreparedRunsWithoutEspeak, CannotBeSpoken) {
    rt::test::FakeEspeak espeak(std::nullopt);
    Pronouncer pronouncer([](const std::string&) { return std::optional<std::string>(); });
    Pronouncer::prepare({"bpdd", "bpff"});
    EXPECT_FALSE(pronouncer.spoken("bpdd").has_value());
    EXPECT_FALSE(pronouncer.spoken("bpff").has_value());
}

} // namespace
