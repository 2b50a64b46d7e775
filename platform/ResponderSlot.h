#pragma once
// A process-wide answering function that tests install in place of a user
// (alerts, modal dialogs), readable from any thread.

#include <functional>
#include <mutex>
#include <utility>

namespace platform {

template <typename Fn>
class ResponderSlot {
public:
    Fn get() const
    {
        std::lock_guard lock(m_mutex);
        return m_fn;
    }
    // Installs `next` and returns the one it replaces.
    Fn exchange(Fn next)
    {
        std::lock_guard lock(m_mutex);
        std::swap(m_fn, next);
        return next;
    }

private:
    mutable std::mutex m_mutex;
    Fn m_fn;
};

// Installs a responder for its lifetime and puts the previous one back.
template <typename Fn, ResponderSlot<Fn> &(*slot)()>
class ScopedResponder {
public:
    explicit ScopedResponder(Fn responder) : m_previous(slot().exchange(std::move(responder))) {}
    ~ScopedResponder() { slot().exchange(std::move(m_previous)); }
    ScopedResponder(const ScopedResponder &) = delete;
    ScopedResponder &operator=(const ScopedResponder &) = delete;

private:
    Fn m_previous;
};

} // namespace platform
