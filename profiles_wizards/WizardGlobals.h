#pragma once
// Process-wide values of the wizards and libraries, and the folders and
// look they share.

#include <QString>
#include <QStringList>

class QWidget;

namespace profiles_wizards {

// The title or message chosen in the picker; empty when it opens and after
// Cancel.
extern QString Template_Msg_Val;
// The template gallery's pick: the picked thumbnail while it runs, the
// chosen design file after OK, empty after Cancel.
extern QString Selected_Template_Path;
// Numbers the ids of the gallery's user-template items; never reset.
extern quint64 User_Defined_File;
// The name the template name dialog accepted last.
extern QString export_template_name;

// The resource folder's "Templates" folder and its "User" subfolder.
QString templatesFolder();
QString userTemplatesFolder();

// The lines of a resource text file ("Title.txt", "Message.txt"): the whole
// text read as UTF-8 and trimmed, then split at every line feed; the lines
// keep their own blanks. No lines when the file cannot be read.
QStringList readResourceLines(const QString &path);

// Gives a dialog of this layer the background the dialogs share.
void applyDialogBackground(QWidget &dialog);

} // namespace profiles_wizards
