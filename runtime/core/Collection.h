#pragma once
// An ordered collection counted from 1 whose items may carry a key; keys are
// compared without regard to case.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/core/Variant.h"

namespace rt {

class Collection {
public:
    long Count() const { return static_cast<long>(m_items.size()); }

    // Adds at the end, or before/after the item that `before`/`after` names
    // (an index from 1 or a key). A key already present raises 457; a
    // position that names no item raises 5 (a key) or 9 (an index).
    void Add(const Variant& item, const std::optional<std::string>& key = std::nullopt,
             const Variant& before = Variant(), const Variant& after = Variant());

    // By index from 1 (9 when out of range) or by key (5 when absent).
    const Variant& Item(const Variant& indexOrKey) const;
    void Remove(const Variant& indexOrKey);

    bool hasKey(std::string_view key) const { return findKey(key).has_value(); }
    // The item under `key`, or null: a lookup that may miss without raising.
    const Variant* find(std::string_view key) const;

private:
    struct Entry {
        Variant item;
        std::optional<std::string> key;
    };
    std::optional<size_t> findKey(std::string_view key) const;
    size_t position(const Variant& indexOrKey) const; // 0-based, raises when absent
    void reindex();
    std::vector<Entry> m_items;
    // Key to position, hashed and compared without regard to case, so keyed
    // lookups stay cheap in large collections and build no string.
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const;
    };
    struct KeyEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::unordered_map<std::string, size_t, KeyHash, KeyEqual> m_keyIndex;
};

} // namespace rt
