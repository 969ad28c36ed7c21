#pragma once
// A hive folder of the test's own, with the calls the registry tests share.

#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace rt::test {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class HiveStoreTest : public testing::Test {
protected:
    HiveStoreTest() : m_dir(rt::test::uniqueTempDir("quibo-hive")) {
        registry::setFolder(m_dir.string());
    }
    ~HiveStoreTest() override {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    fs::path hiveFile(const char* name = "HKEY_CURRENT_USER") const {
        return m_dir / (std::string(name) + ".reg");
    }

    std::vector<fs::path> filesContaining(const std::string& part) const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(m_dir))
            if (entry.path().filename().string().find(part) != std::string::npos)
                found.push_back(entry.path());
        return found;
    }

    static LONG setText(HKEY hive, const std::string& key, const std::string& name,
                        const std::string& text) {
        HKEY h = 0;
        LONG rc = RegCreateKeyExA(hive, key, "1", 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
        if (rc != ERROR_SUCCESS)
            return rc;
        rc = RegSetValueExA(h, name, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                            static_cast<uint32_t>(text.size()));
        RegCloseKey(h);
        return rc;
    }

    static std::string text(HKEY hive, const std::string& key, const std::string& name) {
        HKEY h = 0;
        if (RegOpenKeyExA(hive, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
            return "<no key>";
        uint8_t buf[1024];
        uint32_t size = sizeof buf;
        LONG rc = RegQueryValueExA(h, name, nullptr, buf, &size);
        RegCloseKey(h);
        return rc == ERROR_SUCCESS ? std::string(reinterpret_cast<char*>(buf), size) : "<no value>";
    }

    // Whether a child can run as a user whom file modes bind: root, which
    // ignores them, becomes nobody; anyone else stays who they are.
    static bool canRunAsAnotherUser() { return geteuid() != 0 || getpwnam("nobody") != nullptr; }

    // Starts `body` in a child process, as that user when `asAnotherUser`;
    // the child exits with its result (125 when the user could not be taken
    // on). The child reads the hive files afresh rather than through what
    // this process loaded.
    pid_t startChild(const std::function<int()>& body, bool asAnotherUser = true) const {
        pid_t child = fork();
        if (child == 0) {
            if (asAnotherUser && geteuid() == 0) {
                const passwd* nobody = getpwnam("nobody");
                if (!nobody || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
                    setuid(nobody->pw_uid) != 0)
                    _exit(125);
            }
            registry::setFolder(m_dir.string());
            _exit(body());
        }
        return child;
    }
    static int exitStatus(pid_t child) {
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child)
            return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    int inChildAsAnotherUser(const std::function<int()>& body) const {
        return exitStatus(startChild(body));
    }

    // So that the other user may create and replace files in the folder.
    void openFolderToAll() const { fs::permissions(m_dir, fs::perms::all); }

    fs::path m_dir;
};

} // namespace rt::test
