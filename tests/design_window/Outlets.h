#pragma once
// The design window's controls as a user reaches them: by their object
// names, not through the window's members.

#include <QObject>
#include <gtest/gtest.h>

namespace quorvant::test {

// The one child of `window` named `name`; a test failure when there is
// none, or more than one that the name could mean.
template <class T>
T *outlet(const QObject &window, const char *name)
{
    const QList<T *> found = window.findChildren<T *>(QLatin1String(name));
    EXPECT_EQ(found.size(), 1) << "controls named " << name;
    return found.value(0);
}

} // namespace quorvant::test
