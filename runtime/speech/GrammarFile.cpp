#include "runtime/speech/GrammarFile.h"

#include <fstream>
#include <iterator>

#include "runtime/core/Error.h"

namespace rt::speech {

namespace {
constexpr std::string_view kRulePrefix = "<start>=";
}

std::vector<std::string> GrammarFile::parse(std::string_view text) {
    std::vector<std::string> rules;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with(kRulePrefix) && line.size() > kRulePrefix.size())
            rules.emplace_back(line.substr(kRulePrefix.size()));
    }
    return rules;
}

std::vector<std::string> GrammarFile::read(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        raiseError(kFileNotFound, "SpeechRecogniser", "Grammar file not found: " + path.string());
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, ec) || !in)
        raiseError(kPathFileAccessError, "SpeechRecogniser",
                   "Grammar file cannot be read: " + path.string());
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        raiseError(kPathFileAccessError, "SpeechRecogniser",
                   "Grammar file cannot be read: " + path.string());
    return parse(text);
}

} // namespace rt::speech
