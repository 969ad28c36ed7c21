#pragma once
// The library side of components: a library lists its classes once in a
// ComponentServer and exports the four entry points with
// QUIBO_COMPONENT_LIBRARY, which turn every failure into a result code.
//
// Registry entries under HKEY_CLASSES_ROOT, one set per class:
//   <ProgID>                          (default) = description
//   <ProgID>\CLSID                    (default) = {clsid}
//   CLSID\{clsid}                     (default) = description
//   CLSID\{clsid}\InprocServer32      (default) = absolute path of the library
//   CLSID\{clsid}\ProgID              (default) = <ProgID>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/com/ClassFactory.h"

namespace rt {

struct ComponentClass {
    std::string progId;
    std::string clsid; // braced form
    std::string description;
    std::function<DispatchPtr()> create;
};

class ComponentServer {
public:
    // `addressInLibrary`: any address inside the library, to find its file.
    ComponentServer(std::vector<ComponentClass> classes, const void* addressInLibrary);
    ~ComponentServer();

    HRESULT registerServer();
    HRESULT unregisterServer();
    HRESULT getClassObject(const char* clsid, ClassFactory** factory);
    // S_OK when no object made here is alive any more.
    HRESULT canUnloadNow() const;

    long liveObjects() const { return m_live->load(); }
    // The library's file, absolute; empty when it cannot be found.
    std::string libraryPath() const;

private:
    class Factory;
    std::vector<ComponentClass> m_classes;
    std::vector<std::unique_ptr<Factory>> m_factories;
    const void* m_address;
    // Shared with the deleters of the objects handed out.
    std::shared_ptr<std::atomic<long>> m_live;
};

// Calls `body` and maps a failure to a result code, so nothing escapes a C
// entry point.
HRESULT guardEntryPoint(const std::function<HRESULT()>& body) noexcept;

} // namespace rt

// Defines the four exported entry points over `server()`, a function of the
// library returning its ComponentServer.
#define QUIBO_COMPONENT_LIBRARY(server)                                                            \
    extern "C" __attribute__((visibility("default"))) rt::HRESULT DllRegisterServer() {            \
        return rt::guardEntryPoint([] { return server().registerServer(); });                      \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) rt::HRESULT DllUnregisterServer() {          \
        return rt::guardEntryPoint([] { return server().unregisterServer(); });                    \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) rt::HRESULT DllGetClassObject(               \
        const char* clsid, rt::ClassFactory** factory) {                                           \
        return rt::guardEntryPoint([&] { return server().getClassObject(clsid, factory); });       \
    }                                                                                              \
    extern "C" __attribute__((visibility("default"))) rt::HRESULT DllCanUnloadNow() {              \
        return rt::guardEntryPoint([] { return server().canUnloadNow(); });                        \
    }
