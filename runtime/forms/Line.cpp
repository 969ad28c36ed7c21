#include "runtime/forms/Line.h"

namespace rt {

Line::Line(Form& form, std::string name, float x1, float y1, float x2, float y2)
    : Control(form, std::move(name)), m_x1(x1), m_y1(y1), m_x2(x2), m_y2(y2) {}

void Line::setEnds(float x1, float y1, float x2, float y2) {
    if (x1 == m_x1 && y1 == m_y1 && x2 == m_x2 && y2 == m_y2)
        return;
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    Changed.raise();
}

void Line::setBorderWidth(int v) {
    if (v < 1 || v > 8192)
        raiseError(kInvalidPropertyValue);
    m_borderWidth = v;
    Changed.raise();
}

// A line has no box: it takes its name, visibility and tag from Control's
// table but none of its geometry, so layout code that reads Left or Width
// by name finds nothing to read on a line.
const MemberTable& Line::memberTable() {
    auto toFloat = &Variant::toSingle;
    const MemberTable& control = Control::memberTable();
    static const MemberTable table({
        *control.find("Name"),
        *control.find("Visible"),
        *control.find("Tag"),
        property<Line>("X1", 101, &Line::X1, &Line::setX1, toFloat),
        property<Line>("Y1", 102, &Line::Y1, &Line::setY1, toFloat),
        property<Line>("X2", 103, &Line::X2, &Line::setX2, toFloat),
        property<Line>("Y2", 104, &Line::Y2, &Line::setY2, toFloat),
        property<Line>("BorderWidth", 105, &Line::BorderWidth, &Line::setBorderWidth,
                       &Variant::toLong),
    });
    return table;
}

} // namespace rt
