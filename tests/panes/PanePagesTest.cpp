// The General pages of PaneArea and PaneContainer as a host's designer meets
// them: controls and pages created by ProgID from the library file, the
// pages driven through the property frame and the user's input.

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
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

const char* const kAreaPage = "tlvFormControls.ppPaneArea";
const char* const kContainerPage = "tlvFormControls.ppPaneContainer";

class HostForm : public Form {
public:
    HostForm() : Form("frmHost", "Host") {}

    ControlSite paneFirst{*this, "paneFirst", "tlvFormControls.PaneArea"};
    ControlSite paneSecond{*this, "paneSecond", "tlvFormControls.PaneArea"};
    ControlSite pncFirst{*this, "pncFirst", "tlvFormControls.PaneContainer"};
    ControlSite pncSecond{*this, "pncSecond", "tlvFormControls.PaneContainer"};
};

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

class PanePageTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = rt::test::uniqueTempDir("panepages");
        registry::setFolder(m_dir.string());
        components::registerLibrary(TLV_LIBRARY);
        m_user = ScriptedUser::install();
        m_host = std::make_unique<HostForm>();
        m_host->runLoad();
        for (ControlSite* site :
             {&m_host->paneFirst, &m_host->paneSecond, &m_host->pncFirst, &m_host->pncSecond}) {
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
    }

    std::shared_ptr<ScriptedUser> m_user;

private:
    std::filesystem::path m_dir;
    std::unique_ptr<HostForm> m_host;
    std::string m_changes;
};

// ---- the pages' editors ------------------------------------------------------------

struct Editor {
    std::string name;
    std::string text; // a label's caption; a combo box's items joined by "|"
    float left, top, width, height;
};

std::string textOf(Control& c) {
    if (auto* label = dynamic_cast<Label*>(&c))
        return label->Caption();
    if (auto* combo = dynamic_cast<ComboBox*>(&c)) {
        std::string items;
        for (int i = 0; i < combo->ListCount(); ++i)
            items += (i ? "|" : "") + combo->List(i);
        return items;
    }
    return "";
}

TEST_F(PanePageTest, EditorsStandAtTheirPlacesInTabOrder) {
    struct Row {
        const char* progId;
        std::vector<Editor> editors;
    };
    const Row rows[] = {
        {kAreaPage,
         {{"cmbAppearance", "0 - Flat|1 - Sunken", 1200, 120, 2295, 315},
          {"cmbBorderStyle", "0 - None|1 - Fixed Single", 1200, 480, 2295, 315},
          {"txtMinSize", "", 1200, 840, 1125, 330},
          {"txtPaneIndex", "", 1200, 1200, 1140, 330},
          {"chkEnabled", "", 1200, 1560, 300, 285},
          {"lblPaneIndex", "Pane Index:", 120, 1200, 1005, 240},
          {"lblMinSize", "Min Size:", 120, 840, 1005, 240},
          {"lblBorderStyle", "Border Style:", 120, 495, 1245, 240},
          {"lblAppearance", "Appearance:", 120, 135, 1140, 240},
          {"Label2", "Enabled:", 120, 1560, 1455, 255}}},
        {kContainerPage,
         {{"cmbAppearance", "0 - tlv Flat|1 - tlv3D", 1920, 120, 2295, 315},
          {"cmbBorderStyle", "0 -tlv None|1 - tlvFixed Single", 1920, 480, 2295, 315},
          {"cmbOrientation", "0 - tlvHorizontal|1 - tlvVertical", 1920, 840, 2295, 315},
          {"txtSpacing", "", 1920, 1200, 1005, 330},
          {"chkEnabled", "", 1920, 1560, 300, 285},
          {"lblSpacing", "Spacing between Panes:", 90, 1215, 2700, 240},
          {"Label1", "Orientation:", 120, 855, 1575, 255},
          {"Label2", "Enabled:", 120, 1560, 1455, 255},
          {"lblAppearance", "Appearance:", 120, 135, 1140, 240},
          {"lblBorderStyle", "Border Style:", 120, 495, 1245, 240}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.progId);
        std::shared_ptr<PropertyPage> page = createPropertyPage(row.progId);
        EXPECT_EQ(page->Caption(), "General");
        EXPECT_EQ(page->ScaleWidth(), 5925);
        EXPECT_EQ(page->ScaleHeight(), 3495);
        ASSERT_EQ(page->Controls().size(), row.editors.size());
        for (size_t i = 0; i < row.editors.size(); ++i) {
            const Editor& want = row.editors[i];
            Control& got = *page->Controls()[i];
            SCOPED_TRACE(want.name);
            EXPECT_EQ(got.Name(), want.name) << "tab position " << i;
            EXPECT_EQ(textOf(got), want.text);
            EXPECT_EQ(got.Left(), want.left);
            EXPECT_EQ(got.Top(), want.top);
            EXPECT_EQ(got.Width(), want.width);
            EXPECT_EQ(got.Height(), want.height);
        }
    }
}

TEST_F(PanePageTest, EachControlListsItsGeneralPageFirst) {
    struct Row {
        ControlSite* site;
        std::vector<std::string> names;
    };
    const Row rows[] = {
        {&host().paneFirst, {"ppPaneArea", "StandardColor", "StandardFont"}},
        {&host().pncFirst, {"ppPaneContainer", "StandardColor"}},
    };
    for (const Row& row : rows) {
        PropertyFrame frame({unowned(*row.site)});
        EXPECT_TRUE(frame.missingPages().empty());
        std::vector<std::string> names;
        for (const auto& page : frame.pages())
            names.push_back(page->Name());
        EXPECT_EQ(names, row.names);
    }
}

// ---- every edit marks the page changed ---------------------------------------------

struct EditRow {
    std::string name;
    bool container;
    std::function<void(PropertyPage&)> edit;
};
void PrintTo(const EditRow& row, std::ostream* os) {
    *os << row.name;
}

class EditTest : public PanePageTest, public testing::WithParamInterface<EditRow> {};

TEST_P(EditTest, MarksThePageChangedAndWritesNothingUntilApplied) {
    const EditRow& row = GetParam();
    ControlSite& site = row.container ? host().pncFirst : host().paneFirst;
    PropertyBag before = site.saveProperties();
    whileShown({unowned(site)}, [&](PropertyFrame& frame, PropertyPage& page) {
        EXPECT_FALSE(page.Changed());
        row.edit(page);
        EXPECT_TRUE(page.Changed());
        UserInput::click(frame.cmdCancel);
    });
    EXPECT_EQ(changes(), "");
    EXPECT_EQ(site.saveProperties().toText(), before.toText());
}

std::function<void(PropertyPage&)> pick(const char* combo, int index) {
    return [=](PropertyPage& p) { UserInput::selectItem(editor<ComboBox>(p, combo), index); };
}
std::function<void(PropertyPage&)> tick(const char* check) {
    return [=](PropertyPage& p) { UserInput::click(editor<CheckBox>(p, check)); };
}
std::function<void(PropertyPage&)> type(const char* box, const char* text) {
    return [=](PropertyPage& p) { retype(editor<TextBox>(p, box), text); };
}

INSTANTIATE_TEST_SUITE_P(
    Editors, EditTest,
    testing::Values(EditRow{"AreaAppearance", false, pick("cmbAppearance", 0)},
                    EditRow{"AreaBorderStyle", false, pick("cmbBorderStyle", 0)},
                    EditRow{"AreaEnabled", false, tick("chkEnabled")},
                    EditRow{"AreaPaneIndex", false, type("txtPaneIndex", "4")},
                    EditRow{"AreaMinSize", false, type("txtMinSize", "250")},
                    EditRow{"ContainerAppearance", true, pick("cmbAppearance", 1)},
                    EditRow{"ContainerBorderStyle", true, pick("cmbBorderStyle", 1)},
                    EditRow{"ContainerOrientation", true, pick("cmbOrientation", 1)},
                    EditRow{"ContainerSpacing", true, type("txtSpacing", "80")},
                    EditRow{"ContainerEnabled", true, tick("chkEnabled")}),
    rt::test::RowName());

// ---- loading and applying ------------------------------------------------------------

TEST_F(PanePageTest, AreaPageLoadsAndWritesTheFirstSelectedPaneOnly) {
    ControlSite& first = host().paneFirst;
    ControlSite& second = host().paneSecond;
    first.let("MinSize", Variant(12.5f));
    first.let("Enabled", Variant(false));
    PropertyBag secondBefore = second.saveProperties();
    changes();
    whileShown({unowned(first), unowned(second)}, [&](PropertyFrame& frame, PropertyPage& page) {
        EXPECT_EQ(editor<ComboBox>(page, "cmbAppearance").ListIndex(), 1);
        EXPECT_EQ(editor<ComboBox>(page, "cmbBorderStyle").ListIndex(), 1);
        EXPECT_EQ(editor<CheckBox>(page, "chkEnabled").Value(), 0);
        EXPECT_EQ(editor<TextBox>(page, "txtPaneIndex").Text(), "1");
        EXPECT_EQ(editor<TextBox>(page, "txtMinSize").Text(), "12.5");
        UserInput::selectItem(editor<ComboBox>(page, "cmbAppearance"), 0);
        retype(editor<TextBox>(page, "txtPaneIndex"), "6");
        UserInput::click(frame.cmdApply);
        UserInput::click(frame.cmdCancel);
    });
    // Every editor is written, in the page's order; the unchanged ones too.
    EXPECT_EQ(changes(), "paneFirst.Appearance paneFirst.BorderStyle paneFirst.Enabled "
                         "paneFirst.PaneIndex paneFirst.MinSize");
    EXPECT_EQ(first.get("Appearance").toLong(), 0);
    EXPECT_FALSE(first.get("Enabled").toBool());
    EXPECT_EQ(first.get("PaneIndex").toInteger(), 6);
    EXPECT_EQ(first.get("MinSize").toSingle(), 12.5f);
    EXPECT_EQ(second.saveProperties().toText(), secondBefore.toText());
}

TEST_F(PanePageTest, ContainerPageLoadsAndWritesTheFirstSelectedContainerOnly) {
    ControlSite& first = host().pncFirst;
    ControlSite& second = host().pncSecond;
    first.let("Orientation", Variant(1));
    first.let("Spacing", Variant(int16_t{75}));
    PropertyBag secondBefore = second.saveProperties();
    changes();
    whileShown({unowned(first), unowned(second)}, [&](PropertyFrame& frame, PropertyPage& page) {
        EXPECT_EQ(editor<ComboBox>(page, "cmbAppearance").ListIndex(), 0);
        EXPECT_EQ(editor<ComboBox>(page, "cmbBorderStyle").ListIndex(), 0);
        EXPECT_EQ(editor<ComboBox>(page, "cmbOrientation").ListIndex(), 1);
        EXPECT_EQ(editor<CheckBox>(page, "chkEnabled").Value(), 1);
        EXPECT_EQ(editor<TextBox>(page, "txtSpacing").Text(), "75");
        UserInput::selectItem(editor<ComboBox>(page, "cmbBorderStyle"), 1);
        UserInput::click(frame.cmdApply);
        UserInput::click(frame.cmdCancel);
    });
    EXPECT_EQ(changes(), "pncFirst.Appearance pncFirst.BorderStyle pncFirst.Enabled "
                         "pncFirst.Spacing pncFirst.Orientation");
    EXPECT_EQ(first.get("BorderStyle").toLong(), 1);
    EXPECT_EQ(second.saveProperties().toText(), secondBefore.toText());
}

// A value the control refuses is passed over without a message; the steps
// after it still run.
TEST_F(PanePageTest, RefusedTextsArePassedOverAndTheNextStepsRun) {
    struct Row {
        const char* name;
        bool container;
        std::vector<std::pair<const char*, const char*>> texts;
        const char* signalled;
        std::vector<std::pair<const char*, Variant>> after;
    };
    const Row rows[] = {
        {"NegativeIndex",
         false,
         {{"txtPaneIndex", "-5"}, {"txtMinSize", "50"}},
         "paneFirst.Appearance paneFirst.BorderStyle paneFirst.Enabled paneFirst.MinSize",
         {{"PaneIndex", Variant(int16_t{1})}, {"MinSize", Variant(50.0f)}}},
        {"MinSizeNoNumber",
         false,
         {{"txtMinSize", "abc"}},
         "paneFirst.Appearance paneFirst.BorderStyle paneFirst.Enabled paneFirst.PaneIndex",
         {{"MinSize", Variant(100.0f)}}},
        {"SpacingBelowTen",
         true,
         {{"txtSpacing", "5"}},
         "pncFirst.Appearance pncFirst.BorderStyle pncFirst.Enabled pncFirst.Orientation",
         {{"Spacing", Variant(int16_t{50})}}},
        {"SpacingNoNumber",
         true,
         {{"txtSpacing", "abc"}},
         "pncFirst.Appearance pncFirst.BorderStyle pncFirst.Enabled pncFirst.Orientation",
         {{"Spacing", Variant(int16_t{50})}}},
        {"SpacingTen",
         true,
         {{"txtSpacing", "10"}},
         "pncFirst.Appearance pncFirst.BorderStyle pncFirst.Enabled pncFirst.Spacing "
         "pncFirst.Orientation",
         {{"Spacing", Variant(int16_t{10})}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ControlSite& site = row.container ? host().pncFirst : host().paneFirst;
        // Each row starts from the defaults.
        if (row.container) {
            site.let("Spacing", Variant(int16_t{50}));
        } else {
            site.let("PaneIndex", Variant(int16_t{1}));
            site.let("MinSize", Variant(100.0f));
        }
        changes();
        whileShown({unowned(site)}, [&](PropertyFrame& frame, PropertyPage& page) {
            for (const auto& [box, text] : row.texts)
                retype(editor<TextBox>(page, box), text);
            UserInput::click(frame.cmdOK);
        });
        EXPECT_EQ(changes(), row.signalled);
        for (const auto& [property, value] : row.after)
            EXPECT_EQ(site.get(property), value) << property;
    }
}

TEST_F(PanePageTest, AssigningAnOrientationMovesNoPane) {
    HostForm& form = host();
    form.pncFirst.Move(0, 0, 3000, 2000);
    for (ControlSite* pane : {&form.paneFirst, &form.paneSecond})
        pane->setContainer(&form.pncFirst);
    form.paneFirst.Move(0, 0, 1000, 2000);
    form.paneSecond.Move(1050, 0, 1000, 2000);
    // The first paint collects both panes and lays them out side by side.
    form.pncFirst.call("Refresh");
    auto boxes = [&] {
        std::string text;
        for (Control* pane : {&form.paneFirst, &form.paneSecond})
            text += std::to_string(static_cast<int>(pane->Left())) + "," +
                    std::to_string(static_cast<int>(pane->Top())) + "," +
                    std::to_string(static_cast<int>(pane->Width())) + "," +
                    std::to_string(static_cast<int>(pane->Height())) + " ";
        return text;
    };
    const std::string laidOut = boxes();
    ASSERT_NE(laidOut, "0,0,1000,2000 1050,0,1000,2000 ") << "the paint collected no pane";
    whileShown({unowned(form.pncFirst)}, [&](PropertyFrame& frame, PropertyPage& page) {
        UserInput::selectItem(editor<ComboBox>(page, "cmbOrientation"), 1);
        UserInput::click(frame.cmdOK);
    });
    EXPECT_EQ(form.pncFirst.get("Orientation").toLong(), 1);
    EXPECT_EQ(boxes(), laidOut);
}

} // namespace
