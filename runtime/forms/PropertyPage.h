#pragma once
// A property page: a designer's editor for some properties of the selected
// controls. It is a form of its own so that its editors sit on it; a
// PropertyFrame shows it inside its window, hands it the selection and asks
// it to apply what the user changed.

#include <memory>
#include <string>
#include <vector>

#include "runtime/com/Dispatch.h"
#include "runtime/forms/Event.h"
#include "runtime/forms/Form.h"

namespace rt {

// The designer's selection, in its order. An item past the end raises 9 and
// a missing object 91, so a page's skipped step covers an empty selection.
class SelectedControlList {
public:
    SelectedControlList() = default;
    explicit SelectedControlList(std::vector<DispatchPtr> items) : m_items(std::move(items)) {}

    const DispatchPtr& operator[](size_t index) const;
    size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<DispatchPtr> m_items;
};

class PropertyPage : public Form {
public:
    PropertyPage(std::string name, std::string caption);

    const SelectedControlList& SelectedControls() const { return m_selectedControls; }
    void setSelectedControls(std::vector<DispatchPtr> controls);

    // Whether the page holds edits not applied yet. (This hides the form's
    // Changed event, which views reach through Form.)
    bool Changed() const { return m_changed; }
    void setChanged(bool v);

    // Handlers a page overrides: fill the editors from the selection; write
    // them to it.
    virtual void PropertyPage_SelectionChanged() {}
    virtual void PropertyPage_ApplyChanges() {}

    // The Changed flag turned on or off.
    Event<> ChangedFlagChanged;

private:
    SelectedControlList m_selectedControls;
    bool m_changed = false;
};

// Makes the page `name`: "StandardColor" and "StandardFont" are the
// runtime's own pages; any other name is a ProgID. Raises 429 when the
// object cannot be made and 13 when it is no property page.
std::shared_ptr<PropertyPage> createPropertyPage(const std::string& name);

} // namespace rt
