#pragma once
// The per-user resource folder: where it is, its sub-folders, and the
// default content it starts with.

#include <QString>
#include <QStringList>

// Creates the series folder `Data_Folder_Path` and the resource sub-folders
// "Frames", "Fill_Style_Image", "LibraryImage", "Templates" and
// "Templates/User" where they are missing, then seeds the bundle's default
// content (seedDefaultContent).
void Check_Path_And_Create_Files();

namespace design_window {

// Sets `Resource_Path` to `resourceFolder` and `Data_Folder_Path` to its
// "DataSet" sub-folder.
void setResourceFolder(const QString &resourceFolder);

// The sub-folders of the resource folder, in creation order.
const QStringList &resourceSubfolders();

// The record, in the resource folder, of the default content it was given:
// one path relative to the folder per line, UTF-8.
inline const QString kSeededContentRecord = QStringLiteral(".seeded_default_content");

// Gives the resource folder `to` each file under the bundle folder `from`
// once: copied where the user has no file of that name, and from then on
// listed in the record, so that a file the user deleted stays deleted. Files
// the user has are never replaced; a file the bundle gains later is offered
// the same way. Returns the number of files copied.
int seedDefaultContent(const QString &from, const QString &to);

// The bundle's folder of default resource-folder content.
QString defaultContentPath();

} // namespace design_window
