#pragma once
// The card size wizard: the card's size from the named PVC card and paper
// badge sizes (or width and height in millimetres) and its outline. OK gives
// the design window's card that size; Cancel puts back the outline the
// wizard found. Main thread only.

#include "design_window/DesignFile.h"

#include <QDialog>
#include <QSizeF>

class QButtonGroup;
class QPushButton;

namespace profiles_wizards {
class CardSizeList;
}

class Card_Wizard : public QDialog {
    Q_OBJECT
public:
    Card_Wizard();
    static Card_Wizard &defaultInstance();

    // Shows the PVC sizes with the first chosen and the card's outline, and
    // runs the wizard: 1 for OK (the main window's card takes the size), 0
    // for Cancel.
    int Open_Wnd();
    void OK_Click();
    void CancelClick();
    // Escape and the window's close button cancel.
    void reject() override { CancelClick(); }
    // The outline matrix's action: `Card_Shape` takes the chosen row.
    void card_shape_CellClick();
    // The user-profile button: the profile dialog of both sides.
    void User_Profile_Click();

    profiles_wizards::CardSizeList *sizes = nullptr;
    // Rows 0 rectangle, 1 rounded rectangle, 2 oval.
    QButtonGroup *matrix_card_shape = nullptr;
    QPushButton *ok_btn = nullptr;
    QPushButton *cancel_btn = nullptr;
    QPushButton *user_profile_btn = nullptr;
    // A profile was confirmed while the wizard ran.
    bool profile_confirmed = false;

private:
    int m_shapeFound = 0;
};
