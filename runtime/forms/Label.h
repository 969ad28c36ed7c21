#pragma once
// A label: a caption the user cannot edit.

#include "runtime/forms/Control.h"

namespace rt {

constexpr int vbLeftJustify = 0;
constexpr int vbRightJustify = 1;
constexpr int vbCenter = 2;

class Label : public Control {
public:
    Label(Form& form, std::string name, std::string caption = {});

    const std::string& Caption() const { return m_caption; }
    void setCaption(std::string caption);
    int Alignment() const { return m_alignment; }
    void setAlignment(int alignment);
    // A colour value; the default is the system's button text colour.
    int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(int32_t color);

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    std::string m_caption;
    int m_alignment = vbLeftJustify;
    int32_t m_foreColor = static_cast<int32_t>(0x80000012);
};

} // namespace rt
