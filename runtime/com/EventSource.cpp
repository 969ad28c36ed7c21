#include "runtime/com/EventSource.h"

#include <algorithm>

namespace rt {

int EventSource::advise(EventSink sink) {
    m_sinks.push_back({m_nextCookie, std::move(sink)});
    return m_nextCookie++;
}

void EventSource::unadvise(int cookie) {
    std::erase_if(m_sinks, [cookie](const Entry& e) { return e.cookie == cookie; });
}

void EventSource::fireEvent(DispId event, std::initializer_list<Variant> args) {
    fireEvent(event, std::span<const Variant>(args.begin(), args.size()));
}

void EventSource::fireEvent(DispId event, std::span<const Variant> args) {
    // By value: what a sink changes stays with the sinks.
    std::vector<Variant> copy(args.begin(), args.end());
    fireEventByRef(event, copy);
}

void EventSource::fireEventByRef(DispId event, std::span<Variant> args) {
    // A copy: sinks may change the list while they run.
    std::vector<Entry> sinks = m_sinks;
    for (const Entry& e : sinks)
        e.sink(event, args);
}

} // namespace rt
