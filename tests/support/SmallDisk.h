#pragma once
// A small file system of its own (a 64 KiB tmpfs) mounted over a test's
// folder, which can be filled up or made read-only; unmounted at the end.
// Mounting needs root: `mounted()` is false elsewhere and the test skips.

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/mount.h>

namespace rt::test {

class SmallDisk {
public:
    explicit SmallDisk(std::filesystem::path folder) : m_folder(std::move(folder)) {
        m_mounted = ::mount("tmpfs", m_folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    // Writes a filler file until no byte is left.
    void fill() const {
        std::ofstream out(filler(), std::ios::binary);
        std::string block(1024, 'f');
        while (out.write(block.data(), static_cast<std::streamsize>(block.size())) && out.flush()) {
        }
    }
    void makeRoom() const { std::filesystem::remove(filler()); }
    // Nothing on it can be written any more, not even by root.
    bool makeReadOnly() const {
        return ::mount("tmpfs", m_folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }

private:
    std::filesystem::path filler() const { return m_folder / "filler"; }
    std::filesystem::path m_folder;
    bool m_mounted = false;
};

} // namespace rt::test
