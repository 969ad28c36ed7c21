#include "FormLocation/clsRegistry.h"

#include <array>
#include <utility>

#include "runtime/core/Strings.h"
#include "runtime/platform/registry/Registry.h"

namespace tlvFormControls {

namespace {

using rt::ERROR_SUCCESS;
using rt::HKEY;
using rt::LONG;

// Create and open alike ask for every key right but deletion, so a key the
// user may only read cannot be opened at all.
constexpr uint32_t kAccess = rt::READ_CONTROL | rt::KEY_QUERY_VALUE | rt::KEY_SET_VALUE |
                             rt::KEY_CREATE_SUB_KEY | rt::KEY_ENUMERATE_SUB_KEYS | rt::KEY_NOTIFY |
                             rt::KEY_CREATE_LINK;
static_assert(kAccess == 0x2003F);
constexpr const char* kKeyClass = "1";
constexpr uint32_t kQueryBufferSize = 1024;

bool hiveOf(const std::string& name, HKEY& hive) {
    static const std::array<std::pair<const char*, HKEY>, 7> kHives{{
        {"HKEY_CLASSES_ROOT", rt::HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", rt::HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", rt::HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", rt::HKEY_USERS},
        {"HKEY_PERFORMANCE_DATA", rt::HKEY_PERFORMANCE_DATA},
        {"HKEY_CURRENT_CONFIG", rt::HKEY_CURRENT_CONFIG},
        {"HKEY_DYN_DATA", rt::HKEY_DYN_DATA},
    }};
    std::string upper = rt::UCase(name);
    for (const auto& [hiveName, value] : kHives)
        if (upper == hiveName) {
            hive = value;
            return true;
        }
    return false;
}

// A key an operation opened: closed explicitly when the close's result
// matters, and by the destructor on every other way out, errors included.
class OpenKey {
public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (m_open)
            rt::RegCloseKey(m_key);
    }

    LONG create(HKEY hive, const std::string& path) {
        rt::SECURITY_ATTRIBUTES security;
        security.bInheritHandle = true;
        uint32_t disposition = 0;
        LONG rc = rt::RegCreateKeyExA(hive, path, kKeyClass, rt::REG_OPTION_NON_VOLATILE, kAccess,
                                      &security, &m_key, &disposition);
        m_open = rc == ERROR_SUCCESS;
        return rc;
    }
    LONG open(HKEY hive, const std::string& path) {
        LONG rc = rt::RegOpenKeyExA(hive, path, 0, kAccess, &m_key);
        m_open = rc == ERROR_SUCCESS;
        return rc;
    }
    HKEY get() const { return m_key; }
    LONG close() {
        m_open = false;
        return rt::RegCloseKey(m_key);
    }

private:
    HKEY m_key = 0;
    bool m_open = false;
};

// The text's bytes alone: no terminating NUL is stored.
LONG setText(HKEY key, const std::string& name, const std::string& text) {
    return rt::RegSetValueExA(key, name, rt::REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                              static_cast<uint32_t>(text.size()));
}

std::string tlvHive(int32_t Location) {
    return Location == 1 ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string tlvKey(const std::string& Key) {
    return "SOFTWARE\\TLV\\" + Key;
}

} // namespace

rt::Variant clsRegistry::TLVRegRead(const std::string& Key, const std::string& SubKey,
                                    int32_t& Location) {
    return RegReadKey(tlvHive(Location), tlvKey(Key), SubKey);
}

bool clsRegistry::TLVRegDelete(const std::string& Key, const std::string& SubKey,
                               int32_t& Location) {
    return RegDeleteKey(tlvHive(Location), tlvKey(Key), SubKey);
}

bool clsRegistry::TLVRegWrite(const std::string& Key, const std::string& SubKey,
                              const std::string& Value, int32_t& Location) {
    return RegWriteKey(tlvHive(Location), tlvKey(Key), SubKey, Value);
}

bool clsRegistry::RegWriteKey(const std::string& Hive, const std::string& Key,
                              const std::string& SubKey, const std::string& Value) {
    HKEY hive = 0;
    if (!hiveOf(Hive, hive))
        return false;
    OpenKey key;
    if (key.create(hive, Key) != ERROR_SUCCESS)
        return false;
    if (setText(key.get(), SubKey, Value) != ERROR_SUCCESS)
        return false;
    return key.close() == ERROR_SUCCESS;
}

rt::Variant clsRegistry::RegReadKey(const std::string& Hive, const std::string& Key,
                                    const std::string& SubKey) {
    HKEY hive = 0;
    if (!hiveOf(Hive, hive))
        return rt::Variant::null();
    OpenKey key;
    if (key.open(hive, Key) != ERROR_SUCCESS)
        return rt::Variant::null();
    std::array<uint8_t, kQueryBufferSize> data{};
    uint32_t size = kQueryBufferSize;
    uint32_t type = 0;
    if (rt::RegQueryValueExA(key.get(), SubKey, &type, data.data(), &size) != ERROR_SUCCESS)
        return rt::Variant::null();
    std::string text;
    switch (type) {
    case rt::REG_SZ:
        text.assign(reinterpret_cast<const char*>(data.data()), size);
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        break;
    case rt::REG_DWORD: {
        // Unsigned, as registry editors show a DWORD: 0xFFFFFFFF reads
        // 4294967295, not -1. Missing bytes of a short value count as zero.
        uint32_t number =
            data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
        text = std::to_string(number);
        break;
    }
    default: return rt::Variant::null();
    }
    if (key.close() != ERROR_SUCCESS)
        return rt::Variant::null();
    return rt::Variant(std::move(text));
}

bool clsRegistry::RegDeleteKey(const std::string& Hive, const std::string& Key,
                               const std::string& SubKey) {
    HKEY hive = 0;
    if (!hiveOf(Hive, hive))
        return false;
    if (SubKey.empty())
        return rt::RegDeleteKeyA(hive, Key) == ERROR_SUCCESS;
    OpenKey key;
    if (key.create(hive, Key) != ERROR_SUCCESS)
        return false;
    if (setText(key.get(), SubKey, {}) != ERROR_SUCCESS)
        return false;
    return key.close() == ERROR_SUCCESS;
}

} // namespace tlvFormControls
