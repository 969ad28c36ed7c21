#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/com/ComponentRegistry.h"
#include "runtime/forms/CheckBox.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/PropertyFrame.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/ScriptedUser.h"
#include "runtime/forms/StandardColorPage.h"
#include "runtime/forms/StandardFontPage.h"
#include "runtime/forms/TextBox.h"
#include "runtime/forms/UserControl.h"
#include "runtime/forms/UserInput.h"
#include "runtime/platform/registry/Registry.h"
#include "tests/support/TestSupport.h"

using namespace rt;
using rt::test::errorOf;

namespace {

constexpr int kProbePage = 0, kColorPage = 1, kFontPage = 2;

class HostForm : public Form {
public:
    HostForm() : Form("frmHost", "Host") {}

    ControlSite first{*this, "ctlFirst", "QuiboTest.PagedProbe"};
    ControlSite second{*this, "ctlSecond", "QuiboTest.PagedProbe"};
    ControlSite foreOnly{*this, "ctlForeOnly", "QuiboTest.ForeOnly"};
    ControlSite broken{*this, "ctlBroken", "QuiboTest.BrokenPages"};
    ControlSite missing{*this, "ctlMissing", "QuiboTest.Missing"};
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

// Selects the whole text and types over it, as a person replaces a value.
void retype(TextBox& box, const std::string& text) {
    box.setSelStart(0);
    box.setSelLength(static_cast<int>(box.Text().size()));
    UserInput::typeText(box, text);
}

class PropertyPagesTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = rt::test::uniqueTempDir("propertypages");
        registry::setFolder(m_dir.string());
        components::registerLibrary(PROBE_PAGES);
        m_user = ScriptedUser::install();
        m_host = std::make_unique<HostForm>();
        m_host->runLoad();
        // What the controls' own start-up wrote is no concern of the pages.
        for (ControlSite* site : {&m_host->first, &m_host->second, &m_host->foreOnly})
            site->call("ResetWrites");
    }
    void TearDown() override {
        EXPECT_EQ(m_user->pending(), 0u);
        m_host->Unload();
        m_host.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // Shows `frame` modally; `actions` run while it shows and must close it.
    void whileShown(PropertyFrame& frame, const std::function<void(PropertyFrame&)>& actions) {
        m_user->whileModal("frmPropertyPages", [&](Form&) { actions(frame); });
        frame.Show(vbModal);
    }

    static std::string writes(ControlSite& site) { return site.get("Writes").toString(); }
    static PropertyPage& page(PropertyFrame& frame, int index) { return *frame.pages().at(index); }
    static void openTab(PropertyFrame& frame, int index) {
        UserInput::clickButton(frame.tbrTabs, PropertyFrame::tabKey(index));
    }
    HostForm& host() { return *m_host; }

    std::shared_ptr<ScriptedUser> m_user;

private:
    std::filesystem::path m_dir;
    std::unique_ptr<HostForm> m_host;
};

TEST_F(PropertyPagesTest, PagesShowInTheControlsOrderAndTheTabsSwitchThem) {
    PropertyFrame frame({unowned(host().first)});
    const std::vector<std::string> captions = {"General", "Color", "Font"};
    ASSERT_EQ(frame.pages().size(), captions.size());
    EXPECT_TRUE(frame.missingPages().empty());
    for (size_t i = 0; i < captions.size(); ++i) {
        EXPECT_EQ(frame.pages()[i]->Caption(), captions[i]);
        ToolbarButton& tab = frame.tbrTabs.Buttons(static_cast<int>(i) + 1);
        EXPECT_EQ(tab.Caption, captions[i]);
        EXPECT_EQ(tab.Key, PropertyFrame::tabKey(static_cast<int>(i)));
    }
    auto shown = [&] {
        std::vector<bool> visible;
        for (const auto& p : frame.pages())
            visible.push_back(p->Visible());
        return visible;
    };
    whileShown(frame, [&](PropertyFrame& f) {
        EXPECT_EQ(f.currentPage(), 0);
        EXPECT_EQ(shown(), (std::vector<bool>{true, false, false}));
        EXPECT_FALSE(f.cmdApply.Enabled());
        openTab(f, kFontPage);
        EXPECT_EQ(f.currentPage(), kFontPage);
        EXPECT_EQ(shown(), (std::vector<bool>{false, false, true}));
        EXPECT_EQ(f.tbrTabs.Buttons(3).Value, tbrPressed);
        EXPECT_EQ(f.tbrTabs.Buttons(1).Value, tbrUnpressed);
        UserInput::click(f.cmdCancel);
    });
    EXPECT_FALSE(frame.Visible());
    for (const auto& p : frame.pages())
        EXPECT_FALSE(p->Loaded());

    // The control itself, rather than its site, lists the same pages.
    PropertyFrame direct({host().first.object()->shared_from_this()});
    EXPECT_EQ(direct.pages().size(), captions.size());
}

TEST_F(PropertyPagesTest, PagesLoadFromTheFirstSelectedControlOnlyAndLoadingIsNoChange) {
    ControlSite& first = host().first;
    first.let("Value", Variant(5));
    first.let("Enabled", Variant(false));
    first.let("BackColor", Variant(0xFF));
    first.object()->Font()->setName("Arial");
    first.object()->Font()->setSize(12);
    first.object()->Font()->setBold(true);
    host().second.let("Value", Variant(9));
    first.call("ResetWrites");
    host().second.call("ResetWrites");

    PropertyFrame frame({unowned(first), unowned(host().second)});
    whileShown(frame, [&](PropertyFrame& f) {
        PropertyPage& probe = page(f, kProbePage);
        EXPECT_EQ(editor<TextBox>(probe, "txtValue").Text(), "5");
        EXPECT_EQ(editor<CheckBox>(probe, "chkEnabled").Value(), vbUnchecked);
        auto& color = static_cast<StandardColorPage&>(page(f, kColorPage));
        EXPECT_EQ(color.txtBackColor.Text(), "&H000000FF&");
        EXPECT_EQ(color.txtForeColor.Text(), "&H80000012&");
        auto& font = static_cast<StandardFontPage&>(page(f, kFontPage));
        EXPECT_EQ(font.txtFontName.Text(), "Arial");
        EXPECT_EQ(font.txtFontSize.Text(), "12");
        EXPECT_EQ(font.chkBold.Value(), vbChecked);
        // Filling the editors raised their Change and Click; still nothing
        // for Apply to do.
        for (const auto& p : f.pages())
            EXPECT_FALSE(p->Changed()) << p->Caption();
        EXPECT_FALSE(f.cmdApply.Enabled());

        retype(editor<TextBox>(probe, "txtValue"), "12");
        UserInput::click(f.cmdOK);
    });
    EXPECT_EQ(first.get("Value").toLong(), 12);
    EXPECT_EQ(host().second.get("Value").toLong(), 9);
    EXPECT_EQ(writes(host().second), "");
}

struct EditorRow {
    std::string name;
    int page;
    std::function<void(PropertyPage&)> edit;
};
void PrintTo(const EditorRow& row, std::ostream* os) {
    *os << row.name;
}

class EditorTest : public PropertyPagesTest, public testing::WithParamInterface<EditorRow> {};

TEST_P(EditorTest, AnEditMarksItsPageChangedEnablesApplyAndWritesNothing) {
    const EditorRow& row = GetParam();
    PropertyFrame frame({unowned(host().first)});
    whileShown(frame, [&](PropertyFrame& f) {
        if (row.page != 0)
            openTab(f, row.page);
        row.edit(page(f, row.page));
        for (int i = 0; i < static_cast<int>(f.pages().size()); ++i)
            EXPECT_EQ(page(f, i).Changed(), i == row.page) << page(f, i).Caption();
        EXPECT_TRUE(f.cmdApply.Enabled());
        EXPECT_EQ(writes(host().first), "");
        UserInput::click(f.cmdCancel);
    });
    EXPECT_EQ(writes(host().first), "");
    EXPECT_EQ(host().first.object()->Font()->Name(), "MS Sans Serif");
    EXPECT_FALSE(frame.cmdApply.Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Editors, EditorTest,
    testing::Values(
        EditorRow{"LibraryTextBox", kProbePage,
                  [](PropertyPage& p) { retype(editor<TextBox>(p, "txtValue"), "6"); }},
        EditorRow{"LibraryCheckBox", kProbePage,
                  [](PropertyPage& p) { UserInput::click(editor<CheckBox>(p, "chkEnabled")); }},
        EditorRow{"BackColor", kColorPage,
                  [](PropertyPage& p) { retype(editor<TextBox>(p, "txtBackColor"), "&HFF00&"); }},
        EditorRow{"FontName", kFontPage,
                  [](PropertyPage& p) { retype(editor<TextBox>(p, "txtFontName"), "Courier"); }},
        EditorRow{"FontSize", kFontPage,
                  [](PropertyPage& p) { retype(editor<TextBox>(p, "txtFontSize"), "10"); }},
        EditorRow{"Bold", kFontPage,
                  [](PropertyPage& p) { UserInput::click(editor<CheckBox>(p, "chkBold")); }}),
    rt::test::RowName());

TEST_F(PropertyPagesTest, ApplyWritesOnlyTheChangedPagesAndClearsTheirFlags) {
    ControlSite& first = host().first;
    PropertyFrame frame({unowned(first)});
    whileShown(frame, [&](PropertyFrame& f) {
        openTab(f, kColorPage);
        retype(editor<TextBox>(page(f, kColorPage), "txtBackColor"), "&HFF00&");
        UserInput::click(f.cmdApply);
        EXPECT_EQ(writes(first), "BackColor=65280");
        EXPECT_FALSE(page(f, kColorPage).Changed());
        EXPECT_FALSE(f.cmdApply.Enabled());
        EXPECT_TRUE(f.Visible());

        openTab(f, kProbePage);
        retype(editor<TextBox>(page(f, kProbePage), "txtValue"), "7");
        openTab(f, kFontPage);
        UserInput::click(editor<CheckBox>(page(f, kFontPage), "chkBold"));
        UserInput::click(f.cmdApply);
        // The library page writes all its editors; the colour page is not
        // applied again.
        EXPECT_EQ(writes(first), "BackColor=65280 Value=7 Enabled=True");
        EXPECT_TRUE(first.object()->Font()->Bold());
        for (const auto& p : f.pages())
            EXPECT_FALSE(p->Changed()) << p->Caption();
        EXPECT_FALSE(f.cmdApply.Enabled());
        UserInput::click(f.cmdCancel);
    });
    EXPECT_EQ(writes(first), "BackColor=65280 Value=7 Enabled=True");
}

struct CloseRow {
    std::string name;
    bool edit;
    std::function<void(PropertyFrame&)> close;
    std::string writes;
};
void PrintTo(const CloseRow& row, std::ostream* os) {
    *os << row.name;
}

class CloseTest : public PropertyPagesTest, public testing::WithParamInterface<CloseRow> {};

TEST_P(CloseTest, OkAppliesThenClosesAndCancelOrTheCloseBoxDiscards) {
    const CloseRow& row = GetParam();
    PropertyFrame frame({unowned(host().first)});
    whileShown(frame, [&](PropertyFrame& f) {
        if (row.edit) {
            openTab(f, kColorPage);
            retype(editor<TextBox>(page(f, kColorPage), "txtForeColor"), "&H0000FF00&");
        }
        row.close(f);
    });
    EXPECT_FALSE(frame.Visible());
    EXPECT_FALSE(frame.Loaded());
    EXPECT_EQ(writes(host().first), row.writes);
    for (const auto& p : frame.pages()) {
        EXPECT_FALSE(p->Loaded()) << p->Caption();
        EXPECT_FALSE(p->Changed()) << p->Caption();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Closing, CloseTest,
    testing::Values(
        CloseRow{"Ok", true, [](PropertyFrame& f) { UserInput::click(f.cmdOK); },
                 "ForeColor=65280"},
        CloseRow{"OkUnchanged", false, [](PropertyFrame& f) { UserInput::click(f.cmdOK); }, ""},
        CloseRow{"Cancel", true, [](PropertyFrame& f) { UserInput::click(f.cmdCancel); }, ""},
        CloseRow{"CloseBox", true, [](PropertyFrame& f) { UserInput::closeForm(f); }, ""}),
    rt::test::RowName());

TEST_F(PropertyPagesTest, EachShowingLoadsThePagesAfresh) {
    ControlSite& first = host().first;
    PropertyFrame frame({unowned(first)});
    whileShown(frame, [&](PropertyFrame& f) {
        retype(editor<TextBox>(page(f, kProbePage), "txtValue"), "6");
        UserInput::click(f.cmdCancel);
    });
    first.let("Value", Variant(8));
    whileShown(frame, [&](PropertyFrame& f) {
        EXPECT_EQ(editor<TextBox>(page(f, kProbePage), "txtValue").Text(), "8");
        EXPECT_FALSE(page(f, kProbePage).Changed());
        EXPECT_FALSE(f.cmdApply.Enabled());
        UserInput::click(f.cmdCancel);
    });
}

TEST_F(PropertyPagesTest, APageThatCannotBeMadeIsLeftOutAndTheOthersShow) {
    PropertyFrame frame({unowned(host().broken)});
    ASSERT_EQ(frame.pages().size(), 2u);
    EXPECT_EQ(frame.pages()[0]->Caption(), "Font");
    EXPECT_EQ(frame.pages()[1]->Caption(), "General");
    EXPECT_EQ(frame.tbrTabs.ButtonCount(), 2);
    ASSERT_EQ(frame.missingPages().size(), 2u);
    EXPECT_EQ(frame.missingPages()[0].name, "QuiboTest.NoSuchPage");
    EXPECT_EQ(frame.missingPages()[0].error.number(), kCannotCreateObject);
    EXPECT_EQ(frame.missingPages()[1].name, "QuiboTest.NotAPage");
    EXPECT_EQ(frame.missingPages()[1].error.number(), kTypeMismatch);
    whileShown(frame, [&](PropertyFrame& f) {
        EXPECT_EQ(editor<TextBox>(page(f, 0), "txtFontName").Text(), "MS Sans Serif");
        openTab(f, 1);
        // The control has no Value: the library page passes over it.
        EXPECT_EQ(editor<TextBox>(page(f, 1), "txtValue").Text(), "");
        UserInput::click(f.cmdOK);
    });
}

TEST_F(PropertyPagesTest, TheFrameNeedsAControlFirstInTheSelection) {
    struct Row {
        const char* name;
        std::vector<DispatchPtr> selection;
        int32_t error;
    };
    const Row rows[] = {
        {"nothing selected", {}, kInvalidProcedureCall},
        {"no object", {DispatchPtr()}, kObjectVariableNotSet},
        {"not a control", {host().first.object()->Font()}, kTypeMismatch},
        {"control not created", {unowned(host().missing)}, kCannotCreateObject},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(errorOf([&] { PropertyFrame frame(row.selection); }), row.error);
    }
}

TEST_F(PropertyPagesTest, APageTakesInputOnlyWhileItShowsInsideTheFrame) {
    PropertyFrame frame({unowned(host().first)});
    auto& value = editor<TextBox>(page(frame, kProbePage), "txtValue");
    auto& backColor = editor<TextBox>(page(frame, kColorPage), "txtBackColor");
    EXPECT_THROW(UserInput::typeText(value, "1"), ScriptFailure);
    whileShown(frame, [&](PropertyFrame& f) {
        EXPECT_NO_THROW(retype(value, "1"));
        EXPECT_THROW(UserInput::typeText(backColor, "1"), ScriptFailure);
        EXPECT_THROW(UserInput::closeForm(page(f, kProbePage)), ScriptFailure);
        // The host form lies behind the modal frame.
        EXPECT_THROW(UserInput::click(host().first), ScriptFailure);
        UserInput::click(f.cmdCancel);
    });
}

// ---- The standard pages ----------------------------------------------------

TEST_F(PropertyPagesTest, TheStandardPagesSkipWhatTheControlLacks) {
    ControlSite& site = host().foreOnly;
    PropertyFrame frame({unowned(site)});
    ASSERT_EQ(frame.pages().size(), 2u);
    whileShown(frame, [&](PropertyFrame& f) {
        auto& color = static_cast<StandardColorPage&>(page(f, 0));
        EXPECT_FALSE(color.txtBackColor.Enabled());
        EXPECT_EQ(color.txtBackColor.Text(), "");
        EXPECT_TRUE(color.txtForeColor.Enabled());
        EXPECT_EQ(color.txtForeColor.Text(), "&H80000012&");
        auto& font = static_cast<StandardFontPage&>(page(f, 1));
        EXPECT_FALSE(font.txtFontName.Enabled());
        EXPECT_FALSE(font.txtFontSize.Enabled());
        EXPECT_FALSE(font.chkBold.Enabled());
        EXPECT_THROW(UserInput::typeText(color.txtBackColor, "1"), ScriptFailure);

        retype(color.txtForeColor, "255");
        UserInput::click(f.cmdOK);
    });
    EXPECT_EQ(writes(site), "ForeColor=255");
}

TEST_F(PropertyPagesTest, TheFontPageWritesTheControlsFontByName) {
    ControlSite& first = host().first;
    PropertyFrame frame({unowned(first)});
    whileShown(frame, [&](PropertyFrame& f) {
        openTab(f, kFontPage);
        auto& font = static_cast<StandardFontPage&>(page(f, kFontPage));
        EXPECT_EQ(font.txtFontSize.Text(), "8.25");
        retype(font.txtFontName, "Courier New");
        retype(font.txtFontSize, "10.5");
        UserInput::click(font.chkBold);
        UserInput::click(f.cmdOK);
    });
    const rt::Font& font = *first.object()->Font();
    EXPECT_EQ(font.Name(), "Courier New");
    EXPECT_FLOAT_EQ(font.Size(), 10.5f);
    EXPECT_TRUE(font.Bold());
}

TEST_F(PropertyPagesTest, ARefusedPageStaysOpenChangedAndUnwrittenAndLaterPagesWait) {
    ControlSite& first = host().first;
    PropertyFrame frame({unowned(first)});
    whileShown(frame, [&](PropertyFrame& f) {
        retype(editor<TextBox>(page(f, kProbePage), "txtValue"), "6");
        openTab(f, kColorPage);
        auto& color = static_cast<StandardColorPage&>(page(f, kColorPage));
        retype(color.txtForeColor, "&H0&");
        retype(color.txtBackColor, "blue");
        openTab(f, kFontPage);
        UserInput::click(editor<CheckBox>(page(f, kFontPage), "chkBold"));
        m_user->answerMsgBox(vbOK, "'blue'");
        UserInput::click(f.cmdOK);

        EXPECT_TRUE(f.Visible());
        EXPECT_EQ(f.currentPage(), kColorPage);
        EXPECT_EQ(writes(first), "Value=6 Enabled=True");
        EXPECT_FALSE(first.object()->Font()->Bold());
        EXPECT_FALSE(page(f, kProbePage).Changed());
        EXPECT_TRUE(page(f, kColorPage).Changed());
        EXPECT_TRUE(page(f, kFontPage).Changed());
        EXPECT_TRUE(f.cmdApply.Enabled());

        retype(color.txtBackColor, "&HFF&");
        UserInput::click(f.cmdOK);
    });
    ASSERT_EQ(m_user->messageBoxes().size(), 1u);
    EXPECT_EQ(m_user->messageBoxes()[0].title, "Property Pages");
    EXPECT_EQ(writes(first), "Value=6 Enabled=True BackColor=255 ForeColor=0");
    EXPECT_TRUE(first.object()->Font()->Bold());
}

struct BadInputRow {
    std::string name;
    int page;
    std::string editor;
    std::string text;
};
void PrintTo(const BadInputRow& row, std::ostream* os) {
    *os << row.name;
}

class BadInputTest : public PropertyPagesTest, public testing::WithParamInterface<BadInputRow> {};

TEST_P(BadInputTest, IsToldAndNothingOfThePageIsWritten) {
    const BadInputRow& row = GetParam();
    ControlSite& first = host().first;
    PropertyFrame frame({unowned(first)});
    whileShown(frame, [&](PropertyFrame& f) {
        openTab(f, row.page);
        PropertyPage& p = page(f, row.page);
        // A good edit on the same page waits for the bad one.
        if (row.page == kColorPage)
            retype(editor<TextBox>(p, "txtForeColor"), "0");
        else
            retype(editor<TextBox>(p, "txtFontName"), "Courier New");
        retype(editor<TextBox>(p, row.editor), row.text);
        m_user->answerMsgBox(vbOK, "'" + row.text + "'");
        UserInput::click(f.cmdApply);
        EXPECT_TRUE(p.Changed());
        UserInput::click(f.cmdCancel);
    });
    EXPECT_EQ(writes(first), "");
    EXPECT_EQ(first.object()->Font()->Name(), "MS Sans Serif");
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BadInputTest,
    testing::Values(BadInputRow{"ColourWord", kColorPage, "txtBackColor", "blue"},
                    BadInputRow{"ColourTooLong", kColorPage, "txtBackColor", "&H123456789&"},
                    BadInputRow{"ColourFraction", kColorPage, "txtBackColor", "1.5"},
                    BadInputRow{"ColourEmpty", kColorPage, "txtBackColor", ""},
                    BadInputRow{"SizeZero", kFontPage, "txtFontSize", "0"},
                    BadInputRow{"SizeNegative", kFontPage, "txtFontSize", "-3"},
                    BadInputRow{"SizeWord", kFontPage, "txtFontSize", "big"}),
    rt::test::RowName());

struct ColorRow {
    std::string name;
    std::string text;
    std::optional<int32_t> color;
};
void PrintTo(const ColorRow& row, std::ostream* os) {
    *os << row.name;
}

class ColorTextTest : public testing::TestWithParam<ColorRow> {};

TEST_P(ColorTextTest, ParsesColourValuesAndNothingElse) {
    const ColorRow& row = GetParam();
    EXPECT_EQ(StandardColorPage::parseColor(row.text), row.color);
    if (row.color) {
        EXPECT_EQ(StandardColorPage::parseColor(StandardColorPage::formatColor(*row.color)),
                  row.color);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ColorTextTest,
    testing::Values(
        ColorRow{"HexWithClosingAmpersand", "&HFF&", 0xFF}, ColorRow{"HexLowerCase", "&hff", 0xFF},
        // Four hex digits are no 16-bit number here: yellow, not -1.
        ColorRow{"FourHexDigits", "&HFFFF", 0xFFFF},
        ColorRow{"SystemColour", "&H8000000F&", static_cast<int32_t>(0x8000000F)},
        ColorRow{"Spaces", " &H10& ", 0x10}, ColorRow{"Decimal", "65280", 65280},
        ColorRow{"NegativeDecimal", "-1", -1},
        ColorRow{"NineHexDigits", "&H123456789", std::nullopt},
        ColorRow{"NoDigits", "&H&", std::nullopt}, ColorRow{"NotHex", "&HXYZ", std::nullopt},
        ColorRow{"Word", "blue", std::nullopt}, ColorRow{"Fraction", "1.5", std::nullopt},
        ColorRow{"BeyondLong", "3000000000", std::nullopt}, ColorRow{"Empty", "", std::nullopt}),
    rt::test::RowName());

} // namespace
