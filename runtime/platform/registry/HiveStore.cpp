#include "runtime/platform/registry/HiveStore.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <unistd.h>

#include "runtime/core/FileSystem.h"

namespace rt::registry {

namespace {

// A hive file is read whole into memory: a larger one is not written and,
// when met, is damage.
constexpr size_t kMaxFileSize = size_t(256) << 20;

const char* hiveName(HKEY hive) {
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

bool writeAll(int fd, const std::string& text) {
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
void syncFolder(const std::filesystem::path& folder) {
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool readAll(int fd, std::string& text) {
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

} // namespace

void LoadedHive::keep(int newFd) {
    if (fd >= 0)
        ::close(fd);
    fd = newFd;
}

HiveStore& HiveStore::instance() {
    static HiveStore store;
    return store;
}

HiveStore::HiveLock::HiveLock(HiveStore& store, HKEY hive) : m_store(store), m_hive(hive) {
    store.acquire(hive);
    store.refresh(hive);
}

HiveStore::HiveLock::~HiveLock() {
    m_store.release(m_hive);
}

LONG HiveStore::HiveLock::status() const {
    if (!m_store.m_locks[m_hive].taken)
        return ERROR_ACCESS_DENIED;
    if (!m_store.m_hives[m_hive].unreadable.empty())
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

bool HiveStore::endBatch() {
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

bool HiveStore::commit(HKEY hive) {
    if (m_batchDepth == 0)
        return save(hive);
    if (m_batchHives.insert(hive).second)
        acquire(hive); // held past this change, until the batch ends
    return true;
}

void HiveStore::setFolder(std::string folder) {
    m_folder = std::move(folder);
    m_hives.clear();
    // Problems of the folder before are not this one's to show.
    m_problemsTaken = m_problems.size();
}

std::vector<std::string> HiveStore::takeProblems() {
    std::vector<std::string> fresh(m_problems.begin() + static_cast<long>(m_problemsTaken),
                                   m_problems.end());
    m_problemsTaken = m_problems.size();
    return fresh;
}

Key* HiveStore::hiveRoot(HKEY hive) {
    refresh(hive);
    return m_hives[hive].root.get();
}

bool HiveStore::save(HKEY hive) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(m_folder, ec);
    fs::path target = writtenFile(hive);
    fs::path temp = target;
    temp += ".tmp" + std::to_string(getpid());
    LoadedHive& loaded = m_hives[hive];
    std::string text = serializeHive(*loaded.root);
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

HiveStore::HiveStore() {
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

std::filesystem::path HiveStore::fileOf(HKEY hive) const {
    return std::filesystem::path(m_folder) / (std::string(hiveName(hive)) + ".reg");
}

std::filesystem::path HiveStore::writtenFile(HKEY hive) const {
    return FinalTarget(fileOf(hive));
}

void HiveStore::report(const std::string& problem) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    m_problems.push_back(problem);
}

void HiveStore::acquire(HKEY hive) {
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
        std::string problem = "The registry lock file " + lockFile.string() + " cannot be taken (" +
                              std::strerror(err) + "); changes to " + hiveName(hive) +
                              " are not saved.";
        if (problem != told)
            report(problem);
        told = problem;
        return;
    }
    told.clear();
    removeLeftovers(hive);
}

void HiveStore::release(HKEY hive) {
    HeldLock& held = m_locks[hive];
    if (held.depth == 0 || --held.depth > 0)
        return;
    if (held.fd >= 0)
        ::close(held.fd);
    held = HeldLock{};
}

void HiveStore::removeLeftovers(HKEY hive) const {
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

void HiveStore::refresh(HKEY hive) {
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
    if (error.empty() && parseHive(text, *root, error)) {
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

void HiveStore::setAside(HKEY hive, const Stamp& damaged, const std::string& error) {
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
    std::string problem = "The registry file " + fileOf(hive).string() + " is damaged (" + error +
                          "); " +
                          (ec ? "it could not be moved aside (" + ec.message() + ")"
                              : "it was moved to " + aside.string()) +
                          " and its keys start empty.";
    report(problem);
    loaded.keep(-1);
    // A file that could not be moved is not read again until it changes.
    loaded.stamp = ec ? damaged : Stamp{};
    loaded.root = std::make_unique<Key>();
}

} // namespace rt::registry
