#pragma once
// The design window's controls as a user reaches them: by their object
// names, not through the window's members.

#include <QObject>
#include <gtest/gtest.h>

namespace quorvant::test {

// The child of `window` named `name` (a test failure when there is none).
template <class T>
T *outlet(const QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

} // namespace quorvant::test
