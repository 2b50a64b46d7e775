#include "profiles_wizards/Grid_Wizard.h"

#include "design_window/Globals.h"
#include "design_window/DesignHub.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

Grid_Wizard::Grid_Wizard(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("Grid_Wizard");
    setWindowTitle(tr("Grid Options"));
    profiles_wizards::applyDialogBackground(*this);
    ok_btn = new QPushButton(tr("OK"));
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    cancel_btn = new QPushButton(tr("Cancel"));
    cancel_btn->setObjectName("cancel_btn");
    connect(ok_btn, &QPushButton::clicked, this, [this] { OK_Btn_Clicked(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { Cancel_Btn_Clicked(); });

    m_content = new QVBoxLayout;
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_content, 1);
    layout->addLayout(buttons);
}

Grid_Wizard *Grid_Wizard::defaultInstance()
{
    QWidget *main = design_window::Main_App_wnd ? design_window::Main_App_wnd->mainWidget() : nullptr;
    if (!main)
        return nullptr;
    auto *existing = main->findChild<Grid_Wizard *>(QStringLiteral("Grid_Wizard"), Qt::FindDirectChildrenOnly);
    return existing ? existing : new Grid_Wizard(main);
}

void Grid_Wizard::Open_Wnd(QWidget *options)
{
    if (options && options != m_options) {
        m_options = options;
        m_content->addWidget(options);
    }
    if (m_options)
        m_options->show();
    setResult(0);
    platform::runModal(*this, true);
    hide();
}

void Grid_Wizard::OK_Btn_Clicked()
{
    done(1);
}

void Grid_Wizard::Cancel_Btn_Clicked()
{
    done(0);
}
