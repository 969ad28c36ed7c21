#pragma once
// Load on first reference: form<T>() names the one instance of a form class;
// its first use creates the form hidden and runs Form_Load. Unload runs
// Form_Unload and releases the instance, so the next reference loads a fresh
// one. A released form is destroyed only at a safe point (releaseUnloadedForms,
// run after each outermost user action), never under a handler of its own
// that is still running.

#include <memory>

#include "runtime/forms/Form.h"

namespace rt {

// Keeps an unloaded form alive until the next safe point.
void retireForm(std::unique_ptr<Form> form);
// Destroys the forms unloaded since the last call.
void releaseUnloadedForms();

template <class T> class FormRef {
public:
    T& get() {
        if (!m_form) {
            m_form = std::make_unique<T>();
            T& f = *m_form;
            f.setReleaser([this] { retireForm(std::move(m_form)); });
            f.runLoad();
            return f;
        }
        return *m_form;
    }
    T* operator->() { return &get(); }
    T& operator*() { return get(); }
    // Whether an instance exists, without loading one.
    bool isLoaded() const { return m_form != nullptr; }

    // Unloading a form that is not loaded does nothing; false when the
    // form's unload handler cancelled.
    bool unload() { return m_form ? m_form->Unload() : true; }
    // Lets the instance go without its unload handler, as the end of the
    // program does; destroyed at the next safe point.
    void discard() {
        if (m_form)
            retireForm(std::move(m_form));
    }

private:
    std::unique_ptr<T> m_form;
};

template <class T> FormRef<T>& form() {
    static FormRef<T> ref;
    return ref;
}

} // namespace rt
