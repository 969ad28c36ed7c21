#pragma once
// The geometry and font size that one contained control had when its
// StretchContainer was first shown; the container places the control from it.

#include <string>

#include "runtime/com/Dispatch.h"

namespace tlvFormControls {

class pCtlInfo : public rt::TableDispatch {
public:
    // In slot order: a let and a get for each field.
    void setCtlFontSize(float vData) { m_CtlFontSize = vData; }
    float CtlFontSize() const { return m_CtlFontSize; }
    void setnWidth(float vData) { m_nWidth = vData; }
    float nWidth() const { return m_nWidth; }
    void setnLeft(float vData) { m_nLeft = vData; }
    float nLeft() const { return m_nLeft; }
    void setnTop(float vData) { m_nTop = vData; }
    float nTop() const { return m_nTop; }
    void setnHeight(float vData) { m_nHeight = vData; }
    float nHeight() const { return m_nHeight; }
    void setControlName(std::string vData) { m_ControlName = std::move(vData); }
    const std::string& ControlName() const { return m_ControlName; }

    static const rt::MemberTable& memberTable();

protected:
    const rt::MemberTable& table() const override { return memberTable(); }

private:
    std::string m_ControlName;
    float m_nHeight = 0;
    float m_nTop = 0;
    float m_nLeft = 0;
    float m_nWidth = 0;
    float m_CtlFontSize = 0; // 0 for a control without a font
};

} // namespace tlvFormControls
