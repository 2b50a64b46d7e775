#include "batch_data/series_window/BatchDialogLook.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace batch_data {

void applyDialogBackground(QWidget &dialog)
{
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(0.945f, 0.957f, 0.980f));
    dialog.setPalette(palette);
    dialog.setAutoFillBackground(true);
}

QTableWidget *newListTable(const QString &title, const char *name)
{
    auto *table = new QTableWidget(0, 1);
    table->setObjectName(QLatin1String(name));
    table->setHorizontalHeaderLabels({title});
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    return table;
}

QPushButton *newButton(const QString &text, const char *name, QBoxLayout *row)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    row->addWidget(button);
    return button;
}

QString fileAccessError(const QString &reason)
{
    const QString message = QStringLiteral("Error in file accessing.");
    return reason.isEmpty() ? message : message + QStringLiteral("\n\n") + reason;
}

} // namespace batch_data
