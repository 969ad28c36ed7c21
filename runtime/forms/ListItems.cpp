#include "runtime/forms/ListItems.h"

#include "runtime/core/Strings.h"

namespace rt {

size_t sortedPosition(const std::vector<ListItem>& items, const std::string& text) {
    size_t pos = 0;
    while (pos < items.size() && StrComp(items[pos].text, text, Compare::Text) <= 0)
        ++pos;
    return pos;
}

int findExact(const std::vector<ListItem>& items, int start, const std::string& text) {
    int count = static_cast<int>(items.size());
    if (count == 0)
        return -1;
    int first = start < 0 || start >= count ? 0 : start + 1;
    for (int n = 0; n < count; ++n) {
        int i = (first + n) % count;
        if (textEquals(items[i].text, text))
            return i;
    }
    return -1;
}

} // namespace rt
