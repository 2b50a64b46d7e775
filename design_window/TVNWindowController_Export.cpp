// The design window's image export: the Export command, reached through
// ImageExportWindows, and the writers other output paths use, which
// forward to the export engine.
#include "design_window/ExportFileBox.h"
#include "design_window/Globals.h"
#include "design_window/ImageExportWindows.h"
#include "design_window/MailWindows.h"
#include "design_window/PrintWindows.h"
#include "design_window/RecordFill.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "drawing/TVNRenderingView.h"
#include "output/export/ExportPaths.h"
#include "output/export/ImageFiles.h"
#include "platform/Helpers.h"
#include "platform/MainThread.h"

#include <QAction>

using namespace design_window;

namespace {

const QString kExportedMessage = QStringLiteral("Frame has been exported successfully.");

void showWriteFailure(const QString &path, const QString &reason)
{
    Show_MessageBox(output::failureMessage(path, reason));
}

} // namespace

void TVNWindowController::buildExportCommands()
{
    for (QAction *action : std::as_const(pending_actions)) {
        if (action->objectName() == QLatin1String("act_export")) {
            pending_actions.removeOne(action);
            act_export = action;
            break;
        }
    }
    act_export->setEnabled(imageExportWindows() != nullptr);
    act_export->setToolTip(QString());
    connect(act_export, &QAction::triggered, this, [this] { Export_Button(); });
}

void TVNWindowController::Export_Button()
{
    if (ImageExportWindows *windows = imageExportWindows())
        windows->Export_Button(*this);
}

void TVNWindowController::setOutputCommandsEnabled(bool enabled)
{
    const std::pair<const char *, bool> commands[] = {{"act_export", imageExportWindows() != nullptr},
                                                     {"act_print", printWindows() != nullptr},
                                                     {"act_mail", mailWindows() != nullptr}};
    for (const auto &[name, installed] : commands) {
        if (QAction *action = findChild<QAction *>(QLatin1String(name)))
            action->setEnabled(enabled && installed);
    }
}

platform::Image TVNWindowController::renderedSide(int side) const
{
    const GraphicList &graphics = side == 1 ? document->graphics_back : document->graphics;
    return TVNRenderingView::image_From_Card_Graphics(graphics, TVNRenderingView::cardFace(side));
}

bool TVNWindowController::Export_Single_File(const QString &path, bool show_msg)
{
    output::ExportOptions options = export_options;
    options.sides = export_card_side;
    const platform::Image back = options.needsBack() ? renderedSide(1) : platform::Image();
    const platform::Image front = options.needsFront() ? renderedSide(0) : platform::Image();
    const output::CardFilesResult result = output::writeCardFiles(front, back, path, options);
    if (!result.ok()) {
        showWriteFailure(result.failedPath, result.reason);
        return false;
    }
    if (show_msg) {
        Export_File_Path = output::shownCardPath(path, options);
        Export_File_Message = kExportedMessage;
        Open_Export_File_Box();
    }
    return true;
}

bool TVNWindowController::Save_gen_image(const platform::Image &image, const QString &file_path_val)
{
    QString reason;
    if (output::Save_gen_image(image, file_path_val, export_options.dpi, &reason))
        return true;
    showWriteFailure(file_path_val, reason);
    return false;
}

QString TVNWindowController::Create_Front_Card_Path(const QString &path)
{
    return output::Create_Front_Card_Path(path);
}

QString TVNWindowController::Create_Back_Card_Path(const QString &path)
{
    return output::Create_Back_Card_Path(path);
}

void TVNWindowController::Select_first_row_value_for_design(bool)
{
    platform::runOnMainThread([this] {
        // Both sides, not only the front: no bound object is left showing
        // a later record, or the value its file stored.
        m_recordFill->endRun();
        Card_Value_In_Process = false;
        Refresh_Canvas();
    });
}
