#include "runtime/platform/registry/Registry.h"

#include <optional>
#include <string>
#include <vector>

#include "runtime/core/Strings.h"
#include "runtime/platform/registry/HiveStore.h"

namespace rt {

namespace {

using registry::Handle;
using registry::HiveStore;
using registry::Key;
using registry::Value;

constexpr size_t kMaxNameLength = 255;
constexpr uint32_t kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

bool isHive(HKEY h) {
    return h >= HKEY_CLASSES_ROOT && h <= HKEY_DYN_DATA;
}

// Splits a key path; false for an empty segment or an over-long name.
bool splitPath(const std::string& path, std::vector<std::string>& parts) {
    parts.clear();
    if (path.empty())
        return true;
    size_t start = 0;
    while (true) {
        size_t at = path.find('\\', start);
        std::string part =
            path.substr(start, at == std::string::npos ? std::string::npos : at - start);
        if (part.empty() || part.size() > kMaxNameLength)
            return false;
        parts.push_back(part);
        if (at == std::string::npos)
            return true;
        start = at + 1;
    }
}

// The key a handle names, null when it was deleted since.
Key* resolve(HiveStore& store, HKEY hive, const std::vector<std::string>& path) {
    Key* key = store.hiveRoot(hive);
    for (const std::string& part : path) {
        key = key->child(part);
        if (!key)
            return nullptr;
    }
    return key;
}

LONG handleOf(HiveStore& store, HKEY h, Handle& out) {
    if (isHive(h)) {
        out = Handle{h, {}, KEY_ALL_ACCESS};
        return ERROR_SUCCESS;
    }
    auto it = store.handles.find(h);
    if (it == store.handles.end())
        return ERROR_INVALID_HANDLE;
    out = it->second;
    return ERROR_SUCCESS;
}

HKEY newHandle(HiveStore& store, Handle handle) {
    HKEY h = store.nextHandle++;
    store.handles[h] = std::move(handle);
    return h;
}

// The shared prologue of the value calls: the handle must be open with
// `access`, its key must still exist and, for a change, be writable. Then
// `body(store, handle, key)` runs under the store's lock.
template <class Body> LONG onKey(HKEY hKey, uint32_t access, bool change, Body&& body) {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    Handle h;
    if (LONG rc = handleOf(store, hKey, h); rc != ERROR_SUCCESS)
        return rc;
    if ((h.access & access) != access)
        return ERROR_ACCESS_DENIED;
    std::optional<HiveStore::HiveLock> hiveLock;
    if (change) {
        hiveLock.emplace(store, h.hive);
        if (LONG rc = hiveLock->status(); rc != ERROR_SUCCESS)
            return rc;
    }
    Key* key = resolve(store, h.hive, h.path);
    if (!key)
        return ERROR_KEY_DELETED;
    if (change && key->readOnly)
        return ERROR_ACCESS_DENIED;
    return body(store, h, *key);
}

// Follows `parts` down from `key`, creating the keys that are missing when
// `create` is set; `key` ends on the last one.
LONG walk(Key*& key, const std::vector<std::string>& parts, bool create, bool& created) {
    for (const std::string& part : parts) {
        Key* next = key->child(part);
        if (!next) {
            if (!create)
                return ERROR_FILE_NOT_FOUND;
            if (key->readOnly)
                return ERROR_ACCESS_DENIED;
            key->children.push_back(std::make_unique<Key>());
            next = key->children.back().get();
            next->name = part;
            created = true;
        }
        key = next;
    }
    return ERROR_SUCCESS;
}

LONG openOrCreate(HKEY hKey, const std::string& subKey, uint32_t samDesired, bool create,
                  HKEY* result, uint32_t* disposition) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    Handle base;
    if (LONG rc = handleOf(store, hKey, base); rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> parts;
    if (!splitPath(subKey, parts) || base.path.size() + parts.size() > registry::kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;
    std::optional<HiveStore::HiveLock> hiveLock;
    if (create)
        hiveLock.emplace(store, base.hive);
    Key* key = resolve(store, base.hive, base.path);
    if (!key)
        return ERROR_KEY_DELETED;
    bool created = false;
    if (LONG rc = walk(key, parts, create, created); rc != ERROR_SUCCESS)
        return rc;
    if (key->readOnly && (samDesired & kWriteRights))
        return ERROR_ACCESS_DENIED;
    if (created) {
        if (LONG rc = hiveLock->status(); rc != ERROR_SUCCESS)
            return rc;
        if (!store.commit(base.hive))
            return ERROR_CANTWRITE;
    }
    std::vector<std::string> path = base.path;
    path.insert(path.end(), parts.begin(), parts.end());
    *result = newHandle(store, Handle{base.hive, std::move(path), samDesired});
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

} // namespace

LONG RegCreateKeyExA(HKEY hKey, const std::string& subKey, const std::string& /*keyClass*/,
                     uint32_t /*options*/, uint32_t samDesired,
                     const SECURITY_ATTRIBUTES* /*security*/, HKEY* result, uint32_t* disposition) {
    return openOrCreate(hKey, subKey, samDesired, true, result, disposition);
}

LONG RegOpenKeyExA(HKEY hKey, const std::string& subKey, uint32_t /*options*/, uint32_t samDesired,
                   HKEY* result) {
    return openOrCreate(hKey, subKey, samDesired, false, result, nullptr);
}

LONG RegQueryValueExA(HKEY hKey, const std::string& valueName, uint32_t* type, uint8_t* data,
                      uint32_t* cbData) {
    if (data && !cbData)
        return ERROR_INVALID_PARAMETER;
    return onKey(hKey, KEY_QUERY_VALUE, false, [&](HiveStore&, const Handle&, Key& key) {
        Value* v = key.value(valueName);
        if (!v)
            return ERROR_FILE_NOT_FOUND;
        if (type)
            *type = v->type;
        auto size = static_cast<uint32_t>(v->data.size());
        if (!cbData)
            return ERROR_SUCCESS;
        if (data && *cbData < size) {
            *cbData = size;
            return ERROR_MORE_DATA;
        }
        if (data)
            std::copy(v->data.begin(), v->data.end(), data);
        *cbData = size;
        return ERROR_SUCCESS;
    });
}

LONG RegSetValueExA(HKEY hKey, const std::string& valueName, uint32_t type, const uint8_t* data,
                    uint32_t cbData) {
    if ((!data && cbData) || valueName.size() > 16383)
        return ERROR_INVALID_PARAMETER;
    return onKey(hKey, KEY_SET_VALUE, true, [&](HiveStore& store, const Handle& h, Key& key) {
        std::string bytes(reinterpret_cast<const char*>(data), data ? cbData : 0);
        if (Value* existing = key.value(valueName)) {
            existing->type = type;
            existing->data = std::move(bytes);
        } else {
            key.values.push_back(Value{valueName, type, std::move(bytes)});
        }
        return store.commit(h.hive) ? ERROR_SUCCESS : ERROR_CANTWRITE;
    });
}

LONG RegDeleteValueA(HKEY hKey, const std::string& valueName) {
    return onKey(hKey, KEY_SET_VALUE, true, [&](HiveStore& store, const Handle& h, Key& key) {
        auto& values = key.values;
        for (auto it = values.begin(); it != values.end(); ++it)
            if (textEquals(it->name, valueName)) {
                values.erase(it);
                return store.commit(h.hive) ? ERROR_SUCCESS : ERROR_CANTWRITE;
            }
        return ERROR_FILE_NOT_FOUND;
    });
}

LONG RegDeleteKeyA(HKEY hKey, const std::string& subKey) {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    Handle h;
    if (LONG rc = handleOf(store, hKey, h); rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> parts;
    if (subKey.empty() || !splitPath(subKey, parts))
        return ERROR_INVALID_PARAMETER;
    HiveStore::HiveLock hiveLock(store, h.hive);
    if (LONG rc = hiveLock.status(); rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> parentPath = h.path;
    parentPath.insert(parentPath.end(), parts.begin(), parts.end() - 1);
    Key* parent = resolve(store, h.hive, parentPath);
    Key* key = parent ? parent->child(parts.back()) : nullptr;
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    if (!key->children.empty() || key->readOnly || parent->readOnly)
        return ERROR_ACCESS_DENIED;
    std::erase_if(parent->children, [key](const auto& c) { return c.get() == key; });
    return store.commit(h.hive) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegCloseKey(HKEY hKey) {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    if (isHive(hKey))
        return ERROR_SUCCESS;
    return store.handles.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegEnumKeys(HKEY hKey, std::vector<std::string>& names) {
    return onKey(hKey, 0, false, [&](HiveStore&, const Handle&, Key& key) {
        names.clear();
        for (const auto& c : key.children)
            names.push_back(c->name);
        return ERROR_SUCCESS;
    });
}

namespace registry {

std::string folder() {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    return store.folder();
}

void setFolder(const std::string& dir) {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    store.setFolder(dir);
}

std::vector<std::string> problems() {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    return store.problems();
}

std::vector<std::string> takeProblems() {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    return store.takeProblems();
}

size_t filesWritten() {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    return store.filesWritten();
}

Batch::Batch() {
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    store.beginBatch();
}

Batch::~Batch() {
    end();
}

LONG Batch::end() {
    if (m_ended)
        return m_result;
    m_ended = true;
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    m_result = store.endBatch() ? ERROR_SUCCESS : ERROR_CANTWRITE;
    return m_result;
}

LONG markReadOnly(HKEY hive, const std::string& path) {
    std::vector<std::string> parts;
    if (!isHive(hive))
        return ERROR_INVALID_HANDLE;
    if (!splitPath(path, parts) || parts.size() > kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;
    HiveStore& store = HiveStore::instance();
    std::lock_guard lock(store.mutex);
    HiveStore::HiveLock hiveLock(store, hive);
    if (LONG rc = hiveLock.status(); rc != ERROR_SUCCESS)
        return rc;
    Key* key = store.hiveRoot(hive);
    bool created = false;
    if (LONG rc = walk(key, parts, true, created); rc != ERROR_SUCCESS)
        return rc;
    key->readOnly = true;
    return store.commit(hive) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

} // namespace registry

} // namespace rt
