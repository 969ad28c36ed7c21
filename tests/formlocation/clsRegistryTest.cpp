// Registry access by hive name: what is stored byte for byte, what reads as
// Null, and that every key an operation opens is closed again.

#include "FormLocation/clsRegistry.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace tlvFormControls {
namespace {

using namespace rt;

const std::string kKey = "Software\\Locator\\Position";

struct Stored {
    uint32_t type;
    std::string bytes;
    bool operator==(const Stored&) const = default;
};

void rawSet(HKEY hive, const std::string& key, const std::string& name, uint32_t type,
            const std::string& bytes) {
    HKEY h = 0;
    ASSERT_EQ(RegCreateKeyExA(hive, key, "", 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(h, name, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                             static_cast<uint32_t>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(h);
}

std::optional<Stored> rawGet(HKEY hive, const std::string& key, const std::string& name) {
    HKEY h = 0;
    if (RegOpenKeyExA(hive, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return std::nullopt;
    uint32_t type = 0, size = 0;
    std::optional<Stored> result;
    if (RegQueryValueExA(h, name, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string bytes(size, '\0');
        RegQueryValueExA(h, name, &type, reinterpret_cast<uint8_t*>(bytes.data()), &size);
        result = Stored{type, bytes};
    }
    RegCloseKey(h);
    return result;
}

bool keyExists(HKEY hive, const std::string& key) {
    HKEY h = 0;
    if (RegOpenKeyExA(hive, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

class RegistryFixture {
protected:
    RegistryFixture() : m_dir(rt::test::uniqueTempDir("clsregistry")) {
        registry::setFolder(m_dir.string());
    }
    ~RegistryFixture() {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // Handles are given out in increasing order: after an operation, every
    // handle between two probes must already be closed.
    static HKEY probe() {
        HKEY h = 0;
        RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &h);
        RegCloseKey(h);
        return h;
    }
    template <class Operation> static void expectKeysClosed(Operation&& operation) {
        HKEY before = probe();
        operation();
        HKEY after = probe();
        for (HKEY h = before + 1; h < after; ++h)
            EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE) << "key handle " << h << " left open";
    }

    bool noHiveFiles() const { return std::filesystem::is_empty(m_dir); }

    std::filesystem::path m_dir;
    clsRegistry reg;
};

// ---- reading ---------------------------------------------------------------

struct ReadRow {
    std::string name;
    std::function<void()> setUp;
    std::string hive;
    std::string valueName;
    std::optional<std::string> expected; // nullopt: Null
};

void PrintTo(const ReadRow& row, std::ostream* os) {
    *os << row.name;
}

class RegReadKeyTest : public RegistryFixture, public testing::TestWithParam<ReadRow> {};

TEST_P(RegReadKeyTest, ReadsTextOrNull) {
    const ReadRow& row = GetParam();
    if (row.setUp)
        row.setUp();
    Variant result;
    expectKeysClosed([&] { result = reg.RegReadKey(row.hive, kKey, row.valueName); });
    if (row.expected) {
        ASSERT_TRUE(result.isString()) << "got type " << static_cast<int>(result.type());
        EXPECT_EQ(result.toString(), *row.expected);
    } else {
        EXPECT_TRUE(result.isNull()) << "got " << (result.isString() ? result.toString() : "?");
    }
}

auto sz(const std::string& bytes, HKEY hive = HKEY_CURRENT_USER, const std::string& name = "Top") {
    return [=] { rawSet(hive, kKey, name, REG_SZ, bytes); };
}
auto typed(uint32_t type, const std::string& bytes) {
    return [=] { rawSet(HKEY_CURRENT_USER, kKey, "Top", type, bytes); };
}

const std::string kHKCU = "HKEY_CURRENT_USER";

INSTANTIATE_TEST_SUITE_P(
    Rows, RegReadKeyTest,
    testing::Values(
        ReadRow{"Text", sz("120"), kHKCU, "Top", "120"},
        ReadRow{"HiveNameInLowerCase", sz("120"), "hkey_current_user", "Top", "120"},
        ReadRow{"HiveNameInMixedCase", sz("120"), "Hkey_Current_User", "Top", "120"},
        ReadRow{"EveryListedHive", sz("7", HKEY_PERFORMANCE_DATA), "HKEY_PERFORMANCE_DATA", "Top",
                "7"},
        ReadRow{"DynDataHive", sz("8", HKEY_DYN_DATA), "HKEY_DYN_DATA", "Top", "8"},
        ReadRow{"UnlistedHive", sz("120"), "HKEY_ELSEWHERE", "Top", std::nullopt},
        ReadRow{"EmptyHiveName", sz("120"), "", "Top", std::nullopt},
        ReadRow{"HiveNameWithBlank", sz("120"), "HKEY_CURRENT_USER ", "Top", std::nullopt},
        ReadRow{"EmptyText", sz(""), kHKCU, "Top", ""},
        ReadRow{"TerminatingNulOfAnotherProgramDropped", sz(std::string("120\0", 4)), kHKCU, "Top",
                "120"},
        ReadRow{"OnlyTheLastNulDropped", sz(std::string("12\0\0", 4)), kHKCU, "Top",
                std::string("12\0", 3)},
        ReadRow{"LoneNulIsEmptyText", sz(std::string("\0", 1)), kHKCU, "Top", ""},
        ReadRow{"AnsiBytesKept", sz("Gr\xfc\xdf"), kHKCU, "Top", "Gr\xfc\xdf"},
        ReadRow{"Exactly1024Bytes", sz(std::string(1024, 'x')), kHKCU, "Top",
                std::string(1024, 'x')},
        ReadRow{"MoreThan1024Bytes", sz(std::string(1025, 'x')), kHKCU, "Top", std::nullopt},
        ReadRow{"Dword", typed(REG_DWORD, std::string("\x0a\x01\x00\x00", 4)), kHKCU, "Top", "266"},
        ReadRow{"DwordWithHighBitIsUnsigned", typed(REG_DWORD, std::string("\xff\xff\xff\xff", 4)),
                kHKCU, "Top", "4294967295"},
        ReadRow{"ShortDwordCountsMissingBytesAsZero", typed(REG_DWORD, std::string("\x0a\x01", 2)),
                kHKCU, "Top", "266"},
        ReadRow{"Binary", typed(REG_BINARY, "120"), kHKCU, "Top", std::nullopt},
        ReadRow{"MultiString", typed(REG_MULTI_SZ, std::string("a\0b\0\0", 5)), kHKCU, "Top",
                std::nullopt},
        ReadRow{"ExpandableString", typed(REG_EXPAND_SZ, "%HOME%"), kHKCU, "Top", std::nullopt},
        ReadRow{"MissingKey", nullptr, kHKCU, "Top", std::nullopt},
        ReadRow{"MissingValue", sz("120", HKEY_CURRENT_USER, "Left"), kHKCU, "Top", std::nullopt},
        ReadRow{"KeyThatMayOnlyBeRead",
                [] {
                    rawSet(HKEY_CURRENT_USER, kKey, "Top", REG_SZ, "120");
                    registry::markReadOnly(HKEY_CURRENT_USER, kKey);
                },
                kHKCU, "Top", std::nullopt}),
    rt::test::RowName());

// ---- writing and blanking --------------------------------------------------

class RegistryWriteTest : public RegistryFixture, public testing::Test {};

TEST_F(RegistryWriteTest, WritesTheTextAloneWithoutNul) {
    bool ok = false;
    expectKeysClosed([&] { ok = reg.RegWriteKey("hkey_current_user", kKey, "Top", "120"); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(rawGet(HKEY_CURRENT_USER, kKey, "Top"), (Stored{REG_SZ, "120"}));
    EXPECT_EQ(reg.RegReadKey(kHKCU, kKey, "Top").toString(), "120");
}

TEST_F(RegistryWriteTest, EmptyTextIsAValueOfNoBytesAndReadsBackEmpty) {
    EXPECT_TRUE(reg.RegWriteKey(kHKCU, kKey, "Top", ""));
    EXPECT_EQ(rawGet(HKEY_CURRENT_USER, kKey, "Top"), (Stored{REG_SZ, ""}));
    EXPECT_EQ(reg.RegReadKey(kHKCU, kKey, "Top"), Variant(""));
}

TEST_F(RegistryWriteTest, OverwritesWhateverTypeWasThere) {
    rawSet(HKEY_CURRENT_USER, kKey, "Top", REG_DWORD, std::string("\x01\0\0\0", 4));
    EXPECT_TRUE(reg.RegWriteKey(kHKCU, kKey, "Top", "-45"));
    EXPECT_EQ(rawGet(HKEY_CURRENT_USER, kKey, "Top"), (Stored{REG_SZ, "-45"}));
}

TEST_F(RegistryWriteTest, UnlistedHiveWritesAndDeletesNothing) {
    for (const char* hive : {"", "HKEY_NOWHERE", "HKCU"}) {
        SCOPED_TRACE(hive);
        expectKeysClosed([&] {
            EXPECT_FALSE(reg.RegWriteKey(hive, kKey, "Top", "1"));
            EXPECT_FALSE(reg.RegDeleteKey(hive, kKey, "Top"));
            EXPECT_FALSE(reg.RegDeleteKey(hive, kKey, ""));
        });
    }
    EXPECT_TRUE(noHiveFiles());
}

TEST_F(RegistryWriteTest, AKeyThatMayOnlyBeReadRefusesWritesAndClosesEverything) {
    rawSet(HKEY_CURRENT_USER, kKey, "Top", REG_SZ, "120");
    registry::markReadOnly(HKEY_CURRENT_USER, kKey);
    expectKeysClosed([&] {
        EXPECT_FALSE(reg.RegWriteKey(kHKCU, kKey, "Top", "1"));
        EXPECT_FALSE(reg.RegDeleteKey(kHKCU, kKey, "Top"));
        EXPECT_FALSE(reg.RegDeleteKey(kHKCU, kKey, ""));
    });
    EXPECT_EQ(rawGet(HKEY_CURRENT_USER, kKey, "Top"), (Stored{REG_SZ, "120"}));
}

TEST_F(RegistryWriteTest, DeletingAValueBlanksItAndKeepsTheOthers) {
    rawSet(HKEY_CURRENT_USER, kKey, "Top", REG_SZ, "120");
    rawSet(HKEY_CURRENT_USER, kKey, "Left", REG_SZ, "240");
    bool ok = false;
    expectKeysClosed([&] { ok = reg.RegDeleteKey(kHKCU, kKey, "Top"); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(rawGet(HKEY_CURRENT_USER, kKey, "Top"), (Stored{REG_SZ, ""}));
    EXPECT_EQ(rawGet(HKEY_CURRENT_USER, kKey, "Left"), (Stored{REG_SZ, "240"}));
}

TEST_F(RegistryWriteTest, BlankingAValueOfAMissingKeyCreatesTheKey) {
    EXPECT_TRUE(reg.RegDeleteKey(kHKCU, kKey, "Top"));
    EXPECT_EQ(rawGet(HKEY_CURRENT_USER, kKey, "Top"), (Stored{REG_SZ, ""}));
}

TEST_F(RegistryWriteTest, TheEmptyValueNameDeletesTheWholeKey) {
    rawSet(HKEY_CURRENT_USER, kKey, "Top", REG_SZ, "120");
    bool ok = false;
    expectKeysClosed([&] { ok = reg.RegDeleteKey(kHKCU, kKey, ""); });
    EXPECT_TRUE(ok);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\Locator"));
    EXPECT_TRUE(reg.RegReadKey(kHKCU, kKey, "Top").isNull());
}

TEST_F(RegistryWriteTest, KeyDeletionFailsForAMissingKeyOrOneWithSubkeys) {
    EXPECT_FALSE(reg.RegDeleteKey(kHKCU, kKey, ""));
    rawSet(HKEY_CURRENT_USER, kKey, "Top", REG_SZ, "120");
    EXPECT_FALSE(reg.RegDeleteKey(kHKCU, "Software\\Locator", ""));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_FALSE(reg.RegDeleteKey(kHKCU, "", ""));
}

// The fixed location: HKEY_LOCAL_MACHINE for 1, HKEY_CURRENT_USER otherwise.
TEST_F(RegistryWriteTest, FixedLocationOperationsChooseTheHiveByLocation) {
    struct Row {
        int32_t location;
        HKEY hive;
    };
    const Row rows[] = {{1, HKEY_LOCAL_MACHINE},
                        {0, HKEY_CURRENT_USER},
                        {2, HKEY_CURRENT_USER},
                        {-1, HKEY_CURRENT_USER}};
    const std::string tlvKey = "SOFTWARE\\TLV\\Locator";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.location);
        int32_t location = row.location;
        EXPECT_TRUE(reg.TLVRegWrite("Locator", "Top", "33", location));
        EXPECT_EQ(rawGet(row.hive, tlvKey, "Top"), (Stored{REG_SZ, "33"}));
        EXPECT_EQ(reg.TLVRegRead("Locator", "Top", location), Variant("33"));
        EXPECT_TRUE(reg.TLVRegDelete("Locator", "Top", location));
        EXPECT_EQ(rawGet(row.hive, tlvKey, "Top"), (Stored{REG_SZ, ""}));
        EXPECT_TRUE(reg.TLVRegDelete("Locator", "", location));
        EXPECT_FALSE(keyExists(row.hive, tlvKey));
        EXPECT_EQ(location, row.location);
    }
}

} // namespace
} // namespace tlvFormControls
