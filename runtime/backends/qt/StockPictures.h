#pragma once
// The pictures the view draws itself for the stock picture names a program
// gives (the desktop's icon names, "document-save", "help-contents"...), so a
// toolbar looks the same, each button with a picture of its own, whatever
// icon theme the desktop has or lacks. A name that is a picture file is
// loaded from it.

#include <QIcon>
#include <string>

namespace rt::qt {

// Null for a name that is neither a stock picture nor a readable file.
QIcon stockPicture(const std::string& name);

} // namespace rt::qt
