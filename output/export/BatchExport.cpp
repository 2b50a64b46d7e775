#include "output/export/BatchExport.h"

#include "output/export/ExportPaths.h"
#include "platform/MainThread.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace output {

namespace {

// Memory for the pixels of the records being encoded at once. At 300 dpi a
// card of 85.6 x 54 mm is about 2.6 MB a side, so every core gets a record;
// a poster at 600 dpi limits the run to fewer encoders.
constexpr double kPixelBudgetBytes = 512.0 * 1024 * 1024;

struct Job {
    int record = 0;
    platform::Image front;
    platform::Image back;
};

// A queue of jobs that holds at most `capacity` of them: push waits while it
// is full, pop while it is empty and open.
class JobQueue {
public:
    explicit JobQueue(size_t capacity)
        : m_capacity(std::max<size_t>(capacity, 1))
    {
    }

    void push(Job job)
    {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [&] { return m_jobs.size() < m_capacity; });
        m_jobs.push_back(std::move(job));
        m_notEmpty.notify_one();
    }

    std::optional<Job> pop()
    {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [&] { return !m_jobs.empty() || m_closed; });
        if (m_jobs.empty())
            return std::nullopt;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_notFull.notify_one();
        return job;
    }

    void close()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
    }

private:
    const size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_notFull;
    std::condition_variable m_notEmpty;
    std::deque<Job> m_jobs;
    bool m_closed = false;
};

// Encoders for pictures like `job`'s: one per core within the pixel budget.
int encoderCount(const BatchExportSettings &settings, const Job &job)
{
    if (settings.encoders > 0)
        return settings.encoders;
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const platform::Image &sample = job.front.isNull() ? job.back : job.front;
    const double scale = settings.options.dpi / 72.0;
    // Both sides' pixels, the combined picture and the encoded bytes.
    const double bytes = 4 * std::ceil(sample.size().width() * scale) * std::ceil(sample.size().height() * scale) * 4;
    const double fitting = bytes > 0 ? std::floor(kPixelBudgetBytes / bytes) : cores;
    return int(std::clamp<double>(fitting, 1, cores));
}

} // namespace

platform::Image CardRecords::drawCard(int n, const QString &side)
{
    platform::Image image;
    platform::runOnMainThread([&] { image = cardImage(n, side); });
    return image;
}

BatchExportResult runBatchExport(const BatchExportSettings &settings, CardRecords &records, RunState &run)
{
    BatchExportResult result;
    std::mutex resultMutex;
    // The lowest record that failed: the one the run reports, so that every
    // record before it is written and none after it.
    constexpr int kNone = std::numeric_limits<int>::max();
    std::atomic<int> failedRecord = kNone;
    auto fail = [&](int record, const QString &path, const QString &reason) {
        std::lock_guard lock(resultMutex);
        if (record < failedRecord) {
            failedRecord = record;
            result.failedPath = path;
            result.reason = reason;
        }
    };
    const ExportOptions &options = settings.options;
    auto basePath = [&](int record) { return batchCardPath(settings.folder, record, options.format); };

    // Records whose handling is over (written, left out or failed): the
    // run's count as the progress sheet shows it. It moves as each card's
    // files are on disk, not as its filling starts, which runs ahead of the
    // encoders by the records queued for them.
    int finished = 0;
    auto finish = [&] { run.advance(++finished); };

    std::optional<JobQueue> queue;
    std::vector<std::thread> encoders;
    auto encode = [&] {
        while (std::optional<Job> job = queue->pop()) {
            if (job->record > failedRecord)
                continue;
            CardFilesResult written;
            try {
                written = writeCardFiles(job->front, job->back, basePath(job->record), options);
            } catch (const std::exception &e) {
                written.failedPath = shownCardPath(basePath(job->record), options);
                written.reason = QString::fromLocal8Bit(e.what());
            }
            const int record = job->record;
            job.reset();
            if (!written.ok())
                fail(record, written.failedPath, written.reason);
            std::lock_guard lock(resultMutex);
            result.files += int(written.written.size());
            if (written.ok())
                ++result.records;
            finish();
        }
    };

    int current = 0;
    try {
        for (int i = 0; i < settings.count; ++i) {
            current = i;
            if (failedRecord != kNone)
                break;
            if (run.holdWhileAsked()) {
                result.stopped = true;
                break;
            }
            Job job{i, {}, {}};
            QString skipped;
            try {
                // One side at a time: between them the main thread is free to
                // hear the Stop button.
                if (options.needsBack())
                    job.back = records.drawCard(i, QStringLiteral("B"));
                if (options.needsFront())
                    job.front = records.drawCard(i, QStringLiteral("F"));
                platform::runOnMainThread([&] {
                    for (const CardProblem &problem : records.takeProblems())
                        run.problems.add(i, problem);
                });
            } catch (const std::exception &e) {
                skipped = QString::fromLocal8Bit(e.what());
            } catch (...) {
                skipped = QStringLiteral("the record could not be filled in");
            }
            if (skipped.isEmpty() && ((options.needsBack() && job.back.isNull())
                                      || (options.needsFront() && job.front.isNull())))
                skipped = QStringLiteral("the card could not be drawn");
            if (!skipped.isEmpty()) {
                // One bad record does not lose the others.
                run.problems.add(i, {CardProblem::Kind::Skipped, skipped});
                std::lock_guard lock(resultMutex);
                ++result.skipped;
                finish();
                continue;
            }
            if (!queue) {
                const int count = encoderCount(settings, job);
                queue.emplace(size_t(count));
                for (int e = 0; e < count; ++e)
                    encoders.emplace_back(encode);
            }
            queue->push(std::move(job));
        }
    } catch (const std::exception &e) {
        result.error = QStringLiteral("card %1: %2").arg(current + 1).arg(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        result.error = QStringLiteral("card %1: an unknown error").arg(current + 1);
    }
    // The encoders finish what they were given, whatever ended the run.
    if (queue) {
        queue->close();
        for (std::thread &t : encoders)
            t.join();
    }
    return result;
}

} // namespace output
