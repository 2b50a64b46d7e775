// The guards tests use to put process-wide values back: they restore what
// they found when the scope is left in any way, an exception included.
#include "tests/support/ScopedValue.h"

#include <QSettings>
#include <QString>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace quorvant::test;

namespace {
int plain = 1;
QString text = QStringLiteral("kept");
std::atomic<int> shared{7};
} // namespace

TEST(ScopedValue, PutsBackPlainAndAtomicValuesAlsoWhenTheScopeIsLeftByAnException)
{
    try {
        const ScopedValue a(plain, 2);
        const ScopedValue b(text, "changed");
        const ScopedValue c(shared, 8);
        EXPECT_EQ(plain, 2);
        EXPECT_EQ(text, "changed");
        EXPECT_EQ(shared.load(), 8);
        plain = 3;
        shared = 9;
        throw std::runtime_error("a test stopped early");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(plain, 1);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(shared.load(), 7);
    {
        const ScopedValue onlyKept(plain);
        plain = 4;
    }
    EXPECT_EQ(plain, 1);
}

TEST(ScopedEnvironment, RestoresAVariableThatWasSetAndRemovesOneThatWasNot)
{
    const char *name = "QUORVANT_SCOPED_TEST";
    qunsetenv(name);
    {
        const ScopedEnvironment set(name, "one");
        EXPECT_EQ(qgetenv(name), "one");
        {
            const ScopedEnvironment removed(name, QByteArray());
            EXPECT_FALSE(qEnvironmentVariableIsSet(name));
        }
        EXPECT_EQ(qgetenv(name), "one");
        const ScopedEnvironment empty(name, "");
        EXPECT_TRUE(qEnvironmentVariableIsSet(name));
    }
    EXPECT_FALSE(qEnvironmentVariableIsSet(name));
}

TEST(ScopedSettings, StartsFromNoSettingsAndPutsTheOldOnesBack)
{
    const ScopedSettings asTheRunHadThem;
    QSettings().setValue("Kept/choice", true);
    {
        const ScopedSettings fresh;
        EXPECT_TRUE(QSettings().allKeys().isEmpty());
        QSettings().setValue("Other/choice", 5);
    }
    QSettings settings;
    EXPECT_EQ(settings.allKeys(), QStringList{"Kept/choice"});
    EXPECT_TRUE(settings.value("Kept/choice").toBool());
}

TEST(OnScopeExit, RunsItsWorkOnceOnLeaving)
{
    int runs = 0;
    {
        const OnScopeExit count([&] { ++runs; });
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);
}
