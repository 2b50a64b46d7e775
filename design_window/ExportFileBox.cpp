#include "design_window/ExportFileBox.h"

#include "design_window/Globals.h"
#include "platform/Desktop.h"
#include "platform/Helpers.h"
#include "platform/MessageText.h"
#include "platform/ModalRun.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>

namespace {

// The user's last choice, one for a file and one for a folder, kept from
// one start of the program to the next.
QString choiceKey(bool folder)
{
    return folder ? QStringLiteral("ExportResult/OpenFolder") : QStringLiteral("ExportResult/OpenFile");
}

} // namespace

Export_File_Box::Export_File_Box(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("Open_Export_Files");
    setWindowTitle(design_window::App_Name);
    // The message of a run may be long (the cards it could not make whole,
    // with their values): it scrolls when the screen cannot hold it. A path
    // wraps anywhere, as it has no spaces to wrap at.
    m_message = new platform::MessageArea(this);
    _open_log_message = m_message->label();
    _open_log_message->setObjectName("_open_log_message");
    m_path = new platform::WrappingLabel(this);
    m_path->setSelectable(true); // the user may copy it
    _open_log_path = m_path;
    _open_log_path->setObjectName("_open_log_path");
    _open_log_chk = new QCheckBox(this);
    _open_log_chk->setObjectName("_open_log_chk");
    _open_log_chk->setChecked(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(_open_log_path);
    layout->addWidget(_open_log_chk);
    layout->addWidget(buttons);
}

design_window::ExportResultAnswer Export_File_Box::run(const design_window::ExportResultRequest &request)
{
    const bool folder = QFileInfo(request.path).isDir();
    QSettings settings;
    _open_log_chk->setText(folder ? tr("Open containing folder.") : tr("Open exported file."));
    _open_log_chk->setChecked(settings.value(choiceKey(folder), true).toBool());
    _open_log_path->setText(request.path);
    _open_log_message->setText(request.message);
    // The path on one line where it reads well, however short the message.
    m_path->setMinimumWidth(platform::readableWidth(*this, *m_path));
    resize(platform::fitMessageWindow(*this, *m_message));
    const bool accepted = platform::runModal(*this) == 1;
    hide();
    if (accepted)
        settings.setValue(choiceKey(folder), _open_log_chk->isChecked());
    return {accepted, accepted && _open_log_chk->isChecked()};
}

int Export_File_Box::Open_Export_File_Box()
{
    using namespace design_window;
    const ExportResultAnswer answer = run({Export_File_Path, Export_File_Message});
    if (answer.openResult && !Export_File_Path.isEmpty() && !platform::openWithDefaultApplication(Export_File_Path))
        Show_MessageBox(QObject::tr("No program was found to open %1.").arg(Export_File_Path));
    return answer.accepted ? 1 : 0;
}
