// Any bytes as a hive file: the parser accepts or refuses them without
// throwing, and what it accepts is written out and read back as the same tree.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/platform/registry/HiveFile.h"

namespace {

using rt::registry::Key;

bool sameTree(const Key& a, const Key& b) {
    std::vector<std::pair<const Key*, const Key*>> pending{{&a, &b}};
    while (!pending.empty()) {
        auto [x, y] = pending.back();
        pending.pop_back();
        if (x->name != y->name || x->readOnly != y->readOnly ||
            x->values.size() != y->values.size() || x->children.size() != y->children.size())
            return false;
        for (size_t i = 0; i < x->values.size(); ++i) {
            const auto& v = x->values[i];
            const auto& w = y->values[i];
            if (v.name != w.name || v.type != w.type || v.data != w.data)
                return false;
        }
        for (size_t i = 0; i < x->children.size(); ++i)
            pending.emplace_back(x->children[i].get(), y->children[i].get());
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    Key first;
    std::string error;
    if (!rt::registry::parseHive(text, first, error))
        return 0;
    std::string written = rt::registry::serializeHive(first);
    Key second;
    if (!rt::registry::parseHive(written, second, error) || !sameTree(first, second) ||
        rt::registry::serializeHive(second) != written)
        std::abort();
    return 0;
}
