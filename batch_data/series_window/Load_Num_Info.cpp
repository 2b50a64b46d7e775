#include "batch_data/series_window/Load_Num_Info.h"

#include "batch_data/series_window/BatchDialogLook.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Load_Num_Info::Load_Num_Info(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("Load_Num_Info");
    setWindowTitle(tr("Batch Processing Series"));
    batch_data::applyDialogBackground(*this);
    auto *text = new QLabel(tr("The list already holds values. Clear them before the new values come in?\n"
                               "Yes clears the list, No appends the new values to it."),
                            this);
    text->setWordWrap(true);
    yes_btn = new QPushButton(tr("Yes"), this);
    yes_btn->setObjectName("yes_btn");
    yes_btn->setDefault(true);
    no_btn = new QPushButton(tr("No"), this);
    no_btn->setObjectName("no_btn");
    cancel_btn = new QPushButton(tr("Cancel"), this);
    cancel_btn->setObjectName("cancel_btn");
    connect(yes_btn, &QPushButton::clicked, this, &Load_Num_Info::YESPressed);
    connect(no_btn, &QPushButton::clicked, this, &Load_Num_Info::NOPressed);
    connect(cancel_btn, &QPushButton::clicked, this, &Load_Num_Info::CancelPressed);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(no_btn);
    buttons->addWidget(yes_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(buttons);
}
