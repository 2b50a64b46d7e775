#pragma once
// Where the export's files go: the back side's file beside the front's, the
// batch folder and the numbered file of each record. Any thread.

#include <QString>

namespace output {

// The front side's file of a path: the path itself.
QString Create_Front_Card_Path(const QString &path);
// The back side's file of a path: its last component "B.E" becomes
// "B_Back.E" in the same folder (Card_1.TIFF gives Card_1_Back.TIFF); a name
// without extension just gains "_Back".
QString Create_Back_Card_Path(const QString &path);

// The folder a batch run writes into: "Quorvant" inside the folder chosen.
QString exportFolderPath(const QString &chosenFolder);
// The file of record `record` (from 0): "Card_%d" with record + 1, unpadded,
// with `extension` as it is, inside `folder`.
QString batchCardPath(const QString &folder, int record, const QString &extension);

// Makes `path` and any missing parents, with the permissions the user's
// umask gives new folders; an existing folder is fine. False with the reason
// otherwise, the system's own where it gave one ("The folder could not be
// created: Permission denied.").
bool makeExportFolder(const QString &path, QString *error = nullptr);

} // namespace output
