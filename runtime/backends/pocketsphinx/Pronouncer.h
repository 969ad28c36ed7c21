#pragma once
// Pronunciations (the model's phones, space-separated) for the words of the
// grammar: the model's dictionary first; else the word taken apart into
// letter and digit runs, digits spoken as number words ("F5" is "F five"),
// and letter runs the dictionary lacks given by espeak-ng's phonemes
// (asked once per run and process).

#include <functional>
#include <optional>
#include <string>

namespace rt::speech {

class Pronouncer {
public:
    using Lookup = std::function<std::optional<std::string>(const std::string& word)>;
    explicit Pronouncer(Lookup dictionary) : m_dictionary(std::move(dictionary)) {}

    // Phones for a lower-case word; nothing when it cannot be pronounced.
    std::optional<std::string> phones(const std::string& word) const;
    // The same, every letter run given by espeak-ng even when the
    // dictionary has it: a second way to say the word.
    std::optional<std::string> spoken(const std::string& word) const;

    // A number written in words ("42" is "forty two"); long numbers digit by
    // digit.
    static std::string numberWords(const std::string& digits);
    // IPA as espeak-ng writes it, in the model's phones.
    static std::optional<std::string> phonesFromIpa(const std::string& ipa);

private:
    std::optional<std::string> letters(const std::string& run, bool lookUp) const;
    std::optional<std::string> assemble(const std::string& word, bool lookUp) const;
    Lookup m_dictionary;
};

} // namespace rt::speech
