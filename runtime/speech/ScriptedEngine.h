#pragma once
// A recogniser engine driven by its caller: say() hears a phrase, level() a
// sound level. A phrase is recognised when its words match a rule of the
// loaded grammar, ignoring case and spacing as a listener would; the event
// carries that rule's text as written (the first such rule in the file).

#include <optional>

#include "runtime/speech/RecogniserEngine.h"

namespace rt::speech {

class ScriptedEngine : public RecogniserEngine {
public:
    std::string setGrammar(const std::vector<std::string>& rules) override;
    void start(EngineSink sink) override;
    void stop() override;

    // Returns whether the phrase was heard (listening and in the grammar).
    bool say(const std::string& phrase);
    // Returns whether the level was passed on (listening).
    bool level(int32_t n);

    bool listening() const { return m_listening; }
    const std::vector<std::string>& rules() const { return m_rules; }

    // The rule that a spoken phrase matches, if any.
    static std::optional<std::string> match(const std::vector<std::string>& rules,
                                            const std::string& phrase);

private:
    std::vector<std::string> m_rules;
    EngineSink m_sink;
    bool m_listening = false;
};

} // namespace rt::speech
