#pragma once
// Runs a short script with Debian's own Python (the one with zipfile and
// openpyxl) and hands back what it printed; tests use it to build hostile
// archives and to read back what we write with independent code.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace quorvant::test {

struct PythonResult {
    bool ok = false;
    QString out;
    QString err;
};

inline PythonResult runPython(const QString &script, const QStringList &args = {})
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
    PythonResult result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        result.err = QStringLiteral("python did not finish");
        return result;
    }
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    result.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return result;
}

} // namespace quorvant::test
