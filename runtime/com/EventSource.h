#pragma once
// Outgoing events of a late-bound object: a host advises a sink and gets every
// event as its dispatch identifier and arguments.

#include <functional>
#include <initializer_list>
#include <span>
#include <vector>

#include "runtime/com/Dispatch.h"

namespace rt {

// A sink may change the arguments: an event raised with fireEventByRef hands
// the changes back to its raiser (a handler that sets KeyAscii to 0).
using EventSink = std::function<void(DispId event, std::span<Variant> args)>;

class EventSource {
public:
    // Returns a cookie for unadvise; cookies start at 1.
    int advise(EventSink sink);
    void unadvise(int cookie);
    bool hasSinks() const { return !m_sinks.empty(); }

protected:
    // Raises an event to every sink advised at the moment of raising; a sink
    // may unadvise (or destroy the source's owner's host) while it runs.
    void fireEvent(DispId event, std::initializer_list<Variant> args);
    void fireEvent(DispId event, std::span<const Variant> args);
    // Raises an event whose arguments are passed by reference: every sink
    // sees (and may change) the raiser's own values.
    void fireEventByRef(DispId event, std::span<Variant> args);

private:
    struct Entry {
        int cookie;
        EventSink sink;
    };
    std::vector<Entry> m_sinks;
    int m_nextCookie = 1;
};

} // namespace rt
