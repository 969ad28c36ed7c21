#include "runtime/forms/PictureBox.h"

namespace rt {

void PictureBox::setPicture(std::string path) {
    if (path == m_picture)
        return;
    m_picture = std::move(path);
    Changed.raise();
}

void PictureBox::setBackColor(int32_t colour) {
    if (colour == m_backColor)
        return;
    m_backColor = colour;
    Changed.raise();
}

const MemberTable& PictureBox::memberTable() {
    static const MemberTable table(
        {
            property<PictureBox>("Picture", 101, &PictureBox::Picture, &PictureBox::setPicture,
                                 &Variant::toString),
            property<PictureBox>("BackColor", 102, &PictureBox::BackColor,
                                 &PictureBox::setBackColor, &Variant::toLong),
            Member{"Cls", 103, MemberKind::Method, "",
                   [](Dispatch& s, std::span<const Variant>) {
                       static_cast<PictureBox&>(s).Cls();
                       return Variant();
                   },
                   nullptr},
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
