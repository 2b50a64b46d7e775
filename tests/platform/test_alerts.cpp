#include "platform/Alerts.h"
#include "platform/Helpers.h"
#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

namespace {

// Runs `work` on a worker thread while the main thread keeps processing
// events, as the program's event loop would.
void runOnWorker(const std::function<void()> &work)
{
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    worker.join();
}

} // namespace

TEST(Alerts, FromAWorkerThreadTheResponderAnswersOnTheMainThread)
{
    QThread *mainThread = QCoreApplication::instance()->thread();
    QThread *answeredOn = nullptr;
    QStringList texts;
    platform::ScopedAlertResponder responder([&](const platform::AlertRequest &r) {
        answeredOn = QThread::currentThread();
        texts << r.text;
        return r.buttons.size() - 1;
    });

    bool yes = true;
    runOnWorker([&] {
        Show_MessageBox(QStringLiteral("Export finished."));
        yes = Show_YES_NO_MessageBox(QStringLiteral("Stop?"));
    });
    EXPECT_EQ(answeredOn, mainThread);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("\nExport finished."), QStringLiteral("Stop?")}));
    EXPECT_FALSE(yes);
}

TEST(Alerts, ScopedRespondersNestAndRestore)
{
    platform::ScopedAlertResponder outer([](const platform::AlertRequest &) { return 7; });
    {
        platform::ScopedAlertResponder inner([](const platform::AlertRequest &) { return 3; });
        EXPECT_EQ(platform::showAlert({"?", {"a", "b"}, 0}), 3);
    }
    EXPECT_EQ(platform::showAlert({"?", {"a", "b"}, 0}), 7);
}

TEST(MainThread, WorkerWaitsForTheResultAndGetsTheException)
{
    int value = 0;
    bool onMain = false;
    bool caught = false;
    runOnWorker([&] {
        platform::runOnMainThread([&] {
            onMain = platform::isMainThread();
            value = 42;
        });
        // The hand-off returns only after the work is done.
        EXPECT_EQ(value, 42);
        try {
            platform::runOnMainThread([] { throw std::runtime_error("boom"); });
        } catch (const std::runtime_error &e) {
            caught = std::string(e.what()) == "boom";
        }
    });
    EXPECT_TRUE(onMain);
    EXPECT_TRUE(caught);

    // On the main thread it runs at once.
    value = 0;
    platform::runOnMainThread([&] { value = 1; });
    EXPECT_EQ(value, 1);
}
