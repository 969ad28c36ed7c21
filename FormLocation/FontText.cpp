#include "FormLocation/FontText.h"

#include "runtime/core/Error.h"
#include "runtime/core/Strings.h"

namespace tlvFormControls {

std::string fontText(const rt::Font& font) {
    return font.Name() + "," + rt::formatNumber(font.Size(), 7) + "," +
           (font.Bold() ? "True" : "False");
}

std::shared_ptr<rt::Font> fontFromText(const std::string& text) {
    size_t boldAt = text.rfind(',');
    size_t sizeAt = boldAt == std::string::npos || boldAt == 0 ? std::string::npos
                                                               : text.rfind(',', boldAt - 1);
    if (sizeAt == std::string::npos)
        rt::raiseError(rt::kInvalidPropertyValue);
    double size = 0;
    if (!rt::parseNumber(text.substr(sizeAt + 1, boldAt - sizeAt - 1), size))
        rt::raiseError(rt::kInvalidPropertyValue);
    std::string bold = text.substr(boldAt + 1);
    if (!rt::textEquals(bold, "True") && !rt::textEquals(bold, "False"))
        rt::raiseError(rt::kInvalidPropertyValue);
    auto font = std::make_shared<rt::Font>();
    font->setName(text.substr(0, sizeAt));
    font->setSize(static_cast<float>(size));
    font->setBold(rt::textEquals(bold, "True"));
    return font;
}

std::shared_ptr<rt::Font> fontArgument(const rt::Variant& v) {
    if (v == rt::Variant(rt::DispatchPtr()))
        return nullptr;
    auto font = std::dynamic_pointer_cast<rt::Font>(v.toObject());
    if (!font)
        rt::raiseError(rt::kTypeMismatch);
    return font;
}

} // namespace tlvFormControls
