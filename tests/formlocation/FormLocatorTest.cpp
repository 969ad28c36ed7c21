// FormLocator as hosts use it: created by ProgID from the library file, sited
// on a form, called late-bound by dispatch identifier. What it saves is read
// back by a second process through the registry files.

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/backends/sim/SimDesktop.h"
#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

extern char** environ;

namespace {

using namespace rt;

constexpr DispId kRestoreLocation = 0x60030002;
constexpr DispId kSaveLocation = 0x60030003;
const std::string kKey = "Software\\frmMain\\Position";
const char* const kValueNames[] = {"Top", "Left", "Height", "Width", "WindowState"};

// Runs a program without a shell; its standard output, or nullopt when it
// did not exit with 0.
std::optional<std::string> runProgram(std::vector<std::string> args) {
    int fds[2];
    if (pipe(fds) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    char buffer[256];
    ssize_t n = 0;
    while (rc == 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    if (rc != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return std::nullopt;
    return out;
}

class HostForm : public Form {
public:
    explicit HostForm(std::optional<PropertyBag> description)
        : Form("frmMain", "Main"),
          floc(*this, "flocMain", "tlvFormControls.FormLocator", std::move(description)) {}
    ControlSite floc;

    void restore() { floc.Invoke(kRestoreLocation, InvokeKind::Method, {}); }
    void save() { floc.Invoke(kSaveLocation, InvokeKind::Method, {}); }
    std::string placement() const {
        char text[128];
        std::snprintf(text, sizeof text, "%g %g %g %g %d", Left(), Top(), Width(), Height(),
                      WindowState());
        return text;
    }
};

PropertyBag describedWith(const std::string& key, std::optional<int32_t> hive = std::nullopt) {
    PropertyBag bag;
    if (hive)
        bag.WriteProperty("RegistryHive", *hive, 1);
    bag.WriteProperty("RegistryKey", key, "");
    return bag;
}

class FormLocatorTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = rt::test::uniqueTempDir("formlocator");
        registry::setFolder(m_dir.string());
        setDesktop(m_desktop);
        m_user = ScriptedUser::install();
        components::registerLibrary(TLV_LIBRARY);
    }
    void TearDown() override {
        EXPECT_EQ(m_user->pending(), 0u);
        setDesktop(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // The form as a designer leaves it: its FormLocator keeps the default
    // hive and the key of its form description.
    std::unique_ptr<HostForm> loadForm(std::optional<int32_t> hive = std::nullopt) {
        auto form = std::make_unique<HostForm>(describedWith(kKey, hive));
        form->runLoad();
        EXPECT_NE(form->floc.object(), nullptr);
        return form;
    }

    static std::optional<std::string> stored(const std::string& name,
                                             HKEY hive = HKEY_CURRENT_USER) {
        HKEY h = 0;
        if (RegOpenKeyExA(hive, kKey, 0, KEY_READ, &h) != ERROR_SUCCESS)
            return std::nullopt;
        char data[64] = {};
        uint32_t size = sizeof data, type = 0;
        LONG rc = RegQueryValueExA(h, name, &type, reinterpret_cast<uint8_t*>(data), &size);
        RegCloseKey(h);
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            return std::nullopt;
        return std::string(data, size);
    }
    static std::string storedPlacement(HKEY hive = HKEY_CURRENT_USER) {
        std::string text;
        for (const char* name : kValueNames)
            text += (text.empty() ? "" : " ") + stored(name, hive).value_or("-");
        return text;
    }
    static void store(const std::string& name, const std::string& text) {
        HKEY h = 0;
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, kKey, "", 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_SUCCESS);
        RegSetValueExA(h, name, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                       static_cast<uint32_t>(text.size()));
        RegCloseKey(h);
    }
    // What a second program finds there when it opens its form.
    std::optional<std::string> placementInAnotherProcess() {
        return runProgram({HOST_PROCESS, m_dir.string(), kKey});
    }
    // The hive files written so far, apart from the class registrations.
    std::vector<std::string> hiveFilesBesidesClasses() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            if (entry.path().filename().string().rfind("HKEY_CLASSES_ROOT.reg", 0) != 0)
                files.push_back(entry.path().filename().string());
        return files;
    }

    std::filesystem::path m_dir;
    std::shared_ptr<SimDesktop> m_desktop = std::make_shared<SimDesktop>();
    std::shared_ptr<ScriptedUser> m_user;
};

TEST_F(FormLocatorTest, FirstRunLeavesTheDesignPositionAndSavingCreatesTheKey) {
    auto form = loadForm();
    const std::string design = form->placement();
    form->restore();
    EXPECT_EQ(form->placement(), design);
    EXPECT_EQ(storedPlacement(), "- - - - -");
    form->save();
    EXPECT_EQ(storedPlacement(), "1500 1500 3600 4800 0");
}

// Exit saves every window's placement: each save is one write of its hive,
// however large the hive has grown.
TEST_F(FormLocatorTest, SavingWritesTheHiveOnceForAllFiveValues) {
    auto form = loadForm();
    for (const char* when : {"first save, creating the key", "second save"}) {
        SCOPED_TRACE(when);
        size_t before = registry::filesWritten();
        form->save();
        EXPECT_EQ(registry::filesWritten() - before, 1u);
        EXPECT_EQ(storedPlacement(), "1500 1500 3600 4800 0");
    }
}

struct RoundTripRow {
    std::string name;
    float left, top, width, height;
    int state;
    std::optional<RECT> normalPixels; // the window system's restored rectangle
    std::string stored;               // Top Left Height Width WindowState
    std::string reopened;             // Left Top Width Height WindowState
};

void PrintTo(const RoundTripRow& row, std::ostream* os) {
    *os << row.name;
}

class FormLocatorRoundTrip : public FormLocatorTest,
                             public testing::WithParamInterface<RoundTripRow> {};

TEST_P(FormLocatorRoundTrip, ASecondProcessReopensTheFormWhereItWasLeft) {
    const RoundTripRow& row = GetParam();
    {
        auto form = loadForm();
        form->Move(row.left, row.top, row.width, row.height);
        form->setWindowState(row.state);
        if (row.normalPixels)
            m_desktop->window(form->hWnd())->normal = *row.normalPixels;
        form->save();
        form->Unload();
    }
    EXPECT_EQ(storedPlacement(), row.stored);
    EXPECT_EQ(placementInAnotherProcess(), row.reopened + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormLocatorRoundTrip,
    testing::Values(RoundTripRow{"Normal", 1200, 900, 6000, 4000, vbNormal, std::nullopt,
                                 "900 1200 4000 6000 0", "1200 900 6000 4000 0"},
                    RoundTripRow{"Maximised", 0, 0, 19200, 14400, vbMaximized, std::nullopt,
                                 "0 0 14400 19200 2", "0 0 19200 14400 2"},
                    // Saved as the restored rectangle in twips; reopens normal.
                    RoundTripRow{"Minimised", 1200, 900, 6000, 4000, vbMinimized,
                                 RECT{50, 60, 450, 360}, "900 750 4500 6000 1",
                                 "750 900 6000 4500 0"},
                    // The desktop's rectangle is where the form was moved.
                    RoundTripRow{"MinimisedWhereItWasMoved", 1200, 900, 6000, 4500, vbMinimized,
                                 std::nullopt, "900 1200 4500 6000 1", "1200 900 6000 4500 0"},
                    RoundTripRow{"MinimisedPartlyOffScreen", 1200, 900, 6000, 4000, vbMinimized,
                                 RECT{-20, -3, 380, 297}, "0 0 4500 6000 1", "0 0 6000 4500 0"},
                    RoundTripRow{"OffTheLeftEdgeSavesZero", -45, -1, 6000, 4000, vbNormal,
                                 std::nullopt, "0 0 4000 6000 0", "0 0 6000 4000 0"},
                    RoundTripRow{"HalvesRoundToEven", 1234.5f, 1235.5f, 2.5f, 3.5f, vbNormal,
                                 std::nullopt, "1236 1234 4 2 0", "1234 1236 2 4 0"}),
    rt::test::RowName());

TEST_F(FormLocatorTest, NothingIsSavedWhenAMinimisedFormHasNoPlacement) {
    auto form = loadForm();
    form->setWindowState(vbMinimized);
    m_desktop->closeWindow(form->hWnd());
    form->save();
    EXPECT_EQ(storedPlacement(), "- - - - -");
}

// One value that is not a number, or missing, spoils the whole set.
TEST_F(FormLocatorTest, AnEditedOrMissingValueChangesNothing) {
    struct Row {
        const char* name;
        const char* text; // null: the value is removed
    };
    const Row rows[] = {{"Top", "abc"},   {"Left", ""},         {"Height", "12px"},
                        {"Width", "1 2"}, {"WindowState", "x"}, {"Width", nullptr}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " = " + (row.text ? row.text : "(removed)"));
        for (auto [name, text] : {std::pair{"Top", "100"},
                                  {"Left", "200"},
                                  {"Height", "3000"},
                                  {"Width", "4000"},
                                  {"WindowState", "2"}})
            store(name, text);
        if (row.text) {
            store(row.name, row.text);
        } else {
            HKEY h = 0;
            RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &h);
            RegDeleteValueA(h, row.name);
            RegCloseKey(h);
        }
        auto form = loadForm();
        form->restore();
        EXPECT_EQ(form->placement(), "1500 1500 4800 3600 0");
        form->Unload();
    }
}

// A step that fails is passed over and the next one still runs.
TEST_F(FormLocatorTest, AValueTheFormRefusesIsSkippedAndTheOthersApplied) {
    for (auto [name, text] : {std::pair{"Top", "100"},
                              {"Left", "200"},
                              {"Height", "-5"},
                              {"Width", "4000"},
                              {"WindowState", "2"}})
        store(name, text);
    auto form = loadForm();
    form->restore();
    EXPECT_EQ(form->placement(), "200 100 4000 3600 2");
}

TEST_F(FormLocatorTest, HiveNumbersChooseTheHiveAndOthersStoreNothing) {
    struct Row {
        int32_t hive;
        std::optional<HKEY> stores;
    };
    const Row rows[] = {{0, HKEY_CLASSES_ROOT}, {1, HKEY_CURRENT_USER},   {2, HKEY_LOCAL_MACHINE},
                        {3, HKEY_USERS},        {4, HKEY_CURRENT_CONFIG}, {5, HKEY_DYN_DATA},
                        {-1, std::nullopt},     {6, std::nullopt},        {100, std::nullopt}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hive);
        auto form = loadForm(row.hive);
        EXPECT_EQ(form->floc.get("RegistryHive"), Variant(row.hive));
        form->Move(300, 400, 5000, 6000);
        form->save();
        if (row.stores) {
            EXPECT_EQ(storedPlacement(*row.stores), "400 300 6000 5000 0");
            // And it is read back from there.
            auto other = loadForm(row.hive);
            other->restore();
            EXPECT_EQ(other->placement(), "300 400 5000 6000 0");
            HKEY h = 0;
            ASSERT_EQ(RegOpenKeyExA(*row.stores, "Software\\frmMain", 0, KEY_ALL_ACCESS, &h),
                      ERROR_SUCCESS);
            RegDeleteKeyA(h, "Position");
            RegCloseKey(h);
        } else {
            for (HKEY hive = HKEY_CLASSES_ROOT; hive <= HKEY_DYN_DATA; ++hive)
                EXPECT_EQ(storedPlacement(hive), "- - - - -") << hive;
            form->restore();
            EXPECT_EQ(form->placement(), "300 400 5000 6000 0");
        }
    }
}

TEST_F(FormLocatorTest, AnOutOfRangeHiveTouchesNoRegistryFile) {
    auto form = loadForm(7);
    form->save();
    form->restore();
    EXPECT_EQ(hiveFilesBesidesClasses(), std::vector<std::string>{});
}

TEST_F(FormLocatorTest, ANewInstanceStoresUnderItsFormsName) {
    HostForm form(std::nullopt);
    std::vector<std::string> changed;
    form.floc.PropertyChanged.connect([&](const std::string& name) { changed.push_back(name); });
    form.runLoad();
    EXPECT_EQ(form.floc.get("RegistryHive"), Variant(1));
    EXPECT_EQ(form.floc.get("RegistryKey"), Variant(kKey));
    EXPECT_EQ(changed, (std::vector<std::string>{"RegistryHive", "RegistryKey"}));
    // The default hive is left out of the description.
    PropertyBag bag = form.floc.saveProperties();
    EXPECT_EQ(bag.names(), std::vector<std::string>{"RegistryKey"});
    EXPECT_EQ(bag.ReadProperty("RegistryKey"), Variant(kKey));
}

TEST_F(FormLocatorTest, StoredPropertiesAreReadThroughTheAssignments) {
    struct Row {
        const char* description;
        int32_t hive;
        const char* key;
        const char* saved; // the description written back
    };
    const Row rows[] = {
        {"", 1, "", ""},
        {"RegistryHive = 4\nRegistryKey = \"Software\\x\"", 4, "Software\\x",
         "RegistryHive = 4\nRegistryKey = \"Software\\x\"\n"},
        {"RegistryKey = \"k\"\nRegistryHive = \"2\"", 2, "k",
         "RegistryHive = 2\nRegistryKey = \"k\"\n"},
        {"RegistryHive = -3", -3, "", "RegistryHive = -3\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.description);
        HostForm form(PropertyBag::fromText(row.description));
        form.runLoad();
        EXPECT_EQ(form.floc.get("RegistryHive"), Variant(row.hive));
        EXPECT_EQ(form.floc.get("RegistryKey"), Variant(row.key));
        EXPECT_EQ(form.floc.saveProperties().toText(), row.saved);
        form.Unload();
    }
}

TEST_F(FormLocatorTest, ResizingAlwaysSnapsBackTo600Twips) {
    auto form = loadForm();
    EXPECT_EQ(form->floc.Width(), 600);
    EXPECT_EQ(form->floc.Height(), 600);
    form->floc.Move(120, 240, 1800, 900);
    EXPECT_EQ(form->floc.Left(), 120);
    EXPECT_EQ(form->floc.Top(), 240);
    EXPECT_EQ(form->floc.Width(), 600);
    EXPECT_EQ(form->floc.Height(), 600);
    form->floc.let("Height", Variant(30));
    form->floc.Invoke(DISPID_EXTENDER_MOVE, InvokeKind::Method,
                      std::vector<Variant>{Variant(0), Variant(0), Variant(9000), Variant(0)});
    EXPECT_EQ(form->floc.Width(), 600);
    EXPECT_EQ(form->floc.Height(), 600);
}

TEST_F(FormLocatorTest, ShowAboutShowsTheLibrarysAboutBoxModally) {
    auto form = loadForm();
    std::string caption;
    m_user->whileModal("frmAbout", [&](Form& about) {
        caption = about.Caption();
        UserInput::click(*about.control("btnClose"));
    });
    EXPECT_TRUE(form->floc.Invoke(DISPID_ABOUTBOX, InvokeKind::Method, {}).isEmpty());
    EXPECT_EQ(caption, "About Talvane Software Form Controls");
}

// ---- the library file ------------------------------------------------------

const std::string kFormLocatorClsid = "{5C8E1A47-3B2D-4F60-9E71-A2B4C6D8E001}";

TEST_F(FormLocatorTest, TheProgIdCreatesTheControlFromTheLibraryFile) {
    EXPECT_EQ(components::clsidOf("tlvFormControls.FormLocator"), kFormLocatorClsid);
    EXPECT_EQ(components::libraryOf(kFormLocatorClsid),
              std::filesystem::absolute(TLV_LIBRARY).lexically_normal().string());
    DispatchPtr made = CreateObject("tlvFormControls.FormLocator");
    ASSERT_NE(std::dynamic_pointer_cast<UserControl>(made), nullptr);
    EXPECT_EQ(made->GetIDOfName("RestoreLocation"), kRestoreLocation);
    // A site creates it from its form's description when the form loads.
    HostForm form(PropertyBag::fromText("RegistryKey = \"Software\\frmMain\\Position\""));
    EXPECT_EQ(form.floc.object(), nullptr);
    form.Show();
    ASSERT_NE(form.floc.object(), nullptr);
    EXPECT_EQ(form.floc.get("RegistryKey"), Variant(kKey));
    form.Unload();
    EXPECT_EQ(form.floc.object(), nullptr);
}

TEST_F(FormLocatorTest, TheRegistrationToolRegistersAndUnregistersTheLibrary) {
    auto compreg = [&](std::vector<std::string> args) {
        args.insert(args.begin(), COMPREG);
        setenv("QUIBO_REGISTRY_DIR", m_dir.c_str(), 1);
        bool ok = runProgram(std::move(args)).has_value();
        unsetenv("QUIBO_REGISTRY_DIR");
        registry::setFolder(m_dir.string()); // read what the tool wrote
        return ok;
    };
    components::unregisterLibrary(TLV_LIBRARY);
    EXPECT_EQ(components::clsidOf("tlvFormControls.FormLocator"), "");

    ASSERT_TRUE(compreg({TLV_LIBRARY}));
    EXPECT_EQ(components::clsidOf("tlvFormControls.FormLocator"), kFormLocatorClsid);
    EXPECT_NE(components::clsidOf("tlvFormControls.StretchContainer"), "");
    EXPECT_NE(CreateObject("tlvFormControls.FormLocator"), nullptr);

    ASSERT_TRUE(compreg({"-u", TLV_LIBRARY}));
    EXPECT_EQ(components::clsidOf("tlvFormControls.FormLocator"), "");
    EXPECT_EQ(components::clsidOf("tlvFormControls.StretchContainer"), "");
    EXPECT_EQ(components::libraryOf(kFormLocatorClsid), "");
    EXPECT_EQ(rt::test::errorOf([] { CreateObject("tlvFormControls.FormLocator"); }),
              kCannotCreateObject);
}

} // namespace
