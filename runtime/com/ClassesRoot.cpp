#include "runtime/com/ClassesRoot.h"

#include <vector>

namespace rt::classes_root {

LONG writeDefault(const std::string& path, const std::string& text) {
    HKEY key = 0;
    LONG rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, path, "", REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegSetValueExA(key, "", REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<uint32_t>(text.size()));
    RegCloseKey(key);
    return rc;
}

LONG readDefault(const std::string& path, std::string& text) {
    HKEY key = 0;
    LONG rc = RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    uint32_t type = 0;
    uint32_t size = 0;
    rc = RegQueryValueExA(key, "", &type, nullptr, &size);
    std::vector<uint8_t> data(size);
    if (rc == ERROR_SUCCESS && size > 0)
        rc = RegQueryValueExA(key, "", &type, data.data(), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return ERROR_INVALID_PARAMETER;
    text.assign(data.begin(), data.begin() + size);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return ERROR_SUCCESS;
}

LONG deleteKey(const std::string& path) {
    LONG rc = RegDeleteKeyA(HKEY_CLASSES_ROOT, path);
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

} // namespace rt::classes_root
