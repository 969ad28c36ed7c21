#pragma once
// The font of a form or control; a late-bound object of its own so that
// "Font.Size" style paths work by name.

#include <string>

#include "runtime/com/Dispatch.h"
#include "runtime/forms/Event.h"

namespace rt {

class Font : public TableDispatch {
public:
    const std::string& Name() const { return m_name; }
    void setName(std::string v);
    float Size() const { return m_size; }
    void setSize(float v);
    bool Bold() const { return m_bold; }
    void setBold(bool v);

    Event<> Changed;

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    std::string m_name = "MS Sans Serif";
    float m_size = 8.25f;
    bool m_bold = false;
};

} // namespace rt
