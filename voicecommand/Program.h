#pragma once
// The end of the program: the main window's unload ends it at once; the
// entry point's event loop watches for it.

namespace Program {

void End();
bool Ended();
void reset();
// After the end: the windows still loaded (a closing window may load another
// to empty its lists) go without their unload handlers.
void DiscardForms();

// The program's picture: every window's icon and the About box's.
inline constexpr const char* kIcon = "audio-input-microphone";

} // namespace Program
