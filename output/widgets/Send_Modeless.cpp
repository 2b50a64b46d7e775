#include "output/widgets/Send_Modeless.h"

#include "design_window/Globals.h"
#include "output/widgets/DialogLook.h"
#include "platform/Helpers.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr int kTickMs = 500;
}

Send_Modeless::Send_Modeless()
{
    setObjectName("Send_Modeless");
    setWindowTitle(design_window::App_Name);
    output::applyDialogBackground(*this);

    auto label = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(name);
        return l;
    };
    _tot_msg_cnt = label("_tot_msg_cnt");
    _curr_msg_cnt = label("_curr_msg_cnt");
    pause_label = label("pause_label");
    _Curr_Progress = new QProgressBar(this);
    _Curr_Progress->setObjectName("_Curr_Progress");
    _Curr_Progress->setTextVisible(false);
    _Curr_Progress->setMinimumWidth(320);
    _stop_btn = new QPushButton(tr("Stop"), this);
    _stop_btn->setObjectName("_stop_btn");
    _stop_btn->setAutoDefault(false);
    connect(_stop_btn, &QPushButton::clicked, this, &Send_Modeless::Stop_Sending_Pressed);

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(tr("Total:"), this), 0, 0);
    layout->addWidget(_tot_msg_cnt, 0, 1);
    layout->addWidget(new QLabel(tr("Current:"), this), 1, 0);
    layout->addWidget(_curr_msg_cnt, 1, 1);
    layout->addWidget(_Curr_Progress, 2, 0, 1, 3);
    layout->addWidget(pause_label, 3, 0, 1, 2);
    layout->addWidget(_stop_btn, 3, 2, Qt::AlignRight);
    layout->setColumnStretch(1, 1);

    msend_modTimer = new QTimer(this);
    msend_modTimer->setObjectName("msend_modTimer");
    msend_modTimer->setInterval(kTickMs);
    connect(msend_modTimer, &QTimer::timeout, this, &Send_Modeless::update_sending_progress_bar);
}

Send_Modeless &Send_Modeless::defaultInstance()
{
    // The sheet lives in its owner's window while shown and goes with that
    // window; the next use makes a new one. One left at the end goes before
    // the application object.
    static QPointer<Send_Modeless> instance;
    if (!instance) {
        instance = new Send_Modeless;
        static const bool cleanUp = (qAddPostRoutine([] { delete instance.data(); }), true);
        Q_UNUSED(cleanUp);
    }
    return *instance;
}

std::shared_ptr<output::RunState> Send_Modeless::beginRun(QWidget *owner, int count, const QString &openingText)
{
    m_run = std::make_shared<output::RunState>();
    m_run->list_count = count;
    _stop_btn->setEnabled(true);
    _Curr_Progress->setRange(0, count);
    _Curr_Progress->setValue(0);
    _tot_msg_cnt->setText(QString::number(count));
    _curr_msg_cnt->setText(openingText);
    pause_label->clear();
    // A run that advances its count shows each step at once. The count is
    // read when the main thread gets to it, so steps that come faster than
    // it draws make one refresh, never a queue of them.
    auto pending = std::make_shared<std::atomic<bool>>(false);
    m_run->onAdvance = [sheet = QPointer<Send_Modeless>(this), run = std::weak_ptr(m_run), pending] {
        if (pending->exchange(true))
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [sheet, run, pending] {
                pending->store(false);
                if (sheet && sheet->m_run && sheet->m_run == run.lock())
                    sheet->update_sending_progress_bar();
            },
            Qt::QueuedConnection);
    };

    // A sheet: it blocks its owner's window only, and moves with it.
    QWidget *window = owner ? owner->window() : nullptr;
    if (parentWidget() != window)
        setParent(window, windowFlags());
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    show();
    if (window)
        move(window->geometry().center() - rect().center());
    msend_modTimer->start();
    return m_run;
}

void Send_Modeless::endRun()
{
    msend_modTimer->stop();
    hide();
    m_run.reset();
}

void Send_Modeless::Stop_Sending_Pressed()
{
    const std::shared_ptr<output::RunState> run = m_run;
    if (!run)
        return;
    // Nothing new is started while the user decides.
    run->asking = true;
    const bool stop = Show_YES_NO_MessageBox(tr("Are you sure you want to continue?"));
    if (stop)
        run->Stop_SMS_Sending_Now = true;
    run->asking = false;
}

void Send_Modeless::update_sending_progress_bar()
{
    if (!m_run)
        return;
    const double current = m_run->curr_barcode_count;
    const int total = m_run->list_count;
    _Curr_Progress->setValue(int(current));
    // The bar by itself repaints only once it has grown by a chunk's width
    // (nine pixels, 2,800 of 100,000 cards); each tick shows every pixel.
    _Curr_Progress->update();
    curr_msg_count = QStringLiteral("%1 / %2 ").arg(int(current)).arg(total);
    _curr_msg_cnt->setText(curr_msg_count);
}

void Send_Modeless::reject()
{
    if (isVisible() && _stop_btn->isEnabled())
        Stop_Sending_Pressed();
}
