#include "runtime/platform/registry/Settings.h"

#include <vector>

#include "runtime/core/Error.h"
#include "runtime/platform/registry/Registry.h"

namespace rt {

namespace {
std::string settingsKey(const std::string& appName, const std::string& section) {
    return "Software\\Quibo Settings\\" + appName + "\\" + section;
}
} // namespace

std::string GetSetting(const std::string& appName, const std::string& section,
                       const std::string& key, const std::string& defaultValue) {
    HKEY h = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey(appName, section), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return defaultValue;
    uint32_t type = 0, size = 0;
    std::string text = defaultValue;
    if (RegQueryValueExA(h, key, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::vector<uint8_t> data(size);
        if (RegQueryValueExA(h, key, &type, data.data(), &size) == ERROR_SUCCESS) {
            text.assign(data.begin(), data.begin() + size);
            if (auto nul = text.find('\0'); nul != std::string::npos)
                text.resize(nul);
        }
    }
    RegCloseKey(h);
    return text;
}

void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& setting) {
    HKEY h = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey(appName, section), "", 0, KEY_WRITE, nullptr,
                        &h, nullptr) != ERROR_SUCCESS)
        raiseError(kInvalidProcedureCall);
    std::string data = setting + '\0';
    LONG rc = RegSetValueExA(h, key, REG_SZ, reinterpret_cast<const uint8_t*>(data.data()),
                             static_cast<uint32_t>(data.size()));
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        raiseError(kInvalidProcedureCall);
}

void DeleteSetting(const std::string& appName, const std::string& section, const std::string& key) {
    HKEY h = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey(appName, section), 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS)
        raiseError(kInvalidProcedureCall);
    LONG rc = RegDeleteValueA(h, key);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        raiseError(kInvalidProcedureCall);
}

} // namespace rt
