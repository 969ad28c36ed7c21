#pragma once
// The program's string table: the class names and texts of its own errors.

#include <cstdint>
#include <string>

// The text of entry `id`; an unknown id raises 326.
std::string LoadResString(int32_t id);
