#pragma once
// Work for the one user-interface thread. Backends that work on threads of
// their own (audio, the window system) post here; the event loop of the forms
// runtime runs what was posted, one item at a time, between other events.

#include <functional>

namespace rt::uithread {

// Queues `work`; safe from any thread. Calls the waker, if one is set, so a
// blocking event loop notices.
void post(std::function<void()> work);

// Runs everything posted so far, in order, on the calling thread; returns how
// many items ran. Items posted while it runs wait for the next call.
int runPosted();

// Whether anything is waiting.
bool hasPosted();

// Set by an event loop that sleeps (the GUI view): called after every post,
// from the posting thread.
void setWaker(std::function<void()> waker);

} // namespace rt::uithread
