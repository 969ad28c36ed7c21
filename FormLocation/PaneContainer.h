#pragma once
// The splitter: at the first paint at run time it collects the PaneArea
// controls placed inside it, in ascending PaneIndex, and from then on lays
// the visible ones out along one axis, Spacing apart, across its whole cross
// extent. Dragging in a gap moves the boundary between the two neighbours.
//
// Every handler skips a failing step and goes on; the property gets and
// lets hand their failures to the caller.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/com/TypeInfo.h"
#include "runtime/forms/UserControl.h"

namespace tlvFormControls {

class PaneInfo;

// Values of Orientation; any other value lays out like tlvVertical.
enum tlvOrientationConstants : int32_t { tlvHorizontal = 0, tlvVertical = 1 };

class PaneContainer : public rt::UserControl {
public:
    PaneContainer();
    ~PaneContainer() override;

    // _PaneContainer, in slot order.
    rt::Variant ArrangePanes();
    int32_t BackColor() const { return UserControl::BackColor(); }
    void setBackColor(int32_t New_BackColor);
    int32_t ForeColor() const { return UserControl::ForeColor(); }
    void setForeColor(int32_t New_ForeColor);
    int32_t SplitterColor() const { return m_picSizer.BackColor; }
    void setSplitterColor(int32_t New_SplitterColor);
    bool Enabled() const { return UserControl::Enabled(); }
    void setEnabled(bool New_Enabled);
    int32_t Appearance() const { return UserControl::Appearance(); }
    void setAppearance(int32_t New_Appearance);
    int32_t BorderStyle() const { return UserControl::BorderStyle(); }
    void setBorderStyle(int32_t New_BorderStyle);
    void Refresh();
    void Cls();
    int32_t Orientation() const { return m_Orientation; }
    void setOrientation(int32_t New_Orientation);
    int16_t Spacing() const { return m_Spacing; }
    void setSpacing(int16_t New_Spacing);
    float ScaleWidth() const { return UserControl::ScaleWidth(); }
    float ScaleHeight() const { return UserControl::ScaleHeight(); }
    rt::Variant ShowAbout();

    std::vector<std::string> PropertyPages() const override;

    void UserControl_Initialize() override;
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const rt::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(rt::PropertyBag& PropBag) override;
    void UserControl_Paint() override;
    void UserControl_Resize() override;
    void UserControl_MouseDown(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseMove(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseUp(int Button, int Shift, float X, float Y) override;

    // The drag bar, a constituent picture box: shown in front of the panes
    // while a drag lasts.
    struct SizerBar {
        float Left = 0, Top = 0, Width = 90, Height = 0;
        bool Visible = false;
        bool InFront = false;
        int32_t BackColor = static_cast<int32_t>(0x80000010); // the system's button shadow
    };
    const SizerBar& picSizer() const { return m_picSizer; }
    // The bar while it shows.
    std::vector<Shape> shapes() const override;

    static const rt::MemberTable& memberTable();
    // _PaneContainer and its event interface __PaneContainer.
    static rt::ClassInfo classInfo();

protected:
    const rt::MemberTable& table() const override { return memberTable(); }

private:
    void LoadPanes();
    bool horizontal() const { return m_Orientation == tlvHorizontal; }
    float start(rt::Control* pane) const;
    float extent(rt::Control* pane) const;
    float barEdge() const;

    std::vector<std::shared_ptr<PaneInfo>> m_Panes;
    rt::Control* m_PrevPane = nullptr;
    rt::Control* m_NextPane = nullptr;
    bool m_Dragging = false;
    bool m_Loading = false;
    bool m_PanesLoaded = false;
    int32_t m_Orientation = tlvHorizontal;
    int16_t m_Spacing = 50;
    SizerBar m_picSizer;
};

} // namespace tlvFormControls
