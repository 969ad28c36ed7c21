#pragma once
// A picture box: shows a picture file (kept by name; the view loads it) on
// a background colour.

#include <cstdint>

#include "runtime/forms/Control.h"

namespace rt {

class PictureBox : public Control {
public:
    using Control::Control;

    const std::string& Picture() const { return m_picture; }
    // The empty name clears the picture.
    void setPicture(std::string path);
    int32_t BackColor() const { return m_backColor; }
    void setBackColor(int32_t colour);
    // Clears what was drawn: the picture stays.
    void Cls() { Changed.raise(); }

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    std::string m_picture;
    int32_t m_backColor = static_cast<int32_t>(0x8000000F); // the button face colour of the system
};

} // namespace rt
