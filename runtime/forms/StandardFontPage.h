#pragma once
// The runtime's font page ("StandardFont"): name, size and weight of the
// first selected control's Font object, read and written by name. A control
// without a font, or a font without one of these, leaves those editors
// disabled; only the editors the user changed are written.

#include <string>

#include "runtime/forms/CheckBox.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/PropertyPage.h"
#include "runtime/forms/TextBox.h"

namespace rt {

class StandardFontPage : public PropertyPage {
public:
    StandardFontPage();

    void PropertyPage_SelectionChanged() override;
    // Raises 380 naming the text when the size is no positive number;
    // nothing is written then.
    void PropertyPage_ApplyChanges() override;

    Label lblFontName{*this, "lblFontName", "Font:"};
    TextBox txtFontName{*this, "txtFontName"};
    Label lblFontSize{*this, "lblFontSize", "Size:"};
    TextBox txtFontSize{*this, "txtFontSize"};
    CheckBox chkBold{*this, "chkBold", "Bold"};

private:
    DispatchPtr selectedFont() const;

    // The editors as loaded or last applied.
    std::string m_loadedName;
    std::string m_loadedSize;
    int m_loadedBold = vbUnchecked;
};

} // namespace rt
