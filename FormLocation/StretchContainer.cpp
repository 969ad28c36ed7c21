#include "FormLocation/StretchContainer.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "FormLocation/Classes.h"
#include "FormLocation/FontText.h"
#include "FormLocation/frmAbout.h"
#include "FormLocation/pCtlsInfo.h"
#include "runtime/core/Strings.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Line.h"

namespace tlvFormControls {

namespace {

// Event dispatch identifiers of __StretchContainer.
constexpr rt::DispId kClick = -600;
constexpr rt::DispId kDblClick = -601;
constexpr rt::DispId kKeyDown = -602;
constexpr rt::DispId kKeyPress = -603;
constexpr rt::DispId kKeyUp = -604;
constexpr rt::DispId kMouseDown = -605;
constexpr rt::DispId kMouseMove = -606;
constexpr rt::DispId kMouseUp = -607;
constexpr rt::DispId kPaint = 1;
constexpr rt::DispId kResize = 2;

// The surface's own controls collection; the container has no constituent
// controls, so it is always empty.
class SurfaceControls : public rt::TableDispatch {
protected:
    const rt::MemberTable& table() const override {
        static const rt::MemberTable members({
            rt::Member{"Item", rt::DISPID_VALUE, rt::MemberKind::Method, "",
                       [](rt::Dispatch&, std::span<const rt::Variant>) -> rt::Variant {
                           rt::raiseError(rt::kSubscriptOutOfRange);
                       },
                       nullptr},
            rt::Member{
                "Count", 1, rt::MemberKind::ReadOnlyProperty, "",
                [](rt::Dispatch&, std::span<const rt::Variant>) { return rt::Variant(int32_t{0}); },
                nullptr},
        });
        return members;
    }
};

// A ratio whose divisor is 0 has no value; dividing raises as the runtime's
// division does.
float ratio(float dividend, float divisor) {
    if (divisor == 0)
        rt::raiseError(dividend == 0 ? rt::kOverflow : rt::kDivisionByZero);
    return dividend / divisor;
}

// An assignment that needs a ratio without a value fails, and so is skipped.
float usable(const std::optional<float>& r) {
    if (!r)
        rt::raiseError(rt::kDivisionByZero);
    return *r;
}

rt::DispatchPtr fontOf(rt::Dispatch& ctl) {
    return ctl.get("Font").toObject();
}

// One property of a control times a ratio, as one skippable step.
void scaleBy(rt::Dispatch& ctl, const char* property, const std::optional<float>& r) {
    rt::skipFailure(
        [&] { ctl.let(property, rt::Variant(ctl.get(property).toSingle() * usable(r))); });
}

// One property of a control set to a recorded value times a ratio.
void placeAt(rt::Dispatch& ctl, const char* property, float recorded,
             const std::optional<float>& r) {
    rt::skipFailure([&] { ctl.let(property, rt::Variant(recorded * usable(r))); });
}

} // namespace

StretchContainer::StretchContainer() : m_Ctls(std::make_unique<pCtlsInfo>()) {
    setDesignSize(4800, 3600);
}

StretchContainer::~StretchContainer() = default;

void StretchContainer::setBackColor(int32_t New_BackColor) {
    rt::skipFailure([&] { UserControl::setBackColor(New_BackColor); });
    rt::skipFailure([&] { PropertyChanged("BackColor"); });
}

void StretchContainer::setForeColor(int32_t New_ForeColor) {
    rt::skipFailure([&] { UserControl::setForeColor(New_ForeColor); });
    rt::skipFailure([&] { PropertyChanged("ForeColor"); });
}

void StretchContainer::setEnabled(bool New_Enabled) {
    rt::skipFailure([&] { UserControl::setEnabled(New_Enabled); });
    rt::skipFailure([&] { PropertyChanged("Enabled"); });
}

void StretchContainer::setFont(std::shared_ptr<rt::Font> New_Font) {
    rt::skipFailure([&] { UserControl::setFont(std::move(New_Font)); });
    rt::skipFailure([&] { PropertyChanged("Font"); });
}

void StretchContainer::setBorderStyle(int32_t New_BorderStyle) {
    rt::skipFailure([&] { UserControl::setBorderStyle(rt::Variant(New_BorderStyle).toInteger()); });
    rt::skipFailure([&] { PropertyChanged("BorderStyle"); });
}

void StretchContainer::Refresh() {
    rt::skipFailure([&] { UserControl::Refresh(); });
}

void StretchContainer::setAppearance(int32_t New_Appearance) {
    rt::skipFailure([&] { UserControl::setAppearance(rt::Variant(New_Appearance).toInteger()); });
    rt::skipFailure([&] { PropertyChanged("Appearance"); });
}

void StretchContainer::Cls() {
    rt::skipFailure([&] { UserControl::Cls(); });
}

rt::DispatchPtr StretchContainer::Controls() const {
    return std::make_shared<SurfaceControls>();
}

void StretchContainer::setAdjustFont(bool New_AdjustFont) {
    rt::skipFailure([&] { m_AdjustFont = New_AdjustFont; });
    rt::skipFailure([&] { PropertyChanged("AdjustFont"); });
}

rt::Variant StretchContainer::ShowAbout() {
    rt::skipFailure([] { tlvFormControls::ShowAbout(); });
    return {};
}

std::vector<std::string> StretchContainer::PropertyPages() const {
    return {"tlvFormControls.ppStretchContainer", "StandardColor", "StandardFont"};
}

void StretchContainer::UserControl_InitProperties() {
    rt::skipFailure([&] { UserControl::setFont(Ambient().Font); });
    rt::skipFailure([&] { m_AdjustFont = true; });
}

void StretchContainer::UserControl_ReadProperties(const rt::PropertyBag& PropBag) {
    rt::skipFailure([&] {
        UserControl::setBackColor(PropBag.ReadProperty("BackColor", rt::vbButtonFace).toLong());
    });
    rt::skipFailure([&] {
        UserControl::setForeColor(PropBag.ReadProperty("ForeColor", rt::vbButtonText).toLong());
    });
    rt::skipFailure(
        [&] { UserControl::setEnabled(PropBag.ReadProperty("Enabled", true).toBool()); });
    rt::skipFailure([&] {
        UserControl::setFont(
            fontFromText(PropBag.ReadProperty("Font", fontText(*Ambient().Font)).toString()));
    });
    rt::skipFailure([&] {
        UserControl::setBorderStyle(
            PropBag.ReadProperty("BorderStyle", int16_t{tlvNone}).toInteger());
    });
    rt::skipFailure([&] {
        UserControl::setAppearance(PropBag.ReadProperty("Appearance", int16_t{tlv3D}).toInteger());
    });
    rt::skipFailure([&] { m_AdjustFont = PropBag.ReadProperty("AdjustFont", true).toBool(); });
}

void StretchContainer::UserControl_WriteProperties(rt::PropertyBag& PropBag) {
    rt::skipFailure([&] { PropBag.WriteProperty("BackColor", BackColor(), rt::vbButtonFace); });
    rt::skipFailure([&] { PropBag.WriteProperty("ForeColor", ForeColor(), rt::vbButtonText); });
    rt::skipFailure([&] { PropBag.WriteProperty("Enabled", Enabled(), true); });
    rt::skipFailure(
        [&] { PropBag.WriteProperty("Font", fontText(*Font()), fontText(*Ambient().Font)); });
    rt::skipFailure([&] {
        PropBag.WriteProperty("BorderStyle", UserControl::BorderStyle(), int16_t{tlvNone});
    });
    rt::skipFailure(
        [&] { PropBag.WriteProperty("Appearance", UserControl::Appearance(), int16_t{tlv3D}); });
    rt::skipFailure([&] { PropBag.WriteProperty("AdjustFont", m_AdjustFont, true); });
}

// Only the first show records; later shows find the records made.
void StretchContainer::UserControl_Show() {
    if (m_Initialized)
        return;
    rt::skipFailure([&] { m_OrigHeight = ScaleHeight(); });
    rt::skipFailure([&] { m_OrigWidth = ScaleWidth(); });
    rt::skipFailure([&] { m_Ctls = std::make_unique<pCtlsInfo>(); });
    std::vector<rt::Control*> controls;
    rt::skipFailure([&] { controls = ContainedControls(); });
    for (rt::Control* ctl : controls)
        recordControl(*ctl);
    m_Initialized = true;
}

// A control is recorded only when it has Visible (hidden ones too), a name
// not yet recorded and a box; its font size when it has a font.
void StretchContainer::recordControl(rt::Control& ctl) {
    if (!rt::skipFailure([&] { ctl.get("Visible"); }))
        return;
    std::shared_ptr<pCtlInfo> record;
    bool added = rt::skipFailure([&] {
        std::string name = ctl.get("Name").toString();
        float height = ctl.get("Height").toSingle();
        float top = ctl.get("Top").toSingle();
        float left = ctl.get("Left").toSingle();
        float width = ctl.get("Width").toSingle();
        record = m_Ctls->Add(name, height, top, left, width);
    });
    if (!added)
        return;
    rt::skipFailure([&] { record->setCtlFontSize(fontOf(ctl)->get("Size").toSingle()); });
}

void StretchContainer::UserControl_Resize() {
    rt::skipFailure([&] { StretchControls(); });
    rt::skipFailure([&] { fireEvent(kResize, {}); });
}

void StretchContainer::StretchControls() {
    bool userMode = true;
    rt::skipFailure([&] { userMode = Ambient().UserMode; });
    if (userMode) {
        Ratios r;
        rt::skipFailure([&] { r.rW = ratio(ScaleWidth(), m_PrevWidth); });
        rt::skipFailure([&] { r.rH = ratio(ScaleHeight(), m_PrevHeight); });
        rt::skipFailure([&] { r.rWo = ratio(ScaleWidth(), m_OrigWidth); });
        rt::skipFailure([&] { r.rHo = ratio(ScaleHeight(), m_OrigHeight); });

        std::vector<rt::Control*> controls;
        rt::skipFailure([&] { controls = ContainedControls(); });
        std::string parentName, displayName;
        rt::skipFailure([&] { parentName = Parent().Name(); });
        rt::skipFailure([&] { displayName = Ambient().DisplayName; });
        std::vector<std::string> placed;
        for (rt::Control* ctl : controls)
            stretchControl(*ctl, r, parentName, displayName, placed);
    }
    rt::skipFailure([&] { m_PrevWidth = ScaleWidth(); });
    rt::skipFailure([&] { m_PrevHeight = ScaleHeight(); });
}

void StretchContainer::stretchControl(rt::Control& ctl, const Ratios& r,
                                      const std::string& parentName, const std::string& displayName,
                                      std::vector<std::string>& placed) {
    if (dynamic_cast<rt::Line*>(&ctl)) {
        scaleBy(ctl, "X1", r.rW);
        scaleBy(ctl, "X2", r.rW);
        scaleBy(ctl, "Y1", r.rH);
        scaleBy(ctl, "Y2", r.rH);
        return;
    }

    std::optional<std::string> name;
    rt::skipFailure([&] { name = ctl.get("Name").toString(); });
    // Moving the host form, or the container itself, from inside would fight
    // the host's own layout.
    if (name && !name->empty() && (*name == parentName || *name == displayName))
        return;

    // Controls sharing a name share one record, which belongs to the first
    // of them; the others go on step by step instead of being stacked on it.
    std::shared_ptr<pCtlInfo> record;
    if (name) {
        std::string key = rt::UCase(*name);
        if (std::find(placed.begin(), placed.end(), key) == placed.end() &&
            rt::skipFailure([&] { record = m_Ctls->Item(rt::Variant(*name)); }))
            placed.push_back(key);
    }

    if (record) {
        placeAt(ctl, "Left", record->nLeft(), r.rWo);
        placeAt(ctl, "Width", record->nWidth(), r.rWo);
        placeAt(ctl, "Top", record->nTop(), r.rHo);
        placeAt(ctl, "Height", record->nHeight(), r.rHo);
        if (m_AdjustFont)
            rt::skipFailure([&] {
                fontOf(ctl)->let("Size", rt::Variant(record->CtlFontSize() * usable(r.rHo)));
            });
    } else {
        scaleBy(ctl, "Left", r.rW);
        scaleBy(ctl, "Width", r.rW);
        scaleBy(ctl, "Top", r.rH);
        scaleBy(ctl, "Height", r.rH);
        if (m_AdjustFont)
            rt::skipFailure([&] {
                rt::DispatchPtr font = fontOf(ctl);
                font->let("Size", rt::Variant(font->get("Size").toSingle() * usable(r.rH)));
            });
    }
}

// ---- events ---------------------------------------------------------------

void StretchContainer::UserControl_Paint() {
    rt::skipFailure([&] { fireEvent(kPaint, {}); });
}

void StretchContainer::UserControl_Click() {
    rt::skipFailure([&] { fireEvent(kClick, {}); });
}

void StretchContainer::UserControl_DblClick() {
    rt::skipFailure([&] { fireEvent(kDblClick, {}); });
}

// The key events hand the host's changes back to the surface.
void StretchContainer::UserControl_KeyDown(int& KeyCode, int Shift) {
    std::array<rt::Variant, 2> args{rt::Variant(static_cast<int16_t>(KeyCode)),
                                    rt::Variant(static_cast<int16_t>(Shift))};
    rt::skipFailure([&] { fireEventByRef(kKeyDown, args); });
    rt::skipFailure([&] { KeyCode = args[0].toInteger(); });
}

void StretchContainer::UserControl_KeyPress(int& KeyAscii) {
    std::array<rt::Variant, 1> args{rt::Variant(static_cast<int16_t>(KeyAscii))};
    rt::skipFailure([&] { fireEventByRef(kKeyPress, args); });
    rt::skipFailure([&] { KeyAscii = args[0].toInteger(); });
}

void StretchContainer::UserControl_KeyUp(int& KeyCode, int Shift) {
    std::array<rt::Variant, 2> args{rt::Variant(static_cast<int16_t>(KeyCode)),
                                    rt::Variant(static_cast<int16_t>(Shift))};
    rt::skipFailure([&] { fireEventByRef(kKeyUp, args); });
    rt::skipFailure([&] { KeyCode = args[0].toInteger(); });
}

void StretchContainer::UserControl_MouseDown(int Button, int Shift, float X, float Y) {
    rt::skipFailure([&] {
        fireEvent(kMouseDown,
                  {rt::Variant(static_cast<int16_t>(Button)),
                   rt::Variant(static_cast<int16_t>(Shift)), rt::Variant(X), rt::Variant(Y)});
    });
}

void StretchContainer::UserControl_MouseMove(int Button, int Shift, float X, float Y) {
    rt::skipFailure([&] {
        fireEvent(kMouseMove,
                  {rt::Variant(static_cast<int16_t>(Button)),
                   rt::Variant(static_cast<int16_t>(Shift)), rt::Variant(X), rt::Variant(Y)});
    });
}

void StretchContainer::UserControl_MouseUp(int Button, int Shift, float X, float Y) {
    rt::skipFailure([&] {
        fireEvent(kMouseUp,
                  {rt::Variant(static_cast<int16_t>(Button)),
                   rt::Variant(static_cast<int16_t>(Shift)), rt::Variant(X), rt::Variant(Y)});
    });
}

// ---- type description -----------------------------------------------------

const rt::MemberTable& StretchContainer::memberTable() {
    using SC = StretchContainer;
    auto method = [](std::string name, rt::DispId id, std::string help, auto body) {
        return rt::Member{std::move(name),
                          id,
                          rt::MemberKind::Method,
                          std::move(help),
                          [body](rt::Dispatch& self, std::span<const rt::Variant>) {
                              return body(static_cast<SC&>(self));
                          },
                          nullptr};
    };
    auto toLong = &rt::Variant::toLong;
    static const rt::MemberTable table({
        rt::property<SC>(
            "BackColor", -501, &SC::BackColor, &SC::setBackColor, toLong,
            "Returns/sets the background color used to display text and graphics in an object."),
        rt::property<SC>(
            "ForeColor", -513, &SC::ForeColor, &SC::setForeColor, toLong,
            "Returns/sets the foreground color used to display text and graphics in an object."),
        rt::property<SC>("Enabled", -514, &SC::Enabled, &SC::setEnabled, &rt::Variant::toBool,
                         "Returns/sets a value that determines whether an object can respond "
                         "to user-generated events."),
        rt::Member{"Font", -512, rt::MemberKind::Property, "Returns a Font object.",
                   [](rt::Dispatch& self, std::span<const rt::Variant>) {
                       return rt::Variant(rt::DispatchPtr(static_cast<SC&>(self).Font()));
                   },
                   [](rt::Dispatch& self, std::span<const rt::Variant> args) {
                       static_cast<SC&>(self).setFont(fontArgument(args.back()));
                   }},
        rt::property<SC>("BorderStyle", -504, &SC::BorderStyle, &SC::setBorderStyle, toLong,
                         "Returns/sets the border style for an object."),
        method("Refresh", -550, "Forces a complete repaint of a object.",
               [](SC& self) {
                   self.Refresh();
                   return rt::Variant();
               }),
        rt::property<SC>(
            "Appearance", -520, &SC::Appearance, &SC::setAppearance, toLong,
            "Returns/sets whether or not an object is painted at run time with 3-D effects."),
        method("Cls", 0x6003000C,
               "Clears graphics and text generated at run time from a Form, Image, or PictureBox.",
               [](SC& self) {
                   self.Cls();
                   return rt::Variant();
               }),
        rt::readOnly<SC>("Controls", 0x68030001, &SC::Controls,
                         "A collection whose elements represent each control on a form, "
                         "including elements of control arrays. "),
        rt::property<SC>("AdjustFont", 0x68030000, &SC::AdjustFont, &SC::setAdjustFont,
                         &rt::Variant::toBool,
                         "Returns/sets whether the font of the contained controls is resized."),
        method("ShowAbout", rt::DISPID_ABOUTBOX, "Displays the About Box.",
               [](SC& self) { return self.ShowAbout(); }),
    });
    return table;
}

rt::ClassInfo StretchContainer::classInfo() {
    static const std::pair<std::string, std::string> kTypes[] = {
        {"BackColor", "OLE_COLOR"},
        {"ForeColor", "OLE_COLOR"},
        {"Enabled", "Boolean"},
        {"Font", "Font"},
        {"BorderStyle", "tlvBorderStyleConstants"},
        {"Appearance", "tlvAppearanceConstants"},
        {"Controls", "Object"},
        {"AdjustFont", "Boolean"},
        {"ShowAbout", "Variant"},
    };
    const std::vector<std::string> mouse{"Button As Integer", "Shift As Integer", "X As Single",
                                         "Y As Single"};
    const std::vector<std::string> key{"KeyCode As Integer", "Shift As Integer"};
    return rt::ClassInfo{
        "StretchContainer", rt::describeInterface("_StretchContainer", memberTable(), kTypes),
        rt::EventInterfaceInfo{"__StretchContainer",
                               {
                                   {"Click", kClick, {}},
                                   {"DblClick", kDblClick, {}},
                                   {"KeyDown", kKeyDown, key},
                                   {"KeyPress", kKeyPress, {"KeyAscii As Integer"}},
                                   {"KeyUp", kKeyUp, key},
                                   {"MouseDown", kMouseDown, mouse},
                                   {"MouseMove", kMouseMove, mouse},
                                   {"MouseUp", kMouseUp, mouse},
                                   {"Paint", kPaint, {}},
                                   {"Resize", kResize, {}},
                               }}};
}

rt::DispatchPtr newStretchContainer() {
    return std::make_shared<StretchContainer>();
}

} // namespace tlvFormControls
