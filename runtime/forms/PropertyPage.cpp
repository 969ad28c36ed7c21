#include "runtime/forms/PropertyPage.h"

#include <functional>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"
#include "runtime/forms/StandardColorPage.h"
#include "runtime/forms/StandardFontPage.h"

namespace rt {

const DispatchPtr& SelectedControlList::operator[](size_t index) const {
    if (index >= m_items.size())
        raiseError(kSubscriptOutOfRange);
    if (!m_items[index])
        raiseError(kObjectVariableNotSet);
    return m_items[index];
}

PropertyPage::PropertyPage(std::string name, std::string caption)
    : Form(std::move(name), std::move(caption)) {}

void PropertyPage::setSelectedControls(std::vector<DispatchPtr> controls) {
    m_selectedControls = SelectedControlList(std::move(controls));
}

void PropertyPage::setChanged(bool v) {
    if (v == m_changed)
        return;
    m_changed = v;
    ChangedFlagChanged.raise();
}

std::shared_ptr<PropertyPage> createPropertyPage(const std::string& name) {
    struct Standard {
        const char* name;
        std::function<std::shared_ptr<PropertyPage>()> create;
    };
    static const Standard standard[] = {
        {"StandardColor", [] { return std::make_shared<StandardColorPage>(); }},
        {"StandardFont", [] { return std::make_shared<StandardFontPage>(); }},
    };
    for (const Standard& s : standard)
        if (textEquals(s.name, name))
            return s.create();
    auto page = std::dynamic_pointer_cast<PropertyPage>(CreateObject(name));
    if (!page)
        raiseError(kTypeMismatch, {}, "'" + name + "' is not a property page");
    return page;
}

} // namespace rt
