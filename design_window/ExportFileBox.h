#pragma once
// The box that reports an export: where the result went, a message, and an
// option to open the exported file or its folder on OK.

#include <QDialog>

class QCheckBox;
class QLabel;

class Export_File_Box : public QDialog {
    Q_OBJECT
public:
    explicit Export_File_Box(QWidget *parent = nullptr);

    // Shows `Export_File_Path` and `Export_File_Message` modally; on OK with
    // the option ticked the path is opened with the desktop.
    int Open_Export_File_Box();

    QCheckBox *_open_log_chk = nullptr;
    QLabel *_open_log_path = nullptr;
    QLabel *_open_log_message = nullptr;
};
