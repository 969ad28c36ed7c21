#include "runtime/backends/pocketsphinx/Pronouncer.h"

#include <array>
#include <cctype>
#include <map>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace rt::speech {

namespace {

// Longest symbols first: diphthongs and affricates before their parts.
constexpr std::array<std::pair<const char*, const char*>, 52> kIpa{{
    {"aɪ", "AY"}, {"aʊ", "AW"}, {"eɪ", "EY"}, {"oʊ", "OW"}, {"əʊ", "OW"}, {"ɔɪ", "OY"},
    {"tʃ", "CH"}, {"dʒ", "JH"}, {"ɜː", "ER"}, {"ɚ", "ER"},  {"ɝ", "ER"},  {"ɑː", "AA"},
    {"ɑ", "AA"},  {"ɒ", "AA"},  {"a", "AE"},  {"æ", "AE"},  {"ʌ", "AH"},  {"ə", "AH"},
    {"ɐ", "AH"},  {"ɔ", "AO"},  {"ɛ", "EH"},  {"e", "EH"},  {"ɪ", "IH"},  {"ᵻ", "IH"},
    {"i", "IY"},  {"ʊ", "UH"},  {"u", "UW"},  {"o", "OW"},  {"b", "B"},   {"d", "D"},
    {"ð", "DH"},  {"f", "F"},   {"ɡ", "G"},   {"g", "G"},   {"h", "HH"},  {"j", "Y"},
    {"k", "K"},   {"l", "L"},   {"ɫ", "L"},   {"m", "M"},   {"n", "N"},   {"ŋ", "NG"},
    {"p", "P"},   {"ɹ", "R"},   {"r", "R"},   {"s", "S"},   {"ʃ", "SH"},  {"t", "T"},
    {"θ", "TH"},  {"v", "V"},   {"w", "W"},   {"z", "Z"},
}};
constexpr std::array<std::pair<const char*, const char*>, 4> kIpaMore{
    {{"ʒ", "ZH"}, {"ɾ", "D"}, {"ʔ", "T"}, {"x", "K"}}};
// Marks that carry no phone of their own: stress, length, syllabic, ties.
constexpr std::array<const char*, 6> kIpaMarks{"ˈ", "ˌ", "ː", "̩", "͡", "-"};

constexpr std::array<const char*, 20> kOnes{
    "zero",     "one",     "two",     "three",     "four",     "five",    "six",
    "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
    "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
constexpr std::array<const char*, 10> kTens{"",      "",      "twenty",  "thirty", "forty",
                                            "fifty", "sixty", "seventy", "eighty", "ninety"};

std::string below1000(int n) {
    std::string out;
    auto add = [&](const std::string& w) { out += out.empty() ? w : " " + w; };
    if (n >= 100) {
        add(kOnes[n / 100]);
        add("hundred");
        n %= 100;
        if (n == 0)
            return out;
    }
    if (n < 20) {
        add(kOnes[n]);
    } else {
        add(kTens[n / 10]);
        if (n % 10)
            add(kOnes[n % 10]);
    }
    return out;
}

// espeak-ng's IPA for one word, run without a shell so no word is a command.
std::optional<std::string> runEspeak(const std::string& word) {
    int out[2];
    if (pipe(out) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", 1, 0);
    std::vector<std::string> args{"espeak-ng", "-q", "--ipa", "-v", "en-us", word};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, "espeak-ng", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    if (rc == 0) {
        char buf[256];
        ssize_t n;
        while ((n = ::read(out[0], buf, sizeof buf)) > 0)
            text.append(buf, size_t(n));
        int status = 0;
        waitpid(pid, &status, 0);
    }
    close(out[0]);
    if (rc != 0)
        return std::nullopt;
    return text;
}

std::optional<std::string> espeakIpa(const std::string& word) {
    static std::mutex mutex;
    static std::map<std::string, std::optional<std::string>> asked;
    {
        std::lock_guard lock(mutex);
        auto found = asked.find(word);
        if (found != asked.end())
            return found->second;
    }
    auto ipa = runEspeak(word);
    std::lock_guard lock(mutex);
    return asked.emplace(word, ipa).first->second;
}

bool matchAt(const std::string& s, size_t i, const char* sym) {
    return s.compare(i, std::char_traits<char>::length(sym), sym) == 0;
}

} // namespace

std::string Pronouncer::numberWords(const std::string& digits) {
    std::string out;
    auto add = [&](const std::string& w) { out += out.empty() ? w : " " + w; };
    if (digits.size() > 6 || (digits.size() > 1 && digits[0] == '0')) {
        for (char c : digits)
            add(kOnes[c - '0']);
        return out;
    }
    int n = std::stoi(digits);
    if (n == 0)
        return "zero";
    if (n >= 1000) {
        add(below1000(n / 1000));
        add("thousand");
    }
    if (n % 1000)
        add(below1000(n % 1000));
    return out;
}

std::optional<std::string> Pronouncer::phonesFromIpa(const std::string& ipa) {
    std::string phones;
    size_t i = 0;
    while (i < ipa.size()) {
        unsigned char c = static_cast<unsigned char>(ipa[i]);
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        bool found = false;
        for (const char* mark : kIpaMarks)
            if (matchAt(ipa, i, mark)) {
                i += std::char_traits<char>::length(mark);
                found = true;
                break;
            }
        if (found)
            continue;
        auto tryTable = [&](const auto& table) {
            for (const auto& [sym, phone] : table)
                if (matchAt(ipa, i, sym)) {
                    phones += phones.empty() ? phone : std::string(" ") + phone;
                    i += std::char_traits<char>::length(sym);
                    return true;
                }
            return false;
        };
        if (!tryTable(kIpa) && !tryTable(kIpaMore))
            return std::nullopt; // a sound the model has no phone for
    }
    if (phones.empty())
        return std::nullopt;
    return phones;
}

std::optional<std::string> Pronouncer::letters(const std::string& run, bool lookUp) const {
    if (lookUp)
        if (auto p = m_dictionary(run))
            return p;
    auto ipa = espeakIpa(run);
    if (!ipa)
        return std::nullopt;
    return phonesFromIpa(*ipa);
}

std::optional<std::string> Pronouncer::phones(const std::string& word) const {
    if (auto p = m_dictionary(word))
        return p;
    return assemble(word, true);
}

std::optional<std::string> Pronouncer::spoken(const std::string& word) const {
    return assemble(word, false);
}

std::optional<std::string> Pronouncer::assemble(const std::string& word, bool lookUp) const {
    std::string phones;
    auto add = [&](const std::optional<std::string>& p) {
        if (p)
            phones += phones.empty() ? *p : " " + *p;
        return p.has_value();
    };
    size_t i = 0;
    while (i < word.size()) {
        unsigned char c = static_cast<unsigned char>(word[i]);
        size_t j = i + 1;
        if (std::isdigit(c)) {
            while (j < word.size() && std::isdigit(static_cast<unsigned char>(word[j])))
                ++j;
            std::string spoken = numberWords(word.substr(i, j - i));
            size_t k = 0;
            while (k < spoken.size()) {
                size_t e = spoken.find(' ', k);
                if (e == std::string::npos)
                    e = spoken.size();
                if (!add(letters(spoken.substr(k, e - k), lookUp)))
                    return std::nullopt;
                k = e + 1;
            }
        } else if (std::isalpha(c)) {
            while (j < word.size() &&
                   (std::isalpha(static_cast<unsigned char>(word[j])) || word[j] == '\''))
                ++j;
            if (!add(letters(word.substr(i, j - i), lookUp)))
                return std::nullopt;
        }
        i = j; // other characters are not spoken
    }
    if (phones.empty())
        return std::nullopt;
    return phones;
}

} // namespace rt::speech
