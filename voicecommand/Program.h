#pragma once
// The end of the program: the main window's unload ends it at once; the
// entry point's event loop watches for it.

namespace Program {

void End();
bool Ended();
void reset();

} // namespace Program
