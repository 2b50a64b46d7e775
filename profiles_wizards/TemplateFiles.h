#pragma once
// Template files. A template is a thumbnail ("png" or "jpg") and a design
// file with the same base name in the same folder; the user's own templates
// lie in the "User" subfolder of the resource folder's "Templates" folder.
// These functions copy, rename, delete and write such pairs so that a
// failure leaves the files as they were (or both new files complete) and
// says why. No widgets; any thread.

#include <QByteArray>
#include <QString>

namespace profiles_wizards {

// The design file of the template whose thumbnail is `thumbnail`.
QString designFileOf(const QString &thumbnail);

// The first path "%@ (copy %d).%@" (base name, n from 1, extension) beside
// `path` at which neither the thumbnail nor its design file exists.
QString Create_New_File_Path(const QString &path);

// A name that can be a template's file name in its folder, one the gallery
// lists: not empty, not beginning with ".", and without "/" or "\".
bool isUsableTemplateName(const QString &name);

// Copies the template of `thumbnail` to the next free copy name and puts
// the new thumbnail's path in `copy`. On failure nothing new is left behind.
bool copyTemplate(const QString &thumbnail, QString *copy, QString *error = nullptr);

// Gives the template of `thumbnail` the base path `newBase` (a folder and a
// name without extension): the thumbnail becomes newBase.png, the design
// file newBase with the design-file extension. Both are copied first; the
// old files are removed only when both copies exist. Nothing is done when
// newBase.png is the thumbnail itself.
bool renameTemplate(const QString &thumbnail, const QString &newBase, QString *error = nullptr);

// Removes the thumbnail and its design file where they can be removed.
void deleteTemplate(const QString &thumbnail);

// Writes the template `newBase` (base path without extension): the design
// file's bytes and the PNG thumbnail. Both are written to temporary files
// first and then put in place, so an existing template of that name is
// replaced only by a complete new one.
bool writeTemplate(const QString &newBase, const QByteArray &design, const QByteArray &png,
                   QString *error = nullptr);

} // namespace profiles_wizards
