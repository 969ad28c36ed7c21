#pragma once
// The registry: hives of keys holding typed values, reached through the calls
// and result codes the deliverables were written against. Each hive persists
// in a human-readable text file. A change takes the hive's lock (shared by
// every process), reads the file again when another process replaced it, and
// rewrites it atomically; every access first checks whether the file changed,
// so each process sees the others' changes. A change is refused
// (ERROR_ACCESS_DENIED) when the hive's lock cannot be taken or its file is
// there but cannot be read: either way it could overwrite values it never saw.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rt {

using HKEY = uint32_t;
using LONG = int32_t;

constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
constexpr HKEY HKEY_USERS = 0x80000003;
constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;
constexpr HKEY HKEY_DYN_DATA = 0x80000006;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_CANTWRITE = 1013;
constexpr LONG ERROR_KEY_DELETED = 1018;

constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_MULTI_SZ = 7;

constexpr uint32_t KEY_QUERY_VALUE = 0x1;
constexpr uint32_t KEY_SET_VALUE = 0x2;
constexpr uint32_t KEY_CREATE_SUB_KEY = 0x4;
constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x8;
constexpr uint32_t KEY_NOTIFY = 0x10;
constexpr uint32_t KEY_CREATE_LINK = 0x20;
constexpr uint32_t READ_CONTROL = 0x20000;
constexpr uint32_t KEY_READ = 0x20019;
constexpr uint32_t KEY_WRITE = 0x20006;
constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

constexpr uint32_t REG_OPTION_NON_VOLATILE = 0;
constexpr uint32_t REG_CREATED_NEW_KEY = 1;
constexpr uint32_t REG_OPENED_EXISTING_KEY = 2;

struct SECURITY_ATTRIBUTES {
    uint32_t nLength = sizeof(SECURITY_ATTRIBUTES);
    void* lpSecurityDescriptor = nullptr;
    bool bInheritHandle = false;
};

// Key paths are ANSI, segments separated by '\', names compared without
// regard to case. Every call returns one of the ERROR_ codes above.
LONG RegCreateKeyExA(HKEY hKey, const std::string& subKey, const std::string& keyClass,
                     uint32_t options, uint32_t samDesired, const SECURITY_ATTRIBUTES* security,
                     HKEY* result, uint32_t* disposition);
LONG RegOpenKeyExA(HKEY hKey, const std::string& subKey, uint32_t options, uint32_t samDesired,
                   HKEY* result);
// `data` may be null to ask for the size; a buffer too small gives
// ERROR_MORE_DATA with the size needed in *cbData.
LONG RegQueryValueExA(HKEY hKey, const std::string& valueName, uint32_t* type, uint8_t* data,
                      uint32_t* cbData);
LONG RegSetValueExA(HKEY hKey, const std::string& valueName, uint32_t type, const uint8_t* data,
                    uint32_t cbData);
LONG RegDeleteValueA(HKEY hKey, const std::string& valueName);
// A key that has subkeys is not deleted (ERROR_ACCESS_DENIED).
LONG RegDeleteKeyA(HKEY hKey, const std::string& subKey);
LONG RegCloseKey(HKEY hKey);
// Names of the subkeys of a key, in the order they were created.
LONG RegEnumKeys(HKEY hKey, std::vector<std::string>& names);

namespace registry {

// Where the hive files live: $QUIBO_REGISTRY_DIR, else $XDG_CONFIG_HOME (or
// ~/.config) followed by "quibo/registry". Changing it drops what is loaded
// and marks the problems met so far as taken.
std::string folder();
void setFolder(const std::string& folder);

// Problems met with the hive files (a corrupt file moved aside, a file or
// lock that cannot be read or taken), each a sentence for the user, each
// once. Also written to standard error when met.
std::vector<std::string> problems();
// The problems met since the last call, for a program that shows them.
std::vector<std::string> takeProblems();

// How many times this process replaced a hive file.
size_t filesWritten();

// Changes made while a batch is open (values, keys) are written to each
// hive's file once, when the outermost batch ends. A hive changed in the
// batch keeps its lock until then, so other processes wait and their
// changes and these are both kept. Open it around a few quick changes, never
// around anything that waits for the user.
class Batch {
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
    // ERROR_CANTWRITE when a hive could not be written (also told as a
    // problem); the end of an inner batch writes nothing.
    LONG end();

private:
    bool m_ended = false;
    LONG m_result = ERROR_SUCCESS;
};

// Marks a key as one the user may read but not write (created if missing).
LONG markReadOnly(HKEY hive, const std::string& path);

} // namespace registry

} // namespace rt
