#pragma once
// Hand-off of work to the main (GUI) thread, for workers that must touch the
// live design or show a window.

#include <functional>

namespace platform {

// Runs `fn` on the main thread and returns when it has finished. On the main
// thread (or before the application object exists) it runs directly. An
// exception thrown by `fn` is passed on to the caller, on the caller's thread.
// The main thread must be free to process events while a worker waits here.
void runOnMainThread(const std::function<void()> &fn);

bool isMainThread();

} // namespace platform
