#include "batch_data/import_window/Generate_List.h"

#include "batch_data/import/SeriesTarget.h"
#include "batch_data/import/ValueGenerator.h"
#include "batch_data/import_window/ImportSupport.h"
#include "batch_data/series_window/BatchDialogLook.h"
#include "design_window/Globals.h"
#include "design_window/SingleInstance.h"
#include "platform/Alerts.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace batch_data;

namespace {

const QString kUntitled = QStringLiteral("Untitled");

QLineEdit *lineEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

// A stepper beside its text field: only the arrows show.
QSpinBox *stepper(QWidget *parent, const char *name, int maximum)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, maximum);
    box->setFixedWidth(22);
    box->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    return box;
}

QWidget *withStepper(QLineEdit *field, QSpinBox *box)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(field, 1);
    layout->addWidget(box);
    return row;
}

} // namespace

Generate_List::Generate_List()
{
    setObjectName("Generate_List");
    setWindowTitle(tr("Generate Batch Processing Series"));
    applyDialogBackground(*this);

    radioButton_Sequntial = new QRadioButton(tr("Sequential numbers"), this);
    radioButton_Sequntial->setObjectName("radioButton_Sequntial");
    radioButton_Constant = new QRadioButton(tr("Constant value"), this);
    radioButton_Constant->setObjectName("radioButton_Constant");
    radioButton_Random = new QRadioButton(tr("Random numbers"), this);
    radioButton_Random->setObjectName("radioButton_Random");

    prefix_txt = lineEdit(this, "prefix_txt");
    suffix_txt = lineEdit(this, "suffix_txt");
    from_txt = lineEdit(this, "from_txt");
    to_txt = lineEdit(this, "to_txt");
    manage_digit_chk = new QCheckBox(tr("Maintain number of digits"), this);
    manage_digit_chk->setObjectName("manage_digit_chk");
    help_btn = new QPushButton(tr("?"), this);
    help_btn->setObjectName("help_btn");
    help_btn->setFixedWidth(28);
    seq_file_name = lineEdit(this, "seq_file_name");

    value_txt = lineEdit(this, "value_txt");
    count_txt = lineEdit(this, "count_txt");
    count_stepper = stepper(this, "count_stepper", 10000);
    const_file_name = lineEdit(this, "const_file_name");

    rand_prefix_txt = lineEdit(this, "rand_prefix_txt");
    rand_suffix_txt = lineEdit(this, "rand_suffix_txt");
    rand_length_txt = lineEdit(this, "rand_length_txt");
    rand_length_stepper = stepper(this, "rand_length_stepper", 9);
    rand_count_txt = lineEdit(this, "rand_count_txt");
    rand_count_stepper = stepper(this, "rand_count_stepper", 10000);
    rndm_file_name = lineEdit(this, "rndm_file_name");

    auto *sequential = new QGroupBox(this);
    auto *seqForm = new QFormLayout(sequential);
    seqForm->addRow(radioButton_Sequntial);
    seqForm->addRow(tr("Series name:"), seq_file_name);
    seqForm->addRow(tr("Prefix:"), prefix_txt);
    seqForm->addRow(tr("From:"), from_txt);
    seqForm->addRow(tr("To:"), to_txt);
    seqForm->addRow(tr("Suffix:"), suffix_txt);
    auto *padRow = new QHBoxLayout;
    padRow->addWidget(manage_digit_chk);
    padRow->addWidget(help_btn);
    padRow->addStretch();
    seqForm->addRow(padRow);

    auto *constant = new QGroupBox(this);
    auto *constForm = new QFormLayout(constant);
    constForm->addRow(radioButton_Constant);
    constForm->addRow(tr("Series name:"), const_file_name);
    constForm->addRow(tr("Value:"), value_txt);
    constForm->addRow(tr("Count:"), withStepper(count_txt, count_stepper));

    auto *random = new QGroupBox(this);
    auto *randForm = new QFormLayout(random);
    randForm->addRow(radioButton_Random);
    randForm->addRow(tr("Series name:"), rndm_file_name);
    randForm->addRow(tr("Prefix:"), rand_prefix_txt);
    randForm->addRow(tr("Length:"), withStepper(rand_length_txt, rand_length_stepper));
    randForm->addRow(tr("Suffix:"), rand_suffix_txt);
    randForm->addRow(tr("Count:"), withStepper(rand_count_txt, rand_count_stepper));

    ok_btn = new QPushButton(tr("OK"), this);
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    cancel_btn = new QPushButton(tr("Cancel"), this);
    cancel_btn->setObjectName("cancel_btn");

    auto *modes = new QHBoxLayout;
    modes->addWidget(sequential);
    modes->addWidget(constant, 0, Qt::AlignTop);
    modes->addWidget(random, 0, Qt::AlignTop);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(modes);
    layout->addLayout(buttons);

    // Tab runs down each column as the form reads, the columns left to
    // right, then Cancel and OK.
    QWidget *const chain[] = {radioButton_Sequntial, seq_file_name, prefix_txt, from_txt, to_txt, suffix_txt,
                              manage_digit_chk, help_btn, radioButton_Constant, const_file_name, value_txt,
                              count_txt, count_stepper, radioButton_Random, rndm_file_name, rand_prefix_txt,
                              rand_length_txt, rand_length_stepper, rand_suffix_txt, rand_count_txt,
                              rand_count_stepper, cancel_btn, ok_btn};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    connect(radioButton_Sequntial, &QRadioButton::clicked, this, &Generate_List::Sequintial_Radio_Pressed);
    connect(radioButton_Constant, &QRadioButton::clicked, this, &Generate_List::Constant_Radio_Pressed);
    connect(radioButton_Random, &QRadioButton::clicked, this, &Generate_List::Random_Radio_Pressed);
    connect(help_btn, &QPushButton::clicked, this, &Generate_List::Help_btn_Pressed);
    connect(ok_btn, &QPushButton::clicked, this, &Generate_List::OKPressed);
    connect(cancel_btn, &QPushButton::clicked, this, &Generate_List::CancelPressed);
    // Stepper and field stay equal whichever the user changes.
    const std::pair<QLineEdit *, QSpinBox *> pairs[] = {
        {count_txt, count_stepper}, {rand_length_txt, rand_length_stepper}, {rand_count_txt, rand_count_stepper}};
    for (const auto &[lineEdit, box] : pairs) {
        // Clang 14 cannot capture a structured binding: copy the pointer.
        connect(box, &QSpinBox::valueChanged, lineEdit, [field = lineEdit](int value) {
            if (intValue(field->text()) != value)
                field->setText(QString::number(value));
        });
    }
    connect(count_txt, &QLineEdit::textEdited, this, [this] { clampWhileTyping(count_txt, count_stepper, 5, 10000); });
    connect(rand_count_txt, &QLineEdit::textEdited, this,
            [this] { clampWhileTyping(rand_count_txt, rand_count_stepper, 5, 10000); });
    connect(rand_length_txt, &QLineEdit::textEdited, this,
            [this] { clampWhileTyping(rand_length_txt, rand_length_stepper, 1, 9); });
}

Generate_List &Generate_List::defaultInstance()
{
    return design_window::singleInstance<Generate_List>();
}

void Generate_List::clampWhileTyping(QLineEdit *field, QSpinBox *box, int digits, int limit)
{
    const QString trimmed = Trim_Str(field->text());
    if (trimmed.isEmpty() || intValue(trimmed) == 0)
        field->setText(QStringLiteral("1"));
    else if (trimmed.size() > digits)
        field->setText(trimmed.left(digits));
    if (intValue(field->text()) > limit)
        field->setText(QString::number(limit));
    const QSignalBlocker block(box);
    box->setValue(intValue(field->text()));
}

int Generate_List::Open_Wnd()
{
    for (QLineEdit *name : {seq_file_name, const_file_name, rndm_file_name}) {
        name->clear();
        name->setVisible(file_name_required == 1);
        if (auto *form = qobject_cast<QFormLayout *>(name->parentWidget()->layout()))
            form->setRowVisible(name, file_name_required == 1);
    }
    if (file_name_required == 1)
        seq_file_name->setText(kUntitled);
    manage_digit_chk->setChecked(false);
    for (QLineEdit *field : {prefix_txt, suffix_txt, from_txt, to_txt, value_txt, rand_prefix_txt, rand_suffix_txt})
        field->clear();
    for (QLineEdit *field : {count_txt, rand_length_txt, rand_count_txt})
        field->setText(QStringLiteral("1"));
    selectMode(Mode::Sequential);
    setResult(0);
    prefix_txt->setFocus();
    const int result = platform::runModal(*this);
    hide();
    return result;
}

void Generate_List::selectMode(Mode m)
{
    radioButton_Sequntial->setChecked(m == Mode::Sequential);
    radioButton_Constant->setChecked(m == Mode::Constant);
    radioButton_Random->setChecked(m == Mode::Random);
    seq_file_name->setEnabled(m == Mode::Sequential);
    const_file_name->setEnabled(m == Mode::Constant);
    rndm_file_name->setEnabled(m == Mode::Random);
    for (QWidget *w : std::initializer_list<QWidget *>{prefix_txt, suffix_txt, from_txt, to_txt, help_btn, manage_digit_chk})
        w->setEnabled(m == Mode::Sequential);
    for (QWidget *w : std::initializer_list<QWidget *>{value_txt, count_txt, count_stepper})
        w->setEnabled(m == Mode::Constant);
    for (QWidget *w : std::initializer_list<QWidget *>{rand_prefix_txt, rand_suffix_txt, rand_length_txt,
                                                       rand_length_stepper, rand_count_txt, rand_count_stepper})
        w->setEnabled(m == Mode::Random);
}

Generate_List::Mode Generate_List::mode() const
{
    if (radioButton_Constant->isChecked())
        return Mode::Constant;
    return radioButton_Random->isChecked() ? Mode::Random : Mode::Sequential;
}

QLineEdit *Generate_List::nameField() const
{
    switch (mode()) {
    case Mode::Constant:
        return const_file_name;
    case Mode::Random:
        return rndm_file_name;
    case Mode::Sequential:
        break;
    }
    return seq_file_name;
}

void Generate_List::Sequintial_Radio_Pressed()
{
    selectMode(Mode::Sequential);
    if (Trim_Str(seq_file_name->text()).isEmpty())
        seq_file_name->setText(kUntitled);
}

void Generate_List::Constant_Radio_Pressed()
{
    selectMode(Mode::Constant);
    if (Trim_Str(const_file_name->text()).isEmpty())
        const_file_name->setText(kUntitled);
}

void Generate_List::Random_Radio_Pressed()
{
    selectMode(Mode::Random);
    if (Trim_Str(rndm_file_name->text()).isEmpty())
        rndm_file_name->setText(kUntitled);
}

void Generate_List::Help_btn_Pressed()
{
    platform::showAlert(
        {tr("Maintain number of Digits By adding 0's before smaller values. ")
             + QStringLiteral("\n\n")
             + QStringLiteral(
                 "For example:\r\nIf you have to generate a series of barcodes having values from '0' to '200', this "
                 "option automatically converts small values such as '1' to '001' and '11' to '011' to maintain "
                 "number of digits same as the highest value in the series.\r\n\r\nSimilarly, if you have selected a "
                 "series starting from '001' to '00200', this option automatically converts small values such as "
                 "'001' to '00001' and '0011' to '00011' to maintain number of digits same as the highest value in "
                 "the series."),
         {tr("OK")}});
}

void Generate_List::CancelPressed()
{
    done(0);
}

void Generate_List::OKPressed()
{
    GeneratorRequest request;
    request.mode = mode() == Mode::Constant ? GeneratorMode::Constant
                   : mode() == Mode::Random ? GeneratorMode::Random
                                            : GeneratorMode::Sequential;
    request.prefix = prefix_txt->text();
    request.suffix = suffix_txt->text();
    request.from = from_txt->text();
    request.to = to_txt->text();
    request.padZeros = manage_digit_chk->isChecked();
    request.value = value_txt->text();
    request.count = count_txt->text();
    request.randPrefix = rand_prefix_txt->text();
    request.randSuffix = rand_suffix_txt->text();
    request.length = rand_length_txt->text();
    request.randCount = rand_count_txt->text();
    if (const auto refusal = checkGeneratorRequest(request)) {
        Show_MessageBox(refusal->message);
        QLineEdit *fields[] = {from_txt, to_txt, value_txt, count_txt, rand_count_txt, rand_length_txt};
        fields[static_cast<int>(refusal->field)]->setFocus();
        return;
    }
    const SeriesManagerHooks &manager = seriesManagerHooks();
    if (file_name_required == 1) {
        QString message;
        const auto name = checkedSeriesName(nameField()->text(), &message);
        if (!name) {
            Show_MessageBox(message);
            nameField()->setFocus();
            return;
        }
        const SeriesStore store = importSeriesStore();
        if (!mayReplaceSeries(store, *name))
            return;
        QString error;
        if (!writeSeriesValues(store, *name, generateValues(request), SeriesWrite::Replace, &error)) {
            Show_NSLog_Message(QStringLiteral("Generate_List: %1").arg(error));
            Show_MessageBox(seriesWriteFailure(store, *name, error));
            return;
        }
    } else if (manager.appendValues) {
        manager.appendValues(generateValues(request));
    }
    if (file_name_Insert == 1 && manager.Fill_List)
        manager.Fill_List();
    done(1);
}
