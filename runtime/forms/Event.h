#pragma once
// An event of a control or form: handlers connected in order, raised after
// the state changed. A handler may disconnect others or destroy the sender's
// form, so raising works on a copy of the handler list.

#include <functional>
#include <vector>

namespace rt {

template <class... Args> class Event {
public:
    using Handler = std::function<void(Args...)>;

    void connect(Handler handler) { m_handlers.push_back(std::move(handler)); }
    void disconnectAll() { m_handlers.clear(); }
    bool connected() const { return !m_handlers.empty(); }

    void raise(Args... args) const {
        std::vector<Handler> handlers = m_handlers;
        for (const Handler& h : handlers)
            h(args...);
    }

private:
    std::vector<Handler> m_handlers;
};

} // namespace rt
