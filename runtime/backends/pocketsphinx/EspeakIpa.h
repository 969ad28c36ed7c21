#pragma once
// espeak-ng's IPA for letter runs, started without a shell so that no run is
// taken as a command or an option.

#include <optional>
#include <string>
#include <vector>

namespace rt::speech {

class EspeakIpa {
public:
    // One process for one run, given as its argument. Nothing when espeak-ng
    // cannot be started; empty when it says nothing.
    static std::optional<std::string> ofRun(const std::string& run);
    // One process for many runs, one a line on its standard input. Nothing
    // unless it ended well with exactly one non-empty line per run, so that
    // no line is ever taken for another run's answer.
    static std::optional<std::vector<std::string>> ofRuns(const std::vector<std::string>& runs);
};

} // namespace rt::speech
