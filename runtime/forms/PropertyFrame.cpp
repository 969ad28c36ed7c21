#include "runtime/forms/PropertyFrame.h"

#include <algorithm>

#include "runtime/forms/Host.h"
#include "runtime/forms/UserControl.h"

namespace rt {

namespace {

constexpr float kMargin = 120;
constexpr float kTabsHeight = 390;
constexpr float kButtonWidth = 1095;
constexpr float kButtonHeight = 375;

// The pages the first selected object lists.
std::vector<std::string> pageNamesOf(const std::vector<DispatchPtr>& selection) {
    if (selection.empty())
        raiseError(kInvalidProcedureCall, {}, "No control is selected");
    Dispatch* first = selection[0].get();
    if (!first)
        raiseError(kObjectVariableNotSet);
    if (auto* site = dynamic_cast<ControlSite*>(first)) {
        if (UserControl* object = site->object())
            return object->PropertyPages();
        if (site->creationError())
            throw *site->creationError();
        raiseError(kObjectVariableNotSet);
    }
    if (auto* control = dynamic_cast<UserControl*>(first))
        return control->PropertyPages();
    raiseError(kTypeMismatch, {}, "The first selected object is not a control");
}

} // namespace

PropertyFrame::PropertyFrame(std::vector<DispatchPtr> selection)
    : Form("frmPropertyPages", "Property Pages"), m_selection(std::move(selection)) {
    createPages(pageNamesOf(m_selection));
    cmdOK.setDefault(true);
    cmdCancel.setCancel(true);
    cmdOK.Click.connect([this] {
        if (applyChanges())
            Unload();
    });
    cmdCancel.Click.connect([this] { Unload(); });
    cmdApply.Click.connect([this] { applyChanges(); });
    tbrTabs.ButtonClick.connect([this](ToolbarButton& tab) { showPage(tab.Index - 1); });
    if (!m_pages.empty())
        m_current = 0;
    layout();
    syncPages();
    syncApply();
}

PropertyFrame::~PropertyFrame() {
    // A page may outlive its frame in another owner's hands.
    for (const auto& page : m_pages)
        page->setHostForm(nullptr);
}

void PropertyFrame::createPages(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        std::shared_ptr<PropertyPage> page;
        try {
            page = createPropertyPage(name);
        } catch (const RuntimeError& e) {
            m_missing.push_back(MissingPage{name, e});
            continue;
        }
        page->setHostForm(this);
        page->ChangedFlagChanged.connect([this] { syncApply(); });
        tbrTabs.AddButton(tabKey(static_cast<int>(m_pages.size())), page->Caption());
        m_pages.push_back(std::move(page));
    }
}

std::string PropertyFrame::tabKey(int index) {
    return "Page" + std::to_string(index + 1);
}

void PropertyFrame::layout() {
    float pageWidth = 4800, pageHeight = 3600;
    if (!m_pages.empty()) {
        pageWidth = 0;
        pageHeight = 0;
        for (const auto& page : m_pages) {
            pageWidth = std::max(pageWidth, page->ScaleWidth());
            pageHeight = std::max(pageHeight, page->ScaleHeight());
        }
    }
    float inner = std::max(pageWidth, 3 * kButtonWidth + 2 * kMargin);
    float buttonsTop = kTabsHeight + pageHeight + kMargin;
    tbrTabs.Move(0, 0, inner + 2 * kMargin, kTabsHeight);
    // Every page sits in the tab area below the tabs, inside this window.
    for (const auto& page : m_pages)
        page->Move(kMargin, kTabsHeight, page->Width(), page->Height());
    float left = kMargin + inner - 3 * kButtonWidth - 2 * kMargin;
    for (CommandButton* button : {&cmdOK, &cmdCancel, &cmdApply}) {
        button->Move(left, buttonsTop, kButtonWidth, kButtonHeight);
        left += kButtonWidth + kMargin;
    }
    // The client area holds the buttons; the form adds its frame.
    float clientWidth = inner + 2 * kMargin, clientHeight = buttonsTop + kButtonHeight + kMargin;
    Move(Left(), Top(), clientWidth + (Width() - ScaleWidth()),
         clientHeight + (Height() - ScaleHeight()));
}

void PropertyFrame::showPage(int index) {
    if (index < 0 || index >= static_cast<int>(m_pages.size()))
        raiseError(kInvalidPropertyValue);
    m_current = index;
    syncPages();
}

void PropertyFrame::syncPages() {
    for (size_t i = 0; i < m_pages.size(); ++i) {
        PropertyPage& page = *m_pages[i];
        bool current = static_cast<int>(i) == m_current;
        if (current && Loaded())
            page.Show();
        else
            page.Hide();
        ToolbarButton& tab = tbrTabs.Buttons(static_cast<int>(i) + 1);
        tab.Value = current ? tbrPressed : tbrUnpressed;
    }
    tbrTabs.buttonChanged();
}

void PropertyFrame::syncApply() {
    cmdApply.setEnabled(std::any_of(m_pages.begin(), m_pages.end(),
                                    [](const auto& page) { return page->Changed(); }));
}

bool PropertyFrame::applyChanges() {
    for (size_t i = 0; i < m_pages.size(); ++i) {
        PropertyPage& page = *m_pages[i];
        if (!page.Changed())
            continue;
        try {
            page.PropertyPage_ApplyChanges();
        } catch (const RuntimeError& e) {
            showPage(static_cast<int>(i));
            MsgBox(e.description(), vbExclamation, Caption());
            return false;
        }
        page.setChanged(false);
    }
    return true;
}

void PropertyFrame::Form_Load() {
    for (const auto& page : m_pages) {
        page->runLoad();
        page->setSelectedControls(m_selection);
        // A page's own failure to load leaves its editors as they are; the
        // other pages still load.
        skipFailure([&] { page->PropertyPage_SelectionChanged(); });
        page->setChanged(false);
    }
    syncPages();
}

void PropertyFrame::Form_Unload(int& /*cancel*/) {
    for (const auto& page : m_pages) {
        page->runUnload();
        page->setChanged(false);
    }
}

} // namespace rt
