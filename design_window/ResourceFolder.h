#pragma once
// The per-user resource folder: where it is, its sub-folders, and the
// default content it starts with.

#include <QString>
#include <QStringList>

// Creates the series folder `Data_Folder_Path` and the resource sub-folders
// "Frames", "Fill_Style_Image", "LibraryImage", "Templates" and
// "Templates/User" where they are missing, then copies in the default content
// of the bundle that the user does not have yet. Files the user already has
// are never replaced.
void Check_Path_And_Create_Files();

namespace design_window {

// Sets `Resource_Path` to `resourceFolder` and `Data_Folder_Path` to its
// "DataSet" sub-folder.
void setResourceFolder(const QString &resourceFolder);

// The sub-folders of the resource folder, in creation order.
const QStringList &resourceSubfolders();

// Copies every file under `from` to the same relative place under `to` where
// no file exists there yet. Returns the number of files copied.
int copyMissingContent(const QString &from, const QString &to);

// The bundle's folder of default resource-folder content.
QString defaultContentPath();

} // namespace design_window
