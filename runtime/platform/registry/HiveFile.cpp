#include "runtime/platform/registry/HiveFile.h"

#include <cstdio>

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
            unsigned value = 0;
            if (std::sscanf(line.substr(pos + 1, 2).c_str(), "%2x", &value) != 1)
                return false;
            out += static_cast<char>(value);
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
constexpr TypeName kTypes[] = {{0, "none"}, {1, "sz"}, {2, "expand-sz"}, {3, "binary"},
                               {4, "dword"}, {7, "multi-sz"}};

std::string typeName(uint32_t type) {
    for (const auto& t : kTypes)
        if (t.type == type)
            return t.name;
    return "type-" + std::to_string(type);
}

bool parseType(const std::string& word, uint32_t& type) {
    for (const auto& t : kTypes)
        if (word == t.name) {
            type = t.type;
            return true;
        }
    if (word.rfind("type-", 0) == 0 && word.size() > 5 && word.size() < 16) {
        type = static_cast<uint32_t>(std::stoul(word.substr(5)));
        return true;
    }
    return false;
}

void serializeKey(const Key& key, const std::string& path, std::string& out) {
    if (!path.empty()) {
        out += "key " + quote(path) + "\n";
        if (key.readOnly)
            out += "read-only\n";
        for (const Value& v : key.values)
            out += "value " + quote(v.name) + " " + typeName(v.type) + " " + quote(v.data) + "\n";
    }
    for (const auto& child : key.children)
        serializeKey(*child, path.empty() ? child->name : path + "\\" + child->name, out);
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
    serializeKey(root, "", out);
    return out + "end\n";
}

bool parseHive(const std::string& text, Key& root, std::string& error) {
    size_t lineStart = 0;
    int lineNumber = 0;
    Key* current = nullptr;
    bool ended = false;
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
            current = &root;
            for (const std::string& part : splitPath(path)) {
                if (part.empty())
                    return fail("empty key name");
                Key* next = current->child(part);
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
            if (typeEnd == std::string::npos || !parseType(line.substr(pos + 1, typeEnd - pos - 1), v.type))
                return fail("bad value type");
            pos = typeEnd + 1;
            if (!unquote(line, pos, v.data) || pos != line.size())
                return fail("bad value data");
            if (Value* existing = current->value(v.name))
                *existing = v;
            else
                current->values.push_back(std::move(v));
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

} // namespace rt::registry
