#pragma once
// The lines of a list box or combo box, with the search and ordering rules
// both share.

#include <cstdint>
#include <string>
#include <vector>

namespace rt {

struct ListItem {
    std::string text;
    int32_t data = 0;
    bool selected = false;
};

// Where `text` goes in a sorted list: after every line not greater than it,
// compared without regard to case.
size_t sortedPosition(const std::vector<ListItem>& items, const std::string& text);
// The first line after `start` (-1: from the first line) whose whole text
// equals `text` without regard to case, wrapping around; -1 when none.
int findExact(const std::vector<ListItem>& items, int start, const std::string& text);

constexpr int32_t kInvalidPropertyArrayIndex = 381;

} // namespace rt
