#pragma once
// The key-sending notation: ordinary characters type themselves; "+" Shift,
// "^" Ctrl and "%" Alt hold their modifier over the next key or over a group
// in parentheses; "~" is Enter; braces name a key ("{F5}", "{TAB 3}") or
// quote a character ("{+}", "{{}", "{a 5}"). The whole string is parsed
// before anything is typed.

#include <string>
#include <vector>

namespace rt {

enum class NamedKey {
    Char, // an ordinary character: Key::ch
    Shift,
    Control,
    Alt,
    Enter,
    Tab,
    Escape,
    Backspace,
    Delete,
    Insert,
    Home,
    End,
    PageUp,
    PageDown,
    Up,
    Down,
    Left,
    Right,
    CapsLock,
    NumLock,
    ScrollLock,
    PrintScreen,
    Break,
    Help,
    Add,
    Subtract,
    Multiply,
    Divide,
    F1, // F1..F16 follow in order
    F16 = F1 + 15,
};

// One key: a named key, or an ANSI character when `named` is Char.
struct Key {
    NamedKey named = NamedKey::Char;
    char ch = 0;
    bool operator==(const Key&) const = default;
};

struct KeyEvent {
    bool down = true;
    Key key;
    bool operator==(const KeyEvent&) const = default;
};

// The presses and releases a key string stands for. A malformed string
// (unbalanced brace or parenthesis, unknown key name, bad count, a modifier
// with nothing to hold it over) raises 5.
std::vector<KeyEvent> parseKeyString(const std::string& keys);

// The name of a key as the notation writes it ("ENTER", "F5", or the character).
std::string keyName(const Key& key);

} // namespace rt
