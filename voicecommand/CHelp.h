#pragma once
// Opens the program's help file at its default topic or at a context number.

#include <cstdint>
#include <optional>
#include <string>

class CHelp {
public:
    void Show(const std::string& NewFile, const std::string& WindowPane,
              std::optional<int32_t> ContextID = {});
};
