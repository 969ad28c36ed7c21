#pragma once
// Folders and files as the program sees them. Names given and returned are
// ANSI; paths on disk are UTF-8.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace rt {

// The ordinary files of `folder` whose names match `pattern` (`*` and `?`,
// case counting as it does for the file system: a name listed for "*.txt" is
// one that "<name>.txt" opens), in the order the file system lists them.
// Folders, hidden files (a leading '.') and anything not a regular file are
// left out. A missing folder gives no names.
std::vector<std::string> listFiles(const std::filesystem::path& folder, const std::string& pattern);

// Whether `pattern` matches the whole of `name`.
bool matchesPattern(const std::string& name, const std::string& pattern);

bool FolderExists(const std::filesystem::path& folder);
// Raises 58 when it exists, 76 when its parent is missing, 75 otherwise.
void CreateFolder(const std::filesystem::path& folder);

// Deletes a file: 53 when there is none, 75 when it cannot be deleted.
void Kill(const std::filesystem::path& file);

// The run-time error for a failed write or rename (errno `err`): 61 for a
// full disk, 70 when the file or its folder may only be read, 57 otherwise.
int32_t writeErrorNumber(int err);

// The file `file` names in the end: the target of a symbolic link (or of a
// chain of them), else `file` itself. A rewrite replaces that file, so a link
// the user made keeps pointing at the data.
std::filesystem::path FinalTarget(const std::filesystem::path& file);

// Puts `fresh` in the place of `target` (of its final target when `target`
// is a symbolic link; `fresh` then belongs beside that one) at once: `fresh`
// reaches the disk, is renamed over the target, and the folder's new entry
// reaches the disk, so a stop at any moment leaves the old file or the new
// one whole. Raises 61 for a full disk, 70 when the folder cannot be
// written, 57 otherwise; the target is then as it was.
void ReplaceFile(const std::filesystem::path& fresh, const std::filesystem::path& target);

// Whether a name given for a file inside a folder stays inside it: no path
// separator, no NUL, not empty, not "." or "..".
bool isPlainFileName(const std::string& name);

} // namespace rt
