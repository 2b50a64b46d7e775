#pragma once
// The box that reports an export: where the result went, a message, and an
// option to open the exported file or its folder on OK.

#include <QDialog>

class QCheckBox;
class QLabel;

namespace platform {
class MessageArea;
class WrappingLabel;
}

namespace design_window {

// What the box reports: the written file, or the folder of a batch run,
// and a message. The answer: OK, and whether the user asked to open the path.
struct ExportResultRequest {
    QString path;
    QString message;
};
struct ExportResultAnswer {
    bool accepted = false;
    bool openResult = false;
};

} // namespace design_window

class Export_File_Box : public QDialog {
    Q_OBJECT
public:
    explicit Export_File_Box(QWidget *parent = nullptr);

    // Shows the request modally; the option reads "Open containing folder."
    // for a folder and "Open exported file." otherwise. Opens nothing itself.
    design_window::ExportResultAnswer run(const design_window::ExportResultRequest &request);

    // Shows `Export_File_Path` and `Export_File_Message`; on OK with the
    // option ticked the path is opened with the desktop.
    int Open_Export_File_Box();

    QCheckBox *_open_log_chk = nullptr;
    QLabel *_open_log_path = nullptr;
    QLabel *_open_log_message = nullptr;

private:
    platform::MessageArea *m_message = nullptr; // holds _open_log_message
    platform::WrappingLabel *m_path = nullptr;  // is _open_log_path
};
