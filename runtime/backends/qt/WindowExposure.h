#pragma once
// What a form's window does when the window system shows it: it never shows
// black before its first paint, and the controls that paint themselves
// paint again when another window that covered them goes away.

namespace rt::qt {

class FormWindow;

// Lets the window system fill the window with its background colour the
// moment it is mapped or uncovered, before the program has drawn it. Call
// before every show: the native window may be new.
void fillBeforePaint(FormWindow& window);

// From now on, every part of the window uncovered again tells the form
// which of its controls came into view.
void watchUncovering(FormWindow& window);

} // namespace rt::qt
