#pragma once
// What a component library and the runtime share: result codes, the class
// factory a library hands out, and the four entry points it exports.

#include <cstdint>

#include "runtime/com/Dispatch.h"

namespace rt {

using HRESULT = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201);

// Makes the objects of one class. A library's factories live as long as the
// library stays loaded.
class ClassFactory {
public:
    virtual ~ClassFactory() = default;
    // A new object; raises a RuntimeError when it cannot be made.
    virtual DispatchPtr CreateInstance() = 0;
};

// The entry points a component library exports, C linkage, never throwing.
// DllGetClassObject takes the class id as "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
using DllGetClassObjectFn = HRESULT (*)(const char* clsid, ClassFactory** factory);
using DllCanUnloadNowFn = HRESULT (*)();

// Whether a text is a class id in the braced form above.
bool isClsid(const char* text);

} // namespace rt
