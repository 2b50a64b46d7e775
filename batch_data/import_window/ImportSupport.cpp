#include "batch_data/import_window/ImportSupport.h"

#include "batch_data/series_window/BatchDialogLook.h"
#include "design_window/Globals.h"
#include "design_window/DesignHub.h"
#include "platform/Helpers.h"

#include <QFileInfo>

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

bool mayReplaceSeries(const SeriesStore &store, const QString &name)
{
    const auto path = store.seriesFilePath(name);
    if (!path || !QFileInfo::exists(*path))
        return true;
    return Show_YES_NO_MessageBox(QStringLiteral("Batch Processing Series already exists. Do you want to replace it?"));
}

QString seriesWriteFailure(const SeriesStore &store, const QString &name, const QString &reason)
{
    const QString path = store.seriesFilePath(name).value_or(QString());
    // The reason may name the file already.
    const QString why = path.isEmpty() || reason.contains(path) ? reason : path + QStringLiteral(": ") + reason;
    return fileAccessError(why);
}

} // namespace batch_data
