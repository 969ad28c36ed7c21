#include "runtime/backends/pocketsphinx/Pronouncer.h"

#include <map>

#include <gtest/gtest.h>

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

} // namespace
