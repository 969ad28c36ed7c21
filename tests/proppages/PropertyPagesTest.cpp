// The General pages of FormLocator and StretchContainer: their editors, what
// they load from the first selected control and what they write back to it.

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/CheckBox.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyFrame.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace rt;

const char* const kLocatorPage = "tlvFormControls.ppFormLocation";
const char* const kContainerPage = "tlvFormControls.ppStretchContainer";

class HostForm : public Form {
public:
    HostForm() : Form("frmHost", "Host") {
        strFirst.Move(0, 0, 4800, 3600);
        txtName.Move(480, 360, 960, 720);
        txtName.setContainer(&strFirst);
    }

    ControlSite flocFirst{*this, "flocFirst", "tlvFormControls.FormLocator"};
    ControlSite flocSecond{*this, "flocSecond", "tlvFormControls.FormLocator"};
    ControlSite strFirst{*this, "strFirst", "tlvFormControls.StretchContainer"};
    ControlSite strSecond{*this, "strSecond", "tlvFormControls.StretchContainer"};
    TextBox txtName{*this, "txtName"};
};

// The host form keeps its sites alive itself.
DispatchPtr unowned(Dispatch& object) {
    return DispatchPtr(DispatchPtr(), &object);
}

template <class T> T& editor(PropertyPage& page, const std::string& name) {
    auto* control = dynamic_cast<T*>(page.control(name));
    if (!control)
        throw std::logic_error("page " + page.Name() + " has no editor " + name);
    return *control;
}

void retype(TextBox& box, const std::string& text) {
    box.setSelStart(0);
    box.setSelLength(static_cast<int>(box.Text().size()));
    UserInput::typeText(box, text);
}

class PageTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = rt::test::uniqueTempDir("proppages");
        registry::setFolder(m_dir.string());
        components::registerLibrary(TLV_LIBRARY);
        m_user = ScriptedUser::install();
        m_host = std::make_unique<HostForm>();
        m_host->runLoad();
        for (ControlSite* site :
             {&m_host->flocFirst, &m_host->flocSecond, &m_host->strFirst, &m_host->strSecond}) {
            ASSERT_NE(site->object(), nullptr) << site->Name();
            site->PropertyChanged.connect([this, site](const std::string& property) {
                m_changes += (m_changes.empty() ? "" : " ") + site->Name() + "." + property;
            });
        }
    }
    void TearDown() override {
        EXPECT_EQ(m_user->pending(), 0u);
        m_host->Unload();
        m_host.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    HostForm& host() { return *m_host; }
    std::shared_ptr<ScriptedUser> m_user;

    // The properties the controls signalled changed since the last call.
    std::string changes() { return std::exchange(m_changes, {}); }

    // Opens the frame on `selection`; `actions` run on its first page while
    // it shows and must close it.
    void whileShown(std::vector<DispatchPtr> selection,
                    const std::function<void(PropertyFrame&, PropertyPage&)>& actions) {
        PropertyFrame frame(std::move(selection));
        ASSERT_FALSE(frame.pages().empty());
        m_user->whileModal("frmPropertyPages",
                           [&](Form&) { actions(frame, *frame.pages().front()); });
        frame.Show(vbModal);
        EXPECT_FALSE(frame.Visible());
    }

private:
    std::filesystem::path m_dir;
    std::unique_ptr<HostForm> m_host;
    std::string m_changes;
};

// ---- the pages' editors ------------------------------------------------------

struct EditorLayout {
    std::string name;
    std::string kind;
    // A label's caption; a combo box's items joined by "|".
    std::string text;
    float left, top, width, height;
};

struct PageLayout {
    std::string name;
    std::string progId;
    float clientWidth, clientHeight;
    std::vector<EditorLayout> editors; // in tab order
};
void PrintTo(const PageLayout& row, std::ostream* os) {
    *os << row.name;
}

EditorLayout describe(Control& c) {
    EditorLayout d{c.Name(), "other", "", c.Left(), c.Top(), c.Width(), c.Height()};
    if (auto* label = dynamic_cast<Label*>(&c)) {
        d.kind = "label";
        d.text = label->Caption();
    } else if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
        d.kind = combo->Style() == vbComboDropdownList ? "list" : "combo";
        for (int i = 0; i < combo->ListCount(); ++i)
            d.text += (i ? "|" : "") + combo->List(i);
    } else if (auto* check = dynamic_cast<CheckBox*>(&c)) {
        d.kind = "check";
        d.text = check->Caption();
    } else if (auto* box = dynamic_cast<TextBox*>(&c)) {
        d.kind = "text";
        d.text = box->Text();
    }
    return d;
}

class LayoutTest : public PageTest, public testing::WithParamInterface<PageLayout> {};

TEST_P(LayoutTest, EditorsStandAtTheirPlacesInTabOrderWithTheirExactTexts) {
    const PageLayout& want = GetParam();
    std::shared_ptr<PropertyPage> page = createPropertyPage(want.progId);
    EXPECT_EQ(page->Caption(), "General");
    EXPECT_EQ(page->ScaleWidth(), want.clientWidth);
    EXPECT_EQ(page->ScaleHeight(), want.clientHeight);
    ASSERT_EQ(page->Controls().size(), want.editors.size());
    for (size_t i = 0; i < want.editors.size(); ++i) {
        const EditorLayout& w = want.editors[i];
        EditorLayout got = describe(*page->Controls()[i]);
        SCOPED_TRACE(w.name);
        EXPECT_EQ(got.name, w.name) << "tab position " << i;
        EXPECT_EQ(got.kind, w.kind);
        EXPECT_EQ(got.text, w.text);
        EXPECT_EQ(got.left, w.left);
        EXPECT_EQ(got.top, w.top);
        EXPECT_EQ(got.width, w.width);
        EXPECT_EQ(got.height, w.height);
    }
    EXPECT_FALSE(page->Changed());
}

INSTANTIATE_TEST_SUITE_P(
    Pages, LayoutTest,
    testing::Values(
        PageLayout{"FormLocator",
                   kLocatorPage,
                   4725,
                   2985,
                   {{"lblHive", "label", "Registry Hive:", 120, 240, 1215, 255},
                    {"cmbHive", "list",
                     "0 - HKEY_CLASSES_ROOT|1 - HKEY_CURRENT_USER|2 - HKEY_LOCAL_MACHINE|"
                     "3 - HKEY_USERS|4 - HKEY_CURRENT_CONFIG|5 - HKEY_DYN_DATA",
                     1200, 240, 2655, 315},
                    {"lblRegistryKey", "label", "Registry Key:", 120, 600, 1245, 240},
                    {"txtRegistryKey", "text", "", 1200, 600, 3375, 330}}},
        PageLayout{
            "StretchContainer",
            kContainerPage,
            5925,
            3495,
            {{"cmbAppearance", "list", "0 -tlv Flat|1 - tlv3D", 1200, 120, 2295, 315},
             {"cmbBorderStyle", "list", "0 -tlv None|1 - tlvFixed Single", 1200, 480, 2295, 315},
             {"chkAdjustFont", "check", "", 1200, 840, 375, 375},
             {"chkEnabled", "check", "", 1200, 1200, 300, 285},
             {"lblBorderStyle", "label", "Border Style:", 120, 495, 1245, 240},
             {"lblAppearance", "label", "Appearance:", 120, 135, 1140, 240},
             {"Label1", "label", "Enabled:", 120, 1225, 1455, 255},
             {"Label2", "label", "Adjust Font:", 120, 880, 1095, 255}}}),
    rt::test::RowName());

TEST_F(PageTest, EachControlListsItsGeneralPageFirst) {
    PropertyFrame locator({unowned(host().flocFirst)});
    ASSERT_EQ(locator.pages().size(), 1u);
    EXPECT_EQ(locator.pages()[0]->Name(), "ppFormLocation");

    PropertyFrame container({unowned(host().strFirst)});
    EXPECT_TRUE(container.missingPages().empty());
    std::vector<std::string> captions;
    for (const auto& page : container.pages())
        captions.push_back(page->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"General", "Color", "Font"}));
    EXPECT_EQ(container.pages()[0]->Name(), "ppStretchContainer");
}

// Without a selection, or with a control that has none of the properties,
// every step is passed over and nothing is reported.
TEST_F(PageTest, WithNoSuitableSelectionEveryStepIsPassedOver) {
    struct Row {
        const char* name;
        const char* page;
        std::vector<DispatchPtr> selection;
    };
    const Row rows[] = {
        {"locator page, nothing selected", kLocatorPage, {}},
        {"locator page, no object", kLocatorPage, {DispatchPtr()}},
        {"locator page, a container", kLocatorPage, {unowned(host().strFirst)}},
        {"container page, nothing selected", kContainerPage, {}},
        {"container page, a locator", kContainerPage, {unowned(host().flocFirst)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::shared_ptr<PropertyPage> page = createPropertyPage(row.page);
        page->setSelectedControls(row.selection);
        EXPECT_NO_THROW(page->PropertyPage_SelectionChanged());
        EXPECT_NO_THROW(page->PropertyPage_ApplyChanges());
    }
    EXPECT_EQ(changes(), "");
}

// ---- an edit marks the page changed and writes nothing ----------------------

struct EditRow {
    std::string name;
    bool container; // which control's page
    std::function<void(PropertyPage&)> edit;
};
void PrintTo(const EditRow& row, std::ostream* os) {
    *os << row.name;
}

class EditTest : public PageTest, public testing::WithParamInterface<EditRow> {};

TEST_P(EditTest, MarksThePageChangedAndNothingReachesTheControlUntilApplied) {
    const EditRow& row = GetParam();
    ControlSite& site = row.container ? host().strFirst : host().flocFirst;
    PropertyBag before = site.saveProperties();
    whileShown({unowned(site)}, [&](PropertyFrame& frame, PropertyPage& page) {
        EXPECT_FALSE(page.Changed());
        row.edit(page);
        EXPECT_TRUE(page.Changed());
        EXPECT_TRUE(frame.cmdApply.Enabled());
        EXPECT_EQ(changes(), "");
        UserInput::click(frame.cmdCancel);
    });
    EXPECT_EQ(changes(), "");
    EXPECT_EQ(site.saveProperties().toText(), before.toText());
}

INSTANTIATE_TEST_SUITE_P(
    Editors, EditTest,
    testing::Values(
        EditRow{"Hive", false,
                [](PropertyPage& p) { UserInput::selectItem(editor<ComboBox>(p, "cmbHive"), 2); }},
        EditRow{"RegistryKey", false,
                [](PropertyPage& p) {
                    retype(editor<TextBox>(p, "txtRegistryKey"), "Software\\Other");
                }},
        EditRow{"Appearance", true,
                [](PropertyPage& p) {
                    UserInput::selectItem(editor<ComboBox>(p, "cmbAppearance"), 0);
                }},
        EditRow{"BorderStyle", true,
                [](PropertyPage& p) {
                    UserInput::selectItem(editor<ComboBox>(p, "cmbBorderStyle"), 1);
                }},
        EditRow{"AdjustFont", true,
                [](PropertyPage& p) { UserInput::click(editor<CheckBox>(p, "chkAdjustFont")); }},
        EditRow{"Enabled", true,
                [](PropertyPage& p) { UserInput::click(editor<CheckBox>(p, "chkEnabled")); }}),
    rt::test::RowName());

// ---- FormLocator's page ------------------------------------------------------

TEST_F(PageTest, LocatorPageLoadsAndWritesTheFirstSelectedLocatorOnly) {
    ControlSite& first = host().flocFirst;
    ControlSite& second = host().flocSecond;
    first.let("RegistryHive", Variant(3));
    first.let("RegistryKey", Variant(std::string("Software\\First")));
    second.let("RegistryHive", Variant(0));
    second.let("RegistryKey", Variant(std::string("Software\\Second")));
    changes();

    whileShown({unowned(first), unowned(second)}, [&](PropertyFrame& frame, PropertyPage& page) {
        auto& hive = editor<ComboBox>(page, "cmbHive");
        EXPECT_EQ(hive.ListIndex(), 3);
        EXPECT_EQ(hive.Text(), "3 - HKEY_USERS");
        EXPECT_EQ(editor<TextBox>(page, "txtRegistryKey").Text(), "Software\\First");
        EXPECT_FALSE(page.Changed());

        UserInput::selectItem(hive, 2);
        EXPECT_EQ(hive.Text(), "2 - HKEY_LOCAL_MACHINE");
        UserInput::click(frame.cmdOK);
    });
    // The hive first, then the key, both on the first locator.
    EXPECT_EQ(changes(), "flocFirst.RegistryHive flocFirst.RegistryKey");
    EXPECT_EQ(first.get("RegistryHive").toLong(), 2);
    EXPECT_EQ(first.get("RegistryKey").toString(), "Software\\First");
    EXPECT_EQ(second.get("RegistryHive").toLong(), 0);
    EXPECT_EQ(second.get("RegistryKey").toString(), "Software\\Second");
}

struct StrayHiveRow {
    std::string name;
    int32_t hive;
};
void PrintTo(const StrayHiveRow& row, std::ostream* os) {
    *os << row.name;
}

class StrayHiveTest : public PageTest, public testing::WithParamInterface<StrayHiveRow> {};

// A hive no item names selects nothing, the key still loads, and applying
// with nothing chosen writes -1, which makes the locator keep nothing.
TEST_P(StrayHiveTest, SelectsNoHiveAndApplyingWritesMinusOne) {
    ControlSite& first = host().flocFirst;
    first.let("RegistryHive", Variant(GetParam().hive));
    first.let("RegistryKey", Variant(std::string("Software\\Stray")));
    changes();
    whileShown({unowned(first)}, [&](PropertyFrame& frame, PropertyPage& page) {
        EXPECT_EQ(editor<ComboBox>(page, "cmbHive").ListIndex(), -1);
        EXPECT_EQ(editor<TextBox>(page, "txtRegistryKey").Text(), "Software\\Stray");
        retype(editor<TextBox>(page, "txtRegistryKey"), "Software\\Kept");
        UserInput::click(frame.cmdOK);
    });
    EXPECT_EQ(first.get("RegistryHive").toLong(), -1);
    EXPECT_EQ(first.get("RegistryKey").toString(), "Software\\Kept");
}

INSTANTIATE_TEST_SUITE_P(Hives, StrayHiveTest,
                         testing::Values(StrayHiveRow{"AboveTheLast", 6},
                                         StrayHiveRow{"Negative", -1},
                                         StrayHiveRow{"BeyondAnInteger", 40000}),
                         rt::test::RowName());

// A page kept by its frame shows again what it showed last when the hive
// became one no item names; the key follows the locator.
TEST_F(PageTest, AStrayHiveLeavesTheHiveListAtItsPreviousLine) {
    ControlSite& first = host().flocFirst;
    first.let("RegistryHive", Variant(4));
    PropertyFrame frame({unowned(first)});
    PropertyPage& page = *frame.pages().at(0);
    auto& hive = editor<ComboBox>(page, "cmbHive");
    auto showAndCancel = [&] {
        m_user->whileModal("frmPropertyPages", [&](Form&) { UserInput::click(frame.cmdCancel); });
        frame.Show(vbModal);
    };
    showAndCancel();
    EXPECT_EQ(hive.ListIndex(), 4);
    first.let("RegistryHive", Variant(9));
    first.let("RegistryKey", Variant(std::string("Software\\Later")));
    showAndCancel();
    EXPECT_EQ(hive.ListIndex(), 4);
    EXPECT_EQ(editor<TextBox>(page, "txtRegistryKey").Text(), "Software\\Later");
    EXPECT_EQ(first.get("RegistryHive").toLong(), 9);
}

// ---- StretchContainer's page -------------------------------------------------

struct ContainerRow {
    std::string name;
    int32_t appearance, borderStyle;
    bool enabled, adjustFont;
    std::string appearanceText, borderStyleText;
    int enabledValue, adjustFontValue;
};
void PrintTo(const ContainerRow& row, std::ostream* os) {
    *os << row.name;
}

class ContainerShowsTest : public PageTest, public testing::WithParamInterface<ContainerRow> {};

TEST_P(ContainerShowsTest, TheFirstSelectedContainersValues) {
    const ContainerRow& row = GetParam();
    ControlSite& first = host().strFirst;
    first.let("Appearance", Variant(row.appearance));
    first.let("BorderStyle", Variant(row.borderStyle));
    first.let("Enabled", Variant(row.enabled));
    first.let("AdjustFont", Variant(row.adjustFont));
    // The second container holds the opposite of every value.
    ControlSite& second = host().strSecond;
    second.let("Appearance", Variant(1 - row.appearance));
    second.let("BorderStyle", Variant(1 - row.borderStyle));
    second.let("Enabled", Variant(!row.enabled));
    second.let("AdjustFont", Variant(!row.adjustFont));

    whileShown({unowned(first), unowned(second)}, [&](PropertyFrame& frame, PropertyPage& page) {
        EXPECT_EQ(editor<ComboBox>(page, "cmbAppearance").Text(), row.appearanceText);
        EXPECT_EQ(editor<ComboBox>(page, "cmbBorderStyle").Text(), row.borderStyleText);
        EXPECT_EQ(editor<CheckBox>(page, "chkEnabled").Value(), row.enabledValue);
        EXPECT_EQ(editor<CheckBox>(page, "chkAdjustFont").Value(), row.adjustFontValue);
        EXPECT_FALSE(page.Changed());
        UserInput::click(frame.cmdCancel);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Values, ContainerShowsTest,
    testing::Values(
        // What a new container has.
        ContainerRow{"Defaults", 1, 0, true, true, "1 - tlv3D", "0 -tlv None", 1, 1},
        ContainerRow{"Others", 0, 1, false, false, "0 -tlv Flat", "1 - tlvFixed Single", 0, 0},
        ContainerRow{"Mixed", 1, 1, false, true, "1 - tlv3D", "1 - tlvFixed Single", 0, 1}),
    rt::test::RowName());

TEST_F(PageTest, ANewContainerShowsItsDefaults) {
    whileShown({unowned(host().strFirst)}, [&](PropertyFrame& frame, PropertyPage& page) {
        EXPECT_EQ(editor<ComboBox>(page, "cmbAppearance").Text(), "1 - tlv3D");
        EXPECT_EQ(editor<ComboBox>(page, "cmbBorderStyle").Text(), "0 -tlv None");
        EXPECT_EQ(editor<CheckBox>(page, "chkEnabled").Value(), vbChecked);
        EXPECT_EQ(editor<CheckBox>(page, "chkAdjustFont").Value(), vbChecked);
        UserInput::click(frame.cmdCancel);
    });
}

TEST_F(PageTest, ContainerPageWritesItsFourEditorsInOrderToTheFirstContainerOnly) {
    ControlSite& first = host().strFirst;
    ControlSite& second = host().strSecond;
    PropertyBag secondBefore = second.saveProperties();
    changes();
    whileShown({unowned(first), unowned(second)}, [&](PropertyFrame& frame, PropertyPage& page) {
        UserInput::selectItem(editor<ComboBox>(page, "cmbAppearance"), 0);
        UserInput::selectItem(editor<ComboBox>(page, "cmbBorderStyle"), 1);
        UserInput::click(editor<CheckBox>(page, "chkEnabled"));
        UserInput::click(editor<CheckBox>(page, "chkAdjustFont"));
        UserInput::click(frame.cmdApply);
        EXPECT_FALSE(page.Changed());
        UserInput::click(frame.cmdCancel);
    });
    EXPECT_EQ(changes(),
              "strFirst.Appearance strFirst.BorderStyle strFirst.Enabled strFirst.AdjustFont");
    EXPECT_EQ(first.get("Appearance").toLong(), 0);
    EXPECT_EQ(first.get("BorderStyle").toLong(), 1);
    EXPECT_FALSE(first.get("Enabled").toBool());
    EXPECT_FALSE(first.get("AdjustFont").toBool());
    EXPECT_EQ(second.saveProperties().toText(), secondBefore.toText());
}

// A page applied before it loaded anything has no item chosen in either list:
// the container keeps its appearance and border style, and the check boxes
// are still written.
TEST_F(PageTest, ContainerPagePassesOverListIndexesTheContainerRefuses) {
    ControlSite& first = host().strFirst;
    std::shared_ptr<PropertyPage> page = createPropertyPage(kContainerPage);
    page->setSelectedControls({unowned(first)});
    EXPECT_EQ(editor<ComboBox>(*page, "cmbAppearance").ListIndex(), -1);
    EXPECT_EQ(editor<ComboBox>(*page, "cmbBorderStyle").ListIndex(), -1);
    page->PropertyPage_ApplyChanges();
    EXPECT_EQ(first.get("Appearance").toLong(), 1);
    EXPECT_EQ(first.get("BorderStyle").toLong(), 0);
    EXPECT_FALSE(first.get("Enabled").toBool());
    EXPECT_FALSE(first.get("AdjustFont").toBool());
}

struct AdjustRow {
    std::string name;
    bool clearAdjustFont;
    float fontAfterResize;
};
void PrintTo(const AdjustRow& row, std::ostream* os) {
    *os << row.name;
}

class AdjustFontTest : public PageTest, public testing::WithParamInterface<AdjustRow> {};

TEST_P(AdjustFontTest, TheNextResizeFollowsTheAppliedAdjustFont) {
    const AdjustRow& row = GetParam();
    host().Show();
    whileShown({unowned(host().strFirst)}, [&](PropertyFrame& frame, PropertyPage& page) {
        if (row.clearAdjustFont)
            UserInput::click(editor<CheckBox>(page, "chkAdjustFont"));
        // Something to apply either way.
        UserInput::selectItem(editor<ComboBox>(page, "cmbAppearance"), 0);
        UserInput::click(frame.cmdOK);
    });
    EXPECT_EQ(host().strFirst.get("AdjustFont").toBool(), !row.clearAdjustFont);
    host().strFirst.Move(0, 0, 9600, 1800);
    EXPECT_EQ(host().txtName.Width(), 1920);
    EXPECT_EQ(host().txtName.Font().Size(), row.fontAfterResize);
}

INSTANTIATE_TEST_SUITE_P(Rows, AdjustFontTest,
                         testing::Values(AdjustRow{"LeftTicked", false, 4.125f},
                                         AdjustRow{"Cleared", true, 8.25f}),
                         rt::test::RowName());

} // namespace
