#include "runtime/core/FileSlots.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "runtime/core/Error.h"
#include "runtime/core/FileSystem.h"

namespace rt::FileSlots {

namespace {

struct Slot {
    int fd = -1;
    FileMode mode = FileMode::Random;
    int recordLength = 0;
    bool eof = false;
    // Opened for reading only: the file or its folder cannot be written.
    bool readOnly = false;
    // A random-access file is read whole when it opens and written through,
    // so reading a record costs no system call.
    std::shared_ptr<std::string> contents;
    std::filesystem::path path;
    // Lines for output and append gather here and reach the file in large
    // writes: when enough are waiting, and when the slot closes. The buffer
    // keeps its capacity from batch to batch and file to file.
    std::string pending;
};

constexpr size_t kFlushSize = 64 * 1024;

// What a random-access file held when it was last read or written here, so
// opening an unchanged file again reads nothing.
struct CachedFile {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    std::shared_ptr<std::string> contents;
};

std::unordered_map<std::string, CachedFile>& fileCache() {
    static std::unordered_map<std::string, CachedFile> cache;
    return cache;
}

bool sameFile(const CachedFile& c, const struct stat& st) {
    return c.device == st.st_dev && c.inode == st.st_ino && c.size == st.st_size &&
           c.modified.tv_sec == st.st_mtim.tv_sec && c.modified.tv_nsec == st.st_mtim.tv_nsec;
}

void remember(const std::filesystem::path& path, int fd, std::shared_ptr<std::string> contents) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        fileCache().erase(path.native());
        return;
    }
    fileCache()[path.native()] =
        CachedFile{st.st_dev, st.st_ino, st.st_size, st.st_mtim, std::move(contents)};
}

// The whole file, from the cache when it has not changed since `st` (its
// status when it was opened).
std::shared_ptr<std::string> readWhole(int fd, const std::filesystem::path& path,
                                       const struct stat& st) {
    auto cached = fileCache().find(path.native());
    if (cached != fileCache().end() && sameFile(cached->second, st))
        return cached->second.contents;
    auto out = std::make_shared<std::string>(static_cast<size_t>(st.st_size), '\0');
    size_t got = 0;
    while (got < out->size()) {
        ssize_t n = ::pread(fd, out->data() + got, out->size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return nullptr;
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    out->resize(got);
    remember(path, fd, out);
    return out;
}

std::array<Slot, kMaxSlot + 1> g_slots;

std::array<Slot, kMaxSlot + 1>& slots() { return g_slots; }

Slot& slotAt(int slot) {
    if (slot < 1 || slot > kMaxSlot)
        raiseError(kBadFileNameOrNumber);
    return slots()[static_cast<size_t>(slot)];
}

Slot& openSlot(int slot, bool random) {
    Slot& s = slotAt(slot);
    if (s.fd < 0)
        raiseError(kBadFileNameOrNumber);
    if (random != (s.mode == FileMode::Random))
        raiseError(kBadFileMode);
    return s;
}

[[noreturn]] void raiseOpenError(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: raiseError(kPathNotFound);
    case ENAMETOOLONG: raiseError(kBadFileName);
    default: raiseError(kPathFileAccessError);
    }
}

// A slot opened for reading only writes nothing: EBADF.
[[noreturn]] void raiseWriteError(int err) {
    raiseError(err == EBADF ? kPermissionDenied : writeErrorNumber(err));
}

void writeAll(int fd, const char* data, size_t size, off_t offset) {
    while (size > 0) {
        ssize_t n = offset >= 0 ? pwrite(fd, data, size, offset) : write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseWriteError(errno);
        }
        data += n;
        size -= static_cast<size_t>(n);
        if (offset >= 0)
            offset += n;
    }
}

// Puts back what a failed write of `size` bytes at `offset` may have changed
// in a file of `oldSize` bytes whose old bytes are in `old`: a half record
// left at the end would read as damage and hide every record after it.
bool undoWrite(int fd, const std::string& old, size_t oldSize, size_t offset, size_t size) {
    if (offset < oldSize) {
        size_t overlap = std::min(oldSize - offset, size);
        try {
            writeAll(fd, old.data() + offset, overlap, static_cast<off_t>(offset));
        } catch (const RuntimeError&) {
            return false;
        }
    }
    if (offset + size > oldSize && ::ftruncate(fd, static_cast<off_t>(oldSize)) != 0)
        return false;
    return true;
}

} // namespace

void Open(int slot, const std::filesystem::path& path, FileMode mode, int recordLength) {
    Slot& s = slotAt(slot);
    if (s.fd >= 0)
        raiseError(kFileAlreadyOpen);
    if (mode == FileMode::Random && (recordLength < 3 || recordLength > 32767))
        raiseError(kBadRecordLength);
    int flags = O_CLOEXEC;
    switch (mode) {
    case FileMode::Random: flags |= O_RDWR | O_CREAT; break;
    case FileMode::Output: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case FileMode::Append: flags |= O_WRONLY | O_CREAT | O_APPEND; break;
    }
    // A folder cannot be opened for writing; the status a random-access
    // file is read by tells a folder too, so no look beforehand is needed.
    int fd = ::open(path.c_str(), flags, 0644);
    bool readOnly = false;
    if (fd < 0 && mode == FileMode::Random && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        // Data that may only be read is still read; a write then fails.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        readOnly = fd >= 0;
    }
    if (fd < 0)
        raiseOpenError(errno);
    std::shared_ptr<std::string> contents;
    if (mode == FileMode::Random) {
        struct stat st {};
        int failure = 0;
        if (::fstat(fd, &st) != 0)
            failure = kDeviceIOError;
        else if (S_ISDIR(st.st_mode))
            failure = kPathFileAccessError;
        else if (!(contents = readWhole(fd, path, st)))
            failure = kDeviceIOError;
        if (failure) {
            ::close(fd);
            raiseError(failure);
        }
    }
    s.fd = fd;
    s.mode = mode;
    s.recordLength = recordLength;
    s.eof = false;
    s.readOnly = readOnly;
    s.contents = std::move(contents);
    s.path = path;
    s.pending.clear();
}

void Close(int slot) {
    if (slot < 1 || slot > kMaxSlot)
        return;
    Slot& s = slots()[static_cast<size_t>(slot)];
    if (s.fd < 0)
        return;
    int fd = s.fd;
    s.fd = -1;
    s.contents.reset();
    int failure = 0;
    if (!s.pending.empty()) {
        try {
            writeAll(fd, s.pending.data(), s.pending.size(), -1);
        } catch (const RuntimeError& e) {
            failure = e.number();
        }
        s.pending.clear();
    }
    ::close(fd);
    if (failure)
        raiseError(failure);
}

bool isOpen(int slot) { return slot >= 1 && slot <= kMaxSlot && slots()[slot].fd >= 0; }

std::string GetString(int slot, long record) {
    return std::string(GetView(slot, record));
}

std::string_view GetView(int slot, long record) {
    Slot& s = openSlot(slot, true);
    if (record < 1)
        raiseError(kBadRecordNumber);
    size_t offset = static_cast<size_t>(record - 1) * static_cast<size_t>(s.recordLength);
    const std::string& contents = *s.contents;
    size_t got = offset < contents.size()
                     ? std::min(contents.size() - offset, static_cast<size_t>(s.recordLength))
                     : 0;
    const char* buf = contents.data() + std::min(offset, contents.size());
    if (got == 0) {
        s.eof = true;
        return {};
    }
    s.eof = false;
    if (got < 2)
        raiseError(kInputPastEndOfFile);
    size_t length = static_cast<unsigned char>(buf[0]) | (static_cast<unsigned char>(buf[1]) << 8);
    if (length > static_cast<size_t>(s.recordLength) - 2)
        raiseError(kBadRecordLength);
    if (length > got - 2)
        raiseError(kInputPastEndOfFile);
    return std::string_view(buf + 2, length);
}

void PutString(int slot, long record, const std::string& text) {
    Slot& s = openSlot(slot, true);
    if (record < 1)
        raiseError(kBadRecordNumber);
    if (text.size() > static_cast<size_t>(s.recordLength - 2))
        raiseError(kBadRecordLength);
    if (s.readOnly)
        raiseError(kPermissionDenied);
    std::vector<char> buf(static_cast<size_t>(s.recordLength), '\0');
    buf[0] = static_cast<char>(text.size() & 0xFF);
    buf[1] = static_cast<char>(text.size() >> 8);
    std::copy(text.begin(), text.end(), buf.begin() + 2);
    size_t offset = static_cast<size_t>(record - 1) * static_cast<size_t>(s.recordLength);
    try {
        writeAll(s.fd, buf.data(), buf.size(), static_cast<off_t>(offset));
    } catch (const RuntimeError&) {
        if (!undoWrite(s.fd, *s.contents, s.contents->size(), offset, buf.size()))
            raiseError(kDeviceIOError, {}, kWrittenInPart);
        throw;
    }
    // The cache may share the old contents: write into a copy of our own.
    if (s.contents.use_count() > 1)
        s.contents = std::make_shared<std::string>(*s.contents);
    std::string& contents = *s.contents;
    if (contents.size() < offset + buf.size())
        contents.resize(offset + buf.size(), '\0');
    std::copy(buf.begin(), buf.end(), contents.begin() + static_cast<std::ptrdiff_t>(offset));
    remember(s.path, s.fd, s.contents);
}

void PrintLine(int slot, std::string_view text) {
    Slot& s = openSlot(slot, false);
    s.pending += text;
    s.pending += "\r\n";
    if (s.pending.size() >= kFlushSize) {
        // The batch is gone whether or not it could be written.
        try {
            writeAll(s.fd, s.pending.data(), s.pending.size(), -1);
        } catch (const RuntimeError&) {
            s.pending.clear();
            throw;
        }
        s.pending.clear();
    }
}

bool Eof(int slot) {
    Slot& s = slotAt(slot);
    if (s.fd < 0)
        raiseError(kBadFileNameOrNumber);
    return s.eof;
}

} // namespace rt::FileSlots
