#pragma once
// A private CUPS scheduler for the print tests: started before a test
// program's first test and stopped after its last, each within bounds, in a
// folder of its own. Each queue takes PDF through its PPD (in
// tests/data/print) and writes what it prints to a file of its own; the
// first queue is the system's default printer, as on a desk with one
// printer. Qt finds the scheduler through CUPS_SERVER.

#include "tests/output/PdfTools.h"
#include "tests/support/TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utility>

namespace quorvant::test {

class CupsScheduler : public ::testing::Environment {
public:
    struct Queue {
        QString name;
        QString ppd; // file name in tests/data/print
    };

    explicit CupsScheduler(QList<Queue> queues) { s_queues = std::move(queues); }

    static QString folder() { return s_dir->path(); }
    // The file a queue (by default the first) writes its jobs to.
    static QString output(const QString &queue = {})
    {
        return folder() + QStringLiteral("/out/%1.pdf").arg(queue.isEmpty() ? s_queues.first().name : queue);
    }

    void SetUp() override
    {
        s_dir = new QTemporaryDir;
        const QString d = folder();
        for (const char *sub : {"spool", "cache", "state", "log", "out", "tmp", "serverroot"})
            QDir(d).mkpath(QString::fromLatin1(sub));
        // The filters and the backend run as the scheduler's user.
        for (const char *open : {"", "/out", "/tmp"})
            QFile::setPermissions(d + open, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                | QFileDevice::ReadOther | QFileDevice::WriteOther
                                                | QFileDevice::ExeOther);
        writeTestFile(d + "/cupsd.conf",
                      QStringLiteral("Listen %1/cups.sock\nBrowsing No\nLogLevel warn\n"
                                     "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n")
                          .arg(d)
                          .toUtf8());
        QString files = QStringLiteral("ServerRoot %1/serverroot\nRequestRoot %1/spool\nCacheDir %1/cache\n"
                                       "StateDir %1/state\nTempDir %1/tmp\nAccessLog %1/log/access_log\n"
                                       "ErrorLog %1/log/error_log\nPageLog %1/log/page_log\nFileDevice Yes\n")
                            .arg(d);
        if (getuid() == 0)
            files += QStringLiteral("User lp\nGroup lp\n");
        writeTestFile(d + "/cups-files.conf", files.toUtf8());

        m_cupsd.start(QStringLiteral("cupsd"), {QStringLiteral("-f"), QStringLiteral("-c"), d + "/cupsd.conf",
                                                 QStringLiteral("-s"), d + "/cups-files.conf"});
        ASSERT_TRUE(m_cupsd.waitForStarted(10000)) << "cupsd (package cups-daemon) did not start";
        ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(d + "/cups.sock"); }, 20000))
            << "the scheduler opened no socket: " << log().toStdString();
        qputenv("CUPS_SERVER", (d + "/cups.sock").toUtf8());
        for (const Queue &queue : std::as_const(s_queues))
            runTool(QStringLiteral("lpadmin"),
                    {QStringLiteral("-p"), queue.name, QStringLiteral("-E"), QStringLiteral("-v"),
                     QStringLiteral("file://") + output(queue.name), QStringLiteral("-P"),
                     QStringLiteral(QUORVANT_TEST_DATA "/print/") + queue.ppd});
        runTool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), s_queues.first().name});
    }

    void TearDown() override
    {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(10000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
        delete s_dir;
    }

    // Waits, with the event loop running, until `done` holds; false when it
    // did not within `ms`.
    static bool waitFor(const std::function<bool()> &done, int ms)
    {
        const QDeadlineTimer deadline(ms);
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done() || deadline.hasExpired())
                loop.quit();
        });
        poll.start(50);
        if (!done())
            loop.exec();
        return done();
    }

    // Waits until the queue has no job left and has written its file.
    static ::testing::AssertionResult jobWritten(const QString &queue)
    {
        if (waitFor(
                [&] {
                    return runTool(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}).trimmed().isEmpty()
                           && QFileInfo(output(queue)).size() > 0;
                },
                60000))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << queue.toStdString() << " wrote nothing: " << log().toStdString();
    }

    // The jobs a queue has finished.
    static qsizetype completedJobs(const QString &queue)
    {
        return runTool(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"),
                                                  QStringLiteral("-o"), queue})
            .split('\n', Qt::SkipEmptyParts)
            .size();
    }

    static QString log() { return QString::fromUtf8(readTestFile(folder() + "/log/error_log")); }

private:
    static inline QTemporaryDir *s_dir = nullptr;
    static inline QList<Queue> s_queues;
    QProcess m_cupsd;
};

} // namespace quorvant::test
