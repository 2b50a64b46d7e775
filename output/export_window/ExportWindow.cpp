#include "output/export_window/ExportWindow.h"

#include "design_window/Globals.h"
#include "output/export/ImageFiles.h"
#include "output/widgets/DialogLook.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace output {

QList<int> exportResolutions()
{
    return {72, 96, 150, 200, 300, 600};
}

} // namespace output

namespace {

const QStringList kSideCodes{QStringLiteral("BOTH"), QStringLiteral("F"), QStringLiteral("B")};
constexpr int kFrontRow = 1;

} // namespace

ExportWindow::ExportWindow(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("ExportWindow");
    setWindowTitle(tr("Export Image"));
    output::applyDialogBackground(*this);

    fileFormatPopup = new QComboBox(this);
    fileFormatPopup->setObjectName("fileFormatPopup");
    fileFormatPopup->addItems(output::exportFormatTitles());
    saveDPIText = new QComboBox(this);
    saveDPIText->setObjectName("saveDPIText");
    for (int dpi : output::exportResolutions())
        saveDPIText->addItem(QString::number(dpi), dpi);

    auto *sides = new QGroupBox(tr("Card sides"), this);
    sides->setObjectName("card_sides_box");
    auto *sidesLayout = new QVBoxLayout(sides);
    matrix_export_card_side = new QButtonGroup(this);
    matrix_export_card_side->setObjectName("matrix_export_card_side");
    const QStringList sideTitles{tr("Both sides"), tr("Front side"), tr("Back side")};
    for (int row = 0; row < int(sideTitles.size()); ++row) {
        auto *radio = new QRadioButton(sideTitles[row], sides);
        radio->setObjectName(QStringLiteral("export_side_%1").arg(kSideCodes[row]));
        matrix_export_card_side->addButton(radio, row);
        sidesLayout->addWidget(radio);
    }
    export_combined_image_chk = new QCheckBox(tr("Combine both sides in one image"), sides);
    export_combined_image_chk->setObjectName("export_combined_image_chk");
    sidesLayout->addWidget(export_combined_image_chk);
    connect(matrix_export_card_side, &QButtonGroup::idClicked, this, &ExportWindow::export_card_side_CellClick);

    auto *data = new QGroupBox(tr("Data"), this);
    data->setObjectName("data_box");
    auto *dataLayout = new QVBoxLayout(data);
    Export_with_batch_chk = new QCheckBox(tr("Use Batch Processing Series values"), data);
    Export_with_batch_chk->setObjectName("Export_with_batch_chk");
    Export_with_excel_chk = new QCheckBox(tr("Use spreadsheet values"), data);
    Export_with_excel_chk->setObjectName("Export_with_excel_chk");
    dataLayout->addWidget(Export_with_batch_chk);
    dataLayout->addWidget(Export_with_excel_chk);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportWindow::exportOkay);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExportWindow::exportCancel);

    auto *form = new QFormLayout;
    form->addRow(tr("Format:"), fileFormatPopup);
    form->addRow(tr("Resolution (DPI):"), saveDPIText);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sides);
    layout->addWidget(data);
    layout->addWidget(buttons);
}

output::ExportAnswer ExportWindow::run(const output::ExportRequest &request)
{
    saveDPIText->setCurrentIndex(0);
    saveDPIText->setEnabled(true);
    fileFormatPopup->setCurrentIndex(0);
    export_combined_image_chk->setChecked(false);
    matrix_export_card_side->button(kFrontRow)->setChecked(true);
    export_card_side_CellClick(kFrontRow);
    for (auto [check, inUse] : {std::pair{Export_with_batch_chk, request.seriesInUse},
                                std::pair{Export_with_excel_chk, request.spreadsheetInUse}}) {
        check->setEnabled(inUse);
        check->setChecked(inUse);
    }

    output::ExportAnswer answer;
    answer.accepted = platform::runModal(*this, true) == 1;
    hide();
    answer.options = options();
    answer.useSeries = Export_with_batch_chk->isChecked();
    answer.useSpreadsheet = Export_with_excel_chk->isChecked();
    return answer;
}

void ExportWindow::exportOkay()
{
    done(1);
}

void ExportWindow::exportCancel()
{
    done(0);
}

void ExportWindow::export_card_side_CellClick(int row)
{
    export_combined_image_chk->setEnabled(row == 0);
    Show_NSLog_Message(kSideCodes.value(row, QStringLiteral("B")));
}

output::ExportOptions ExportWindow::options() const
{
    output::ExportOptions o;
    o.format = fileFormatPopup->currentText();
    o.dpi = saveDPIText->currentData().toInt();
    o.sides = kSideCodes.value(matrix_export_card_side->checkedId(), QStringLiteral("B"));
    o.combine = export_combined_image_chk->isChecked();
    return o;
}
