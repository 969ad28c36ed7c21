#pragma once
// The window a designer opens on a control's property pages: one tab per
// page in the order the control lists them, the current page shown inside
// the window below the tabs, and OK, Cancel and Apply. Apply and OK apply
// every page whose Changed flag is set and clear it; Cancel and the close box
// apply nothing. Apply is enabled only while some page is changed.
//
// Each showing loads every page afresh from the selection. Loading is not an
// edit: a page's flag is cleared after its SelectionChanged, however its
// editors reacted to being filled.

#include <memory>
#include <string>
#include <vector>

#include "runtime/com/Dispatch.h"
#include "runtime/core/Error.h"
#include "runtime/forms/CommandButton.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/Toolbar.h"

namespace rt {

class PropertyFrame : public Form {
public:
    // Makes the pages of the first selected object (a control's site or the
    // control itself). A page that cannot be made is left out. Raises 5 for
    // an empty selection, 91 for a missing object, 13 when the first object
    // is no control, and a site's creation error when it has no control.
    explicit PropertyFrame(std::vector<DispatchPtr> selection);
    ~PropertyFrame() override;

    // The pages shown, in the control's order.
    const std::vector<std::shared_ptr<PropertyPage>>& pages() const { return m_pages; }
    // The pages the control lists that could not be made, and why.
    struct MissingPage {
        std::string name;
        RuntimeError error;
    };
    const std::vector<MissingPage>& missingPages() const { return m_missing; }

    // The page on show (from 0); -1 when there is none.
    int currentPage() const { return m_current; }
    // Error 380 for an index outside the pages.
    void showPage(int index);
    // The key of the tab of page `index` (from 0).
    static std::string tabKey(int index);

    // Applies the changed pages in order. A page that raises is shown, its
    // error told in a message box, and stays changed; the pages after it
    // are not applied. False then.
    bool applyChanges();

    void Form_Load() override;
    void Form_Unload(int& cancel) override;

    Toolbar tbrTabs{*this, "tbrTabs"};
    CommandButton cmdOK{*this, "cmdOK", "OK"};
    CommandButton cmdCancel{*this, "cmdCancel", "Cancel"};
    CommandButton cmdApply{*this, "cmdApply", "&Apply"};

private:
    void createPages(const std::vector<std::string>& names);
    void layout();
    void syncPages();
    void syncApply();

    std::vector<DispatchPtr> m_selection;
    std::vector<std::shared_ptr<PropertyPage>> m_pages;
    std::vector<MissingPage> m_missing;
    int m_current = -1;
};

} // namespace rt
