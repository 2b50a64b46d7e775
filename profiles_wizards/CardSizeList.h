#pragma once
// The list of named card sizes that the card size wizard and the template
// gallery carry: a category (PVC cards or paper badges), an orientation, a
// one-column table of the category's size names and the width and height in
// millimetres. Choosing a size or an orientation shows the width and height.
// Main thread only.

#include "design_window/DesignFile.h"

#include <QList>
#include <QSizeF>
#include <QVariantMap>
#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QTableView;

namespace profiles_wizards {

class SizeNamesModel;

class CardSizeList : public QWidget {
    Q_OBJECT
public:
    explicit CardSizeList(QWidget *parent = nullptr);

    // Appends a row for the trimmed name; an empty name adds none.
    void Create_List(const QString &name);
    // Selects that one row, which shows its size.
    void Mark_List_New_Selection(int row);
    // Shows the size of the selected row (row -1 when none) for the chosen
    // category and orientation.
    void tableViewSelectionDidChange();
    int numberOfRowsInTableView() const;
    // The name in `row`; nothing for a row outside the table.
    QVariant tableView(int row) const;
    // Stores an edited name in `row`; a row outside the table is logged and
    // nothing is stored.
    bool tableView(const QVariant &value, int row);
    // The category box lists its sizes and chooses the first; the
    // orientation box shows the chosen size turned.
    void comboBoxSelectionDidChange(QComboBox *sender);

    // Selects the category's first item and the first orientation, which
    // lists the PVC sizes with the first one chosen.
    void reset();
    // Shows `choice` with `mm` as width and height, as a design records them.
    void showChoice(const design_window::CardChoice &choice, QSizeF mm);
    // The category, row and orientation chosen; row -1 when the steppers
    // hold a size other than the row's.
    design_window::CardChoice choice() const;
    // Width and height in millimetres: each the length last shown while its
    // stepper still shows it, else what the stepper holds.
    QSizeF sizeInMillimetres() const;

    // The rows' names under "Extension".
    const QList<QVariantMap> &ListData() const;

    QComboBox *Category_ComboBox = nullptr;
    QComboBox *Preset_ComboBox = nullptr;
    QTableView *ColList = nullptr;
    // Each stepper shows its value in its own text field.
    QDoubleSpinBox *width_Stepper = nullptr;
    QDoubleSpinBox *height_Stepper = nullptr;

private:
    void showSize(QSizeF mm);

    SizeNamesModel *m_model = nullptr;
    QSizeF m_shownMm;
};

} // namespace profiles_wizards
