#pragma once
// What the batch data dialogs share in their look: the dialog background,
// the one-column tables of names or values, and buttons in a row.

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

} // namespace batch_data
