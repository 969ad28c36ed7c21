#include "FormLocation/PaneArea.h"

#include <array>
#include <cmath>
#include <utility>

#include "FormLocation/Classes.h"
#include "FormLocation/FontText.h"
#include "FormLocation/StretchContainer.h"
#include "FormLocation/Utils.h"
#include "FormLocation/frmAbout.h"

namespace tlvFormControls {

namespace {

// Event dispatch identifiers of __PaneArea.
constexpr rt::DispId kClick = -600;
constexpr rt::DispId kDblClick = -601;
constexpr rt::DispId kKeyDown = -602;
constexpr rt::DispId kKeyPress = -603;
constexpr rt::DispId kKeyUp = -604;
constexpr rt::DispId kMouseDown = -605;
constexpr rt::DispId kMouseMove = -606;
constexpr rt::DispId kMouseUp = -607;
constexpr rt::DispId kResize = 1;

constexpr int16_t kDefaultPaneIndex = 1;
constexpr float kDefaultMinSize = 100;

} // namespace

PaneArea* asPaneArea(rt::Control* control) {
    auto* site = dynamic_cast<rt::ControlSite*>(control);
    return site ? dynamic_cast<PaneArea*>(site->object()) : nullptr;
}

PaneArea::PaneArea() {
    // The designer's setting of the surface.
    UserControl::setBorderStyle(tlvFixedSingle);
    setDesignSize(4800, 3600);
}

void PaneArea::setBackColor(int32_t New_BackColor) {
    UserControl::setBackColor(New_BackColor);
    PropertyChanged("BackColor");
}

void PaneArea::setForeColor(int32_t New_ForeColor) {
    UserControl::setForeColor(New_ForeColor);
    PropertyChanged("ForeColor");
}

void PaneArea::setEnabled(bool New_Enabled) {
    UserControl::setEnabled(New_Enabled);
    PropertyChanged("Enabled");
}

void PaneArea::setFont(std::shared_ptr<rt::Font> New_Font) {
    UserControl::setFont(std::move(New_Font));
    PropertyChanged("Font");
}

void PaneArea::setAppearance(int32_t New_Appearance) {
    UserControl::setAppearance(rt::Variant(New_Appearance).toInteger());
    PropertyChanged("Appearance");
}

void PaneArea::setBorderStyle(int32_t New_BorderStyle) {
    UserControl::setBorderStyle(rt::Variant(New_BorderStyle).toInteger());
    PropertyChanged("BorderStyle");
}

void PaneArea::Refresh() {
    UserControl::Refresh();
}

void PaneArea::Cls() {
    UserControl::Cls();
}

void PaneArea::setMinSize(const rt::Variant& New_MinSize) {
    float value = rt::IsNumeric(New_MinSize) ? New_MinSize.toSingle() : NAN;
    // Written so that NaN fails the test too.
    if (!(value >= 0))
        rt::raiseError(10001, "Form Controls", "Miminum size must be a positive value");
    m_MinSize = value;
    PropertyChanged("MinSize");
}

void PaneArea::setPaneIndex(int16_t New_PaneIndex) {
    if (New_PaneIndex < 0)
        rt::raiseError(10002, "Form Controls", "Pane Index must be a positive integer");
    m_PaneIndex = New_PaneIndex;
    PropertyChanged("PaneIndex");
}

rt::Variant PaneArea::ShowAbout() {
    tlvFormControls::ShowAbout();
    return {};
}

std::vector<std::string> PaneArea::PropertyPages() const {
    return {"tlvFormControls.ppPaneArea", "StandardColor", "StandardFont"};
}

void PaneArea::UserControl_Initialize() {
    m_FirstPaintDone = false;
}

// A new pane is numbered after every pane of its host, whichever container
// holds them.
void PaneArea::UserControl_InitProperties() {
    rt::AmbientProperties ambient = Ambient();
    UserControl::setFont(ambient.Font);
    UserControl::setBackColor(ambient.BackColor);
    UserControl::setForeColor(ambient.ForeColor);
    m_MinSize = kDefaultMinSize;
    int16_t best = 0;
    const std::vector<rt::Control*>& controls = ParentControls();
    const size_t n = controls.size();
    for (size_t i = 0; i < n; ++i) {
        if (asPaneArea(controls[i]))
            best =
                rt::Variant(Utils::Max(best, controls[i]->get("PaneIndex").toLong())).toInteger();
    }
    m_PaneIndex = rt::Variant(int32_t{best} + 1).toInteger();
}

void PaneArea::UserControl_ReadProperties(const rt::PropertyBag& PropBag) {
    UserControl::setAppearance(PropBag.ReadProperty("Appearance", int16_t{tlv3D}).toInteger());
    UserControl::setBackColor(PropBag.ReadProperty("BackColor", rt::vbButtonFace).toLong());
    UserControl::setForeColor(PropBag.ReadProperty("ForeColor", rt::vbButtonText).toLong());
    UserControl::setEnabled(PropBag.ReadProperty("Enabled", true).toBool());
    UserControl::setFont(
        fontFromText(PropBag.ReadProperty("Font", fontText(*Ambient().Font)).toString()));
    UserControl::setBorderStyle(
        PropBag.ReadProperty("BorderStyle", int16_t{tlvFixedSingle}).toInteger());
    m_MinSize = PropBag.ReadProperty("MinSize", kDefaultMinSize).toSingle();
    m_PaneIndex = PropBag.ReadProperty("PaneIndex", kDefaultPaneIndex).toInteger();
}

void PaneArea::UserControl_WriteProperties(rt::PropertyBag& PropBag) {
    PropBag.WriteProperty("Appearance", UserControl::Appearance(), int16_t{tlv3D});
    PropBag.WriteProperty("BackColor", BackColor(), rt::vbButtonFace);
    PropBag.WriteProperty("ForeColor", ForeColor(), rt::vbButtonText);
    PropBag.WriteProperty("Enabled", Enabled(), true);
    PropBag.WriteProperty("Font", fontText(*Font()), fontText(*Ambient().Font));
    PropBag.WriteProperty("BorderStyle", UserControl::BorderStyle(), int16_t{tlvFixedSingle});
    PropBag.WriteProperty("MinSize", m_MinSize, kDefaultMinSize);
    PropBag.WriteProperty("PaneIndex", m_PaneIndex, kDefaultPaneIndex);
}

// The host lays out a pane's contents on Resize; the first paint at run time
// stands for the resize a pane that never changes size would not get.
void PaneArea::UserControl_Paint() {
    bool userMode = Ambient().UserMode;
    if (!m_FirstPaintDone && userMode) {
        fireEvent(kResize, {});
        m_FirstPaintDone = true;
    }
}

void PaneArea::UserControl_Resize() {
    fireEvent(kResize, {});
}

void PaneArea::UserControl_Click() {
    fireEvent(kClick, {});
}

void PaneArea::UserControl_DblClick() {
    fireEvent(kDblClick, {});
}

// The key events hand the host's changes back to the surface.
void PaneArea::UserControl_KeyDown(int& KeyCode, int Shift) {
    std::array<rt::Variant, 2> args{rt::Variant(static_cast<int16_t>(KeyCode)),
                                    rt::Variant(static_cast<int16_t>(Shift))};
    fireEventByRef(kKeyDown, args);
    KeyCode = args[0].toInteger();
}

void PaneArea::UserControl_KeyPress(int& KeyAscii) {
    std::array<rt::Variant, 1> args{rt::Variant(static_cast<int16_t>(KeyAscii))};
    fireEventByRef(kKeyPress, args);
    KeyAscii = args[0].toInteger();
}

void PaneArea::UserControl_KeyUp(int& KeyCode, int Shift) {
    std::array<rt::Variant, 2> args{rt::Variant(static_cast<int16_t>(KeyCode)),
                                    rt::Variant(static_cast<int16_t>(Shift))};
    fireEventByRef(kKeyUp, args);
    KeyCode = args[0].toInteger();
}

void PaneArea::fireMouse(rt::DispId event, int Button, int Shift, float X, float Y) {
    std::array<rt::Variant, 4> args{rt::Variant(static_cast<int16_t>(Button)),
                                    rt::Variant(static_cast<int16_t>(Shift)), rt::Variant(X),
                                    rt::Variant(Y)};
    fireEventByRef(event, args);
}

void PaneArea::UserControl_MouseDown(int Button, int Shift, float X, float Y) {
    fireMouse(kMouseDown, Button, Shift, X, Y);
}

void PaneArea::UserControl_MouseMove(int Button, int Shift, float X, float Y) {
    fireMouse(kMouseMove, Button, Shift, X, Y);
}

void PaneArea::UserControl_MouseUp(int Button, int Shift, float X, float Y) {
    fireMouse(kMouseUp, Button, Shift, X, Y);
}

// ---- type description -----------------------------------------------------

const rt::MemberTable& PaneArea::memberTable() {
    using PA = PaneArea;
    auto method = [](std::string name, rt::DispId id, std::string help, auto body) {
        return rt::Member{std::move(name),
                          id,
                          rt::MemberKind::Method,
                          std::move(help),
                          [body](rt::Dispatch& self, std::span<const rt::Variant>) {
                              return body(static_cast<PA&>(self));
                          },
                          nullptr};
    };
    auto toLong = &rt::Variant::toLong;
    auto id = [](uint32_t v) { return static_cast<rt::DispId>(v); };
    static const rt::MemberTable table({
        rt::property<PA>(
            "BackColor", -501, &PA::BackColor, &PA::setBackColor, toLong,
            "Returns/sets the background color used to display text and graphics in an object."),
        rt::property<PA>(
            "ForeColor", -513, &PA::ForeColor, &PA::setForeColor, toLong,
            "Returns/sets the foreground color used to display text and graphics in an object."),
        rt::property<PA>("Enabled", -514, &PA::Enabled, &PA::setEnabled, &rt::Variant::toBool,
                         "Returns/sets a value that determines whether an object can respond "
                         "to user-generated events."),
        rt::Member{"Font", -512, rt::MemberKind::Property, "Returns a Font object.",
                   [](rt::Dispatch& self, std::span<const rt::Variant>) {
                       return rt::Variant(rt::DispatchPtr(static_cast<PA&>(self).Font()));
                   },
                   [](rt::Dispatch& self, std::span<const rt::Variant> args) {
                       static_cast<PA&>(self).setFont(fontArgument(args.back()));
                   }},
        rt::property<PA>(
            "Appearance", -520, &PA::Appearance, &PA::setAppearance, toLong,
            "Returns/sets whether or not an object is painted at run time with 3-D effects."),
        rt::property<PA>("BorderStyle", -504, &PA::BorderStyle, &PA::setBorderStyle, toLong,
                         "Returns/sets the border style for an object."),
        method("Refresh", -550, "Forces a complete repaint of a object.",
               [](PA& self) {
                   self.Refresh();
                   return rt::Variant();
               }),
        method("Cls", id(0x6003000D),
               "Clears graphics and text generated at run time from a Form, Image, or PictureBox.",
               [](PA& self) {
                   self.Cls();
                   return rt::Variant();
               }),
        rt::Member{"MinSize", id(0x68030003), rt::MemberKind::Property,
                   "Returns/sets the minimum size of the pane.",
                   [](rt::Dispatch& self, std::span<const rt::Variant>) {
                       return rt::Variant(static_cast<PA&>(self).MinSize());
                   },
                   [](rt::Dispatch& self, std::span<const rt::Variant> args) {
                       static_cast<PA&>(self).setMinSize(args.back());
                   }},
        rt::property<PA>("PaneIndex", id(0x68030002), &PA::PaneIndex, &PA::setPaneIndex,
                         &rt::Variant::toInteger,
                         "Returns/sets the index of the pane.   The pane index is used to "
                         "determine the order that the panes are displayed at run-time."),
        rt::readOnly<PA>("ScaleWidth", id(0x68030001), &PA::ScaleWidth,
                         "Returns/sets the ScaleWidth of the control."),
        rt::readOnly<PA>("ScaleHeight", id(0x68030000), &PA::ScaleHeight,
                         "Returns/sets the ScaleHeight of the control."),
        method("ShowAbout", rt::DISPID_ABOUTBOX, "Displays the About Box.",
               [](PA& self) { return self.ShowAbout(); }),
    });
    return table;
}

rt::ClassInfo PaneArea::classInfo() {
    static const std::pair<std::string, std::string> kTypes[] = {
        {"BackColor", "OLE_COLOR"},
        {"ForeColor", "OLE_COLOR"},
        {"Enabled", "Boolean"},
        {"Font", "Font"},
        {"Appearance", "tlvAppearanceConstants"},
        {"BorderStyle", "tlvBorderStyleConstants"},
        {"MinSize", "Single"},
        {"PaneIndex", "Integer"},
        {"ScaleWidth", "Single"},
        {"ScaleHeight", "Single"},
        {"ShowAbout", "Variant"},
    };
    const std::vector<std::string> mouse{"Button As Integer", "Shift As Integer", "X As Single",
                                         "Y As Single"};
    const std::vector<std::string> key{"KeyCode As Integer", "Shift As Integer"};
    return rt::ClassInfo{
        "PaneArea", rt::describeInterface("_PaneArea", memberTable(), kTypes),
        rt::EventInterfaceInfo{"__PaneArea",
                               {
                                   {"Click", kClick, {}},
                                   {"DblClick", kDblClick, {}},
                                   {"KeyDown", kKeyDown, key},
                                   {"KeyPress", kKeyPress, {"KeyAscii As Integer"}},
                                   {"KeyUp", kKeyUp, key},
                                   {"MouseDown", kMouseDown, mouse},
                                   {"MouseMove", kMouseMove, mouse},
                                   {"MouseUp", kMouseUp, mouse},
                                   {"Resize", kResize, {}, true},
                               }}};
}

rt::DispatchPtr newPaneArea() {
    return std::make_shared<PaneArea>();
}

} // namespace tlvFormControls
