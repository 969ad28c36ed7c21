#include "runtime/platform/keyboard/KeyString.h"

#include <cctype>

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

namespace {

constexpr int kMaxRepeat = 1000;

struct Named {
    const char* name;
    NamedKey key;
};

constexpr Named kNames[] = {
    {"ENTER", NamedKey::Enter},       {"TAB", NamedKey::Tab},
    {"ESC", NamedKey::Escape},        {"ESCAPE", NamedKey::Escape},
    {"BACKSPACE", NamedKey::Backspace}, {"BS", NamedKey::Backspace},
    {"BKSP", NamedKey::Backspace},    {"DELETE", NamedKey::Delete},
    {"DEL", NamedKey::Delete},        {"INSERT", NamedKey::Insert},
    {"INS", NamedKey::Insert},        {"HOME", NamedKey::Home},
    {"END", NamedKey::End},           {"PGUP", NamedKey::PageUp},
    {"PGDN", NamedKey::PageDown},     {"UP", NamedKey::Up},
    {"DOWN", NamedKey::Down},         {"LEFT", NamedKey::Left},
    {"RIGHT", NamedKey::Right},       {"CAPSLOCK", NamedKey::CapsLock},
    {"NUMLOCK", NamedKey::NumLock},   {"SCROLLLOCK", NamedKey::ScrollLock},
    {"PRTSC", NamedKey::PrintScreen}, {"BREAK", NamedKey::Break},
    {"HELP", NamedKey::Help},         {"ADD", NamedKey::Add},
    {"SUBTRACT", NamedKey::Subtract}, {"MULTIPLY", NamedKey::Multiply},
    {"DIVIDE", NamedKey::Divide},
};

[[noreturn]] void malformed(const std::string& why) {
    raiseError(kInvalidProcedureCall, {}, "Invalid key string: " + why);
}

bool lookupName(const std::string& name, Key& key) {
    std::string upper = UCase(name);
    for (const Named& n : kNames)
        if (upper == n.name) {
            key = Key{n.key, 0};
            return true;
        }
    if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F') {
        int n = 0;
        for (size_t i = 1; i < upper.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(upper[i])))
                return false;
            n = n * 10 + (upper[i] - '0');
        }
        if (n >= 1 && n <= 16) {
            key = Key{static_cast<NamedKey>(static_cast<int>(NamedKey::F1) + n - 1), 0};
            return true;
        }
    }
    return false;
}

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    std::vector<KeyEvent> parse() {
        parseSequence(false);
        return std::move(m_events);
    }

private:
    void tap(const Key& key) {
        m_events.push_back({true, key});
        m_events.push_back({false, key});
    }

    // Parses until the end, or until ')' when inside a group.
    void parseSequence(bool inGroup) {
        while (m_pos < m_text.size()) {
            char c = m_text[m_pos];
            if (c == ')') {
                if (!inGroup)
                    malformed("unbalanced ')'");
                ++m_pos;
                return;
            }
            parseItem();
        }
        if (inGroup)
            malformed("unbalanced '('");
    }

    void parseItem() {
        char c = m_text[m_pos++];
        switch (c) {
        case '+':
        case '^':
        case '%': {
            Key modifier{c == '+' ? NamedKey::Shift : c == '^' ? NamedKey::Control : NamedKey::Alt, 0};
            if (m_pos >= m_text.size() || m_text[m_pos] == ')')
                malformed("a modifier with nothing after it");
            m_events.push_back({true, modifier});
            parseItem();
            m_events.push_back({false, modifier});
            return;
        }
        case '~': tap(Key{NamedKey::Enter, 0}); return;
        case '(': parseSequence(true); return;
        case '{': parseBraces(); return;
        case '}': malformed("unbalanced '}'");
        default: tap(Key{NamedKey::Char, c}); return;
        }
    }

    void parseBraces() {
        // "{}}" and "{{}" quote a brace: the first character after "{" is
        // always part of the name.
        size_t close = m_text.find('}', m_pos + 1);
        if (m_pos >= m_text.size() || close == std::string::npos)
            malformed("unbalanced '{'");
        std::string inside = m_text.substr(m_pos, close - m_pos);
        m_pos = close + 1;
        std::string name = inside;
        int count = 1;
        size_t space = inside.find(' ', 1);
        if (space != std::string::npos) {
            name = inside.substr(0, space);
            std::string digits = inside.substr(space + 1);
            if (digits.empty() || digits.size() > 4)
                malformed("bad count in {" + inside + "}");
            count = 0;
            for (char d : digits) {
                if (!std::isdigit(static_cast<unsigned char>(d)))
                    malformed("bad count in {" + inside + "}");
                count = count * 10 + (d - '0');
            }
            if (count > kMaxRepeat)
                malformed("count over " + std::to_string(kMaxRepeat));
        }
        Key key;
        if (name.size() == 1)
            key = Key{NamedKey::Char, name[0]};
        else if (!lookupName(name, key))
            malformed("unknown key {" + name + "}");
        for (int i = 0; i < count; ++i)
            tap(key);
    }

    const std::string& m_text;
    size_t m_pos = 0;
    std::vector<KeyEvent> m_events;
};

} // namespace

std::vector<KeyEvent> parseKeyString(const std::string& keys) { return Parser(keys).parse(); }

std::string keyName(const Key& key) {
    if (key.named == NamedKey::Char)
        return std::string(1, key.ch);
    switch (key.named) {
    case NamedKey::Shift: return "SHIFT";
    case NamedKey::Control: return "CTRL";
    case NamedKey::Alt: return "ALT";
    default: break;
    }
    for (const Named& n : kNames)
        if (n.key == key.named)
            return n.name;
    return "F" + std::to_string(static_cast<int>(key.named) - static_cast<int>(NamedKey::F1) + 1);
}

} // namespace rt
