#pragma once
// Opens the program's help file at its default topic or at a topic's
// context number. A missing file is the help facility's to report.

#include <cstdint>
#include <optional>
#include <string>

class CHelp {
public:
    void Show(const std::string& NewFile, const std::string& WindowPane,
              std::optional<int32_t> ContextID = {});
};
