#pragma once
// Guards for the process-wide values a test changes. The value goes back when
// the guard leaves scope, also when a failed assertion ends the test early,
// so no test hands its settings on to the next and the tests pass in any
// order (--gtest_shuffle).

#include <QByteArray>
#include <QSettings>
#include <QVariantMap>
#include <QtGlobal>
#include <atomic>
#include <functional>
#include <type_traits>
#include <utility>

namespace quorvant::test {

namespace detail {
template <typename T>
struct GuardedSlot {
    using Value = T;
    static Value load(const T &target) { return target; }
    static void store(T &target, Value value) { target = std::move(value); }
};
template <typename T>
struct GuardedSlot<std::atomic<T>> {
    using Value = T;
    static Value load(const std::atomic<T> &target) { return target.load(); }
    static void store(std::atomic<T> &target, Value value) { target.store(value); }
};
} // namespace detail

// Keeps the value `target` has and puts it back on destruction; given a
// value, sets it at once:
//     const ScopedValue shape(design_window::Card_Shape, 2);
// Works on plain variables and on std::atomic.
template <typename T>
class ScopedValue {
    using Slot = detail::GuardedSlot<T>;

public:
    using Value = typename Slot::Value;

    explicit ScopedValue(T &target) : m_target(target), m_old(Slot::load(target)) {}
    ScopedValue(T &target, std::type_identity_t<Value> value) : ScopedValue(target)
    {
        Slot::store(m_target, std::move(value));
    }
    ~ScopedValue() { Slot::store(m_target, std::move(m_old)); }
    ScopedValue(const ScopedValue &) = delete;
    ScopedValue &operator=(const ScopedValue &) = delete;

private:
    T &m_target;
    Value m_old;
};

// Sets an environment variable (a null value removes it) and puts back what
// was there before, set or not.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char *name, const QByteArray &value)
        : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        set(value.isNull(), value);
    }
    ~ScopedEnvironment() { set(!m_wasSet, m_old); }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    void set(bool unset, const QByteArray &value) const
    {
        if (unset)
            qunsetenv(m_name);
        else
            qputenv(m_name, value);
    }
    const char *m_name;
    bool m_wasSet;
    QByteArray m_old;
};

// Keeps the program's stored settings (QSettings) and puts them back on
// destruction; meanwhile the test starts from none, as on a first run.
class ScopedSettings {
public:
    ScopedSettings()
    {
        QSettings settings;
        for (const QString &key : settings.allKeys())
            m_old.insert(key, settings.value(key));
        settings.clear();
    }
    ~ScopedSettings()
    {
        QSettings settings;
        settings.clear();
        for (auto it = m_old.cbegin(); it != m_old.cend(); ++it)
            settings.setValue(it.key(), it.value());
    }
    ScopedSettings(const ScopedSettings &) = delete;
    ScopedSettings &operator=(const ScopedSettings &) = delete;

private:
    QVariantMap m_old;
};

// Runs `undo` when it leaves scope: for a value that is set through a
// function (a handler, the working folder, the default locale).
class OnScopeExit {
public:
    explicit OnScopeExit(std::function<void()> undo) : m_undo(std::move(undo)) {}
    ~OnScopeExit() { m_undo(); }
    OnScopeExit(const OnScopeExit &) = delete;
    OnScopeExit &operator=(const OnScopeExit &) = delete;

private:
    std::function<void()> m_undo;
};

} // namespace quorvant::test
