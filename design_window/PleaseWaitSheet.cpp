#include "design_window/PleaseWaitSheet.h"

#include "design_window/Globals.h"

#include "platform/Helpers.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <exception>
#include <thread>

namespace design_window {

PleaseWaitSheet::PleaseWaitSheet(QWidget *owner)
    : QDialog(owner, Qt::Sheet)
{
    setObjectName("plz_wait_Window");
    setWindowTitle(App_Name);
    setWindowModality(Qt::WindowModal);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(241, 244, 250));
    setPalette(palette);
    setAutoFillBackground(true);
    auto *label = new QLabel(tr("Please wait..."), this);
    label->setObjectName("plz_wait_label");
    auto *busy = new QProgressBar(this);
    busy->setObjectName("plz_wait_progress");
    busy->setRange(0, 0);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(busy);
    setFixedWidth(280);
}

void runUnderPleaseWait(PleaseWaitSheet &sheet, const char *where, const std::function<void()> &work,
                        std::chrono::milliseconds showAfter)
{
    QEventLoop loop;
    std::atomic<bool> done = false;
    bool shown = false;
    const auto show = [&] {
        // User input is held off by the sheet meanwhile. Over an owner not
        // shown yet (a dialog that reads before it opens) a window-modal
        // sheet would hold off nothing: it then holds off every window.
        if (const QWidget *owner = sheet.parentWidget(); owner && owner->isVisible()) {
            sheet.open(); // window-modal
        } else {
            sheet.setWindowModality(Qt::ApplicationModal);
            sheet.show();
        }
        shown = true;
    };
    // Covering from the start means before the work can finish: a worker
    // faster than this thread would otherwise leave the sheet unshown.
    if (showAfter.count() <= 0)
        show();
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    if (showAfter.count() > 0) {
        QTimer::singleShot(showAfter, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!done && !shown)
        show();
    while (!done)
        loop.exec();
    if (shown)
        sheet.hide();
    worker.join();
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

} // namespace design_window
