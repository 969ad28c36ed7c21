#pragma once
// A status bar: panels of text counted from 1, or one simple text across
// the whole bar when Style is sbrSimple.

#include <string>
#include <vector>

#include "runtime/forms/Control.h"

namespace rt {

constexpr int sbrNormal = 0;
constexpr int sbrSimple = 1;

class StatusBar : public Control {
public:
    StatusBar(Form& form, std::string name, int panels = 1);

    int PanelCount() const { return static_cast<int>(m_panels.size()); }
    void AddPanel(const std::string& text = {});
    // Error 35600 outside 1..PanelCount.
    const std::string& PanelText(int index) const;
    void setPanelText(int index, const std::string& text);
    int Style() const { return m_style; }
    void setStyle(int style);
    const std::string& SimpleText() const { return m_simpleText; }
    void setSimpleText(std::string text);

    static const MemberTable& memberTable();

protected:
    const MemberTable& table() const override { return memberTable(); }

private:
    struct Panel {
        std::string Key;
        std::string Text;
    };
    std::vector<Panel> m_panels;
    int m_style = sbrNormal;
    std::string m_simpleText;
};

} // namespace rt
