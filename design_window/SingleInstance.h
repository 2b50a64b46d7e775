#pragma once
// The one instance of a dialog class, created on first use and destroyed
// while the application object still exists (windows must not outlive it).

#include <QCoreApplication>
#include <memory>

namespace design_window {

template <class T>
T &singleInstance()
{
    static std::unique_ptr<T> instance;
    if (!instance) {
        instance = std::make_unique<T>();
        qAddPostRoutine([] { instance.reset(); });
    }
    return *instance;
}

} // namespace design_window
