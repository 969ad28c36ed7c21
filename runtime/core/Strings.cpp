#include "runtime/core/Strings.h"

#include <algorithm>

#include "runtime/core/Error.h"

namespace rt {

namespace {

constexpr unsigned char upperOf(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return c - 32;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 32;
    switch (c) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: return c;
    }
}

constexpr unsigned char lowerOf(unsigned char c) {
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

constexpr std::array<unsigned char, 256> foldTable(unsigned char (*fold)(unsigned char)) {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<size_t>(c)] = fold(static_cast<unsigned char>(c));
    return table;
}

} // namespace

const std::array<unsigned char, 256> kUpperAnsi = foldTable(upperOf);
const std::array<unsigned char, 256> kLowerAnsi = foldTable(lowerOf);

std::string UCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(upperAnsi(static_cast<unsigned char>(c)));
    return out;
}

std::string LCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(lowerAnsi(static_cast<unsigned char>(c)));
    return out;
}

std::string LTrim(std::string_view s) {
    size_t i = s.find_first_not_of(' ');
    return i == std::string_view::npos ? std::string() : std::string(s.substr(i));
}

std::string RTrim(std::string_view s) {
    size_t i = s.find_last_not_of(' ');
    return i == std::string_view::npos ? std::string() : std::string(s.substr(0, i + 1));
}

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

std::string Left(std::string_view s, long length) {
    if (length < 0)
        raiseError(kInvalidProcedureCall);
    return std::string(s.substr(0, static_cast<size_t>(length)));
}

std::string Right(std::string_view s, long length) {
    if (length < 0)
        raiseError(kInvalidProcedureCall);
    size_t n = std::min(s.size(), static_cast<size_t>(length));
    return std::string(s.substr(s.size() - n));
}

std::string Mid(std::string_view s, long start, long length) {
    if (start < 1)
        raiseError(kInvalidProcedureCall);
    if (static_cast<size_t>(start) > s.size())
        return {};
    auto from = static_cast<size_t>(start - 1);
    return std::string(length < 0 ? s.substr(from) : s.substr(from, static_cast<size_t>(length)));
}

long InStr(long start, std::string_view s, std::string_view find, Compare compare) {
    if (start < 1)
        raiseError(kInvalidProcedureCall);
    if (static_cast<size_t>(start) > s.size() + 1)
        return 0;
    std::string hay(s), needle(find);
    if (compare == Compare::Text) {
        hay = UCase(hay);
        needle = UCase(needle);
    }
    size_t at = hay.find(needle, static_cast<size_t>(start - 1));
    return at == std::string::npos ? 0 : static_cast<long>(at + 1);
}

bool holdsControlCharacter(std::string_view s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; });
}

bool textEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperAnsi(static_cast<unsigned char>(a[i])) != upperAnsi(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int StrComp(std::string_view a, std::string_view b, Compare compare) {
    std::string x(a), y(b);
    if (compare == Compare::Text) {
        x = LCase(x);
        y = LCase(y);
    }
    int c = x.compare(y);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

} // namespace rt
