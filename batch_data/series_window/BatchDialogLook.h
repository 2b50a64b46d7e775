#pragma once
// What the batch data dialogs share in their look: the dialog background,
// the one-column tables of names or values, buttons in a row, and the words
// of a file that could not be read or written.

#include <QString>

class QBoxLayout;
class QPushButton;
class QTableWidget;
class QWidget;

namespace batch_data {

// The program's dialog background (device RGB 0.945, 0.957, 0.980).
void applyDialogBackground(QWidget &dialog);
// A read-only table of one titled column, rows selected whole (several at
// once), without row numbers.
QTableWidget *newListTable(const QString &title, const char *name);
// A button named `name` appended to `row`.
QPushButton *newButton(const QString &text, const char *name, QBoxLayout *row);
// "Error in file accessing." with the system's reason below it, so that a
// read-only folder or a full disk can be told apart.
QString fileAccessError(const QString &reason = QString());

} // namespace batch_data
