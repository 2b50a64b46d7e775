#include "profiles_wizards/Card_Wizard.h"

#include "design_window/Globals.h"
#include "design_window/SingleInstance.h"
#include "design_window/DesignHub.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/CardSizeList.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

Card_Wizard::Card_Wizard()
{
    setObjectName("Card_Wizard");
    setWindowTitle(tr("Card Size Wizard"));
    profiles_wizards::applyDialogBackground(*this);
    sizes = new profiles_wizards::CardSizeList;

    auto *shapeBox = new QGroupBox(tr("Outline"));
    shapeBox->setObjectName("matrix_card_shape");
    auto *shapeLayout = new QVBoxLayout(shapeBox);
    matrix_card_shape = new QButtonGroup(this);
    const QStringList shapes{tr("Rectangle"), tr("Rounded Rectangle"), tr("Oval")};
    for (int row = 0; row < shapes.size(); ++row) {
        auto *cell = new QRadioButton(shapes[row]);
        cell->setObjectName(QStringLiteral("card_shape_%1").arg(row));
        matrix_card_shape->addButton(cell, row);
        shapeLayout->addWidget(cell);
    }
    shapeLayout->addStretch();
    connect(matrix_card_shape, &QButtonGroup::idClicked, this, [this] { card_shape_CellClick(); });

    ok_btn = new QPushButton(tr("OK"));
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    cancel_btn = new QPushButton(tr("Cancel"));
    cancel_btn->setObjectName("cancel_btn");
    user_profile_btn = new QPushButton(tr("User Profile..."));
    user_profile_btn->setObjectName("user_profile_btn");
    user_profile_btn->setAutoDefault(false);
    connect(user_profile_btn, &QPushButton::clicked, this, [this] { User_Profile_Click(); });
    connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { CancelClick(); });

    auto *body = new QHBoxLayout;
    body->addWidget(sizes, 1);
    body->addWidget(shapeBox);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(user_profile_btn);
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(520, 380);
}

Card_Wizard &Card_Wizard::defaultInstance()
{
    return design_window::singleInstance<Card_Wizard>();
}

int Card_Wizard::Open_Wnd()
{
    m_shapeFound = design_window::Card_Shape;
    // The outline shown is the card's own, so OK never keeps an outline
    // other than the one the wizard shows.
    if (QAbstractButton *cell = matrix_card_shape->button(m_shapeFound))
        cell->setChecked(true);
    sizes->reset();
    profile_confirmed = false;
    setResult(0);
    const int result = platform::runModal(*this, true);
    hide();
    return result;
}

void Card_Wizard::card_shape_CellClick()
{
    design_window::Card_Shape = std::max(0, matrix_card_shape->checkedId());
    if (design_window::DesignHub *main = design_window::Main_App_wnd)
        main->Refresh_Canvas();
}

void Card_Wizard::User_Profile_Click()
{
    if (design_window::DesignHub *main = design_window::Main_App_wnd)
        profile_confirmed |= main->Open_User_Profile_Window(false, QString()) == 1;
}

void Card_Wizard::OK_Click()
{
    // The steppers hold the size; their text fields are part of them.
    const QSizeF mm = sizes->sizeInMillimetres();
    if (design_window::DesignHub *main = design_window::Main_App_wnd) {
        // The outline shown so far was a preview: the card takes it with the
        // size, as one change.
        const int shape = design_window::Card_Shape;
        design_window::Card_Shape = m_shapeFound;
        main->chooseCard(sizes->choice(), mm, shape);
    }
    done(1);
}

void Card_Wizard::CancelClick()
{
    design_window::Card_Shape = m_shapeFound;
    if (design_window::DesignHub *main = design_window::Main_App_wnd)
        main->Refresh_Canvas();
    done(0);
}
