#pragma once
// Waiting for a batch export that a window started on its worker thread.

#include "output/export_window/ImageExport.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

namespace quorvant::test {

// Runs the event loop until `exporter`'s batch ends (two minutes at most);
// a batch still running then fails the test.
inline void waitForExport(ImageExport &exporter)
{
    if (!exporter.isRunning())
        return;
    QEventLoop loop;
    QObject::connect(&exporter, &ImageExport::batchFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_FALSE(exporter.isRunning()) << "the export did not end";
}

} // namespace quorvant::test
