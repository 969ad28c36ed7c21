#include "runtime/platform/registry/Registry.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/core/Strings.h"
#include "runtime/platform/registry/HiveFile.h"

namespace rt {

namespace {

using registry::Key;
using registry::Value;

constexpr size_t kMaxNameLength = 255;
constexpr uint32_t kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
// A hive file is read whole into memory: a larger one is not written and,
// when met, is damage.
constexpr size_t kMaxFileSize = size_t(256) << 20;

struct Handle {
    HKEY hive;
    std::vector<std::string> path; // segments, as given
    uint32_t access;
};

// What identifies the contents of a hive file: a writer replaces the file by
// renaming a new one over it, so a new inode, size or time means new contents.
struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t mtimeNs = 0;

    static Stamp of(const struct stat& st) {
        return Stamp{true, st.st_dev, st.st_ino, st.st_size,
                     int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
    }
    bool operator==(const Stamp&) const = default;
};

// One hive as this process last read or wrote it. The file it came from is
// kept open so that its inode number cannot be handed to another file while
// the stamp still names it.
struct LoadedHive {
    std::unique_ptr<Key> root;
    Stamp stamp;
    int fd = -1;
    // Why a file that exists cannot be read; such a file is never replaced.
    std::string unreadable;

    LoadedHive() = default;
    LoadedHive(const LoadedHive&) = delete;
    LoadedHive& operator=(const LoadedHive&) = delete;
    ~LoadedHive() { keep(-1); }
    void keep(int newFd) {
        if (fd >= 0)
            ::close(fd);
        fd = newFd;
    }
};

class Store {
public:
    std::mutex mutex;

    static Store& instance() {
        static Store store;
        return store;
    }

    // Holds the advisory lock of one hive across processes while a change is
    // read, applied and written back. Every writer holds it, so temporary
    // files met under it are left over from a writer that died. Nested
    // holders (a change inside a batch) share the one lock.
    class HiveLock {
    public:
        HiveLock(Store& store, HKEY hive) : m_store(store), m_hive(hive) {
            store.acquire(hive);
            store.refresh(hive);
        }
        ~HiveLock() { m_store.release(m_hive); }
        HiveLock(const HiveLock&) = delete;
        HiveLock& operator=(const HiveLock&) = delete;

        // ERROR_ACCESS_DENIED when the hive may not be changed: its lock
        // cannot be taken, or its file cannot be read (writing it would
        // replace values never read).
        LONG status() const {
            if (!m_store.m_locks[m_hive].taken)
                return ERROR_ACCESS_DENIED;
            if (!m_store.m_hives[m_hive].unreadable.empty())
                return ERROR_ACCESS_DENIED;
            return ERROR_SUCCESS;
        }

    private:
        Store& m_store;
        HKEY m_hive;
    };

    // Changes made while a batch is open are written when the outermost one
    // ends; each hive changed keeps its lock until then.
    void beginBatch() { ++m_batchDepth; }
    bool endBatch() {
        if (m_batchDepth == 0 || --m_batchDepth > 0)
            return true;
        bool ok = true;
        std::set<HKEY> hives = std::move(m_batchHives);
        m_batchHives.clear();
        for (HKEY hive : hives) {
            if (!save(hive)) {
                ok = false;
                report("The changes to the registry file " + fileOf(hive).string() +
                       " could not be written; they are lost.");
            }
            release(hive);
        }
        return ok;
    }

    // A change applied in memory goes to the file now, or at the end of the
    // batch that is open.
    bool commit(HKEY hive) {
        if (m_batchDepth == 0)
            return save(hive);
        if (m_batchHives.insert(hive).second)
            acquire(hive); // held past this change, until the batch ends
        return true;
    }

    std::string folder() const { return m_folder; }
    void setFolder(std::string folder) {
        m_folder = std::move(folder);
        m_hives.clear();
        // Problems of the folder before are not this one's to show.
        m_problemsTaken = m_problems.size();
    }
    std::vector<std::string> problems() const { return m_problems; }
    std::vector<std::string> takeProblems() {
        std::vector<std::string> fresh(m_problems.begin() + static_cast<long>(m_problemsTaken),
                                       m_problems.end());
        m_problemsTaken = m_problems.size();
        return fresh;
    }
    size_t filesWritten() const { return m_filesWritten; }

    // The hive's keys as its file holds them now: a file changed by another
    // process since it was read is read again.
    Key* hiveRoot(HKEY hive) {
        refresh(hive);
        return m_hives[hive].root.get();
    }

    bool save(HKEY hive) {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::create_directories(m_folder, ec);
        fs::path target = writtenFile(hive);
        fs::path temp = target;
        temp += ".tmp" + std::to_string(getpid());
        LoadedHive& loaded = m_hives[hive];
        std::string text = registry::serializeHive(*loaded.root);
        int fd = text.size() <= kMaxFileSize
                     ? ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)
                     : -1;
        bool ok = fd >= 0 && writeAll(fd, text) && ::fsync(fd) == 0;
        struct stat st {};
        ok = ok && ::fstat(fd, &st) == 0 && ::rename(temp.c_str(), target.c_str()) == 0;
        if (!ok) {
            if (fd >= 0)
                ::close(fd);
            ::unlink(temp.c_str());
            // What is in memory is no longer what the file holds: read the
            // file again at the next access.
            m_hives.erase(hive);
            return false;
        }
        ++m_filesWritten;
        syncFolder(target.parent_path());
        loaded.keep(fd);
        loaded.stamp = Stamp::of(st);
        return true;
    }

    std::map<HKEY, Handle> handles;
    HKEY nextHandle = 0x1000;

private:
    Store() {
        if (const char* dir = std::getenv("QUIBO_REGISTRY_DIR"); dir && *dir) {
            m_folder = dir;
        } else {
            const char* config = std::getenv("XDG_CONFIG_HOME");
            const char* home = std::getenv("HOME");
            std::string base =
                config && *config ? config : std::string(home ? home : "/tmp") + "/.config";
            m_folder = base + "/quibo/registry";
        }
    }

    static const char* hiveName(HKEY hive) {
        switch (hive) {
        case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
        case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        case HKEY_USERS: return "HKEY_USERS";
        case HKEY_PERFORMANCE_DATA: return "HKEY_PERFORMANCE_DATA";
        case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG";
        default: return "HKEY_DYN_DATA";
        }
    }

    std::filesystem::path fileOf(HKEY hive) const {
        return std::filesystem::path(m_folder) / (std::string(hiveName(hive)) + ".reg");
    }

    // The file a save replaces: a hive file that is a symbolic link stays
    // one, and the file it names is replaced in its own folder, where the
    // rename is atomic.
    std::filesystem::path writtenFile(HKEY hive) const {
        namespace fs = std::filesystem;
        fs::path path = fileOf(hive);
        std::error_code ec;
        for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
            fs::path next = fs::read_symlink(path, ec);
            if (ec)
                break;
            path = next.is_absolute() ? next : path.parent_path() / next;
        }
        return path;
    }

    void report(const std::string& problem) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        m_problems.push_back(problem);
    }

    // The hive's lock, taken by the first holder and released by the last.
    // A lock file this process may not write (another user's) still takes
    // the lock through a read-only descriptor.
    void acquire(HKEY hive) {
        HeldLock& held = m_locks[hive];
        if (held.depth++ > 0)
            return;
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::create_directories(m_folder, ec);
        fs::path lockFile = fileOf(hive);
        lockFile += ".lock";
        int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        int err = errno;
        if (fd < 0) {
            fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 && errno != ENOENT)
                err = errno;
        }
        if (fd >= 0) {
            int rc;
            while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
            }
            if (rc != 0) {
                err = errno;
                ::close(fd);
                fd = -1;
            }
        }
        held.fd = fd;
        held.taken = fd >= 0;
        // Told once while it lasts, not at every change.
        std::string& told = m_lockProblems[hive];
        if (!held.taken) {
            std::string problem = "The registry lock file " + lockFile.string() +
                                  " cannot be taken (" + std::strerror(err) + "); changes to " +
                                  hiveName(hive) + " are not saved.";
            if (problem != told)
                report(problem);
            told = problem;
            return;
        }
        told.clear();
        removeLeftovers(hive);
    }
    void release(HKEY hive) {
        HeldLock& held = m_locks[hive];
        if (held.depth == 0 || --held.depth > 0)
            return;
        if (held.fd >= 0)
            ::close(held.fd);
        held = HeldLock{};
    }

    static bool writeAll(int fd, const std::string& text) {
        size_t done = 0;
        while (done < text.size()) {
            ssize_t n = ::write(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    // Makes the rename itself durable.
    static void syncFolder(const std::filesystem::path& folder) {
        int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

    void removeLeftovers(HKEY hive) const {
        std::filesystem::path written = writtenFile(hive);
        std::string prefix = written.filename().string() + ".tmp";
        std::error_code ec;
        for (auto it = std::filesystem::directory_iterator(written.parent_path(), ec);
             !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
            if (it->path().filename().string().rfind(prefix, 0) == 0) {
                std::error_code ignored;
                std::filesystem::remove(it->path(), ignored);
            }
    }

    static bool readAll(int fd, std::string& text) {
        text.clear();
        char buf[65536];
        while (text.size() <= kMaxFileSize) {
            ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return false;
            if (n == 0)
                return true;
            try {
                text.append(buf, static_cast<size_t>(n));
            } catch (const std::bad_alloc&) {
                return false; // larger than this process can hold
            }
        }
        return false;
    }

    void refresh(HKEY hive) {
        LoadedHive& loaded = m_hives[hive];
        struct stat st {};
        Stamp now = ::stat(fileOf(hive).c_str(), &st) == 0 ? Stamp::of(st) : Stamp{};
        if (loaded.root && now == loaded.stamp)
            return;
        auto root = std::make_unique<Key>();
        // Not blocking: a pipe in the file's place must not stop the program.
        int fd = ::open(fileOf(hive).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            int err = errno;
            loaded.keep(-1);
            loaded.stamp = Stamp{};
            loaded.root = std::move(root);
            // A file that is there but may not be read is no empty hive: its
            // values give defaults and it is never written over. Told once
            // while it lasts.
            std::string reason = err == ENOENT ? "" : std::strerror(err);
            if (!reason.empty() && reason != loaded.unreadable)
                report("The registry file " + fileOf(hive).string() + " cannot be read (" + reason +
                       "); its values are not used and it is not changed.");
            loaded.unreadable = reason;
            return;
        }
        loaded.unreadable.clear();
        std::string text, error;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            error = "it is not a readable file";
        else if (!readAll(fd, text))
            error = "it cannot be read, or is larger than a registry file can be";
        if (error.empty() && registry::parseHive(text, *root, error)) {
            loaded.keep(fd);
            loaded.stamp = Stamp::of(st);
            loaded.root = std::move(root);
            return;
        }
        ::close(fd);
        if (m_locks[hive].depth == 0) {
            // Moving a file aside races with the writers: decide under the lock,
            // on the file as it is then.
            HiveLock lock(*this, hive);
            return;
        }
        setAside(hive, Stamp::of(st), error);
    }

    // Never empty a damaged store silently: keep it aside for the user.
    void setAside(HKEY hive, const Stamp& damaged, const std::string& error) {
        LoadedHive& loaded = m_hives[hive];
        auto stamp = std::chrono::system_clock::now().time_since_epoch() / std::chrono::seconds(1);
        std::filesystem::path aside = fileOf(hive);
        aside += ".corrupt-" + std::to_string(stamp);
        // A second damaged file within the same second must not replace the first.
        std::error_code ec;
        for (int n = 2; std::filesystem::exists(aside, ec) && n < 1000; ++n) {
            aside = fileOf(hive);
            aside += ".corrupt-" + std::to_string(stamp) + "-" + std::to_string(n);
        }
        // Without the lock another writer may be replacing the file: leave it.
        if (m_locks[hive].taken)
            std::filesystem::rename(fileOf(hive), aside, ec);
        else
            ec = std::make_error_code(std::errc::no_lock_available);
        std::string problem = "The registry file " + fileOf(hive).string() + " is damaged (" +
                              error + "); " +
                              (ec ? "it could not be moved aside (" + ec.message() + ")"
                                  : "it was moved to " + aside.string()) +
                              " and its keys start empty.";
        report(problem);
        loaded.keep(-1);
        // A file that could not be moved is not read again until it changes.
        loaded.stamp = ec ? damaged : Stamp{};
        loaded.root = std::make_unique<Key>();
    }

    std::string m_folder;
    std::map<HKEY, LoadedHive> m_hives;
    std::vector<std::string> m_problems;
    size_t m_problemsTaken = 0;
    size_t m_filesWritten = 0;

    struct HeldLock {
        int fd = -1;
        int depth = 0;
        bool taken = false;
    };
    std::map<HKEY, HeldLock> m_locks;
    std::map<HKEY, std::string> m_lockProblems; // the last told for each hive
    int m_batchDepth = 0;
    std::set<HKEY> m_batchHives;
};

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
Key* resolve(Store& store, HKEY hive, const std::vector<std::string>& path) {
    Key* key = store.hiveRoot(hive);
    for (const std::string& part : path) {
        key = key->child(part);
        if (!key)
            return nullptr;
    }
    return key;
}

LONG handleOf(Store& store, HKEY h, Handle& out) {
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

HKEY newHandle(Store& store, Handle handle) {
    HKEY h = store.nextHandle++;
    store.handles[h] = std::move(handle);
    return h;
}

// The shared prologue of the value calls: the handle must be open with
// `access`, its key must still exist and, for a change, be writable. Then
// `body(store, handle, key)` runs under the store's lock.
template <class Body> LONG onKey(HKEY hKey, uint32_t access, bool change, Body&& body) {
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    Handle h;
    if (LONG rc = handleOf(store, hKey, h); rc != ERROR_SUCCESS)
        return rc;
    if ((h.access & access) != access)
        return ERROR_ACCESS_DENIED;
    std::optional<Store::HiveLock> hiveLock;
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
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    Handle base;
    if (LONG rc = handleOf(store, hKey, base); rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> parts;
    if (!splitPath(subKey, parts) || base.path.size() + parts.size() > registry::kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;
    std::optional<Store::HiveLock> hiveLock;
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
    return onKey(hKey, KEY_QUERY_VALUE, false, [&](Store&, const Handle&, Key& key) {
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
    return onKey(hKey, KEY_SET_VALUE, true, [&](Store& store, const Handle& h, Key& key) {
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
    return onKey(hKey, KEY_SET_VALUE, true, [&](Store& store, const Handle& h, Key& key) {
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
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    Handle h;
    if (LONG rc = handleOf(store, hKey, h); rc != ERROR_SUCCESS)
        return rc;
    std::vector<std::string> parts;
    if (subKey.empty() || !splitPath(subKey, parts))
        return ERROR_INVALID_PARAMETER;
    Store::HiveLock hiveLock(store, h.hive);
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
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    if (isHive(hKey))
        return ERROR_SUCCESS;
    return store.handles.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegEnumKeys(HKEY hKey, std::vector<std::string>& names) {
    return onKey(hKey, 0, false, [&](Store&, const Handle&, Key& key) {
        names.clear();
        for (const auto& c : key.children)
            names.push_back(c->name);
        return ERROR_SUCCESS;
    });
}

namespace registry {

std::string folder() {
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    return store.folder();
}

void setFolder(const std::string& dir) {
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    store.setFolder(dir);
}

std::vector<std::string> problems() {
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    return store.problems();
}

std::vector<std::string> takeProblems() {
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    return store.takeProblems();
}

size_t filesWritten() {
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    return store.filesWritten();
}

Batch::Batch() {
    Store& store = Store::instance();
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
    Store& store = Store::instance();
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
    Store& store = Store::instance();
    std::lock_guard lock(store.mutex);
    Store::HiveLock hiveLock(store, hive);
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
