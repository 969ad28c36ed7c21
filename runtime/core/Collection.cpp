#include "runtime/core/Collection.h"

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

size_t Collection::KeyHash::operator()(std::string_view key) const {
    size_t h = 1469598103934665603ull;
    for (char c : key)
        h = (h ^ upperAnsi(static_cast<unsigned char>(c))) * 1099511628211ull;
    return h;
}

bool Collection::KeyEqual::operator()(std::string_view a, std::string_view b) const {
    return textEquals(a, b);
}

std::optional<size_t> Collection::findKey(std::string_view key) const {
    auto it = m_keyIndex.find(key);
    if (it == m_keyIndex.end())
        return std::nullopt;
    return it->second;
}

const Variant* Collection::find(std::string_view key) const {
    auto at = findKey(key);
    return at ? &m_items[*at].item : nullptr;
}

void Collection::reindex() {
    m_keyIndex.clear();
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].key)
            m_keyIndex[*m_items[i].key] = i;
}

size_t Collection::position(const Variant& indexOrKey) const {
    if (indexOrKey.isString()) {
        auto at = findKey(indexOrKey.toString());
        if (!at)
            raiseError(kInvalidProcedureCall);
        return *at;
    }
    long index = indexOrKey.toLong();
    if (index < 1 || index > Count())
        raiseError(kSubscriptOutOfRange);
    return static_cast<size_t>(index - 1);
}

void Collection::Add(const Variant& item, const std::optional<std::string>& key,
                     const Variant& before, const Variant& after) {
    if (key && findKey(*key))
        raiseError(kKeyAlreadyAssociated);
    if (!before.isEmpty() && !after.isEmpty())
        raiseError(kInvalidProcedureCall);
    size_t at = m_items.size();
    if (!before.isEmpty())
        at = position(before);
    else if (!after.isEmpty())
        at = position(after) + 1;
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), Entry{item, key});
    if (at + 1 == m_items.size()) {
        if (key)
            m_keyIndex[*key] = at;
    } else {
        reindex();
    }
}

const Variant& Collection::Item(const Variant& indexOrKey) const {
    return m_items[position(indexOrKey)].item;
}

void Collection::Remove(const Variant& indexOrKey) {
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(position(indexOrKey)));
    reindex();
}

} // namespace rt
