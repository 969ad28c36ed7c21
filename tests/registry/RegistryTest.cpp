#include "runtime/platform/registry/Registry.h"
#include "runtime/platform/registry/Settings.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace rt;

namespace {

class RegistryTest : public testing::Test {
protected:
    RegistryTest() {
        std::string templ = (std::filesystem::temp_directory_path() / "quibo-reg-XXXXXX").string();
        m_dir = mkdtemp(templ.data());
        registry::setFolder(m_dir.string());
    }
    ~RegistryTest() override {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    static HKEY create(const std::string& path, uint32_t access = 0x2003F) {
        HKEY h = 0;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, "1", 0, access, nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        return h;
    }
    static LONG setText(HKEY h, const std::string& name, const std::string& bytes) {
        return RegSetValueExA(h, name, REG_SZ, reinterpret_cast<const uint8_t*>(bytes.data()),
                              static_cast<uint32_t>(bytes.size()));
    }
    static std::string query(HKEY h, const std::string& name, uint32_t* type = nullptr) {
        uint8_t buf[1024];
        uint32_t size = sizeof buf;
        uint32_t t = 0;
        if (RegQueryValueExA(h, name, &t, buf, &size) != ERROR_SUCCESS)
            return "<none>";
        if (type)
            *type = t;
        return std::string(reinterpret_cast<char*>(buf), size);
    }

    std::filesystem::path m_dir;
};

TEST_F(RegistryTest, ValuesSurviveARestartOfTheProcess) {
    pid_t child = fork();
    if (child == 0) {
        HKEY h = 0;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\frmQuibo\\Position", "1", 0, KEY_ALL_ACCESS,
                        nullptr, &h, nullptr);
        std::string v = "1200";
        RegSetValueExA(h, "Top", REG_SZ, reinterpret_cast<const uint8_t*>(v.data()), 4);
        uint32_t dword = 266;
        RegSetValueExA(h, "Count", REG_DWORD, reinterpret_cast<const uint8_t*>(&dword), 4);
        _exit(RegCloseKey(h) == ERROR_SUCCESS ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    registry::setFolder(m_dir.string()); // drops anything this process had loaded
    HKEY h = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\FRMQUIBO\\position", 0, KEY_READ, &h),
              ERROR_SUCCESS);
    EXPECT_EQ(query(h, "top"), "1200");
    uint32_t type = 0;
    EXPECT_EQ(query(h, "Count", &type), std::string("\x0a\x01\x00\x00", 4));
    EXPECT_EQ(type, REG_DWORD);
    RegCloseKey(h);
}

TEST_F(RegistryTest, TextsWithAndWithoutTerminatingNulReadBackAsStored) {
    HKEY h = create("Software\\T");
    ASSERT_EQ(setText(h, "Plain", "120"), ERROR_SUCCESS);
    ASSERT_EQ(setText(h, "WithNul", std::string("120\0", 4)), ERROR_SUCCESS);
    ASSERT_EQ(setText(h, "Empty", ""), ERROR_SUCCESS);
    EXPECT_EQ(query(h, "Plain"), "120");
    EXPECT_EQ(query(h, "WithNul"), std::string("120\0", 4));
    EXPECT_EQ(query(h, "Empty"), "");
    RegCloseKey(h);
}

TEST_F(RegistryTest, ABufferTooSmallReportsTheSizeNeeded) {
    HKEY h = create("Software\\T");
    setText(h, "Long", std::string(1500, 'x'));
    uint8_t buf[1024];
    uint32_t size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(h, "Long", nullptr, buf, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 1500u);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(h, "Long", nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1500u);
    EXPECT_EQ(RegQueryValueExA(h, "Missing", nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(h);
}

TEST_F(RegistryTest, AccessRightsAreEnforced) {
    ASSERT_EQ(registry::markReadOnly(HKEY_CURRENT_USER, "Software\\Locked"), ERROR_SUCCESS);
    HKEY h = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Locked", 0, 0x2003F, &h), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Locked", "", 0, 0x2003F, nullptr, &h, nullptr),
              ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Locked", 0, KEY_READ, &h), ERROR_SUCCESS);
    EXPECT_EQ(setText(h, "x", "1"), ERROR_ACCESS_DENIED);
    RegCloseKey(h);

    HKEY readOnlyHandle = create("Software\\Open", KEY_READ);
    EXPECT_EQ(setText(readOnlyHandle, "x", "1"), ERROR_ACCESS_DENIED);
    RegCloseKey(readOnlyHandle);
    EXPECT_EQ(RegCloseKey(readOnlyHandle), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, DeletingAKeyNeedsItToBeALeaf) {
    RegCloseKey(create("Software\\A\\B"));
    HKEY a = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A", 0, KEY_ALL_ACCESS, &a), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\A"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "software\\a\\b"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\A"), ERROR_SUCCESS);
    EXPECT_EQ(setText(a, "x", "1"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\A"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(a);
}

TEST_F(RegistryTest, HostileNamesNeverCorruptTheStore) {
    HKEY h = 0;
    for (const std::string& bad : {std::string("a\\\\b"), std::string("\\lead"), std::string("trail\\"),
                                  std::string(256, 'k')})
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, bad, "", 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
                  ERROR_INVALID_PARAMETER)
            << bad;
    size_t problems = registry::problems().size();
    HKEY k = create("Software\\q\"uote \x01\n\xA6 end");
    std::string odd = std::string("va\"l\\ue\n\r\0\xff", 10);
    ASSERT_EQ(setText(k, odd, odd), ERROR_SUCCESS);
    RegCloseKey(k);
    registry::setFolder(m_dir.string());
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\q\"uote \x01\n\xA6 END", 0, KEY_READ, &k),
              ERROR_SUCCESS);
    EXPECT_EQ(query(k, odd), odd);
    EXPECT_EQ(registry::problems().size(), problems);
    RegCloseKey(k);
}

TEST_F(RegistryTest, ATruncatedStoreIsReportedAndKeptAside) {
    HKEY h = create("Software\\Keep");
    setText(h, "A", "1");
    setText(h, "B", "2");
    RegCloseKey(h);
    auto file = m_dir / "HKEY_CURRENT_USER.reg";
    std::string text;
    {
        std::ifstream in(file, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text.substr(0, text.size() / 2);
    size_t before = registry::problems().size();
    registry::setFolder(m_dir.string());
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Keep", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(registry::problems().size(), before + 1);
    EXPECT_NE(registry::problems().back().find("damaged"), std::string::npos);
    int aside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir))
        if (entry.path().filename().string().find(".corrupt-") != std::string::npos) {
            ++aside;
            std::ifstream in(entry.path(), std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text.substr(0, text.size() / 2));
        }
    EXPECT_EQ(aside, 1);
}

TEST_F(RegistryTest, SettingsFallBackToTheirDefault) {
    EXPECT_EQ(GetSetting("RiriDozuzeze", "Startup", "VUMeter", "3000"), "3000");
    SaveSetting("RiriDozuzeze", "Startup", "VUMeter", "5000");
    EXPECT_EQ(GetSetting("ririDOZUZEZE", "startup", "vumeter", "3000"), "5000");
    DeleteSetting("RiriDozuzeze", "Startup", "VUMeter");
    EXPECT_EQ(GetSetting("RiriDozuzeze", "Startup", "VUMeter", "3000"), "3000");
}

} // namespace
