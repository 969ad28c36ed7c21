#pragma once
// The hive files behind the registry calls, one per hive: each read again when
// another process replaced it, changed under the hive's lock (the ".lock" file
// beside it, shared by every process) and rewritten atomically. The calls hold
// `mutex` around every use.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "runtime/platform/registry/HiveFile.h"
#include "runtime/platform/registry/Registry.h"

namespace rt::registry {

// A key as a call opened it.
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
    void keep(int newFd);
};

class HiveStore {
public:
    std::mutex mutex;

    static HiveStore& instance();

    // Holds the advisory lock of one hive across processes while a change is
    // read, applied and written back. Every writer holds it, so temporary
    // files met under it are left over from a writer that died. Nested
    // holders (a change inside a batch) share the one lock.
    class HiveLock {
    public:
        HiveLock(HiveStore& store, HKEY hive);
        ~HiveLock();
        HiveLock(const HiveLock&) = delete;
        HiveLock& operator=(const HiveLock&) = delete;

        // ERROR_ACCESS_DENIED when the hive may not be changed: its lock
        // cannot be taken, or its file cannot be read (writing it would
        // replace values never read).
        LONG status() const;

    private:
        HiveStore& m_store;
        HKEY m_hive;
    };

    // Changes made while a batch is open are written when the outermost one
    // ends; each hive changed keeps its lock until then.
    void beginBatch() { ++m_batchDepth; }
    bool endBatch();
    // A change applied in memory goes to the file now, or at the end of the
    // batch that is open.
    bool commit(HKEY hive);
    bool save(HKEY hive);

    std::string folder() const { return m_folder; }
    void setFolder(std::string folder);
    std::vector<std::string> problems() const { return m_problems; }
    std::vector<std::string> takeProblems();
    size_t filesWritten() const { return m_filesWritten; }

    // The hive's keys as its file holds them now: a file changed by another
    // process since it was read is read again.
    Key* hiveRoot(HKEY hive);

    std::map<HKEY, Handle> handles;
    HKEY nextHandle = 0x1000;

private:
    struct HeldLock {
        int fd = -1;
        int depth = 0;
        bool taken = false;
    };

    HiveStore();

    std::filesystem::path fileOf(HKEY hive) const;
    // The file a save replaces: a hive file that is a symbolic link stays
    // one, and the file it names is replaced in its own folder, where the
    // rename is atomic.
    std::filesystem::path writtenFile(HKEY hive) const;
    void report(const std::string& problem);
    // The hive's lock, taken by the first holder and released by the last.
    // A lock file this process may not write (another user's) still takes
    // the lock through a read-only descriptor.
    void acquire(HKEY hive);
    void release(HKEY hive);
    void removeLeftovers(HKEY hive) const;
    void refresh(HKEY hive);
    // Never empty a damaged store silently: keep it aside for the user.
    void setAside(HKEY hive, const Stamp& damaged, const std::string& error);

    std::string m_folder;
    std::map<HKEY, LoadedHive> m_hives;
    std::vector<std::string> m_problems;
    size_t m_problemsTaken = 0;
    size_t m_filesWritten = 0;
    std::map<HKEY, HeldLock> m_locks;
    std::map<HKEY, std::string> m_lockProblems; // the last told for each hive
    int m_batchDepth = 0;
    std::set<HKEY> m_batchHives;
};

} // namespace rt::registry
