// The two profile dialogs: what each adds to the shared form.
#include "design_window/SingleInstance.h"
#include "profiles_wizards/UserProfileForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace design_window;

namespace {

enum SideItem { FrontSide = 0, BackSide = 1, BothSides = 2 };

} // namespace

// ---------------------------------------------------------------- User_profile

User_profile::User_profile() : UserProfileForm(false)
{
    setObjectName("User_profile");
    select_side_label = new QLabel(tr("Side"));
    select_side_label->setObjectName("select_side_label");
    form()->addWidget(select_side_label, 0, kFirstExtraColumn);
    for (ProfileField f : kProfileFields) {
        auto *side = new QComboBox;
        side->setObjectName(profiles_wizards::profileControlName(f, "side_combo"));
        side->addItems({tr("Front"), tr("Back"), tr("Both")});
        form()->addWidget(side, int(f) + 1, kFirstExtraColumn);
        side_combos[std::size_t(f)] = side;
    }
    resetOwnControls();
}

User_profile &User_profile::defaultInstance()
{
    return singleInstance<User_profile>();
}

void User_profile::resetOwnControls()
{
    for (QComboBox *side : side_combos)
        side->setCurrentIndex(BothSides);
}

void User_profile::openOwnControls(bool load)
{
    select_side_label->setVisible(!load);
    for (QComboBox *side : side_combos) {
        side->setVisible(!load);
        if (load)
            side->setCurrentIndex(load_side == QLatin1String("B") ? BackSide : FrontSide);
    }
}

bool User_profile::fieldGoesTo(ProfileField f, int side) const
{
    const int chosen = side_combos[std::size_t(f)]->currentIndex();
    return chosen == side || chosen == BothSides || chosen < 0;
}

// ---------------------------------------------------------------- Show_User_Profile

Show_User_Profile::Show_User_Profile() : UserProfileForm(true)
{
    setObjectName("Show_User_Profile");
    for (ProfileField f : kProfileFields) {
        if (f == ProfileField::image)
            continue;
        const std::size_t i = std::size_t(f);
        const int line = int(f) + 1;
        label_chks[i] = new QCheckBox;
        label_chks[i]->setObjectName(profiles_wizards::profileControlName(f, "label_chk"));
        value_chks[i] = new QCheckBox;
        value_chks[i]->setObjectName(profiles_wizards::profileControlName(f, "value_chk"));
        form()->addWidget(label_chks[i], line, kCaptionColumn - 1);
        form()->addWidget(value_chks[i], line, kValueColumn - 1);
        connect(label_chks[i], &QCheckBox::clicked, this, [this, f] { Label_Chk_Clicked(f); });
        connect(value_chks[i], &QCheckBox::clicked, this, [this, f] { Value_Chk_Clicked(f); });
        // Typing into a box ticks its check box.
        auto *caption = static_cast<QLineEdit *>(row(f).label);
        connect(caption, &QLineEdit::textEdited, label_chks[i], [box = label_chks[i]] { box->setChecked(true); });
        connect(row(f).value, &QLineEdit::textEdited, value_chks[i], [box = value_chks[i]] { box->setChecked(true); });
    }
}

Show_User_Profile &Show_User_Profile::defaultInstance()
{
    return singleInstance<Show_User_Profile>();
}

void Show_User_Profile::Label_Chk_Clicked(ProfileField f)
{
    const std::size_t i = std::size_t(f);
    if (label_chks[i])
        static_cast<QLineEdit *>(row(f).label)->setReadOnly(!label_chks[i]->isChecked());
}

void Show_User_Profile::Value_Chk_Clicked(ProfileField f)
{
    const std::size_t i = std::size_t(f);
    // A value that comes from a series or a column is not typed over.
    if (value_chks[i] && sourceOf(f) <= 0)
        row(f).value->setReadOnly(!value_chks[i]->isChecked());
}

void Show_User_Profile::resetOwnControls()
{
    for (std::size_t i = 0; i < label_chks.size(); ++i) {
        if (label_chks[i])
            label_chks[i]->setChecked(false);
        if (value_chks[i])
            value_chks[i]->setChecked(false);
    }
}

void Show_User_Profile::openOwnControls(bool) {}

void Show_User_Profile::fieldLoaded(ProfileField f)
{
    if (QCheckBox *box = value_chks[std::size_t(f)])
        box->setChecked(true);
}
