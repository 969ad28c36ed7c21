#include "runtime/com/ComponentRegistry.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <map>

#include "runtime/com/ClassFactory.h"
#include "runtime/com/ClassesRoot.h"
#include "runtime/core/Error.h"

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

void callSelfRegistration(const std::string& path, const char* entryPoint) {
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
    HRESULT hr = fn();
    if (hr != S_OK)
        raiseError(kInvalidProcedureCall, {},
                   std::string(entryPoint) + " in " + path + " failed with " + hresultText(hr));
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
    callSelfRegistration(path, "DllUnregisterServer");
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
