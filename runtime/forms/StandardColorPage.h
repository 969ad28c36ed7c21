#pragma once
// The runtime's colour page ("StandardColor"): the colour properties of the
// first selected control, each as a colour value in a text box ("&H00FF0000&"
// or a decimal number). A property the control lacks keeps its row empty and
// disabled; only the rows the user edited are written.

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/TextBox.h"

namespace rt {

class StandardColorPage : public PropertyPage {
public:
    StandardColorPage();

    void PropertyPage_SelectionChanged() override;
    // Raises 380 naming the text when an edited row holds no colour; nothing
    // is written then.
    void PropertyPage_ApplyChanges() override;

    // "&H" and eight hex digits and "&", as colour values are written.
    static std::string formatColor(int32_t color);
    // That form (one to eight digits, the closing "&" optional) or a decimal
    // number in the range of a colour value; nothing for any other text.
    static std::optional<int32_t> parseColor(const std::string& text);

    Label lblBackColor{*this, "lblBackColor", "BackColor:"};
    TextBox txtBackColor{*this, "txtBackColor"};
    Label lblForeColor{*this, "lblForeColor", "ForeColor:"};
    TextBox txtForeColor{*this, "txtForeColor"};

private:
    struct Row {
        const char* property;
        Label& label;
        TextBox& editor;
        std::string loaded; // the text as loaded or last applied
    };
    static constexpr size_t kRows = 2;
    Row m_rows[kRows] = {{"BackColor", lblBackColor, txtBackColor, {}},
                         {"ForeColor", lblForeColor, txtForeColor, {}}};
};

} // namespace rt
