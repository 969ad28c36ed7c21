#include "runtime/platform/registry/HiveFile.h"

#include <cstdio>
#include <exception>
#include <map>
#include <utility>

#include "runtime/core/Strings.h"

namespace rt::registry {

namespace {

constexpr const char* kHeader = "quibo-registry 1";

std::string quote(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text at `pos`, leaving `pos` after it.
bool unquote(const std::string& line, size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"')
        return false;
    out.clear();
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size())
            return false;
        if (line[pos] == 'x') {
            if (pos + 2 >= line.size())
                return false;
            int high = hexDigit(line[pos + 1]);
            int low = hexDigit(line[pos + 2]);
            if (high < 0 || low < 0)
                return false;
            out += static_cast<char>(high * 16 + low);
            pos += 2;
        } else {
            out += line[pos];
        }
    }
    return false;
}

struct TypeName {
    uint32_t type;
    const char* name;
};
constexpr TypeName kTypes[] = {{0, "none"},   {1, "sz"},    {2, "expand-sz"},
                               {3, "binary"}, {4, "dword"}, {7, "multi-sz"}};

std::string typeName(uint32_t type) {
    for (const auto& t : kTypes)
        if (t.type == type)
            return t.name;
    return "type-" + std::to_string(type);
}

// "type-" and the decimal number of a type with no name, which must fit in
// 32 bits.
bool parseType(const std::string& word, uint32_t& type) {
    for (const auto& t : kTypes)
        if (word == t.name) {
            type = t.type;
            return true;
        }
    if (word.rfind("type-", 0) != 0 || word.size() == 5)
        return false;
    uint64_t number = 0;
    for (size_t i = 5; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9')
            return false;
        number = number * 10 + static_cast<uint64_t>(word[i] - '0');
        if (number > UINT32_MAX)
            return false;
    }
    type = static_cast<uint32_t>(number);
    return true;
}

// Keys in depth-first order, each with its full path; a stack rather than
// recursion, so no depth of nesting can exhaust the call stack.
void serializeKeys(const Key& root, std::string& out) {
    struct Pending {
        const Key* key;
        std::string path;
    };
    std::vector<Pending> stack;
    for (auto it = root.children.rbegin(); it != root.children.rend(); ++it)
        stack.push_back({it->get(), (*it)->name});
    while (!stack.empty()) {
        Pending next = std::move(stack.back());
        stack.pop_back();
        const Key& key = *next.key;
        out += "key " + quote(next.path) + "\n";
        if (key.readOnly)
            out += "read-only\n";
        for (const Value& v : key.values)
            out += "value " + quote(v.name) + " " + typeName(v.type) + " " + quote(v.data) + "\n";
        for (auto it = key.children.rbegin(); it != key.children.rend(); ++it)
            stack.push_back({it->get(), next.path + "\\" + (*it)->name});
    }
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t at = path.find('\\', start);
        parts.push_back(path.substr(start, at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

} // namespace

Key* Key::child(const std::string& childName) const {
    for (const auto& c : children)
        if (textEquals(c->name, childName))
            return c.get();
    return nullptr;
}

Value* Key::value(const std::string& valueName) {
    for (Value& v : values)
        if (textEquals(v.name, valueName))
            return &v;
    return nullptr;
}

std::string serializeHive(const Key& root) {
    std::string out = std::string(kHeader) + "\n";
    serializeKeys(root, out);
    return out + "end\n";
}

namespace {

bool parseLines(const std::string& text, Key& root, std::string& error) {
    size_t lineStart = 0;
    int lineNumber = 0;
    Key* current = nullptr;
    bool ended = false;
    root = Key{};
    // Lookups by name, so that a file of many keys or values reads in
    // n log n rather than n squared.
    std::map<std::pair<const Key*, std::string>, Key*> childByName;
    std::map<std::pair<const Key*, std::string>, size_t> valueByName;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            error = "the last line is cut short";
            return false;
        }
        std::string line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        ++lineNumber;
        auto fail = [&](const char* why) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        };
        if (ended)
            return fail("text after the end");
        if (lineNumber == 1) {
            if (line != kHeader)
                return fail("not a registry file");
            continue;
        }
        if (line == "end") {
            ended = true;
        } else if (line.rfind("key ", 0) == 0) {
            size_t pos = 4;
            std::string path;
            if (!unquote(line, pos, path) || pos != line.size() || path.empty())
                return fail("bad key line");
            std::vector<std::string> parts = splitPath(path);
            if (parts.size() > kMaxKeyDepth)
                return fail("key nested too deep");
            current = &root;
            for (const std::string& part : parts) {
                if (part.empty())
                    return fail("empty key name");
                Key*& next = childByName[{current, UCase(part)}];
                if (!next) {
                    current->children.push_back(std::make_unique<Key>());
                    next = current->children.back().get();
                    next->name = part;
                }
                current = next;
            }
        } else if (line == "read-only") {
            if (!current)
                return fail("read-only before any key");
            current->readOnly = true;
        } else if (line.rfind("value ", 0) == 0) {
            if (!current)
                return fail("value before any key");
            size_t pos = 6;
            Value v;
            if (!unquote(line, pos, v.name) || pos >= line.size() || line[pos] != ' ')
                return fail("bad value name");
            size_t typeEnd = line.find(' ', pos + 1);
            if (typeEnd == std::string::npos ||
                !parseType(line.substr(pos + 1, typeEnd - pos - 1), v.type))
                return fail("bad value type");
            pos = typeEnd + 1;
            if (!unquote(line, pos, v.data) || pos != line.size())
                return fail("bad value data");
            auto [at, added] =
                valueByName.try_emplace({current, UCase(v.name)}, current->values.size());
            if (added)
                current->values.push_back(std::move(v));
            else
                current->values[at->second] = std::move(v);
        } else {
            return fail("unknown line");
        }
    }
    if (!ended) {
        error = lineNumber == 0 ? "the file is empty" : "the file ends before its end line";
        return false;
    }
    return true;
}

} // namespace

bool parseHive(const std::string& text, Key& root, std::string& error) {
    try {
        return parseLines(text, root, error);
    } catch (const std::exception& e) {
        error = std::string("cannot be read (") + e.what() + ")";
        return false;
    }
}

} // namespace rt::registry
