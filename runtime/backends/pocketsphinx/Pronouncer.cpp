#include "runtime/backends/pocketsphinx/Pronouncer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "runtime/backends/pocketsphinx/EspeakIpa.h"

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

std::mutex g_askedMutex;
std::map<std::string, std::optional<std::string>> g_asked; // word -> IPA

std::optional<std::string> espeakIpa(const std::string& word) {
    {
        std::lock_guard lock(g_askedMutex);
        auto found = g_asked.find(word);
        if (found != g_asked.end())
            return found->second;
    }
    auto ipa = EspeakIpa::ofRun(word);
    std::lock_guard lock(g_askedMutex);
    return g_asked.emplace(word, ipa).first->second;
}

// The letter runs of a word, digits as their number words.
std::vector<std::string> runsOf(const std::string& word) {
    std::vector<std::string> runs;
    size_t i = 0;
    while (i < word.size()) {
        unsigned char c = static_cast<unsigned char>(word[i]);
        size_t j = i + 1;
        if (std::isdigit(c)) {
            while (j < word.size() && std::isdigit(static_cast<unsigned char>(word[j])))
                ++j;
            std::string spoken = Pronouncer::numberWords(word.substr(i, j - i));
            size_t k = 0;
            while (k < spoken.size()) {
                size_t e = spoken.find(' ', k);
                if (e == std::string::npos)
                    e = spoken.size();
                runs.push_back(spoken.substr(k, e - k));
                k = e + 1;
            }
        } else if (std::isalpha(c)) {
            while (j < word.size() &&
                   (std::isalpha(static_cast<unsigned char>(word[j])) || word[j] == '\''))
                ++j;
            runs.push_back(word.substr(i, j - i));
        }
        i = j;
    }
    return runs;
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
    for (const auto& run : runsOf(word)) {
        auto p = letters(run, lookUp);
        if (!p)
            return std::nullopt;
        phones += phones.empty() ? *p : " " + *p;
    }
    if (phones.empty())
        return std::nullopt;
    return phones;
}

void Pronouncer::prepare(const std::vector<std::string>& words) {
    std::vector<std::string> runs;
    {
        std::lock_guard lock(g_askedMutex);
        std::set<std::string> taken;
        for (const auto& word : words)
            for (auto& run : runsOf(word))
                if (!g_asked.count(run) && taken.insert(run).second)
                    runs.push_back(std::move(run));
    }
    // Starting espeak-ng costs far more than one run's answer, so each
    // process is given a chunk of runs; a few run at once to use the cores.
    // A run so long that espeak-ng may break it over lines is asked alone.
    constexpr size_t kLongestInChunk = 100;
    constexpr size_t kMostInChunk = 256;
    constexpr size_t kFewestInChunk = 32;
    const size_t processes = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    std::vector<std::vector<size_t>> chunks;
    std::vector<size_t> batched;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (runs[i].size() > kLongestInChunk)
            chunks.push_back({i});
        else
            batched.push_back(i);
    }
    // Chunks of even size, as many as the processes or a multiple of them.
    auto divided = [](size_t n, size_t by) { return (n + by - 1) / by; };
    size_t rounds = std::max<size_t>(1, divided(batched.size(), processes * kMostInChunk));
    size_t perChunk = std::max(kFewestInChunk, divided(batched.size(), processes * rounds));
    for (size_t first = 0; first < batched.size(); first += perChunk)
        chunks.emplace_back(batched.begin() + long(first),
                            batched.begin() + long(std::min(batched.size(), first + perChunk)));

    std::vector<std::optional<std::string>> ipa(runs.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t c; (c = next++) < chunks.size();) {
            const auto& chunk = chunks[c];
            std::optional<std::vector<std::string>> answers;
            if (chunk.size() > 1) {
                std::vector<std::string> asked;
                for (size_t i : chunk)
                    asked.push_back(runs[i]);
                answers = EspeakIpa::ofRuns(asked);
            }
            // A chunk whose answer cannot be trusted line by line is asked
            // again run by run, so no run gets another's phones.
            for (size_t k = 0; k < chunk.size(); ++k)
                ipa[chunk[k]] =
                    answers ? std::optional((*answers)[k]) : EspeakIpa::ofRun(runs[chunk[k]]);
        }
    };
    {
        std::vector<std::jthread> workers;
        for (size_t t = 0; t < std::min(processes, chunks.size()); ++t)
            workers.emplace_back(work);
    }
    std::lock_guard lock(g_askedMutex);
    for (size_t i = 0; i < runs.size(); ++i)
        g_asked.emplace(runs[i], std::move(ipa[i]));
}

} // namespace rt::speech
