#pragma once
// The persisted properties of a control in a form description: named values
// in the order written, with a text form of one "Name = value" line each.

#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/Variant.h"

namespace rt {

class PropertyBag {
public:
    // The stored value, or `defaultValue` when the name is not stored.
    Variant ReadProperty(std::string_view name, const Variant& defaultValue = {}) const;
    // Stores the value; one equal to its default is left out (and a stored
    // one dropped) so a description holds only what differs. Objects cannot
    // be stored (13).
    void WriteProperty(std::string_view name, const Variant& value,
                       const Variant& defaultValue = {});

    bool contains(std::string_view name) const;
    std::vector<std::string> names() const; // in the order written

    // Texts quoted with "" for a quote, numbers as the runtime prints them,
    // Booleans as -1 'True / 0 'False, Null as Null.
    std::string toText() const;
    // Reads what toText writes (blank lines and spaces around '=' allowed).
    // A line that is not a name, '=' and a value raises 380 naming the line.
    static PropertyBag fromText(std::string_view text);

private:
    struct Entry {
        std::string name;
        Variant value;
    };
    std::vector<Entry> m_entries;

    Entry* find(std::string_view name);
    const Entry* find(std::string_view name) const;
};

} // namespace rt
