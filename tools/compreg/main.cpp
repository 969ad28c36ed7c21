// compreg [-u] <library.so>: registers (or with -u unregisters) the
// components of a library by calling its self-registration entry point.

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/core/Error.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: compreg [-u] <library.so>\n"
                         "  registers the components of a library; -u unregisters them\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-u") == 0 && !unregister && path.empty())
            unregister = true;
        else if (argv[i][0] == '-' || !path.empty())
            return usage();
        else
            path = argv[i];
    }
    if (path.empty())
        return usage();
    try {
        if (unregister)
            rt::components::unregisterLibrary(path);
        else
            rt::components::registerLibrary(path);
    } catch (const rt::RuntimeError& e) {
        std::fprintf(stderr, "compreg: %s\n", e.description().c_str());
        return 1;
    }
    std::printf("%s %s\n", unregister ? "Unregistered" : "Registered", path.c_str());
    return 0;
}
