#pragma once
// Default values of keys under HKEY_CLASSES_ROOT, the only kind of entry the
// component registrations use.

#include <string>

#include "runtime/platform/registry/Registry.h"

namespace rt::classes_root {

// Creates the key when missing and sets its default value.
LONG writeDefault(const std::string& path, const std::string& text);
// ERROR_FILE_NOT_FOUND when the key or its default value is missing; a value
// that is not text reads as ERROR_INVALID_PARAMETER.
LONG readDefault(const std::string& path, std::string& text);
// Deleting a key that is already gone succeeds.
LONG deleteKey(const std::string& path);

} // namespace rt::classes_root
