#include "runtime/forms/StatusBar.h"

#include <algorithm>

#include "runtime/forms/KeyedItems.h"

namespace rt {

StatusBar::StatusBar(Form& form, std::string name, int panels)
    : Control(form, std::move(name)), m_panels(static_cast<size_t>(std::max(panels, 0))) {}

void StatusBar::AddPanel(const std::string& text) {
    m_panels.push_back(Panel{{}, text});
    Changed.raise();
}

const std::string& StatusBar::PanelText(int index) const {
    return m_panels[checkedIndex(m_panels, index)].Text;
}

void StatusBar::setPanelText(int index, const std::string& text) {
    std::string& slot = m_panels[checkedIndex(m_panels, index)].Text;
    if (slot == text)
        return;
    slot = text;
    Changed.raise();
}

void StatusBar::setStyle(int style) {
    if (style != sbrNormal && style != sbrSimple)
        raiseError(kInvalidPropertyValue);
    m_style = style;
    Changed.raise();
}

void StatusBar::setSimpleText(std::string text) {
    m_simpleText = std::move(text);
    Changed.raise();
}

const MemberTable& StatusBar::memberTable() {
    static const MemberTable table(
        {
            property<StatusBar>("Style", 101, &StatusBar::Style, &StatusBar::setStyle,
                                &Variant::toLong),
            property<StatusBar>("SimpleText", 102, &StatusBar::SimpleText,
                                &StatusBar::setSimpleText, &Variant::toString),
            Member{"PanelText", 103, MemberKind::Property, "",
                   [](Dispatch& s, std::span<const Variant> a) {
                       return Variant(
                           static_cast<StatusBar&>(s).PanelText(a.empty() ? 1 : a[0].toLong()));
                   },
                   [](Dispatch& s, std::span<const Variant> a) {
                       static_cast<StatusBar&>(s).setPanelText(a.size() > 1 ? a[0].toLong() : 1,
                                                               a.back().toString());
                   }},
        },
        &Control::memberTable());
    return table;
}

} // namespace rt
