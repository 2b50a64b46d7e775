#pragma once
// What the benchmark programs share: a main that runs them under the Qt
// application object they need, and the process's resident memory.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QByteArray>
#include <QtGlobal>

namespace bench {

// Runs the registered benchmarks under an `Application` (QGuiApplication for
// text and pictures, QApplication for windows); the offscreen platform serves
// when none is named, so no display is needed.
template <class Application>
int runUnder(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Kibibytes of the process's resident memory now ("VmRSS:") or at its peak
// ("VmHWM:") from /proc/self/status; -1 when it cannot be read.
inline long statusKiB(const char *field)
{
    FILE *status = std::fopen("/proc/self/status", "r");
    long value = -1;
    char line[256];
    while (status && std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, std::strlen(field)) == 0)
            value = std::atol(line + std::strlen(field));
    }
    if (status)
        std::fclose(status);
    return value;
}

// Starts a new peak ("VmHWM:") from the memory held now; false when the
// kernel refused.
inline bool resetPeakMemory()
{
    FILE *clear = std::fopen("/proc/self/clear_refs", "w");
    const bool reset = clear && std::fputs("5", clear) >= 0;
    if (clear)
        std::fclose(clear);
    return reset;
}

} // namespace bench
