// What hosts and designers see of StretchContainer apart from a form: its
// type description, event interface and persisted properties.

#include "FormLocation/StretchContainer.h"

#include <gtest/gtest.h>

#include "FormLocation/Classes.h"
#include "tests/support/TestSupport.h"

namespace tlvFormControls {
namespace {

using namespace rt;

DispId id(uint32_t v) {
    return static_cast<DispId>(v);
}

const DesignMember kDesign[] = {
    {"BackColor", MemberKind::Property, -501,
     "Returns/sets the background color used to display text and graphics in an object.",
     "OLE_COLOR"},
    {"ForeColor", MemberKind::Property, -513,
     "Returns/sets the foreground color used to display text and graphics in an object.",
     "OLE_COLOR"},
    {"Enabled", MemberKind::Property, -514,
     "Returns/sets a value that determines whether an object can respond to user-generated "
     "events.",
     "Boolean"},
    {"Font", MemberKind::Property, -512, "Returns a Font object.", "Font"},
    {"BorderStyle", MemberKind::Property, -504, "Returns/sets the border style for an object.",
     "tlvBorderStyleConstants"},
    {"Refresh", MemberKind::Method, -550, "Forces a complete repaint of a object.", ""},
    {"Appearance", MemberKind::Property, -520,
     "Returns/sets whether or not an object is painted at run time with 3-D effects.",
     "tlvAppearanceConstants"},
    {"Cls", MemberKind::Method, id(0x6003000C),
     "Clears graphics and text generated at run time from a Form, Image, or PictureBox.", ""},
    {"Controls", MemberKind::ReadOnlyProperty, id(0x68030001),
     "A collection whose elements represent each control on a form, including elements of "
     "control arrays. ",
     "Object"},
    {"AdjustFont", MemberKind::Property, id(0x68030000),
     "Returns/sets whether the font of the contained controls is resized.", "Boolean"},
    {"ShowAbout", MemberKind::Method, -552, "Displays the About Box.", "Variant"},
};

TEST(StretchContainerType, InterfaceMatchesItsDesign) {
    ClassInfo info = StretchContainer::classInfo();
    EXPECT_EQ(info.name, "StretchContainer");
    EXPECT_EQ(info.defaultInterface.name, "_StretchContainer");
    EXPECT_EQ(compareWithDesign(info.defaultInterface, kDesign), std::vector<std::string>{});
    for (const MemberInfo& m : info.defaultInterface.members)
        EXPECT_FALSE(m.isDefault) << m.name;
}

TEST(StretchContainerType, EventInterfaceMatchesItsDesign) {
    const std::vector<std::string> key{"KeyCode As Integer", "Shift As Integer"};
    const std::vector<std::string> mouse{"Button As Integer", "Shift As Integer", "X As Single",
                                         "Y As Single"};
    struct Row {
        const char* name;
        DispId id;
        std::vector<std::string> arguments;
    };
    const Row design[] = {
        {"Click", -600, {}},        {"DblClick", -601, {}},
        {"KeyDown", -602, key},     {"KeyPress", -603, {"KeyAscii As Integer"}},
        {"KeyUp", -604, key},       {"MouseDown", -605, mouse},
        {"MouseMove", -606, mouse}, {"MouseUp", -607, mouse},
        {"Paint", 1, {}},           {"Resize", 2, {}},
    };
    EventInterfaceInfo events = StretchContainer::classInfo().defaultEvents;
    EXPECT_EQ(events.name, "__StretchContainer");
    ASSERT_EQ(events.events.size(), std::size(design));
    for (size_t slot = 0; slot < std::size(design); ++slot) {
        SCOPED_TRACE(design[slot].name);
        EXPECT_EQ(events.events[slot].name, design[slot].name);
        EXPECT_EQ(events.events[slot].id, design[slot].id);
        EXPECT_EQ(events.events[slot].arguments, design[slot].arguments);
        EXPECT_FALSE(events.events[slot].isDefault);
    }
}

TEST(StretchContainerType, LateBoundNamesReachTheDesignedIdentifiers) {
    DispatchPtr container = newStretchContainer();
    for (const DesignMember& member : kDesign)
        EXPECT_EQ(container->GetIDOfName(member.name), member.id) << member.name;
    auto object = std::dynamic_pointer_cast<StretchContainer>(container);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->PropertyPages(),
              (std::vector<std::string>{"tlvFormControls.ppStretchContainer", "StandardColor",
                                        "StandardFont"}));
}

// ---- persisted properties ---------------------------------------------------

struct BagRow {
    std::string name;
    std::function<void(StretchContainer&)> change; // through the members
    std::string stored;                            // the one line written
    std::function<bool(const StretchContainer&)> readBack;
};

void PrintTo(const BagRow& row, std::ostream* os) {
    *os << row.name;
}

class StretchContainerBag : public testing::TestWithParam<BagRow> {};

// Each property alone differs from its default: exactly its name is written,
// and a new instance reads it back.
TEST_P(StretchContainerBag, AChangedPropertyIsTheOnlyOneWrittenAndReadsBack) {
    const BagRow& row = GetParam();
    StretchContainer written;
    written.UserControl_InitProperties();
    row.change(written);
    PropertyBag bag;
    written.UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.toText(), row.stored + "\n");

    StretchContainer read;
    read.UserControl_ReadProperties(PropertyBag::fromText(bag.toText()));
    EXPECT_TRUE(row.readBack(read));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StretchContainerBag,
    testing::Values(
        BagRow{"BackColor", [](StretchContainer& c) { c.setBackColor(0x00FF00); },
               "BackColor = 65280",
               [](const StretchContainer& c) { return c.BackColor() == 0x00FF00; }},
        BagRow{"ForeColor", [](StretchContainer& c) { c.setForeColor(255); }, "ForeColor = 255",
               [](const StretchContainer& c) { return c.ForeColor() == 255; }},
        BagRow{"Enabled", [](StretchContainer& c) { c.setEnabled(false); }, "Enabled = 0   'False",
               [](const StretchContainer& c) { return !c.Enabled(); }},
        BagRow{"Font",
               [](StretchContainer& c) {
                   auto font = std::make_shared<Font>();
                   font->setName("Courier, New");
                   font->setSize(12.5f);
                   font->setBold(true);
                   c.setFont(font);
               },
               "Font = \"Courier, New,12.5,True\"",
               [](const StretchContainer& c) {
                   return c.Font()->Name() == "Courier, New" && c.Font()->Size() == 12.5f &&
                          c.Font()->Bold();
               }},
        BagRow{"BorderStyle", [](StretchContainer& c) { c.setBorderStyle(tlvFixedSingle); },
               "BorderStyle = 1", [](const StretchContainer& c) { return c.BorderStyle() == 1; }},
        BagRow{"Appearance", [](StretchContainer& c) { c.setAppearance(tlvFlat); },
               "Appearance = 0", [](const StretchContainer& c) { return c.Appearance() == 0; }},
        BagRow{"AdjustFont", [](StretchContainer& c) { c.setAdjustFont(false); },
               "AdjustFont = 0   'False",
               [](const StretchContainer& c) { return !c.AdjustFont(); }}),
    rt::test::RowName());

TEST(StretchContainerType, AnEmptyBagGivesEveryDefault) {
    StretchContainer c;
    // Away from the defaults first, so that reading has to set each one.
    c.setBackColor(1);
    c.setForeColor(2);
    c.setEnabled(false);
    c.setBorderStyle(1);
    c.setAppearance(0);
    c.setAdjustFont(false);
    c.Font()->setSize(20);
    c.UserControl_ReadProperties(PropertyBag());
    EXPECT_EQ(c.BackColor(), vbButtonFace);
    EXPECT_EQ(c.ForeColor(), vbButtonText);
    EXPECT_TRUE(c.Enabled());
    EXPECT_EQ(c.BorderStyle(), 0);
    EXPECT_EQ(c.Appearance(), 1);
    EXPECT_TRUE(c.AdjustFont());
    // The ambient font of a control on no form.
    EXPECT_EQ(c.Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(c.Font()->Size(), 8.25f);
    PropertyBag bag;
    c.UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.names(), std::vector<std::string>{});
}

// A stored value that the surface refuses or that cannot be read is passed
// over; the names after it are still read.
TEST(StretchContainerType, UnreadableStoredValuesAreSkipped) {
    const char* const lines[] = {
        "BorderStyle = 7",          "BorderStyle = 70000",     "Appearance = 2",
        "Font = \"no size\"",       "Font = \"Arial,x,True\"", "Font = \"Arial,0,True\"",
        "Font = \"Arial,9,maybe\"", "BackColor = \"red\"",     "Enabled = \"perhaps\"",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        StretchContainer c;
        c.UserControl_ReadProperties(PropertyBag::fromText(std::string(line) + "\nAdjustFont = 0"));
        EXPECT_EQ(c.BorderStyle(), 0);
        EXPECT_EQ(c.Appearance(), 1);
        EXPECT_EQ(c.BackColor(), vbButtonFace);
        EXPECT_TRUE(c.Enabled());
        EXPECT_EQ(c.Font()->Size(), 8.25f);
        EXPECT_FALSE(c.AdjustFont());
    }
}

} // namespace
} // namespace tlvFormControls
