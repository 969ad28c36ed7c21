#include "runtime/forms/Font.h"

#include "runtime/core/Error.h"

namespace rt {

void Font::setName(std::string v) {
    if (v == m_name)
        return;
    m_name = std::move(v);
    Changed.raise();
}

void Font::setSize(float v) {
    if (v <= 0 || v > 2160)
        raiseError(kInvalidPropertyValue);
    if (v == m_size)
        return;
    m_size = v;
    Changed.raise();
}

void Font::setBold(bool v) {
    if (v == m_bold)
        return;
    m_bold = v;
    Changed.raise();
}

const MemberTable& Font::memberTable() {
    static const MemberTable table({
        property<Font>("Name", 1, &Font::Name, &Font::setName, &Variant::toString),
        property<Font>("Size", 2, &Font::Size, &Font::setSize, &Variant::toSingle),
        property<Font>("Bold", 3, &Font::Bold, &Font::setBold, &Variant::toBool),
    });
    return table;
}

} // namespace rt
