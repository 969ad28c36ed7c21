#pragma once
// Where a facility keeps the backend in use: a default one (the simulated
// backend) is made at first use, so tests and headless runs need no set-up;
// a program on a real desktop installs its own first.

#include <memory>

namespace rt {

template <class Interface, class Default>
class BackendSlot {
public:
    Interface& get() {
        if (!m_backend)
            m_backend = std::make_shared<Default>();
        return *m_backend;
    }
    // Null goes back to a fresh default at the next use.
    void set(std::shared_ptr<Interface> backend) { m_backend = std::move(backend); }

private:
    std::shared_ptr<Interface> m_backend;
};

} // namespace rt
