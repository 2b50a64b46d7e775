#pragma once
// What a viewer window shows when a test answers its modal run: the window
// (its object name) and the values of its table's last column, row by row:
// the series viewer's values, or the spreadsheet viewer's last column.

#include <QDialog>
#include <QStringList>
#include <QTableWidget>
#include <ostream>

namespace quorvant::test {

struct ViewerShown {
    QString window;
    QStringList rows;
    bool operator==(const ViewerShown &) const = default;
};

inline void PrintTo(const ViewerShown &shown, std::ostream *os)
{
    *os << shown.window.toStdString() << " {" << shown.rows.join(", ").toStdString() << "}";
}

inline ViewerShown viewerShown(const QDialog &d)
{
    ViewerShown shown{d.objectName(), {}};
    if (const auto *table = d.findChild<const QTableWidget *>()) {
        const int last = table->columnCount() - 1;
        for (int r = 0; r < table->rowCount() && last >= 0; ++r) {
            const QTableWidgetItem *cell = table->item(r, last);
            shown.rows << (cell ? cell->text() : QString());
        }
    }
    return shown;
}

} // namespace quorvant::test
