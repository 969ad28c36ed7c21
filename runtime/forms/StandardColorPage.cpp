#include "runtime/forms/StandardColorPage.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace rt {

StandardColorPage::StandardColorPage() : PropertyPage("StandardColor", "Color") {
    Move(0, 0, 4800, 1500);
    float top = 240;
    for (Row& row : m_rows) {
        row.label.Move(120, top, 1215, 255);
        row.editor.Move(1440, top, 2055, 315);
        row.editor.Change.connect([this] { setChanged(true); });
        top += 420;
    }
}

void StandardColorPage::PropertyPage_SelectionChanged() {
    for (Row& row : m_rows) {
        std::optional<int32_t> color;
        skipFailure([&] { color = SelectedControls()[0]->get(row.property).toLong(); });
        row.loaded = color ? formatColor(*color) : std::string();
        row.editor.setText(row.loaded);
        row.editor.setEnabled(color.has_value());
    }
}

void StandardColorPage::PropertyPage_ApplyChanges() {
    // Every edited row is checked before the first is written, so a bad
    // value leaves the control as it was.
    std::optional<int32_t> colors[kRows];
    for (size_t i = 0; i < kRows; ++i) {
        const Row& row = m_rows[i];
        if (!row.editor.Enabled() || row.editor.Text() == row.loaded)
            continue;
        colors[i] = parseColor(row.editor.Text());
        if (!colors[i])
            raiseError(kInvalidPropertyValue, {},
                       "'" + row.editor.Text() + "' is not a colour value for " + row.property);
    }
    for (size_t i = 0; i < kRows; ++i) {
        if (!colors[i])
            continue;
        Row& row = m_rows[i];
        SelectedControls()[0]->let(row.property, Variant(*colors[i]));
        row.loaded = row.editor.Text();
    }
}

std::string StandardColorPage::formatColor(int32_t color) {
    char text[16];
    std::snprintf(text, sizeof text, "&H%08X&", static_cast<uint32_t>(color));
    return text;
}

std::optional<int32_t> StandardColorPage::parseColor(const std::string& text) {
    std::string s = Trim(text);
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        size_t end = s.back() == '&' ? s.size() - 1 : s.size();
        if (end <= 2 || end - 2 > 8)
            return std::nullopt;
        uint32_t value = 0;
        for (size_t i = 2; i < end; ++i) {
            char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<uint32_t>(digit);
        }
        return static_cast<int32_t>(value);
    }
    double number = 0;
    if (!parseNumber(s, number) || number < -2147483648.0 || number > 2147483647.0 ||
        number != std::trunc(number))
        return std::nullopt;
    return static_cast<int32_t>(number);
}

} // namespace rt
