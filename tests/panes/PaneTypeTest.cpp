// What hosts and designers see of PaneArea, PaneContainer and PaneInfo apart
// from a form: type descriptions, event interfaces, persisted properties and
// the checks of the validated properties.

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FormLocation/Classes.h"
#include "FormLocation/PaneArea.h"
#include "FormLocation/PaneContainer.h"
#include "FormLocation/PaneInfo.h"
#include "tests/support/TestSupport.h"

namespace tlvFormControls {
namespace {

using namespace rt;
using rt::test::errorOf;

DispId id(uint32_t v) {
    return static_cast<DispId>(v);
}

const DesignMember kPaneAreaDesign[] = {
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
    {"Appearance", MemberKind::Property, -520,
     "Returns/sets whether or not an object is painted at run time with 3-D effects.",
     "tlvAppearanceConstants"},
    {"BorderStyle", MemberKind::Property, -504, "Returns/sets the border style for an object.",
     "tlvBorderStyleConstants"},
    {"Refresh", MemberKind::Method, -550, "Forces a complete repaint of a object.", ""},
    {"Cls", MemberKind::Method, id(0x6003000D),
     "Clears graphics and text generated at run time from a Form, Image, or PictureBox.", ""},
    {"MinSize", MemberKind::Property, id(0x68030003), "Returns/sets the minimum size of the pane.",
     "Single"},
    {"PaneIndex", MemberKind::Property, id(0x68030002),
     "Returns/sets the index of the pane.   The pane index is used to determine the order that "
     "the panes are displayed at run-time.",
     "Integer"},
    {"ScaleWidth", MemberKind::ReadOnlyProperty, id(0x68030001),
     "Returns/sets the ScaleWidth of the control.", "Single"},
    {"ScaleHeight", MemberKind::ReadOnlyProperty, id(0x68030000),
     "Returns/sets the ScaleHeight of the control.", "Single"},
    {"ShowAbout", MemberKind::Method, -552, "Displays the About Box.", "Variant"},
};

const DesignMember kPaneContainerDesign[] = {
    {"ArrangePanes", MemberKind::Method, id(0x6003000A), "", "Variant"},
    {"BackColor", MemberKind::Property, id(0x68030008), "", "OLE_COLOR"},
    {"ForeColor", MemberKind::Property, id(0x68030007), "", "OLE_COLOR"},
    {"SplitterColor", MemberKind::Property, id(0x68030006), "", "OLE_COLOR"},
    {"Enabled", MemberKind::Property, -514, "", "Boolean"},
    {"Appearance", MemberKind::Property, id(0x68030005), "", "tlvAppearanceConstants"},
    {"BorderStyle", MemberKind::Property, id(0x68030004), "", "tlvBorderStyleConstants"},
    {"Refresh", MemberKind::Method, -550, "", ""},
    {"Cls", MemberKind::Method, id(0x60030010), "", ""},
    {"Orientation", MemberKind::Property, id(0x68030003), "", "tlvOrientationConstants"},
    {"Spacing", MemberKind::Property, id(0x68030002), "", "Integer"},
    {"ScaleWidth", MemberKind::ReadOnlyProperty, id(0x68030001), "", "Single"},
    {"ScaleHeight", MemberKind::ReadOnlyProperty, id(0x68030000), "", "Single"},
    {"ShowAbout", MemberKind::Method, -552, "", "Variant"},
};

const DesignMember kPaneInfoDesign[] = {
    {"PaneCtl", MemberKind::Property, id(0x40030000), "", "Object"},
    {"PaneIndex", MemberKind::Property, id(0x40030001), "", "Integer"},
    {"Size", MemberKind::Property, id(0x40030002), "", "Single"},
    {"MinSize", MemberKind::Property, id(0x40030003), "", "Single"},
};

TEST(PaneTypes, InterfacesMatchTheirDesign) {
    ClassInfo area = PaneArea::classInfo();
    EXPECT_EQ(area.name, "PaneArea");
    EXPECT_EQ(area.defaultInterface.name, "_PaneArea");
    EXPECT_EQ(compareWithDesign(area.defaultInterface, kPaneAreaDesign),
              std::vector<std::string>{});

    ClassInfo container = PaneContainer::classInfo();
    EXPECT_EQ(container.name, "PaneContainer");
    EXPECT_EQ(container.defaultInterface.name, "_PaneContainer");
    EXPECT_EQ(compareWithDesign(container.defaultInterface, kPaneContainerDesign),
              std::vector<std::string>{});

    InterfaceInfo info = PaneInfo::interfaceInfo();
    EXPECT_EQ(info.name, "_PaneInfo");
    EXPECT_EQ(compareWithDesign(info, kPaneInfoDesign), std::vector<std::string>{});
}

TEST(PaneTypes, EventInterfacesMatchTheirDesign) {
    const std::vector<std::string> key{"KeyCode As Integer", "Shift As Integer"};
    const std::vector<std::string> mouse{"Button As Integer", "Shift As Integer", "X As Single",
                                         "Y As Single"};
    const EventInfo area[] = {
        {"Click", -600, {}, false},        {"DblClick", -601, {}, false},
        {"KeyDown", -602, key, false},     {"KeyPress", -603, {"KeyAscii As Integer"}, false},
        {"KeyUp", -604, key, false},       {"MouseDown", -605, mouse, false},
        {"MouseMove", -606, mouse, false}, {"MouseUp", -607, mouse, false},
        {"Resize", 1, {}, true},
    };
    const EventInfo container[] = {{"Paint", 1, {}, false}, {"PaneResize", 2, {}, false}};
    struct Row {
        EventInterfaceInfo actual;
        std::string name;
        std::span<const EventInfo> design;
    };
    const Row rows[] = {
        {PaneArea::classInfo().defaultEvents, "__PaneArea", area},
        {PaneContainer::classInfo().defaultEvents, "__PaneContainer", container},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.actual.name, row.name);
        ASSERT_EQ(row.actual.events.size(), row.design.size());
        for (size_t slot = 0; slot < row.design.size(); ++slot) {
            SCOPED_TRACE(row.design[slot].name);
            EXPECT_EQ(row.actual.events[slot].name, row.design[slot].name);
            EXPECT_EQ(row.actual.events[slot].id, row.design[slot].id);
            EXPECT_EQ(row.actual.events[slot].arguments, row.design[slot].arguments);
            EXPECT_EQ(row.actual.events[slot].isDefault, row.design[slot].isDefault);
        }
    }
}

TEST(PaneTypes, ControlsListTheirPropertyPages) {
    EXPECT_EQ(
        PaneArea().PropertyPages(),
        (std::vector<std::string>{"tlvFormControls.ppPaneArea", "StandardColor", "StandardFont"}));
    EXPECT_EQ(PaneContainer().PropertyPages(),
              (std::vector<std::string>{"tlvFormControls.ppPaneContainer", "StandardColor"}));
}

// ---- validated properties ------------------------------------------------------

struct RefusalRow {
    std::string name;
    std::function<DispatchPtr()> make;
    const char* property;
    Variant accepted; // set first, and kept by the refusal
    Variant refused;
    int number;
    std::string description; // empty: a conversion error
};

void PrintTo(const RefusalRow& row, std::ostream* os) {
    *os << row.name;
}

class Refusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(Refusal, KeepsTheOldValueAndSaysWhy) {
    const RefusalRow& row = GetParam();
    DispatchPtr object = row.make();
    object->let(row.property, row.accepted);
    EXPECT_EQ(object->get(row.property).toDouble(), row.accepted.toDouble());
    try {
        object->let(row.property, row.refused);
        FAIL() << "accepted";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), row.number);
        if (!row.description.empty()) {
            EXPECT_EQ(e.source(), "Form Controls");
            EXPECT_EQ(e.description(), row.description);
        }
    }
    EXPECT_EQ(object->get(row.property).toDouble(), row.accepted.toDouble());
}

const char kMinSizeText[] = "Miminum size must be a positive value";
const char kPaneIndexText[] = "Pane Index must be a positive integer";
const char kSpacingText[] = "Spacing must be an integer greater or equal to 10";

INSTANTIATE_TEST_SUITE_P(
    Rows, Refusal,
    testing::Values(RefusalRow{"MinSizeNegative", newPaneArea, "MinSize", Variant(0.0f),
                               Variant(-0.5f), 10001, kMinSizeText},
                    RefusalRow{"MinSizeNoNumber", newPaneArea, "MinSize", Variant(12.5f),
                               Variant("abc"), 10001, kMinSizeText},
                    RefusalRow{"PaneIndexNegative", newPaneArea, "PaneIndex", Variant(int16_t{0}),
                               Variant(int16_t{-1}), 10002, kPaneIndexText},
                    RefusalRow{"PaneIndexOverflow", newPaneArea, "PaneIndex", Variant(int16_t{4}),
                               Variant(40000), kOverflow, ""},
                    RefusalRow{"SpacingBelowTen", newPaneContainer, "Spacing", Variant(int16_t{10}),
                               Variant(int16_t{9}), 10003, kSpacingText},
                    RefusalRow{"SpacingOverflow", newPaneContainer, "Spacing", Variant(int16_t{10}),
                               Variant(-40000), kOverflow, ""}),
    rt::test::RowName());

TEST(PaneTypes, OrientationTakesAnyValue) {
    DispatchPtr container = newPaneContainer();
    for (int32_t v : {1, 2, -7, 0}) {
        container->let("Orientation", Variant(v));
        EXPECT_EQ(container->get("Orientation").toLong(), v);
    }
}

// The bar shows at the press along the axis, in front and in the splitter's
// colour, even with no pane to either side, and hides at the release.
TEST(PaneTypes, TheBarShowsFromPressToReleaseWithOrWithoutNeighbours) {
    for (int32_t orientation : {0, 1}) {
        SCOPED_TRACE(orientation);
        PaneContainer container;
        container.setOrientation(orientation);
        container.setSplitterColor(0xFF);
        EXPECT_FALSE(container.picSizer().Visible);
        container.UserControl_MouseDown(vbLeftButton, 0, 500, 20);
        const PaneContainer::SizerBar& bar = container.picSizer();
        EXPECT_TRUE(bar.Visible);
        EXPECT_TRUE(bar.InFront);
        EXPECT_EQ(bar.BackColor, 0xFF);
        EXPECT_EQ(orientation == 0 ? bar.Left : bar.Top, orientation == 0 ? 500 : 20);
        EXPECT_EQ(orientation == 0 ? bar.Width : bar.Height, 90);
        container.UserControl_MouseMove(vbLeftButton, 0, 700, 40);
        EXPECT_EQ(orientation == 0 ? bar.Left : bar.Top, orientation == 0 ? 700 : 40);
        container.UserControl_MouseUp(vbLeftButton, 0, 700, 40);
        EXPECT_FALSE(bar.Visible);
        // Once released, moves no longer carry the bar.
        container.UserControl_MouseMove(vbLeftButton, 0, 900, 90);
        EXPECT_EQ(orientation == 0 ? bar.Left : bar.Top, orientation == 0 ? 700 : 40);
    }
}

// ---- persisted properties ---------------------------------------------------------

struct BagRow {
    std::string name;
    std::function<DispatchPtr()> make;
    std::function<void(Dispatch&)> change;
    std::string stored; // the one line written
    const char* property;
    Variant readBack;
};

void PrintTo(const BagRow& row, std::ostream* os) {
    *os << row.name;
}

class PaneBag : public testing::TestWithParam<BagRow> {};

TEST_P(PaneBag, AChangedPropertyIsTheOnlyOneWrittenAndReadsBack) {
    const BagRow& row = GetParam();
    DispatchPtr written = row.make();
    auto& control = dynamic_cast<UserControl&>(*written);
    control.UserControl_ReadProperties(PropertyBag());
    row.change(*written);
    PropertyBag bag;
    control.UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.toText(), row.stored + "\n");

    DispatchPtr read = row.make();
    dynamic_cast<UserControl&>(*read).UserControl_ReadProperties(
        PropertyBag::fromText(bag.toText()));
    EXPECT_EQ(read->get(row.property), row.readBack);
}

template <class V> std::function<void(Dispatch&)> set(const char* property, V value) {
    return [=](Dispatch& d) { d.let(property, Variant(value)); };
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PaneBag,
    testing::Values(BagRow{"AreaAppearance", newPaneArea, set("Appearance", 0), "Appearance = 0",
                           "Appearance", Variant(int32_t{0})},
                    BagRow{"AreaBackColor", newPaneArea, set("BackColor", 255), "BackColor = 255",
                           "BackColor", Variant(int32_t{255})},
                    BagRow{"AreaEnabled", newPaneArea, set("Enabled", false),
                           "Enabled = 0   'False", "Enabled", Variant(false)},
                    BagRow{"AreaBorderStyle", newPaneArea, set("BorderStyle", 0), "BorderStyle = 0",
                           "BorderStyle", Variant(int32_t{0})},
                    BagRow{"AreaMinSize", newPaneArea, set("MinSize", 12.5f), "MinSize = 12.5",
                           "MinSize", Variant(12.5f)},
                    BagRow{"AreaPaneIndex", newPaneArea, set("PaneIndex", int16_t{0}),
                           "PaneIndex = 0", "PaneIndex", Variant(int16_t{0})},
                    BagRow{"ContainerAppearance", newPaneContainer, set("Appearance", 1),
                           "Appearance = 1", "Appearance", Variant(int32_t{1})},
                    BagRow{"ContainerBorderStyle", newPaneContainer, set("BorderStyle", 1),
                           "BorderStyle = 1", "BorderStyle", Variant(int32_t{1})},
                    BagRow{"ContainerOrientation", newPaneContainer, set("Orientation", 1),
                           "Orientation = 1", "Orientation", Variant(int32_t{1})},
                    BagRow{"ContainerSplitterColor", newPaneContainer, set("SplitterColor", 8),
                           "SplitterColor = 8", "SplitterColor", Variant(int32_t{8})},
                    BagRow{"ContainerSpacing", newPaneContainer, set("Spacing", int16_t{90}),
                           "Spacing = 90", "Spacing", Variant(int16_t{90})}),
    rt::test::RowName());

// Another writer's values are taken as stored, without the properties' checks.
TEST(PaneTypes, StoredValuesSkipThePropertiesChecks) {
    DispatchPtr area = newPaneArea();
    dynamic_cast<UserControl&>(*area).UserControl_ReadProperties(
        PropertyBag::fromText("MinSize = -50\nPaneIndex = -3\n"));
    EXPECT_EQ(area->get("MinSize").toSingle(), -50.0f);
    EXPECT_EQ(area->get("PaneIndex").toInteger(), -3);

    DispatchPtr container = newPaneContainer();
    dynamic_cast<UserControl&>(*container)
        .UserControl_ReadProperties(PropertyBag::fromText("Spacing = 5\n"));
    EXPECT_EQ(container->get("Spacing").toInteger(), 5);
}

// A pane reading no bag has its defaults; the container keeps going past a
// stored value it cannot read.
TEST(PaneTypes, EmptyAndUnreadableBags) {
    DispatchPtr area = newPaneArea();
    area->let("MinSize", Variant(1.0f));
    area->let("PaneIndex", Variant(int16_t{9}));
    dynamic_cast<UserControl&>(*area).UserControl_ReadProperties(PropertyBag());
    EXPECT_EQ(area->get("MinSize").toSingle(), 100.0f);
    EXPECT_EQ(area->get("PaneIndex").toInteger(), 1);
    EXPECT_EQ(area->get("BorderStyle").toLong(), 1);

    DispatchPtr container = newPaneContainer();
    dynamic_cast<UserControl&>(*container)
        .UserControl_ReadProperties(
            PropertyBag::fromText("Appearance = 7\nOrientation = \"x\"\nSpacing = 70\n"));
    EXPECT_EQ(container->get("Appearance").toLong(), 0);
    EXPECT_EQ(container->get("Orientation").toLong(), 0);
    EXPECT_EQ(container->get("Spacing").toInteger(), 70);
    PropertyBag bag;
    dynamic_cast<UserControl&>(*container).UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.toText(), "Spacing = 70\n");
}

// A pane's failures reach its caller: a stored value that cannot be read
// ends the reading there.
TEST(PaneTypes, AnUnreadablePaneValueReachesTheCaller) {
    DispatchPtr area = newPaneArea();
    EXPECT_EQ(errorOf([&] {
                  dynamic_cast<UserControl&>(*area).UserControl_ReadProperties(
                      PropertyBag::fromText("BorderStyle = 5\nMinSize = 7\n"));
              }),
              kInvalidPropertyValue);
    EXPECT_EQ(area->get("MinSize").toSingle(), 100.0f);
}

} // namespace
} // namespace tlvFormControls
