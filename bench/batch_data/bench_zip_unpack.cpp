// Unpacking an archive of 20,000 small entries in 100 folders into a fresh
// folder: ours against Python's zipfile extractall (run as a process, so
// its figure includes starting the interpreter, about 50 ms).

#include "batch_data/zip/ZipArchive.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kEntries = 20000;

bool python(const QString &script, const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

const QString &archivePath()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quorvant-bench-XXXXXX"));
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("many.zip"));
        const bool made = python(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    for i in range(int(sys.argv[2])):
        z.writestr('d%d/f%d.txt' % (i % 100, i), 'content %d ' % i * 20)
)"), {file, QString::number(kEntries)});
        return made ? file : QString();
    }();
    return path;
}

int countFiles(const QString &folder)
{
    int n = 0;
    for (const QString &sub : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        n += int(QDir(folder + u'/' + sub).entryList(QDir::Files).size());
    return n;
}

void runUnpack(benchmark::State &state, bool ours)
{
    const QString zip = archivePath();
    if (zip.isEmpty()) {
        state.SkipWithError("the archive could not be made");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir target(QDir::tempPath() + QStringLiteral("/quorvant-bench-XXXXXX"));
        state.ResumeTiming();
        const bool ok = ours
            ? ZipArchive::unzipFileAtPath(zip, target.path())
            : python(QStringLiteral("import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])"),
                     {zip, target.path()});
        state.PauseTiming();
        if (!ok || countFiles(target.path()) != kEntries) {
            state.SkipWithError("wrong files unpacked");
            return;
        }
        target.remove();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_Unpack20000Entries(benchmark::State &state)
{
    runUnpack(state, true);
}

void BM_PythonExtractAll20000Entries(benchmark::State &state)
{
    runUnpack(state, false);
}

BENCHMARK(BM_Unpack20000Entries)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PythonExtractAll20000Entries)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
