#include "profiles_wizards/Export_Template.h"

#include "design_window/Globals.h"
#include "platform/Helpers.h"
#include "platform/ModalRun.h"
#include "profiles_wizards/TemplateFiles.h"
#include "profiles_wizards/WizardGlobals.h"

#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

Export_Template::Export_Template(QWidget *parent)
    : QDialog(parent)
{
    setObjectName("Export_Template_Window");
    setWindowTitle(tr("Template Name"));
    profiles_wizards::applyDialogBackground(*this);
    template_name = new QLineEdit;
    template_name->setObjectName("template_name");
    template_name->setMinimumWidth(280);
    template_passed = new QLineEdit;
    template_passed->setObjectName("template_passed");
    template_passed->hide();
    ok_btn = new QPushButton(tr("OK"));
    ok_btn->setObjectName("ok_btn");
    ok_btn->setDefault(true);
    cancel_btn = new QPushButton(tr("Cancel"));
    cancel_btn->setObjectName("cancel_btn");
    connect(ok_btn, &QPushButton::clicked, this, [this] { OKPressed(); });
    connect(cancel_btn, &QPushButton::clicked, this, [this] { CancelPressed(); });

    auto *form = new QFormLayout;
    form->addRow(tr("Template name:"), template_name);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_btn);
    buttons->addWidget(ok_btn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(template_passed);
    layout->addLayout(buttons);
}

int Export_Template::Open_Wnd()
{
    m_accepted.clear();
    template_name->setFocus();
    setResult(0);
    const int result = platform::runModal(*this, true);
    hide();
    if (result == 1)
        profiles_wizards::export_template_name = m_accepted;
    return result;
}

void Export_Template::OKPressed()
{
    const QString name = Remove_Reserve_Char_In_File_Name(Trim_Str(template_name->text()));
    if (name.isEmpty()) {
        Show_MessageBox(tr("Please enter template name."));
        return;
    }
    // The name becomes a file name in the user folder and nowhere else.
    if (!profiles_wizards::isUsableTemplateName(name)) {
        Show_MessageBox(tr("Template name cannot contain \"/\" or \"\\\" and cannot begin with \".\"."));
        return;
    }
    const QString passed = Trim_Str(template_passed->text());
    const bool exists = QFileInfo::exists(
        QDir(userFolder).filePath(name + QLatin1Char('.') + design_window::design_file_EXT));
    if (passed.isEmpty()) {
        if (exists
            && !Show_YES_NO_MessageBox(
                tr("Template with this name already exists, Do you want to replace the existing template?")))
            return;
    } else if (name != passed && exists) {
        Show_MessageBox(tr("Template with this name already exists."));
        return;
    }
    m_accepted = Remove_Reserve_Char_In_File_Name(name);
    done(1);
}

void Export_Template::CancelPressed()
{
    template_name->clear();
    done(0);
}
