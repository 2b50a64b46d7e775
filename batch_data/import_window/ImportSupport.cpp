#include "batch_data/import_window/ImportSupport.h"

#include "design_window/Globals.h"
#include "design_window/DesignHub.h"
#include "platform/Helpers.h"

#include <QEventLoop>
#include <QFileInfo>
#include <exception>
#include <thread>

namespace batch_data {

namespace {

SeriesManagerHooks &hooks()
{
    static SeriesManagerHooks installed;
    return installed;
}

} // namespace

void setSeriesManagerHooks(SeriesManagerHooks h)
{
    hooks() = std::move(h);
}

const SeriesManagerHooks &seriesManagerHooks()
{
    return hooks();
}

SeriesStore importSeriesStore()
{
    return SeriesStore(design_window::Data_Folder_Path);
}

bool seriesInUseByDesign(const QString &name)
{
    design_window::DesignHub *window = design_window::Main_App_wnd;
    return window && window->Check_Batch_File_In_Use_Validation(name);
}

void runUnderPleaseWait(design_window::PleaseWaitSheet &sheet, const char *where, const std::function<void()> &work)
{
    sheet.open();
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // User input is held off by the window-modal sheet meanwhile.
    loop.exec();
    worker.join();
    sheet.hide();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception &e) {
            Show_NSLog_Message(QStringLiteral("%1: %2").arg(QLatin1String(where), QString::fromUtf8(e.what())));
        } catch (...) {
            Show_NSLog_Message(QStringLiteral("%1: unknown failure").arg(QLatin1String(where)));
        }
    }
}

bool mayReplaceSeries(const SeriesStore &store, const QString &name)
{
    const auto path = store.seriesFilePath(name);
    if (!path || !QFileInfo::exists(*path))
        return true;
    return Show_YES_NO_MessageBox(QStringLiteral("Batch Processing Series already exists. Do you want to replace it?"));
}

} // namespace batch_data
