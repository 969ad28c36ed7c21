#pragma once
// Errors and look-up shared by the keyed collections of the common controls
// (toolbar buttons, status-bar panels, image-list images): items count from
// 1 and may carry a unique key, compared without regard to case.

#include <cstdint>
#include <string>

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

constexpr int32_t kIndexOutOfBounds = 35600;
constexpr int32_t kElementNotFound = 35601;
constexpr int32_t kKeyNotUnique = 35602;

// The position (0-based) of the item whose key is `key`, or -1.
template <class Items> int findKey(const Items& items, const std::string& key) {
    if (key.empty())
        return -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (textEquals(items[i].Key, key))
            return static_cast<int>(i);
    return -1;
}

// The position (0-based) of item `index` (1-based); 35600 outside.
template <class Items> size_t checkedIndex(const Items& items, int index) {
    if (index < 1 || static_cast<size_t>(index) > items.size())
        raiseError(kIndexOutOfBounds, {}, "Index out of bounds");
    return static_cast<size_t>(index - 1);
}

// The position (0-based) of the item with `key`; 35601 when none.
template <class Items> size_t checkedKey(const Items& items, const std::string& key) {
    int i = findKey(items, key);
    if (i < 0)
        raiseError(kElementNotFound, {}, "Element not found");
    return static_cast<size_t>(i);
}

template <class Items> void checkNewKey(const Items& items, const std::string& key) {
    if (findKey(items, key) >= 0)
        raiseError(kKeyNotUnique, {}, "Key is not unique in collection");
}

} // namespace rt
