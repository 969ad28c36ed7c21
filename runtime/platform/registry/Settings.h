#pragma once
// The per-user settings store: texts under an application, a section and a
// key, kept in the current user's registry hive.

#include <string>

namespace rt {

std::string GetSetting(const std::string& appName, const std::string& section,
                       const std::string& key, const std::string& defaultValue = {});
// Raises 5 when the value cannot be stored.
void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& setting);
void DeleteSetting(const std::string& appName, const std::string& section, const std::string& key);

} // namespace rt
