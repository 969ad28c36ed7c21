#pragma once
// A container that rescales the controls a host places inside it. Its first
// show records each contained control's geometry and font size with its own
// size; every resize then places recorded controls from their records (so
// rounding never accumulates) and scales the others, lines at their end
// points, by the change since the previous resize.
//
// The property bag cannot hold a font object: "Font" is stored as the text
// "<name>,<size>,<bold>" (bold as True or False, the size as the runtime
// prints a Single), and only when the font differs from the ambient one.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/com/TypeInfo.h"
#include "runtime/forms/UserControl.h"

namespace tlvFormControls {

class pCtlsInfo;

// Values of BorderStyle and Appearance.
enum tlvBorderStyleConstants : int32_t { tlvNone = 0, tlvFixedSingle = 1 };
enum tlvAppearanceConstants : int32_t { tlvFlat = 0, tlv3D = 1 };

class StretchContainer : public rt::UserControl {
public:
    StretchContainer();
    ~StretchContainer() override;

    // _StretchContainer, in slot order. The lets hand the value to the
    // surface and signal the change even when the surface refuses it.
    int32_t BackColor() const { return UserControl::BackColor(); }
    void setBackColor(int32_t New_BackColor);
    int32_t ForeColor() const { return UserControl::ForeColor(); }
    void setForeColor(int32_t New_ForeColor);
    bool Enabled() const { return UserControl::Enabled(); }
    void setEnabled(bool New_Enabled);
    const std::shared_ptr<rt::Font>& Font() const { return UserControl::Font(); }
    // By reference; Nothing is refused by the surface.
    void setFont(std::shared_ptr<rt::Font> New_Font);
    int32_t BorderStyle() const { return UserControl::BorderStyle(); }
    void setBorderStyle(int32_t New_BorderStyle);
    void Refresh();
    int32_t Appearance() const { return UserControl::Appearance(); }
    void setAppearance(int32_t New_Appearance);
    void Cls();
    // The surface's constituent controls: the container has none.
    rt::DispatchPtr Controls() const;
    bool AdjustFont() const { return m_AdjustFont; }
    void setAdjustFont(bool New_AdjustFont);
    rt::Variant ShowAbout();

    std::vector<std::string> PropertyPages() const override;

    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(const rt::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(rt::PropertyBag& PropBag) override;
    void UserControl_Show() override;
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
    // _StretchContainer and its event interface __StretchContainer.
    static rt::ClassInfo classInfo();

protected:
    const rt::MemberTable& table() const override { return memberTable(); }

private:
    // A pass's four ratios; none where the divisor was 0.
    struct Ratios {
        std::optional<float> rW, rH, rWo, rHo;
    };

    void StretchControls();
    void stretchControl(rt::Control& ctl, const Ratios& r, const std::string& parentName,
                        const std::string& displayName, std::vector<std::string>& placed);
    void recordControl(rt::Control& ctl);

    float m_PrevWidth = 0;
    float m_PrevHeight = 0;
    bool m_AdjustFont = true;
    std::unique_ptr<pCtlsInfo> m_Ctls;
    float m_OrigHeight = 0;
    float m_OrigWidth = 0;
    bool m_Initialized = false;
};

} // namespace tlvFormControls
