#pragma once
// A property bag holds no font object: the panes store a font as the text
// "<name>,<size>,<bold>" (bold as True or False, the size as the runtime
// prints a Single), the form StretchContainer uses too.

#include <memory>
#include <string>

#include "runtime/com/Dispatch.h"
#include "runtime/forms/Font.h"

namespace tlvFormControls {

std::string fontText(const rt::Font& font);
// Reads what fontText writes; the name may itself hold commas. 380 for text
// that is not a font.
std::shared_ptr<rt::Font> fontFromText(const std::string& text);
// The argument of a Font set: a font object, or Nothing (which the surface
// refuses with 424). Anything else does not match the parameter's type.
std::shared_ptr<rt::Font> fontArgument(const rt::Variant& v);

} // namespace tlvFormControls
