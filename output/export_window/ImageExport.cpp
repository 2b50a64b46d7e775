#include "output/export_window/ImageExport.h"

#include "design_window/Globals.h"
#include "design_window/PanelSupport.h"
#include "design_window/RecordFill.h"
#include "design_window/DesignHub.h"
#include "output/export/ExportPaths.h"
#include "output/export/ImageFiles.h"
#include "output/export_window/ExportWindow.h"
#include "output/widgets/Send_Modeless.h"
#include "platform/Helpers.h"
#include "platform/Log.h"
#include "platform/MainThread.h"
#include "platform/ModalRun.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>

using namespace design_window;

namespace {

const QString kExportedMessage = QStringLiteral("Frame has been exported successfully.");

// `path` with the format's title as its extension, unless it has it already
// (in any case).
QString withExtension(const QString &path, const QString &title)
{
    if (QFileInfo(path).suffix().compare(title, Qt::CaseInsensitive) == 0)
        return path;
    return path + QLatin1Char('.') + title;
}

// The save panel's type for a format: its title, and the title as the
// extension, as the files are named.
QString typeFilter(const QString &title)
{
    return QStringLiteral("%1 (*.%1)").arg(title);
}

QString chooseFolder(QWidget *parent)
{
    QFileDialog panel(parent, QObject::tr("Export Images To"));
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setOption(QFileDialog::ShowDirsOnly);
    panel.setFileMode(QFileDialog::Directory);
    panel.setAcceptMode(QFileDialog::AcceptOpen);
    if (platform::runModal(panel, true) != 1)
        return QString();
    const QStringList chosen = panel.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

} // namespace

namespace output {

WindowRecords::WindowRecords(design_window::DesignHub &window)
    : m_cards(window)
{
}

void WindowRecords::Check_Series_Or_Excel_Use_or_not()
{
    m_cards.check();
}

void WindowRecords::Get_total_Card_count()
{
    m_cards.count();
}

platform::Image WindowRecords::cardImage(int n, const QString &side)
{
    return m_cards.recordCard(n, sideNumber(side), sourcesInUse());
}

platform::Image WindowRecords::drawCard(int n, const QString &side)
{
    return m_cards.recordCard(n, sideNumber(side));
}

std::vector<output::CardProblem> WindowRecords::takeProblems()
{
    return m_cards.takeProblems();
}

void WindowRecords::Select_first_row_value_for_design(bool)
{
    m_cards.restoreFirst();
}

void WindowRecords::setResolution(double dpi)
{
    // Pixels at the run's resolution, drawn over layers made once per run;
    // afterwards the fill's own resolution again.
    m_cards.setResolution(dpi);
}

} // namespace output

ImageExport::ImageExport(std::unique_ptr<output::DesignRecords> records)
    : m_givenRecords(std::move(records))
{
}

output::DesignRecords &ImageExport::recordsOf(design_window::DesignHub &window)
{
    if (m_givenRecords)
        return *m_givenRecords;
    if (!m_windowRecords || &m_windowRecords->window() != &window)
        m_windowRecords = std::make_unique<output::WindowRecords>(window);
    return *m_windowRecords;
}

ImageExport::~ImageExport()
{
    if (!m_worker.joinable())
        return;
    m_closing = true;
    if (const std::shared_ptr<output::RunState> run = m_run)
        run->Stop_SMS_Sending_Now = true;
    // The worker may be waiting for the main thread: keep serving it.
    while (!m_lastRunDone)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    m_worker.join();
}

ExportWindow &ImageExport::exportWindow(design_window::DesignHub &window)
{
    if (!m_options || m_options->parentWidget() != window.mainWidget())
        m_options = new ExportWindow(window.mainWidget());
    return *m_options;
}

void ImageExport::Export_Button(design_window::DesignHub &window)
{
    // One run at a time, whichever output it is.
    if (isRunning() || Send_Modeless::defaultInstance().run())
        return;
    m_records = &recordsOf(window);
    m_records->Check_Series_Or_Excel_Use_or_not();

    const output::ExportAnswer answer =
        exportWindow(window).run({bool(Use_Data_Sheet_Values), bool(Use_Excel_Binding_Values)});
    export_card_side = answer.options.sides;
    window.design().export_options = answer.options;
    if (!answer.accepted)
        return;
    if (!answer.useSeries)
        Use_Data_Sheet_Values = false;
    if (!answer.useSpreadsheet)
        Use_Excel_Binding_Values = false;
    m_records->Get_total_Card_count();

    if (!Use_Data_Sheet_Values && !Use_Excel_Binding_Values) {
        // Every format the export writes, the one chosen in the options
        // first; the file is written in the one chosen last, in the panel.
        QStringList formats = output::exportFormatTitles();
        formats.move(std::max<qsizetype>(formats.indexOf(answer.options.format), 0), 0);
        QStringList types;
        for (const QString &title : formats)
            types << typeFilter(title);
        QString chosenType;
        const QString chosen = runFilePanel(window.mainWidget(), true, tr("Export Image"),
                                            types.join(QStringLiteral(";;")), formats.first(), &chosenType);
        if (chosen.isEmpty())
            return;
        const QString format = formats.value(std::max<qsizetype>(types.indexOf(chosenType), 0));
        window.design().export_options.format = format;
        window.mainWidget()->raise();
        window.mainWidget()->activateWindow();
        const QString path = withExtension(chosen, format);
        // Bound data that could not be used (a series gone, a column the
        // spreadsheet lacks) is said in place of the success message.
        output::CardProblems unused;
        for (const output::CardProblem &problem : m_records->takeProblems())
            unused.add(0, problem);
        m_lastProblems = unused.lines();
        if (unused.isEmpty()) {
            window.Export_Single_File(path, true);
            return;
        }
        if (!window.Export_Single_File(path, false))
            return;
        output::ExportOptions options = answer.options;
        options.sides = export_card_side;
        Export_File_Path = output::shownCardPath(path, options);
        Export_File_Message = output::runEndMessage(kExportedMessage, 1, 1, false, unused);
        window.Open_Export_File_Box();
        return;
    }
    const QString folder = chooseFolder(window.mainWidget());
    if (!folder.isEmpty())
        startBatch(window, folder);
}

void ImageExport::startBatch(design_window::DesignHub &window, const QString &folder)
{
    if (isRunning() || Send_Modeless::defaultInstance().run())
        return;
    m_window = &window;
    m_windowWidget = window.mainWidget();
    m_records = &recordsOf(window);
    m_lastRunDone = false;
    // The window stays usable around the run's sheet (before it shows, and
    // for clicks already queued): its output commands are off until the end.
    window.setOutputCommandsEnabled(false);
    m_worker = std::thread([this, folder] {
        Export_Batch_File(folder);
        m_lastRunDone = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_worker.joinable() && m_lastRunDone) {
                    m_worker.join();
                    if (design_window::DesignHub *window = liveWindow())
                        window->setOutputCommandsEnabled(true);
                    emit batchFinished();
                }
            },
            Qt::QueuedConnection);
    });
}

std::shared_ptr<output::RunState> ImageExport::Show_One_By_One_Modeless(int count)
{
    return Send_Modeless::defaultInstance().beginRun(m_windowWidget, count,
                                                     QStringLiteral("%1 / %2 Frame").arg(0).arg(count));
}

void ImageExport::Hide_One_By_One_Modeless()
{
    Send_Modeless::defaultInstance().endRun();
}

void ImageExport::Export_Batch_File(const QString &folder)
{
    design_window::DesignHub *window = liveWindow();
    if (!window || !m_records)
        return;
    Card_Value_In_Process = true;
    int keptSide = 0;
    platform::Image keptPhoto;
    output::BatchExportSettings settings;
    platform::runOnMainThread([&] {
        keptSide = Card_Front_Or_Back;
        keptPhoto = window->design()._Main_Photo_image;
        settings.options = window->design().export_options;
        settings.options.sides = export_card_side;
        settings.count = Total_Batch_Excel_Card;
    });
    settings.folder = output::exportFolderPath(folder);
    QString why;
    if (!output::makeExportFolder(settings.folder, &why)) {
        // The folder itself, not a drive or a barcode image: it is what the
        // user can look for.
        Show_MessageBox(QStringLiteral("The export folder could not be made.\n\n%1\n%2")
                            .arg(QDir::toNativeSeparators(settings.folder), why));
        Card_Value_In_Process = false;
        m_lastRun = {};
        m_lastRun.failedPath = settings.folder;
        m_lastMessage.clear();
        return;
    }

    output::BatchExportResult result;
    try {
        platform::runOnMainThread([&] {
            m_records->setResolution(settings.options.dpi);
            m_run = Show_One_By_One_Modeless(settings.count);
        });
        result = output::runBatchExport(settings, *m_records, *m_run);
        // A Stop question still open is answered before the run ends: the
        // sheet and the result box do not go from under it.
        m_run->holdWhileAsked();
    } catch (const std::exception &e) {
        result.error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        result.error = QStringLiteral("an unknown error");
    }
    if (!result.error.isEmpty())
        Show_NSLog_Message(QStringLiteral("Export ended early: ") + result.error);

    // The ending is the same after the last record, a stop and a failure.
    platform::runOnMainThread([&] {
        Hide_One_By_One_Modeless();
        Export_File_Path = settings.folder;
        // The success message only for a run that made every card whole.
        if (!result.failedPath.isEmpty()) {
            m_lastMessage = output::failureMessage(result.failedPath, result.reason) + QStringLiteral("\n\n")
                            + output::writtenCardsMessage(result.records, settings.count);
        } else if (!result.error.isEmpty()) {
            m_lastMessage = QStringLiteral("The export ended early because of an unexpected error (%1).\n\n"
                                           "%2 of %3 cards were made.")
                                .arg(result.error)
                                .arg(result.records)
                                .arg(settings.count);
        } else {
            m_lastMessage = output::runEndMessage(kExportedMessage, result.records, settings.count, result.stopped,
                                                  m_run->problems);
        }
        Export_File_Message = m_lastMessage;
        window->design()._Main_Photo_image = keptPhoto;
        platform::logFailures("Select_first_row_value_for_design", [&] {
            m_records->setResolution(0);
            m_records->Select_first_row_value_for_design(false);
        });
        Card_Value_In_Process = false;
        Card_Front_Or_Back = keptSide;
        window->Refresh_Canvas();
    });
    m_lastRun = result;
    QString problems;
    platform::runOnMainThread([&] {
        m_lastProblems.clear();
        if (m_run) {
            problems = m_run->problems.message();
            m_lastProblems = m_run->problems.lines();
            if (!m_lastProblems.isEmpty())
                Show_NSLog_Message(QStringLiteral("Export, cards not made whole: ") + m_lastProblems.join(QStringLiteral(" | ")));
        }
        m_run.reset();
    });
    if (m_closing)
        return;
    if (!result.ok()) {
        Show_MessageBox(problems.isEmpty() ? m_lastMessage : m_lastMessage + QStringLiteral("\n\n") + problems);
        return;
    }
    platform::runOnMainThread([&] { window->Open_Export_File_Box(); });
}
