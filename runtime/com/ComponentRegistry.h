#pragma once
// The client side of components: creating an object by its ProgID through the
// registrations under HKEY_CLASSES_ROOT and the library file they name, and
// registering or unregistering a library file.

#include <string>

#include "runtime/com/Dispatch.h"

namespace rt {

// Looks up the ProgID's class id and library, loads the library (once per
// file, kept loaded) and asks its class factory for a new object. Raises 429
// naming the ProgID when any step fails: not registered, library missing or
// not a component library, class not served, or the factory failing.
DispatchPtr CreateObject(const std::string& progId);

namespace components {

// Loads the library and calls its DllRegisterServer / DllUnregisterServer.
// Raises 53 for a missing file, 48 for a file that cannot be loaded or lacks
// the entry point, and 5 naming the result code when the call fails.
void registerLibrary(const std::string& path);
// Also removes every class still registered with the library's path, so a
// library that is gone or cannot be loaded is unregistered all the same; 53
// or 48 only when nothing was registered for it.
void unregisterLibrary(const std::string& path);
// Removes the registrations (class and ProgID keys) of every class whose
// library is `path`; the number of classes removed.
size_t removeRegistrationsOf(const std::string& path);

// The class id registered for a ProgID; empty when there is none.
std::string clsidOf(const std::string& progId);
// The library file registered for a class id; empty when there is none.
std::string libraryOf(const std::string& clsid);

} // namespace components

} // namespace rt
