#include "runtime/forms/EventDispatch.h"

#include <new>

#include "runtime/core/Error.h"
#include "runtime/forms/Host.h"
#include "runtime/forms/UserInput.h"

namespace rt {

std::string unhandledErrorText(const UnhandledError& error) {
    return "Run-time error '" + std::to_string(error.number) + "':\n\n" + error.description;
}

bool dispatchEvent(const std::function<void()>& handler) {
    UnhandledError error;
    try {
        UserInput::Action scope;
        handler();
        return true;
    } catch (const ScriptFailure&) {
        throw;
    } catch (const RuntimeError& e) {
        error = {e.number(), e.description()};
    } catch (const std::bad_alloc&) {
        error = {kOutOfMemory, standardErrorText(kOutOfMemory)};
    } catch (const std::exception& e) {
        error = {kInternalError, std::string("Internal error: ") + e.what()};
    }
    // Reported outside the handler's scope: the box is an event loop of its
    // own, and the forms the handler unloaded are released first.
    try {
        UserInput::Action scope;
        formsHost().reportError(error);
    } catch (const ScriptFailure&) {
        throw;
    } catch (const std::exception&) {
        // Nothing is left to tell the user with.
    }
    return false;
}

} // namespace rt
