#include "profiles_wizards/CardSizeList.h"

#include "design_window/CardSizes.h"
#include "design_window/PanelSupport.h"
#include "platform/Helpers.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>

namespace profiles_wizards {

namespace {
const QString kColumn = QStringLiteral("Extension");
// Within the steppers' precision.
constexpr double kSameMm = 0.0005;
} // namespace

// The table's rows: one dictionary per size, its name under "Extension".
class SizeNamesModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(ListData.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole) || index.row() >= int(ListData.size()))
            return {};
        return ListData[index.row()].value(kColumn);
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole || !index.isValid() || index.row() >= int(ListData.size()))
            return false;
        ListData[index.row()].insert(kColumn, value);
        emit dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    }
    void append(const QVariantMap &row)
    {
        beginInsertRows({}, int(ListData.size()), int(ListData.size()));
        ListData.append(row);
        endInsertRows();
    }
    void setRows(QList<QVariantMap> rows)
    {
        beginResetModel();
        ListData = std::move(rows);
        endResetModel();
    }

    QList<QVariantMap> ListData;
};

CardSizeList::CardSizeList(QWidget *parent)
    : QWidget(parent)
    , m_model(new SizeNamesModel(this))
{
    Category_ComboBox = new QComboBox;
    Category_ComboBox->setObjectName("Category_ComboBox");
    Category_ComboBox->addItems({design_window::kPvcCategory, design_window::kPaperCategory});
    connect(Category_ComboBox, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(Category_ComboBox); });

    Preset_ComboBox = new QComboBox;
    Preset_ComboBox->setObjectName("Preset_ComboBox");
    Preset_ComboBox->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical")});
    connect(Preset_ComboBox, &QComboBox::activated, this, [this] { comboBoxSelectionDidChange(Preset_ComboBox); });

    ColList = new QTableView;
    ColList->setObjectName("ColList");
    ColList->setModel(m_model);
    ColList->setSelectionBehavior(QAbstractItemView::SelectRows);
    ColList->setSelectionMode(QAbstractItemView::SingleSelection);
    // A size is chosen with a click; its name is edited only on purpose.
    ColList->setEditTriggers(QAbstractItemView::EditKeyPressed);
    ColList->horizontalHeader()->hide();
    ColList->horizontalHeader()->setStretchLastSection(true);
    ColList->verticalHeader()->hide();
    ColList->setShowGrid(false);
    connect(ColList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tableViewSelectionDidChange(); });

    auto makeLength = [](const char *name) {
        QDoubleSpinBox *spin = design_window::newCardLengthField(name);
        spin->setSingleStep(0.5);
        return spin;
    };
    width_Stepper = makeLength("width_Stepper");
    height_Stepper = makeLength("height_Stepper");

    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(tr("Category:"), Category_ComboBox);
    form->addRow(tr("Orientation:"), Preset_ComboBox);
    form->addRow(ColList);
    form->addRow(tr("Width:"), width_Stepper);
    form->addRow(tr("Height:"), height_Stepper);
}

void CardSizeList::Create_List(const QString &name)
{
    const QString trimmed = Trim_Str(name);
    if (trimmed.isEmpty())
        return;
    m_model->append(QVariantMap{{kColumn, trimmed}});
}

void CardSizeList::Mark_List_New_Selection(int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        ColList->selectionModel()->clearSelection();
        return;
    }
    ColList->selectionModel()->select(m_model->index(row, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ColList->setCurrentIndex(m_model->index(row, 0));
}

void CardSizeList::tableViewSelectionDidChange()
{
    const QModelIndexList rows = ColList->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.first().row();
    const QString orientation =
        Preset_ComboBox->currentText() == QLatin1String("Horizontal") ? QStringLiteral("H") : QStringLiteral("V");
    // The size follows the row's place in the category, not its text.
    showSize(design_window::Get_My_card_Size(Category_ComboBox->currentText(), orientation, row));
}

void CardSizeList::showSize(QSizeF mm)
{
    m_shownMm = mm;
    width_Stepper->setValue(mm.width());
    height_Stepper->setValue(mm.height());
}

int CardSizeList::numberOfRowsInTableView() const
{
    return m_model->rowCount();
}

QVariant CardSizeList::tableView(int row) const
{
    return m_model->data(m_model->index(row, 0), Qt::DisplayRole);
}

bool CardSizeList::tableView(const QVariant &value, int row)
{
    if (row < 0 || row >= m_model->rowCount()) {
        Show_NSLog_Message(QStringLiteral("Card size list: no row %1 to store a name in").arg(row));
        return false;
    }
    return m_model->setData(m_model->index(row, 0), value, Qt::EditRole);
}

void CardSizeList::comboBoxSelectionDidChange(QComboBox *sender)
{
    if (sender == Preset_ComboBox) {
        // A new orientation shows the chosen size turned at once.
        tableViewSelectionDidChange();
        return;
    }
    if (sender != Category_ComboBox)
        return;
    const QStringList &names =
        Category_ComboBox->currentIndex() == 0 ? design_window::pvcCardNames() : design_window::paperCardNames();
    {
        // The rows are replaced whole; the first is chosen below.
        const QSignalBlocker block(ColList->selectionModel());
        m_model->setRows({});
        for (const QString &name : names)
            Create_List(name);
    }
    Mark_List_New_Selection(0);
    tableViewSelectionDidChange();
}

void CardSizeList::reset()
{
    Preset_ComboBox->setCurrentIndex(0);
    Category_ComboBox->setCurrentIndex(0);
    comboBoxSelectionDidChange(Category_ComboBox);
}

void CardSizeList::showChoice(const design_window::CardChoice &choice, QSizeF mm)
{
    Category_ComboBox->setCurrentIndex(choice.category == design_window::kPvcCategory ? 0 : 1);
    comboBoxSelectionDidChange(Category_ComboBox);
    Preset_ComboBox->setCurrentIndex(choice.orientation == QLatin1String("V") ? 1 : 0);
    {
        const QSignalBlocker block(ColList->selectionModel());
        Mark_List_New_Selection(choice.sizeIndex);
    }
    showSize(mm);
}

design_window::CardChoice CardSizeList::choice() const
{
    const QModelIndexList rows = ColList->selectionModel()->selectedRows();
    design_window::CardChoice choice{Category_ComboBox->currentText(), rows.isEmpty() ? -1 : rows.first().row(),
                                     Preset_ComboBox->currentIndex() == 0 ? QStringLiteral("H") : QStringLiteral("V")};
    // A size typed over the row's is no preset.
    const QSizeF preset = design_window::Get_My_card_Size(choice.category, choice.orientation, choice.sizeIndex);
    const QSizeF typed = sizeInMillimetres();
    if (std::abs(preset.width() - typed.width()) > kSameMm || std::abs(preset.height() - typed.height()) > kSameMm)
        choice.sizeIndex = -1;
    return choice;
}

QSizeF CardSizeList::sizeInMillimetres() const
{
    // The steppers show a size rounded to their two decimals (the CR80's
    // 85.598 mm as 85.60): while one still shows the length put in it, that
    // length is meant, not its rounding.
    return QSizeF(design_window::cardLengthMeant(m_shownMm.width(), width_Stepper),
                  design_window::cardLengthMeant(m_shownMm.height(), height_Stepper));
}

const QList<QVariantMap> &CardSizeList::ListData() const
{
    return m_model->ListData;
}

} // namespace profiles_wizards
