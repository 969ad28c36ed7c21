#include "runtime/com/PropertyBag.h"

#include <cmath>

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

namespace {

bool sameValue(const Variant& a, const Variant& b) {
    if (a == b)
        return true;
    // A Long read back from text must equal an Integer default, 1 = 1.
    if (a.isNumber() && b.isNumber() && a.type() != VarType::Boolean &&
        b.type() != VarType::Boolean)
        return a.toDouble() == b.toDouble();
    return false;
}

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

std::string valueText(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty: return "";
    case VarType::Null: return "Null";
    case VarType::Boolean: return v.toBool() ? "-1  'True" : "0   'False";
    case VarType::String: return quote(v.toString());
    case VarType::Single: return formatNumber(v.toDouble(), 7);
    default: return formatNumber(v.toDouble());
    }
}

[[noreturn]] void badLine(size_t number, std::string_view line) {
    raiseError(kInvalidPropertyValue, {},
               "Line " + std::to_string(number) +
                   " of the property text is not Name = value: " + std::string(line));
}

// Reads a quoted text starting at s[0] == '"'; the rest must be blank.
bool parseQuoted(std::string_view s, std::string& out) {
    out.clear();
    size_t i = 1;
    for (; i < s.size(); ++i) {
        if (s[i] == '"') {
            if (i + 1 < s.size() && s[i + 1] == '"') {
                out += '"';
                ++i;
                continue;
            }
            return Trim(s.substr(i + 1)).empty();
        }
        out += s[i];
    }
    return false; // no closing quote
}

Variant parseValue(std::string_view raw, bool& ok) {
    ok = true;
    std::string s = Trim(raw);
    if (s.empty())
        return {};
    if (s[0] == '"') {
        std::string text;
        ok = parseQuoted(s, text);
        return Variant(std::move(text));
    }
    if (textEquals(s, "Null"))
        return Variant::null();
    // A trailing 'comment marks a Boolean.
    if (size_t tick = s.find('\''); tick != std::string::npos) {
        std::string word = Trim(std::string_view(s).substr(tick + 1));
        std::string number = Trim(std::string_view(s).substr(0, tick));
        if (textEquals(word, "True") && number == "-1")
            return Variant(true);
        if (textEquals(word, "False") && number == "0")
            return Variant(false);
        ok = false;
        return {};
    }
    double d = 0;
    if (!parseNumber(s, d) || !std::isfinite(d)) {
        ok = false;
        return {};
    }
    if (d == std::floor(d) && d >= -2147483648.0 && d <= 2147483647.0)
        return Variant(static_cast<int32_t>(d));
    return Variant(d);
}

bool validName(std::string_view name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (c == '=' || c == '"' || c == '\n' || c == '\r' || c == ' ' || c == '\t')
            return false;
    return true;
}

} // namespace

PropertyBag::Entry* PropertyBag::find(std::string_view name) {
    for (Entry& e : m_entries)
        if (textEquals(e.name, name))
            return &e;
    return nullptr;
}

const PropertyBag::Entry* PropertyBag::find(std::string_view name) const {
    return const_cast<PropertyBag*>(this)->find(name);
}

Variant PropertyBag::ReadProperty(std::string_view name, const Variant& defaultValue) const {
    const Entry* e = find(name);
    return e ? e->value : defaultValue;
}

void PropertyBag::WriteProperty(std::string_view name, const Variant& value,
                                const Variant& defaultValue) {
    if (value.isObject())
        raiseError(kTypeMismatch);
    if (!validName(name))
        raiseError(kInvalidProcedureCall, {}, "Invalid property name: " + std::string(name));
    if (sameValue(value, defaultValue)) {
        std::erase_if(m_entries, [&](const Entry& e) { return textEquals(e.name, name); });
        return;
    }
    if (Entry* e = find(name))
        e->value = value;
    else
        m_entries.push_back({std::string(name), value});
}

bool PropertyBag::contains(std::string_view name) const {
    return find(name) != nullptr;
}

std::vector<std::string> PropertyBag::names() const {
    std::vector<std::string> out;
    for (const Entry& e : m_entries)
        out.push_back(e.name);
    return out;
}

std::string PropertyBag::toText() const {
    std::string out;
    for (const Entry& e : m_entries)
        out += e.name + " = " + valueText(e.value) + "\n";
    return out;
}

PropertyBag PropertyBag::fromText(std::string_view text) {
    PropertyBag bag;
    size_t lineNumber = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (Trim(line).empty())
            continue;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            badLine(lineNumber, line);
        std::string name = Trim(line.substr(0, eq));
        bool ok = false;
        Variant value = parseValue(line.substr(eq + 1), ok);
        if (!ok || !validName(name))
            badLine(lineNumber, line);
        if (Entry* e = bag.find(name))
            e->value = value;
        else
            bag.m_entries.push_back({name, value});
    }
    return bag;
}

} // namespace rt
