#pragma once
// The grammar file the recogniser loads: a header, then one line
// "<start>=<rule>" per phrase it can hear. Both engines read it here.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rt::speech {

class GrammarFile {
public:
    // The rule texts of every "<start>=" line in file order, exactly as
    // written (ANSI bytes, trailing carriage return dropped); lines with no
    // text after "=" and all other lines are passed over.
    static std::vector<std::string> parse(std::string_view text);

    // Reads and parses a file. Raises 53 when it does not exist and 75 when
    // it cannot be read (a folder, no permission).
    static std::vector<std::string> read(const std::filesystem::path& path);
};

} // namespace rt::speech
