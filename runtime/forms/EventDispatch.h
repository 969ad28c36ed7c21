#pragma once
// The top of every event handler. An error that no handler caught stops
// that handler only: it is shown to the user, as the runtime shows an
// untrapped error, and the program goes on with the next event.

#include <cstdint>
#include <functional>
#include <string>

namespace rt {

struct UnhandledError {
    int32_t number = 0;
    std::string description;
};

// The runtime's message for it: "Run-time error '<number>':", a blank
// line and the description.
std::string unhandledErrorText(const UnhandledError& error);

// Runs `handler` as one dispatch of an event. A RuntimeError, or any other
// exception, is reported through the forms host and not passed on; a
// ScriptFailure (no person could have acted) is passed on. False when the
// handler failed.
bool dispatchEvent(const std::function<void()>& handler);

} // namespace rt
