#pragma once
// The text form of one hive: a line per key and per value, texts quoted with
// escapes, closed by an "end" line so a file cut short is recognised.
//
//   quibo-registry 1
//   key "Software\\frmQuibo\\Position"
//   value "Top" sz "1200"
//   value "Count" dword "\x0a\x01\x00\x00"
//   end

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rt::registry {

// Keys nest at most this deep; deeper keys are refused when created and make
// a file damaged when read, so every tree this store holds can be written
// out and read back.
constexpr size_t kMaxKeyDepth = 512;

struct Value {
    std::string name;
    uint32_t type = 0;
    std::string data; // raw bytes
};

struct Key {
    std::string name; // as first created
    bool readOnly = false;
    std::vector<Value> values;
    std::vector<std::unique_ptr<Key>> children;

    Key* child(const std::string& name) const; // case-insensitive
    Value* value(const std::string& name);     // case-insensitive
};

std::string serializeHive(const Key& root);

// Parses the text of a hive file into `root`; false with a reason in `error`
// when the text is not a complete hive file. Never throws for any bytes.
bool parseHive(const std::string& text, Key& root, std::string& error);

} // namespace rt::registry
