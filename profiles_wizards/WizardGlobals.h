#pragma once
// Process-wide values of the wizards and libraries, and the folders and
// look they share.

#include <QString>

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

// Gives a dialog of this layer the background the dialogs share.
void applyDialogBackground(QWidget &dialog);

} // namespace profiles_wizards
