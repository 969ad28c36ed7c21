#include "runtime/core/FileSlots.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "runtime/core/Error.h"

namespace rt::FileSlots {

namespace {

struct Slot {
    int fd = -1;
    FileMode mode = FileMode::Random;
    int recordLength = 0;
    bool eof = false;
    // A random-access file is read whole when it opens and written through,
    // so reading a record costs no system call.
    std::string contents;
    // Lines for output and append gather here and reach the file in large
    // writes: when enough are waiting, and when the slot closes.
    std::string pending;
};

constexpr size_t kFlushSize = 64 * 1024;

bool readWhole(int fd, std::string& out) {
    out.clear();
    char buf[65536];
    while (true) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        out.append(buf, static_cast<size_t>(n));
    }
}

std::array<Slot, kMaxSlot + 1>& slots() {
    static std::array<Slot, kMaxSlot + 1> table;
    return table;
}

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

void writeAll(int fd, const char* data, size_t size, off_t offset) {
    while (size > 0) {
        ssize_t n = offset >= 0 ? pwrite(fd, data, size, offset) : write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            raiseError(kDeviceIOError);
        }
        data += n;
        size -= static_cast<size_t>(n);
        if (offset >= 0)
            offset += n;
    }
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
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        raiseError(kPathFileAccessError);
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0)
        raiseOpenError(errno);
    std::string contents;
    if (mode == FileMode::Random && !readWhole(fd, contents)) {
        ::close(fd);
        raiseError(kDeviceIOError);
    }
    s = Slot{fd, mode, recordLength, false, std::move(contents)};
}

void Close(int slot) {
    if (slot < 1 || slot > kMaxSlot)
        return;
    Slot& s = slots()[static_cast<size_t>(slot)];
    if (s.fd < 0)
        return;
    std::string pending = std::move(s.pending);
    int fd = s.fd;
    s = Slot{};
    bool flushed = true;
    if (!pending.empty()) {
        try {
            writeAll(fd, pending.data(), pending.size(), -1);
        } catch (const RuntimeError&) {
            flushed = false;
        }
    }
    ::close(fd);
    if (!flushed)
        raiseError(kDeviceIOError);
}

bool isOpen(int slot) { return slot >= 1 && slot <= kMaxSlot && slots()[slot].fd >= 0; }

std::string GetString(int slot, long record) {
    Slot& s = openSlot(slot, true);
    if (record < 1)
        raiseError(kBadRecordNumber);
    size_t offset = static_cast<size_t>(record - 1) * static_cast<size_t>(s.recordLength);
    size_t got = offset < s.contents.size()
                     ? std::min(s.contents.size() - offset, static_cast<size_t>(s.recordLength))
                     : 0;
    const char* buf = s.contents.data() + std::min(offset, s.contents.size());
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
    return std::string(buf + 2, length);
}

void PutString(int slot, long record, const std::string& text) {
    Slot& s = openSlot(slot, true);
    if (record < 1)
        raiseError(kBadRecordNumber);
    if (text.size() > static_cast<size_t>(s.recordLength - 2))
        raiseError(kBadRecordLength);
    std::vector<char> buf(static_cast<size_t>(s.recordLength), '\0');
    buf[0] = static_cast<char>(text.size() & 0xFF);
    buf[1] = static_cast<char>(text.size() >> 8);
    std::copy(text.begin(), text.end(), buf.begin() + 2);
    size_t offset = static_cast<size_t>(record - 1) * static_cast<size_t>(s.recordLength);
    writeAll(s.fd, buf.data(), buf.size(), static_cast<off_t>(offset));
    if (s.contents.size() < offset + buf.size())
        s.contents.resize(offset + buf.size(), '\0');
    std::copy(buf.begin(), buf.end(), s.contents.begin() + static_cast<std::ptrdiff_t>(offset));
}

void PrintLine(int slot, const std::string& text) {
    Slot& s = openSlot(slot, false);
    s.pending += text;
    s.pending += "\r\n";
    if (s.pending.size() >= kFlushSize) {
        std::string batch = std::move(s.pending);
        s.pending.clear();
        writeAll(s.fd, batch.data(), batch.size(), -1);
    }
}

bool Eof(int slot) {
    Slot& s = slotAt(slot);
    if (s.fd < 0)
        raiseError(kBadFileNameOrNumber);
    return s.eof;
}

} // namespace rt::FileSlots
