#pragma once
// ANSI text: every string inside the runtime holds Windows-1252 bytes, one
// byte per character. UTF-8 appears only at the edges (file names on disk,
// the window system, the GUI toolkit).

#include <string>
#include <string_view>

namespace rt {

// UTF-8 to Windows-1252; a character with no ANSI form becomes '?', and so
// does each byte of malformed UTF-8.
std::string ansiFromUtf8(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined map to
// the C1 control characters of the same value, so the trip back is lossless.
std::string utf8FromAnsi(std::string_view ansi);

// The Unicode code point of one ANSI byte, and the byte of a code point ('?'
// when the code page has none).
char32_t unicodeFromAnsi(unsigned char c);
unsigned char ansiFromUnicode(char32_t cp);

} // namespace rt
