#include "runtime/core/FileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/core/Ansi.h"
#include "runtime/core/Error.h"

namespace rt {

bool matchesPattern(const std::string& name, const std::string& pattern) {
    // Iterative wildcard match with one backtrack point per '*'.
    size_t n = 0, p = 0, star = std::string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> listFiles(const std::filesystem::path& folder, const std::string& pattern) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string raw = entry->d_name;
        if (raw.empty() || raw[0] == '.')
            continue;
        struct stat st {};
        if (stat((folder / raw).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        std::string name = ansiFromUtf8(raw);
        if (matchesPattern(name, pattern))
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool FolderExists(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(folder, ec);
}

void CreateFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0755) == 0)
        return;
    switch (errno) {
    case EEXIST: raiseError(kFileAlreadyExists);
    case ENOENT:
    case ENOTDIR: raiseError(kPathNotFound);
    default: raiseError(kPathFileAccessError);
    }
}

void Kill(const std::filesystem::path& file) {
    struct stat st {};
    if (lstat(file.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            raiseError(kFileNotFound);
        raiseError(kPathFileAccessError);
    }
    if (S_ISDIR(st.st_mode))
        raiseError(kFileNotFound);
    if (::unlink(file.c_str()) != 0)
        raiseError(errno == EACCES || errno == EPERM ? kPermissionDenied : kPathFileAccessError);
}

namespace {

[[noreturn]] void raiseReplaceError(int err) {
    raiseError(writeErrorNumber(err));
}

void syncPath(const std::filesystem::path& path, int flags) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        raiseReplaceError(errno);
    int rc = ::fsync(fd);
    int err = errno;
    ::close(fd);
    // A folder on a file system that cannot sync folders is no failure.
    if (rc != 0 && !(err == EINVAL && (flags & O_DIRECTORY)))
        raiseReplaceError(err);
}

} // namespace

int32_t writeErrorNumber(int err) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFull;
    case EACCES:
    case EPERM:
    case EROFS: return kPermissionDenied;
    default: return kDeviceIOError;
    }
}

std::filesystem::path FinalTarget(const std::filesystem::path& file) {
    std::filesystem::path at = file;
    // As many links as the system itself follows before it gives up.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at;
        std::error_code ec;
        std::filesystem::path next = std::filesystem::read_symlink(at, ec);
        if (ec)
            return at;
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at;
}

void ReplaceFile(const std::filesystem::path& fresh, const std::filesystem::path& target) {
    std::filesystem::path replaced = FinalTarget(target);
    syncPath(fresh, O_RDONLY);
    if (::rename(fresh.c_str(), replaced.c_str()) != 0)
        raiseReplaceError(errno);
    std::filesystem::path folder = replaced.parent_path();
    syncPath(folder.empty() ? std::filesystem::path(".") : folder, O_RDONLY | O_DIRECTORY);
}

bool isPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

} // namespace rt
