#include "runtime/forms/StandardFontPage.h"

#include "runtime/core/Error.h"

namespace rt {

StandardFontPage::StandardFontPage() : PropertyPage("StandardFont", "Font") {
    Move(0, 0, 4800, 1900);
    lblFontName.Move(120, 240, 1215, 255);
    txtFontName.Move(1440, 240, 2055, 315);
    lblFontSize.Move(120, 660, 1215, 255);
    txtFontSize.Move(1440, 660, 975, 315);
    chkBold.Move(1440, 1080, 1215, 255);
    txtFontName.Change.connect([this] { setChanged(true); });
    txtFontSize.Change.connect([this] { setChanged(true); });
    chkBold.Click.connect([this] { setChanged(true); });
}

DispatchPtr StandardFontPage::selectedFont() const {
    DispatchPtr font = SelectedControls()[0]->get("Font").toObject();
    if (!font)
        raiseError(kObjectVariableNotSet);
    return font;
}

void StandardFontPage::PropertyPage_SelectionChanged() {
    DispatchPtr font;
    skipFailure([&] { font = selectedFont(); });
    bool hasName = font && skipFailure([&] { m_loadedName = font->get("Name").toString(); });
    bool hasSize =
        font && skipFailure([&] { m_loadedSize = formatNumber(font->get("Size").toSingle(), 7); });
    bool hasBold = font && skipFailure([&] {
                       m_loadedBold = font->get("Bold").toBool() ? vbChecked : vbUnchecked;
                   });
    if (!hasName)
        m_loadedName.clear();
    if (!hasSize)
        m_loadedSize.clear();
    if (!hasBold)
        m_loadedBold = vbUnchecked;
    txtFontName.setText(m_loadedName);
    txtFontName.setEnabled(hasName);
    txtFontSize.setText(m_loadedSize);
    txtFontSize.setEnabled(hasSize);
    chkBold.setValue(m_loadedBold);
    chkBold.setEnabled(hasBold);
}

void StandardFontPage::PropertyPage_ApplyChanges() {
    bool nameEdited = txtFontName.Enabled() && txtFontName.Text() != m_loadedName;
    bool sizeEdited = txtFontSize.Enabled() && txtFontSize.Text() != m_loadedSize;
    bool boldEdited = chkBold.Enabled() && chkBold.Value() != m_loadedBold;
    double size = 0;
    if (sizeEdited && !(parseNumber(txtFontSize.Text(), size) && size > 0))
        raiseError(kInvalidPropertyValue, {}, "'" + txtFontSize.Text() + "' is not a font size");
    if (!nameEdited && !sizeEdited && !boldEdited)
        return;
    DispatchPtr font = selectedFont();
    // Each value counts as applied once written, so applying again after a
    // refused value writes only what is still outstanding.
    if (nameEdited) {
        font->let("Name", Variant(txtFontName.Text()));
        m_loadedName = txtFontName.Text();
    }
    if (sizeEdited) {
        font->let("Size", Variant(size));
        m_loadedSize = txtFontSize.Text();
    }
    if (boldEdited) {
        font->let("Bold", Variant(chkBold.Value() == vbChecked));
        m_loadedBold = chkBold.Value();
    }
}

} // namespace rt
