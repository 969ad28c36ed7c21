#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "runtime/com/ClassFactory.h"
#include "runtime/com/ClassesRoot.h"
#include "runtime/com/ComponentRegistry.h"
#include "runtime/core/Error.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

using namespace rt;
using rt::test::errorOf;

namespace {

const std::string kGreeterClsid = "{6B1F3A20-5C4D-4E8F-9A0B-1C2D3E4F5061}";

// Every test gets an empty registry of its own, shared with the tool it runs.
class ComponentRegistryTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = rt::test::uniqueTempDir("com-registry");
        setenv("QUIBO_REGISTRY_DIR", m_dir.c_str(), 1);
        registry::setFolder(m_dir.string());
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // Runs compreg in its own process; this one sees its changes at its next
    // look at the registry.
    int compreg(const std::string& args) {
        std::string command = std::string(COMPREG) + " " + args + " >/dev/null 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string createError(const std::string& progId) {
        try {
            CreateObject(progId);
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), kCannotCreateObject);
            return e.description();
        }
        return "created";
    }

    std::filesystem::path m_dir;
};

TEST_F(ComponentRegistryTest, CreatesARegisteredClassFromItsLibraryFile) {
    components::registerLibrary(TEST_COMPONENT);
    EXPECT_EQ(components::clsidOf("quibotest.greeter"), kGreeterClsid);
    EXPECT_EQ(components::libraryOf(kGreeterClsid),
              std::filesystem::absolute(TEST_COMPONENT).lexically_normal().string());

    DispatchPtr greeter = CreateObject("QuiboTest.Greeter");
    greeter->let("Name", Variant("Quibo"));
    EXPECT_EQ(greeter->call("Greet").toString(), "Hello, Quibo");
    // Each call makes a new object.
    EXPECT_EQ(CreateObject("QuiboTest.Greeter")->call("Greet").toString(), "Hello, World");
    EXPECT_EQ(greeter->GetIDOfName("greet"), 0x60030001);
}

TEST_F(ComponentRegistryTest, LibraryCanUnloadOnlyWhenItsObjectsAreGone) {
    components::registerLibrary(TEST_COMPONENT);
    // The same file the registry loaded: dlopen hands back the one copy.
    void* handle = dlopen(TEST_COMPONENT, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);
    {
        DispatchPtr greeter = CreateObject("QuiboTest.Greeter");
        DispatchPtr again = greeter;
        EXPECT_EQ(canUnload(), S_FALSE);
    }
    EXPECT_EQ(canUnload(), S_OK);
    dlclose(handle);
}

TEST_F(ComponentRegistryTest, GetClassObjectRefusesUnknownAndMalformedClassIds) {
    components::registerLibrary(TEST_COMPONENT);
    void* handle = dlopen(TEST_COMPONENT, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    auto get = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    ClassFactory* factory = reinterpret_cast<ClassFactory*>(1);
    EXPECT_EQ(get("{00000000-0000-0000-0000-000000000000}", &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(get("not a class id", &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(get(nullptr, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(get(kGreeterClsid.c_str(), nullptr), E_POINTER);
    EXPECT_EQ(get("{6b1f3a20-5c4d-4e8f-9a0b-1c2d3e4f5061}", &factory), S_OK);
    EXPECT_NE(factory, nullptr);
    dlclose(handle);
}

// Each broken registration fails with 429 and names the ProgID.
TEST_F(ComponentRegistryTest, UnusableRegistrationsRaise429NamingTheProgId) {
    components::registerLibrary(TEST_COMPONENT);
    struct Row {
        const char* progId;
        const char* key;   // key whose default value is overwritten
        const char* value; // nullptr: key left alone
        const char* reason;
    };
    const std::string missing = (m_dir / "gone.so").string();
    const Row rows[] = {
        {"QuiboTest.Nowhere", nullptr, nullptr, "not registered"},
        {"QuiboTest.Broken", nullptr, nullptr, "Out of memory"},
        {"Bad.ClassId", "Bad.ClassId\\CLSID", "6B1F3A20", "not registered"},
        {"Bad.Library", "Bad.Library\\CLSID", "{11111111-2222-3333-4444-555555555555}",
         "no library"},
        {"Gone.Library", "Gone.Library\\CLSID", "{11111111-2222-3333-4444-666666666666}", ""},
        {"Plain.Library", "Plain.Library\\CLSID", "{11111111-2222-3333-4444-777777777777}",
         "not a component library"},
        {"Wrong.Class", "Wrong.Class\\CLSID", "{11111111-2222-3333-4444-888888888888}",
         "does not serve"},
        {"", nullptr, nullptr, "not registered"},
        {"..\\CLSID", nullptr, nullptr, "not registered"},
    };
    using classes_root::writeDefault;
    writeDefault("CLSID\\{11111111-2222-3333-4444-666666666666}\\InprocServer32", missing);
    writeDefault("CLSID\\{11111111-2222-3333-4444-777777777777}\\InprocServer32", NOT_A_COMPONENT);
    writeDefault("CLSID\\{11111111-2222-3333-4444-888888888888}\\InprocServer32", TEST_COMPONENT);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.progId);
        if (row.key) {
            ASSERT_EQ(writeDefault(row.key, row.value), ERROR_SUCCESS);
        }
        std::string description = createError(row.progId);
        EXPECT_NE(description.find("'" + std::string(row.progId) + "'"), std::string::npos)
            << description;
        EXPECT_NE(description.find(row.reason), std::string::npos) << description;
    }
}

TEST_F(ComponentRegistryTest, ToolRegistersAndUnregistersALibrary) {
    ASSERT_EQ(compreg(TEST_COMPONENT), 0);
    EXPECT_EQ(components::clsidOf("QuiboTest.Greeter"), kGreeterClsid);
    EXPECT_EQ(components::clsidOf("QuiboTest.Broken"), "{6B1F3A20-5C4D-4E8F-9A0B-1C2D3E4F5062}");
    std::string progIdBack;
    EXPECT_EQ(classes_root::readDefault("CLSID\\" + kGreeterClsid + "\\ProgID", progIdBack),
              ERROR_SUCCESS);
    EXPECT_EQ(progIdBack, "QuiboTest.Greeter");
    EXPECT_EQ(CreateObject("QuiboTest.Greeter")->call("Greet").toString(), "Hello, World");

    // Registering again changes nothing; unregistering removes every entry.
    ASSERT_EQ(compreg(TEST_COMPONENT), 0);
    ASSERT_EQ(compreg(std::string("-u ") + TEST_COMPONENT), 0);
    for (const std::string& key : {std::string("QuiboTest.Greeter"),
                                   std::string("QuiboTest.Broken"), "CLSID\\" + kGreeterClsid}) {
        HKEY h = 0;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND)
            << key;
    }
    EXPECT_NE(createError("QuiboTest.Greeter").find("not registered"), std::string::npos);
    // Unregistering what is not registered is no failure.
    EXPECT_EQ(compreg(std::string("-u ") + TEST_COMPONENT), 0);
}

// A running program creates a class registered after it started, and stops
// creating it once it is unregistered, without a restart.
TEST_F(ComponentRegistryTest, RegistrationsByAnotherProcessAreSeenAtTheNextCreation) {
    EXPECT_NE(createError("QuiboTest.Greeter").find("not registered"), std::string::npos);
    ASSERT_EQ(compreg(TEST_COMPONENT), 0);
    EXPECT_EQ(CreateObject("QuiboTest.Greeter")->call("Greet").toString(), "Hello, World");
    ASSERT_EQ(compreg(std::string("-u ") + TEST_COMPONENT), 0);
    EXPECT_NE(createError("QuiboTest.Greeter").find("not registered"), std::string::npos);
}

// Unregistering a library file that is gone, or that cannot be loaded,
// removes the classes registered with its path and nothing else.
TEST_F(ComponentRegistryTest, ToolUnregistersALibraryWhoseFileIsGoneOrBroken) {
    const std::string otherClsid = "{11111111-2222-3333-4444-999999999999}";
    ASSERT_EQ(classes_root::writeDefault("Other.Class\\CLSID", otherClsid), ERROR_SUCCESS);
    ASSERT_EQ(
        classes_root::writeDefault("CLSID\\" + otherClsid + "\\InprocServer32", NOT_A_COMPONENT),
        ERROR_SUCCESS);
    for (bool broken : {false, true}) {
        SCOPED_TRACE(broken ? "broken file" : "file gone");
        const std::string copy = (m_dir / "copy.so").string();
        std::filesystem::copy_file(TEST_COMPONENT, copy,
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_EQ(compreg(copy), 0);
        ASSERT_EQ(components::libraryOf(kGreeterClsid), copy);
        std::filesystem::remove(copy);
        if (broken)
            std::ofstream(copy) << "not a library";

        EXPECT_EQ(compreg("-u " + copy), 0);
        for (const std::string& key :
             {std::string("QuiboTest.Greeter"), std::string("QuiboTest.Broken"),
              "CLSID\\" + kGreeterClsid}) {
            HKEY h = 0;
            EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND)
                << key;
        }
        EXPECT_EQ(components::clsidOf("Other.Class"), otherClsid);
        EXPECT_EQ(components::libraryOf(otherClsid), NOT_A_COMPONENT);
        // Nothing is left to remove: the file is reported again.
        EXPECT_EQ(compreg("-u " + copy), 1);
        std::filesystem::remove(copy);
    }
}

TEST_F(ComponentRegistryTest, ToolRefusesBadArgumentsAndLibraries) {
    EXPECT_EQ(compreg(""), 2);
    EXPECT_EQ(compreg("-x lib.so"), 2);
    EXPECT_EQ(compreg("a.so b.so"), 2);
    EXPECT_EQ(compreg((m_dir / "missing.so").string()), 1);
    EXPECT_EQ(compreg(NOT_A_COMPONENT), 1);
    EXPECT_EQ(errorOf([] { components::registerLibrary(NOT_A_COMPONENT); }), 48);
    EXPECT_EQ(errorOf([&] { components::registerLibrary((m_dir / "x.so").string()); }),
              kFileNotFound);
}

} // namespace
