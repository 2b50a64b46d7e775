#include "design_window/PleaseWaitSheet.h"

#include "design_window/Globals.h"
#include "platform/Helpers.h"

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
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

void runUnderPleaseWait(PleaseWaitSheet &sheet, const char *where, const std::function<void()> &work)
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

} // namespace design_window
