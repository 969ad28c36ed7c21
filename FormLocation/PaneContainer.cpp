#include "FormLocation/PaneContainer.h"

#include <utility>

#include "FormLocation/Classes.h"
#include "FormLocation/PaneArea.h"
#include "FormLocation/PaneInfo.h"
#include "FormLocation/StretchContainer.h"
#include "FormLocation/Utils.h"
#include "FormLocation/frmAbout.h"

namespace tlvFormControls {

namespace {

// Event dispatch identifiers of __PaneContainer.
constexpr rt::DispId kPaint = 1;
constexpr rt::DispId kPaneResize = 2;

// The surface's sizing pointers over the gaps.
constexpr int16_t vbSizeNS = 7;
constexpr int16_t vbSizeWE = 9;

constexpr float kBarThickness = 90;
constexpr int16_t kDefaultSpacing = 50;
constexpr int32_t kDefaultSplitterColor = static_cast<int32_t>(0x80000010);

bool isVisible(const PaneInfo& p) {
    bool visible = false;
    rt::skipFailure([&] { visible = p.PaneCtl->get("Visible").toBool(); });
    return visible;
}

rt::Control& require(rt::Control* pane) {
    if (!pane)
        rt::raiseError(rt::kObjectVariableNotSet);
    return *pane;
}

} // namespace

PaneContainer::PaneContainer() {
    // The designer's settings of the surface; a new instance writes none.
    UserControl::setBorderStyle(tlvNone);
    UserControl::setAppearance(tlvFlat);
    setDesignSize(4800, 3600);
}

PaneContainer::~PaneContainer() = default;

// ---- members ----------------------------------------------------------------

void PaneContainer::setBackColor(int32_t New_BackColor) {
    UserControl::setBackColor(New_BackColor);
    PropertyChanged("BackColor");
}

void PaneContainer::setForeColor(int32_t New_ForeColor) {
    UserControl::setForeColor(New_ForeColor);
    PropertyChanged("ForeColor");
}

void PaneContainer::setSplitterColor(int32_t New_SplitterColor) {
    m_picSizer.BackColor = New_SplitterColor;
    PropertyChanged("SplitterColor");
}

void PaneContainer::setEnabled(bool New_Enabled) {
    UserControl::setEnabled(New_Enabled);
    PropertyChanged("Enabled");
}

void PaneContainer::setAppearance(int32_t New_Appearance) {
    UserControl::setAppearance(rt::Variant(New_Appearance).toInteger());
    PropertyChanged("Appearance");
}

void PaneContainer::setBorderStyle(int32_t New_BorderStyle) {
    UserControl::setBorderStyle(rt::Variant(New_BorderStyle).toInteger());
    PropertyChanged("BorderStyle");
}

void PaneContainer::Refresh() {
    UserControl::Refresh();
}

void PaneContainer::Cls() {
    UserControl::Cls();
}

void PaneContainer::setOrientation(int32_t New_Orientation) {
    m_Orientation = New_Orientation;
    PropertyChanged("Orientation");
}

void PaneContainer::setSpacing(int16_t New_Spacing) {
    if (New_Spacing < 10)
        rt::raiseError(10003, "Form Controls", "Spacing must be an integer greater or equal to 10");
    m_Spacing = New_Spacing;
    PropertyChanged("Spacing");
}

rt::Variant PaneContainer::ShowAbout() {
    rt::skipFailure([] { tlvFormControls::ShowAbout(); });
    return {};
}

std::vector<rt::UserControl::Shape> PaneContainer::shapes() const {
    if (!m_picSizer.Visible)
        return {};
    return {Shape{"picSizer", m_picSizer.Left, m_picSizer.Top, m_picSizer.Width, m_picSizer.Height,
                  m_picSizer.BackColor}};
}

std::vector<std::string> PaneContainer::PropertyPages() const {
    return {"tlvFormControls.ppPaneContainer", "StandardColor"};
}

// ---- life ---------------------------------------------------------------------

void PaneContainer::UserControl_Initialize() {
    m_PanesLoaded = false;
}

void PaneContainer::UserControl_InitProperties() {
    rt::skipFailure([&] { m_Orientation = tlvHorizontal; });
    rt::skipFailure([&] { m_Spacing = kDefaultSpacing; });
    rt::skipFailure([&] { setBackColor(Ambient().BackColor); });
    rt::skipFailure([&] { setForeColor(Ambient().ForeColor); });
}

void PaneContainer::UserControl_ReadProperties(const rt::PropertyBag& PropBag) {
    m_Loading = true;
    rt::skipFailure([&] {
        UserControl::setAppearance(
            PropBag.ReadProperty("Appearance", int16_t{tlvFlat}).toInteger());
    });
    rt::skipFailure([&] {
        UserControl::setBackColor(PropBag.ReadProperty("BackColor", rt::vbButtonFace).toLong());
    });
    rt::skipFailure([&] {
        UserControl::setForeColor(PropBag.ReadProperty("ForeColor", rt::vbButtonText).toLong());
    });
    rt::skipFailure(
        [&] { UserControl::setEnabled(PropBag.ReadProperty("Enabled", true).toBool()); });
    rt::skipFailure([&] {
        UserControl::setBorderStyle(
            PropBag.ReadProperty("BorderStyle", int16_t{tlvNone}).toInteger());
    });
    rt::skipFailure([&] {
        m_picSizer.BackColor =
            PropBag.ReadProperty("SplitterColor", kDefaultSplitterColor).toLong();
    });
    rt::skipFailure([&] {
        m_Orientation = PropBag.ReadProperty("Orientation", int32_t{tlvHorizontal}).toLong();
    });
    rt::skipFailure(
        [&] { m_Spacing = PropBag.ReadProperty("Spacing", kDefaultSpacing).toInteger(); });
    m_Loading = false;
}

void PaneContainer::UserControl_WriteProperties(rt::PropertyBag& PropBag) {
    rt::skipFailure(
        [&] { PropBag.WriteProperty("Appearance", UserControl::Appearance(), int16_t{tlvFlat}); });
    rt::skipFailure([&] { PropBag.WriteProperty("BackColor", BackColor(), rt::vbButtonFace); });
    rt::skipFailure([&] { PropBag.WriteProperty("ForeColor", ForeColor(), rt::vbButtonText); });
    rt::skipFailure([&] { PropBag.WriteProperty("Enabled", Enabled(), true); });
    rt::skipFailure([&] {
        PropBag.WriteProperty("BorderStyle", UserControl::BorderStyle(), int16_t{tlvNone});
    });
    rt::skipFailure(
        [&] { PropBag.WriteProperty("Orientation", m_Orientation, int32_t{tlvHorizontal}); });
    rt::skipFailure([&] {
        PropBag.WriteProperty("SplitterColor", m_picSizer.BackColor, kDefaultSplitterColor);
    });
    rt::skipFailure([&] { PropBag.WriteProperty("Spacing", m_Spacing, kDefaultSpacing); });
}

// The panes are collected at the first paint at run time, when the host has
// placed and sized all of them.
void PaneContainer::UserControl_Paint() {
    bool userMode = false;
    rt::skipFailure([&] { userMode = Ambient().UserMode; });
    if (userMode && !m_PanesLoaded) {
        rt::skipFailure([&] { LoadPanes(); });
        m_PanesLoaded = true;
    }
    rt::skipFailure([&] { fireEvent(kPaint, {}); });
}

void PaneContainer::UserControl_Resize() {
    if (Ambient().UserMode)
        ArrangePanes();
}

// ---- layout -------------------------------------------------------------------

float PaneContainer::start(rt::Control* pane) const {
    return require(pane).get(horizontal() ? "Left" : "Top").toSingle();
}

float PaneContainer::extent(rt::Control* pane) const {
    return require(pane).get(horizontal() ? "Width" : "Height").toSingle();
}

float PaneContainer::barEdge() const {
    return horizontal() ? m_picSizer.Left : m_picSizer.Top;
}

// Equal indices keep the order in which the host lists the panes.
void PaneContainer::LoadPanes() {
    rt::skipFailure([&] { m_Panes.clear(); });
    std::vector<rt::Control*> contained;
    rt::skipFailure([&] { contained = ContainedControls(); });
    for (rt::Control* ctl : contained) {
        if (!asPaneArea(ctl))
            continue;
        auto p = std::make_shared<PaneInfo>();
        rt::skipFailure([&] { p->PaneCtl = ctl; });
        rt::skipFailure([&] { p->PaneIndex = ctl->get("PaneIndex").toInteger(); });
        rt::skipFailure([&] { p->Size = extent(ctl); });
        rt::skipFailure([&] { p->MinSize = ctl->get("MinSize").toSingle(); });
        auto at = m_Panes.begin();
        while (at != m_Panes.end() && !(p->PaneIndex < (*at)->PaneIndex))
            ++at;
        m_Panes.insert(at, p);
    }
    rt::skipFailure([&] { ArrangePanes(); });
}

rt::Variant PaneContainer::ArrangePanes() {
    if (m_Loading)
        return {};
    int16_t n = 0;
    for (const auto& p : m_Panes)
        if (isVisible(*p))
            rt::skipFailure([&] { n = rt::Variant(int32_t{n} + 1).toInteger(); });
    if (n < 1)
        return {};

    float avail = 0;
    rt::skipFailure([&] {
        float gaps = rt::Variant(int32_t{n - 1} * m_Spacing).toInteger();
        avail = (horizontal() ? ScaleWidth() : ScaleHeight()) - gaps;
    });
    rt::skipFailure([&] { setMousePointer(horizontal() ? vbSizeWE : vbSizeNS); });

    // Every visible pane gets its minimum while the length lasts.
    for (const auto& p : m_Panes) {
        if (!isVisible(*p))
            continue;
        p->Size = avail < p->MinSize ? avail : p->MinSize;
        avail -= p->Size;
    }
    // Then, in order, as much of its current extent as is left.
    if (avail > 0) {
        for (const auto& p : m_Panes) {
            if (isVisible(*p)) {
                rt::skipFailure([&] {
                    float delta = extent(p->PaneCtl) - p->Size;
                    if (delta > avail)
                        delta = avail;
                    p->Size += delta;
                    avail -= delta;
                });
            }
            if (avail <= 0)
                break;
        }
    }
    // The last visible pane takes up the rest.
    if (avail > 0) {
        for (auto it = m_Panes.rbegin(); it != m_Panes.rend(); ++it) {
            if (isVisible(**it)) {
                (*it)->Size += avail;
                avail = 0;
                break;
            }
        }
    }

    float pos = 0;
    for (const auto& p : m_Panes) {
        if (!isVisible(*p))
            continue;
        rt::skipFailure([&] {
            std::vector<rt::Variant> box =
                horizontal()
                    ? std::vector<rt::Variant>{rt::Variant(pos), rt::Variant(0.0f),
                                               rt::Variant(p->Size), rt::Variant(ScaleHeight())}
                    : std::vector<rt::Variant>{rt::Variant(0.0f), rt::Variant(pos),
                                               rt::Variant(ScaleWidth()), rt::Variant(p->Size)};
            p->PaneCtl->Invoke(rt::DISPID_EXTENDER_MOVE, rt::InvokeKind::Method, box);
        });
        pos = pos + p->Size + m_Spacing;
    }
    rt::skipFailure([&] { fireEvent(kPaneResize, {}); });
    return {};
}

// ---- the splitter drag ------------------------------------------------------

// The neighbours are the pane starting last before the pointer and the one
// starting first at or after it; among equal starts the first listed wins.
// A hidden pane keeps the place of its last layout, which may lie nearer the
// pointer than the visible neighbour: it takes no part, or the drag would
// resize a pane nobody sees.
void PaneContainer::UserControl_MouseDown(int /*Button*/, int /*Shift*/, float X, float Y) {
    m_PrevPane = nullptr;
    m_NextPane = nullptr;
    const float c = horizontal() ? X : Y;
    for (const auto& p : m_Panes) {
        if (!isVisible(*p))
            continue;
        rt::skipFailure([&] {
            float s = start(p->PaneCtl);
            if (s < c) {
                if (!m_PrevPane || s > start(m_PrevPane))
                    m_PrevPane = p->PaneCtl;
            } else if (!m_NextPane || s < start(m_NextPane)) {
                m_NextPane = p->PaneCtl;
            }
        });
    }
    rt::skipFailure([&] {
        if (horizontal())
            m_picSizer = {X,
                          0,
                          kBarThickness,
                          ScaleHeight(),
                          m_picSizer.Visible,
                          m_picSizer.InFront,
                          m_picSizer.BackColor};
        else
            m_picSizer = {0,
                          Y,
                          ScaleWidth(),
                          kBarThickness,
                          m_picSizer.Visible,
                          m_picSizer.InFront,
                          m_picSizer.BackColor};
    });
    m_picSizer.Visible = true;
    m_picSizer.InFront = true;
    m_Dragging = true;
    Changed.raise();
}

// The bar keeps MinSize for the pane before it; the pane after it starts
// Spacing beyond the bar, so its clamp counts the larger of its MinSize and
// Spacing, and wins when both clamps apply.
void PaneContainer::UserControl_MouseMove(int /*Button*/, int /*Shift*/, float X, float Y) {
    if (!m_Dragging)
        return;
    float p = horizontal() ? X : Y;
    int32_t lim = 0;
    rt::skipFailure(
        [&] { lim = Utils::Max(require(m_NextPane).get("MinSize").toLong(), m_Spacing); });
    rt::skipFailure([&] {
        float prevStart = start(m_PrevPane);
        float prevMin = m_PrevPane->get("MinSize").toSingle();
        if (p - prevStart < prevMin)
            p = prevStart + prevMin;
    });
    rt::skipFailure([&] {
        float farLimit = start(m_NextPane) + extent(m_NextPane) - static_cast<float>(lim);
        if (p > farLimit)
            p = farLimit;
    });
    (horizontal() ? m_picSizer.Left : m_picSizer.Top) = p;
    Changed.raise();
}

void PaneContainer::UserControl_MouseUp(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {
    if (!m_Dragging)
        return;
    m_Dragging = false;
    m_picSizer.Visible = false;
    Changed.raise();
    const float b = barEdge();
    const char* const extentName = horizontal() ? "Width" : "Height";
    const char* const startName = horizontal() ? "Left" : "Top";
    rt::skipFailure(
        [&] { require(m_PrevPane).let(extentName, rt::Variant(b - start(m_PrevPane))); });
    rt::skipFailure([&] {
        float farEdge = start(m_NextPane) + extent(m_NextPane);
        m_NextPane->let(extentName, rt::Variant(farEdge - b - m_Spacing));
    });
    rt::skipFailure([&] { require(m_NextPane).let(startName, rt::Variant(b + m_Spacing)); });
}

// ---- type description -----------------------------------------------------

const rt::MemberTable& PaneContainer::memberTable() {
    using PC = PaneContainer;
    auto method = [](std::string name, rt::DispId id, auto body) {
        return rt::Member{std::move(name),
                          id,
                          rt::MemberKind::Method,
                          "",
                          [body](rt::Dispatch& self, std::span<const rt::Variant>) {
                              return body(static_cast<PC&>(self));
                          },
                          nullptr};
    };
    auto toLong = &rt::Variant::toLong;
    auto id = [](uint32_t v) { return static_cast<rt::DispId>(v); };
    static const rt::MemberTable table({
        method("ArrangePanes", id(0x6003000A), [](PC& self) { return self.ArrangePanes(); }),
        rt::property<PC>("BackColor", id(0x68030008), &PC::BackColor, &PC::setBackColor, toLong),
        rt::property<PC>("ForeColor", id(0x68030007), &PC::ForeColor, &PC::setForeColor, toLong),
        rt::property<PC>("SplitterColor", id(0x68030006), &PC::SplitterColor, &PC::setSplitterColor,
                         toLong),
        rt::property<PC>("Enabled", -514, &PC::Enabled, &PC::setEnabled, &rt::Variant::toBool),
        rt::property<PC>("Appearance", id(0x68030005), &PC::Appearance, &PC::setAppearance, toLong),
        rt::property<PC>("BorderStyle", id(0x68030004), &PC::BorderStyle, &PC::setBorderStyle,
                         toLong),
        method("Refresh", -550,
               [](PC& self) {
                   self.Refresh();
                   return rt::Variant();
               }),
        method("Cls", id(0x60030010),
               [](PC& self) {
                   self.Cls();
                   return rt::Variant();
               }),
        rt::property<PC>("Orientation", id(0x68030003), &PC::Orientation, &PC::setOrientation,
                         toLong),
        rt::property<PC>("Spacing", id(0x68030002), &PC::Spacing, &PC::setSpacing,
                         &rt::Variant::toInteger),
        rt::readOnly<PC>("ScaleWidth", id(0x68030001), &PC::ScaleWidth),
        rt::readOnly<PC>("ScaleHeight", id(0x68030000), &PC::ScaleHeight),
        method("ShowAbout", rt::DISPID_ABOUTBOX, [](PC& self) { return self.ShowAbout(); }),
    });
    return table;
}

rt::ClassInfo PaneContainer::classInfo() {
    static const std::pair<std::string, std::string> kTypes[] = {
        {"ArrangePanes", "Variant"},
        {"BackColor", "OLE_COLOR"},
        {"ForeColor", "OLE_COLOR"},
        {"SplitterColor", "OLE_COLOR"},
        {"Enabled", "Boolean"},
        {"Appearance", "tlvAppearanceConstants"},
        {"BorderStyle", "tlvBorderStyleConstants"},
        {"Orientation", "tlvOrientationConstants"},
        {"Spacing", "Integer"},
        {"ScaleWidth", "Single"},
        {"ScaleHeight", "Single"},
        {"ShowAbout", "Variant"},
    };
    return rt::ClassInfo{
        "PaneContainer", rt::describeInterface("_PaneContainer", memberTable(), kTypes),
        rt::EventInterfaceInfo{"__PaneContainer",
                               {{"Paint", kPaint, {}}, {"PaneResize", kPaneResize, {}}}}};
}

rt::DispatchPtr newPaneContainer() {
    return std::make_shared<PaneContainer>();
}

} // namespace tlvFormControls
