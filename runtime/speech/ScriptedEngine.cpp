#include "runtime/speech/ScriptedEngine.h"

#include <cctype>
#include <sstream>

namespace rt::speech {

namespace {

// Words in lower case, single-spaced: what a listener hears of a text.
std::string spoken(const std::string& text) {
    std::istringstream in(text);
    std::string word, out;
    while (in >> word) {
        for (char& c : word)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        out += out.empty() ? word : " " + word;
    }
    return out;
}

} // namespace

std::optional<std::string> ScriptedEngine::match(const std::vector<std::string>& rules,
                                                 const std::string& phrase) {
    std::string heard = spoken(phrase);
    if (heard.empty())
        return std::nullopt;
    for (const auto& rule : rules)
        if (spoken(rule) == heard)
            return rule;
    return std::nullopt;
}

std::string ScriptedEngine::setGrammar(const std::vector<std::string>& rules) {
    m_rules = rules;
    return {};
}

void ScriptedEngine::start(EngineSink sink) {
    m_sink = std::move(sink);
    m_listening = true;
}

void ScriptedEngine::stop() {
    m_listening = false;
    m_sink = {};
}

bool ScriptedEngine::say(const std::string& phrase) {
    if (!m_listening)
        return false;
    auto rule = match(m_rules, phrase);
    if (!rule)
        return false;
    if (m_sink.phrase)
        m_sink.phrase(*rule);
    return true;
}

bool ScriptedEngine::level(int32_t n) {
    if (!m_listening)
        return false;
    if (m_sink.level)
        m_sink.level(n);
    return true;
}

} // namespace rt::speech
