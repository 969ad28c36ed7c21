#include "runtime/com/ComponentRegistry.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <vector>

#include "runtime/com/ClassFactory.h"
#include "runtime/com/ClassesRoot.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

namespace {

constexpr int32_t kErrorLoadingDll = 48;

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

// Libraries stay loaded for the life of the process: objects they made may
// outlive any caller's idea of when they are done.
void* loadLibrary(const std::string& path, std::string& error) {
    static std::map<std::string, void*> loaded;
    std::string key = absolutePath(path);
    if (auto it = loaded.find(key); it != loaded.end())
        return it->second;
    void* handle = dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : "cannot be loaded";
        return nullptr;
    }
    loaded.emplace(key, handle);
    return handle;
}

std::string hresultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "&H%08X", static_cast<uint32_t>(hr));
    return text;
}

[[noreturn]] void cannotCreate(const std::string& progId, const std::string& why) {
    raiseError(kCannotCreateObject, {}, "Component can't create object '" + progId + "': " + why);
}

// Finds and loads the library and its entry point; a RuntimeError (53 or 48)
// when it cannot.
DllRegisterServerFn selfRegistration(const std::string& path, const char* entryPoint) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        raiseError(kFileNotFound, {}, "File not found: " + path);
    std::string error;
    void* handle = loadLibrary(path, error);
    if (!handle)
        raiseError(kErrorLoadingDll, {}, "Error in loading DLL " + path + ": " + error);
    auto fn = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, entryPoint));
    if (!fn)
        raiseError(kErrorLoadingDll, {},
                   path + " is not a component library: it has no " + entryPoint);
    return fn;
}

void callSelfRegistration(const std::string& path, const char* entryPoint) {
    HRESULT hr = selfRegistration(path, entryPoint)();
    if (hr != S_OK)
        raiseError(kInvalidProcedureCall, {},
                   std::string(entryPoint) + " in " + path + " failed with " + hresultText(hr));
}

// Whether a registered library path names the file `path`, also when one of
// the two reaches it through a symbolic link.
bool sameLibrary(const std::string& registered, const std::string& path) {
    if (registered == absolutePath(path))
        return true;
    std::error_code ec1, ec2;
    auto a = std::filesystem::weakly_canonical(registered, ec1);
    auto b = std::filesystem::weakly_canonical(path, ec2);
    return !ec1 && !ec2 && a == b;
}

// Deletes a key under HKEY_CLASSES_ROOT with everything below it, deepest
// keys first (a key with subkeys cannot be deleted).
LONG deleteTree(const std::string& path) {
    std::vector<std::string> order{path};
    for (size_t i = 0; i < order.size(); ++i) {
        HKEY h = 0;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, order[i], 0, KEY_READ, &h) != ERROR_SUCCESS)
            continue;
        std::vector<std::string> children;
        RegEnumKeys(h, children);
        RegCloseKey(h);
        for (const std::string& child : children)
            order.push_back(order[i] + "\\" + child);
    }
    LONG result = ERROR_SUCCESS;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (LONG rc = classes_root::deleteKey(*it); rc != ERROR_SUCCESS)
            result = rc;
    return result;
}

std::vector<std::string> subkeysOf(const std::string& path) {
    std::vector<std::string> names;
    HKEY h = 0;
    LONG rc = path.empty() ? RegEnumKeys(HKEY_CLASSES_ROOT, names)
                           : RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &h);
    if (rc == ERROR_SUCCESS && h) {
        RegEnumKeys(h, names);
        RegCloseKey(h);
    }
    return names;
}

} // namespace

namespace components {

std::string clsidOf(const std::string& progId) {
    std::string clsid;
    if (progId.empty() || progId.find('\\') != std::string::npos ||
        classes_root::readDefault(progId + "\\CLSID", clsid) != ERROR_SUCCESS ||
        !isClsid(clsid.c_str()))
        return {};
    return clsid;
}

std::string libraryOf(const std::string& clsid) {
    std::string path;
    if (!isClsid(clsid.c_str()) ||
        classes_root::readDefault("CLSID\\" + clsid + "\\InprocServer32", path) != ERROR_SUCCESS)
        return {};
    return path;
}

void registerLibrary(const std::string& path) {
    callSelfRegistration(path, "DllRegisterServer");
}

void unregisterLibrary(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        // Nothing can be asked of a library that is gone: remove by the path
        // its registrations name.
        if (removeRegistrationsOf(path) == 0)
            raiseError(kFileNotFound, {},
                       "File not found: " + path + " (and nothing is registered for it)");
        return;
    }
    DllRegisterServerFn fn = nullptr;
    try {
        fn = selfRegistration(path, "DllUnregisterServer");
    } catch (const RuntimeError&) {
        if (removeRegistrationsOf(path) > 0)
            return;
        throw;
    }
    HRESULT hr = fn();
    removeRegistrationsOf(path); // classes an earlier build of the library had
    if (hr != S_OK)
        raiseError(kInvalidProcedureCall, {},
                   "DllUnregisterServer in " + path + " failed with " + hresultText(hr));
}

size_t removeRegistrationsOf(const std::string& path) {
    std::vector<std::string> clsids;
    for (const std::string& clsid : subkeysOf("CLSID")) {
        std::string library;
        if (classes_root::readDefault("CLSID\\" + clsid + "\\InprocServer32", library) ==
                ERROR_SUCCESS &&
            sameLibrary(library, path))
            clsids.push_back(clsid);
    }
    if (clsids.empty())
        return 0;
    for (const std::string& progId : subkeysOf("")) {
        std::string clsid;
        if (textEquals(progId, "CLSID") ||
            classes_root::readDefault(progId + "\\CLSID", clsid) != ERROR_SUCCESS)
            continue;
        for (const std::string& removed : clsids)
            if (textEquals(clsid, removed)) {
                deleteTree(progId);
                break;
            }
    }
    for (const std::string& clsid : clsids)
        deleteTree("CLSID\\" + clsid);
    return clsids.size();
}

} // namespace components

DispatchPtr CreateObject(const std::string& progId) {
    std::string clsid = components::clsidOf(progId);
    if (clsid.empty())
        cannotCreate(progId, "the class is not registered");
    std::string path = components::libraryOf(clsid);
    if (path.empty())
        cannotCreate(progId, "no library is registered for " + clsid);
    std::string error;
    void* handle = loadLibrary(path, error);
    if (!handle)
        cannotCreate(progId, error);
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    if (!getClassObject)
        cannotCreate(progId, path + " is not a component library");
    ClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(clsid.c_str(), &factory);
    if (hr != S_OK || !factory)
        cannotCreate(progId, path + " does not serve " + clsid + " (" + hresultText(hr) + ")");
    DispatchPtr object;
    try {
        object = factory->CreateInstance();
    } catch (const RuntimeError& e) {
        cannotCreate(progId, e.description());
    }
    if (!object)
        cannotCreate(progId, "the class factory made no object");
    return object;
}

} // namespace rt
