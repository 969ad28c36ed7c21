#include "runtime/forms/FormRef.h"

#include <vector>

namespace rt {

namespace {
std::vector<std::unique_ptr<Form>>& retired() {
    static std::vector<std::unique_ptr<Form>> forms;
    return forms;
}
} // namespace

void retireForm(std::unique_ptr<Form> form) {
    retired().push_back(std::move(form));
}

void releaseUnloadedForms() {
    // Destructors may unload further forms; release until none is left.
    while (!retired().empty()) {
        auto forms = std::move(retired());
        retired().clear();
        forms.clear();
    }
}

} // namespace rt
