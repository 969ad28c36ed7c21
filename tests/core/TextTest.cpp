#include "runtime/core/Ansi.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

#include <gtest/gtest.h>

using namespace rt;

TEST(Ansi, RoundTripsEveryByte) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(ansiFromUtf8(utf8FromAnsi(all)), all);
}

TEST(Ansi, BrokenBarAndEuroMapToTheirBytes) {
    EXPECT_EQ(ansiFromUtf8("a \xC2\xA6 b"), "a \xA6 b");
    EXPECT_EQ(ansiFromUtf8("\xE2\x82\xAC"), "\x80");
    EXPECT_EQ(utf8FromAnsi("\xA6"), "\xC2\xA6");
}

TEST(Ansi, CharactersWithoutAnsiFormBecomeQuestionMarks) {
    EXPECT_EQ(ansiFromUtf8("\xE4\xB8\xAD x"), "? x");         // CJK
    EXPECT_EQ(ansiFromUtf8("\xF0\x9F\x98\x80"), "?");         // emoji
    EXPECT_EQ(ansiFromUtf8("\xFF\xC3"), "??");               // malformed, cut short
}

TEST(Strings, CaseFollowsTheCodePage) {
    EXPECT_EQ(UCase("quibo \xE9\x9A"), "QUIBO \xC9\x8A");
    EXPECT_EQ(LCase("QUIBO \xC9\x8A"), "quibo \xE9\x9A");
    EXPECT_TRUE(textEquals("Explore ", "eXPLORE "));
    EXPECT_FALSE(textEquals("abc", "abd"));
}

TEST(Strings, PositionsAreOneBased) {
    EXPECT_EQ(InStr("word*name", "*"), 5);
    EXPECT_EQ(InStr(6, "a*b*c", "*"), 0);
    EXPECT_EQ(InStr("QUIBO! Voice", "quibo", Compare::Text), 1);
    EXPECT_EQ(InStr("QUIBO! Voice", "quibo"), 0);
    EXPECT_EQ(Mid("phrase:keys", 8), "keys");
    EXPECT_EQ(Mid("abc", 5), "");
    EXPECT_EQ(Left("abc", 10), "abc");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Trim("  a b  "), "a b");
}

TEST(Errors, RaiseUsesStandardTextAndSkipFailureRecordsIt) {
    Err().clear();
    bool ok = skipFailure([] { raiseError(kFileNotFound); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(Err().number, kFileNotFound);
    EXPECT_EQ(Err().description, "File not found");
    EXPECT_TRUE(skipFailure([] {}));
}
