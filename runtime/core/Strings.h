#pragma once
// The string functions the deliverables call, on ANSI text. Positions are
// 1-based as callers count them; case rules follow Windows-1252.

#include <array>
#include <string>
#include <string_view>

namespace rt {

std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string Left(std::string_view s, long length);
std::string Right(std::string_view s, long length);
// From 1-based `start`, at most `length` characters (all when negative).
std::string Mid(std::string_view s, long start, long length = -1);

enum class Compare { Binary, Text };
// 1-based position of `find` in `s` at or after `start`, 0 when absent.
long InStr(long start, std::string_view s, std::string_view find, Compare compare = Compare::Binary);
inline long InStr(std::string_view s, std::string_view find, Compare compare = Compare::Binary) {
    return InStr(1, s, find, compare);
}

// Whole-text comparison without regard to case.
bool textEquals(std::string_view a, std::string_view b);
// Whether the text holds a control character (a line break, a tab, DEL):
// one would split a line of a text file written from it.
bool holdsControlCharacter(std::string_view s);
// -1, 0 or 1, like StrComp.
int StrComp(std::string_view a, std::string_view b, Compare compare = Compare::Binary);

// The Windows-1252 upper and lower case of every byte: tables, since case
// folding sits in the inner loop of every text lookup.
extern const std::array<unsigned char, 256> kUpperAnsi;
extern const std::array<unsigned char, 256> kLowerAnsi;
inline unsigned char upperAnsi(unsigned char c) { return kUpperAnsi[c]; }
inline unsigned char lowerAnsi(unsigned char c) { return kLowerAnsi[c]; }

} // namespace rt
