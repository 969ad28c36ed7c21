#pragma once
// Quibo without a display, on the simulated desktop: each line of `in` is
// heard as a spoken phrase, and after each one `out` gets the status bar and
// what the phrase did (the window brought to the front, the keys typed, what
// was opened or started). The end of input closes the main window.

#include <iosfwd>
#include <string>

// `windowsFile` (empty: none) lists the other programs' windows, one a line:
// class, a tab, title, and optionally a tab and the words "iconic" and/or
// "front". Lines starting with "#" are skipped.
int runHeadless(std::istream& in, std::ostream& out, const std::string& windowsFile);
