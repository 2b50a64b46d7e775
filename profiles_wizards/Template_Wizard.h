#pragma once
// The template gallery: the built-in templates of the resource folder's
// "Templates" folder or the user's own of its "User" subfolder as
// thumbnails, one of which the user chooses; user templates can also be
// deleted, copied and renamed. The chosen template's design file path is
// the result (`Selected_Template_Path`). The card size list shows the picked
// template's card size; a size chosen there is offered to the caller.
// Main thread only.

#include "design_window/DesignFile.h"

#include <QDialog>
#include <QSizeF>
#include <optional>

class Export_Template;
class QComboBox;
class QLabel;
class QPushButton;

namespace profiles_wizards {
class CardSizeList;
class ThumbnailList;
} // namespace profiles_wizards

class Template_Wizard : public QDialog {
    Q_OBJECT
public:
    Template_Wizard();
    static Template_Wizard &defaultInstance();

    // Lists the built-in templates with the first one picked and runs the
    // gallery: 1 for OK, 0 for Cancel.
    int Open_Template_Window();
    void Fill_Templates_User_Defined();
    void Fill_Templates();
    void OK_Click();
    void CancelClick();
    void reject() override { CancelClick(); }
    void Show_Hide_Template_Buttons(bool hidden);
    // The template-kind box: item 0 built-in templates, any other the user's.
    void comboBoxSelectionDidChange();
    void Delete_Template_Click();
    void Copy_Templatee_Click();
    void Rename_Template_Click();
    // The user-profile button: the profile dialog of both sides.
    void User_Profile_Click();

    // After OK: the card size chosen in the list when it differs from the
    // chosen template's own, as the category, row, orientation and the
    // width and height in millimetres.
    struct CardSize {
        design_window::CardChoice choice;
        QSizeF mm;
    };
    std::optional<CardSize> chosenCardSize() const;

    profiles_wizards::ThumbnailList *thumbnails = nullptr;
    profiles_wizards::CardSizeList *sizes = nullptr;
    QComboBox *cat_cmbo_bx = nullptr;
    QLabel *category_label = nullptr;
    QPushButton *Delete_temp_btn = nullptr;
    QPushButton *Copy_temp_btn = nullptr;
    QPushButton *Rename_temp_btn = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;
    QPushButton *user_profile_btn = nullptr;
    // A profile was confirmed while the gallery ran.
    bool profile_confirmed = false;
    // The gallery's own template name dialog, for Rename.
    Export_Template *Export_Template_Window = nullptr;

private:
    // A pick that names an existing thumbnail; "Please select template."
    // otherwise. With `userOnly` it must be one of the user's templates.
    bool hasValidPick(bool userOnly) const;
    void picked(const QString &path);
    // Lists the user templates again and picks `path` when it is listed.
    void relistUserTemplates(const QString &path = {});
    // Clears the pick when the list no longer shows it.
    void dropUnlistedPick();

    std::optional<QSizeF> m_templateMm;
};
