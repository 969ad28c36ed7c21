#pragma once
// A line drawn on a form, placed by its two end points (twips).

#include "runtime/forms/Control.h"

namespace rt {

class Line : public Control {
public:
    Line(Form& form, std::string name, float x1 = 0, float y1 = 0, float x2 = 0, float y2 = 0);

    float X1() const { return m_x1; }
    float Y1() const { return m_y1; }
    float X2() const { return m_x2; }
    float Y2() const { return m_y2; }
    void setX1(float v) { setEnds(v, m_y1, m_x2, m_y2); }
    void setY1(float v) { setEnds(m_x1, v, m_x2, m_y2); }
    void setX2(float v) { setEnds(m_x1, m_y1, v, m_y2); }
    void setY2(float v) { setEnds(m_x1, m_y1, m_x2, v); }
    void setEnds(float x1, float y1, float x2, float y2);
    int BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int v);

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    float m_x1, m_y1, m_x2, m_y2;
    int m_borderWidth = 1;
};

} // namespace rt
