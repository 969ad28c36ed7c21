#include "runtime/com/ComponentServer.h"

#include <cctype>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>

#include "runtime/com/ClassesRoot.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

bool isClsid(const char* text) {
    if (!text || std::strlen(text) != 38 || text[0] != '{' || text[37] != '}')
        return false;
    for (int i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

class ComponentServer::Factory : public ClassFactory {
public:
    Factory(const ComponentClass& cls, std::shared_ptr<std::atomic<long>> live)
        : m_class(cls), m_live(std::move(live)) {}

    DispatchPtr CreateInstance() override {
        DispatchPtr object = m_class.create();
        if (!object)
            raiseError(kCannotCreateObject, {}, "Cannot create an object of " + m_class.progId);
        // Count the object until its last reference goes, so the library
        // knows whether it may be unloaded.
        ++*m_live;
        auto live = m_live;
        return DispatchPtr(object.get(), [object, live](Dispatch*) mutable {
            object.reset();
            --*live;
        });
    }

private:
    const ComponentClass& m_class;
    std::shared_ptr<std::atomic<long>> m_live;
};

ComponentServer::ComponentServer(std::vector<ComponentClass> classes, const void* addressInLibrary)
    : m_classes(std::move(classes)), m_address(addressInLibrary),
      m_live(std::make_shared<std::atomic<long>>(0)) {
    for (const ComponentClass& c : m_classes)
        m_factories.push_back(std::make_unique<Factory>(c, m_live));
}

ComponentServer::~ComponentServer() = default;

std::string ComponentServer::libraryPath() const {
    Dl_info info{};
    if (!dladdr(m_address, &info) || !info.dli_fname || !*info.dli_fname)
        return {};
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(info.dli_fname, ec);
    return ec ? std::string() : path.lexically_normal().string();
}

HRESULT ComponentServer::registerServer() {
    std::string path = libraryPath();
    if (path.empty())
        return SELFREG_E_CLASS;
    for (const ComponentClass& c : m_classes) {
        if (!isClsid(c.clsid.c_str()) || c.progId.empty())
            return SELFREG_E_CLASS;
        const std::string clsidKey = "CLSID\\" + c.clsid;
        for (auto [key, text] :
             {std::pair{c.progId, c.description}, std::pair{c.progId + "\\CLSID", c.clsid},
              std::pair{clsidKey, c.description}, std::pair{clsidKey + "\\InprocServer32", path},
              std::pair{clsidKey + "\\ProgID", c.progId}})
            if (classes_root::writeDefault(key, text) != ERROR_SUCCESS)
                return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT ComponentServer::unregisterServer() {
    HRESULT result = S_OK;
    for (const ComponentClass& c : m_classes) {
        const std::string clsidKey = "CLSID\\" + c.clsid;
        // Children first: a key with subkeys is not deleted.
        for (const std::string& key : {clsidKey + "\\InprocServer32", clsidKey + "\\ProgID",
                                       clsidKey, c.progId + "\\CLSID", c.progId})
            if (classes_root::deleteKey(key) != ERROR_SUCCESS)
                result = SELFREG_E_CLASS; // go on: remove what can be removed
    }
    return result;
}

HRESULT ComponentServer::getClassObject(const char* clsid, ClassFactory** factory) {
    if (!factory)
        return E_POINTER;
    *factory = nullptr;
    if (!isClsid(clsid))
        return CLASS_E_CLASSNOTAVAILABLE;
    for (size_t i = 0; i < m_classes.size(); ++i)
        if (textEquals(m_classes[i].clsid, clsid)) {
            *factory = m_factories[i].get();
            return S_OK;
        }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ComponentServer::canUnloadNow() const {
    return m_live->load() == 0 ? S_OK : S_FALSE;
}

HRESULT guardEntryPoint(const std::function<HRESULT()>& body) noexcept {
    try {
        return body();
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace rt
