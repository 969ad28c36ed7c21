#pragma once
// The end of the program: the main window's unload ends it at once; the
// entry point's event loop watches for it.

#include <string>

namespace Program {

// Makes this run the one Quibo of its program folder, until the process
// ends (an advisory lock on a file there). False when another run holds it,
// or when a lock file that is there cannot be opened or locked: two at a
// time would each rewrite the files over the other's changes.
bool ClaimFolder();
// What a refused run tells the user before it ends: why it was refused.
std::string AlreadyRunningText();

void End();
bool Ended();
void reset();
// After the end: the windows still loaded (a closing window may load another
// to empty its lists) go without their unload handlers.
void DiscardForms();

// The program's picture: every window's icon and the About box's.
inline constexpr const char* kIcon = "audio-input-microphone";

} // namespace Program
