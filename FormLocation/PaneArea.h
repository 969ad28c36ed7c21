#pragma once
// One pane of a split form: a plain container surface that hosts fill with
// their own controls. It adds the two values a PaneContainer lays it out by,
// MinSize and PaneIndex, and a Resize event that tells the host when to lay
// out the pane's contents again. It knows nothing of PaneContainer.
//
// No member handles errors: every failure reaches the caller.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/com/TypeInfo.h"
#include "runtime/forms/UserControl.h"

namespace tlvFormControls {

class PaneArea : public rt::UserControl {
public:
    PaneArea();

    // _PaneArea, in slot order.
    int32_t BackColor() const { return UserControl::BackColor(); }
    void setBackColor(int32_t New_BackColor);
    int32_t ForeColor() const { return UserControl::ForeColor(); }
    void setForeColor(int32_t New_ForeColor);
    bool Enabled() const { return UserControl::Enabled(); }
    void setEnabled(bool New_Enabled);
    const std::shared_ptr<rt::Font>& Font() const { return UserControl::Font(); }
    void setFont(std::shared_ptr<rt::Font> New_Font);
    int32_t Appearance() const { return UserControl::Appearance(); }
    void setAppearance(int32_t New_Appearance);
    int32_t BorderStyle() const { return UserControl::BorderStyle(); }
    void setBorderStyle(int32_t New_BorderStyle);
    void Refresh();
    void Cls();
    float MinSize() const { return m_MinSize; }
    // A late-bound value that is no number is refused like a negative one.
    void setMinSize(const rt::Variant& New_MinSize);
    int16_t PaneIndex() const { return m_PaneIndex; }
    void setPaneIndex(int16_t New_PaneIndex);
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
    void UserControl_Click() override;
    void UserControl_DblClick() override;
    void UserControl_KeyDown(int& KeyCode, int Shift) override;
    void UserControl_KeyPress(int& KeyAscii) override;
    void UserControl_KeyUp(int& KeyCode, int Shift) override;
    void UserControl_MouseDown(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseMove(int Button, int Shift, float X, float Y) override;
    void UserControl_MouseUp(int Button, int Shift, float X, float Y) override;

    static const rt::MemberTable& memberTable();
    // _PaneArea and its event interface __PaneArea.
    static rt::ClassInfo classInfo();

protected:
    const rt::MemberTable& table() const override { return memberTable(); }

private:
    void fireMouse(rt::DispId event, int Button, int Shift, float X, float Y);

    float m_MinSize = 100;
    int16_t m_PaneIndex = 0;
    bool m_FirstPaintDone = false;
};

// Whether a host's control is a sited PaneArea.
PaneArea* asPaneArea(rt::Control* control);

} // namespace tlvFormControls
