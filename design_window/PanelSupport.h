#pragma once
// What the design window's panels share: the inspector page of one kind of
// object, the colour and file panels they run (scripted in tests through
// platform::runModal), and the checks of a picture file the user chose.

#include "drawing/TVNGraphic.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QDoubleSpinBox;
class QFormLayout;
class TVNDocument;

namespace design_window {

// `widget` with its object name set: the name tests and other windows find
// the control by.
template <class Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A field for a card's width or height as every window shows it: millimetres
// to two decimals ("85.60 mm"), from 5 to 600. The field rounds what it
// holds to what it shows.
QDoubleSpinBox *newCardLengthField(const char *name);
// The length such a field stands for: `exact`, the length last put in it,
// while the field still shows that length rounded (a CR80's 85.598 mm shown
// as 85.60 stays 85.598); else what the user made it hold.
double cardLengthMeant(double exact, const QDoubleSpinBox *field);

// Lays `page` out as a form at the top with empty space below; the form.
QFormLayout *newPageForm(QWidget *page);

// The colour panel; an invalid colour when cancelled.
QColor chooseColor(QWidget *parent, const QColor &initial);

// The family `font` is drawn with: its own, or the one the system puts in
// its place (on Debian, Liberation Serif for "Times New Roman"). What a
// label or a family list shows for a stored font.
QString drawnFamily(const QFont &font);
// The name of the face `font` is drawn with, as a font label shows it: the
// drawn family, followed by its style unless that is the plain one
// ("DejaVu Sans", "DejaVu Sans Bold Oblique").
QString drawnFontName(const QFont &font);
// The font panel opened on `stored` as it is drawn (family, style and size
// selected). The chosen font, without a style name (design files keep the
// weight and slant, which it then has); `stored` itself, unaltered, when OK
// left family, style and size as they were; none when cancelled.
std::optional<QFont> chooseFont(QWidget *parent, const QFont &stored);

// An open (or, with `save`, a save) panel; the chosen path, empty when
// cancelled. `suffix` is added to a typed name without one; with several
// types in `filter` (";;" between them), the extension of the type chosen
// in the panel instead. `chosenFilter`, when given, receives that type.
QString runFilePanel(QWidget *parent, bool save, const QString &title, const QString &filter,
                     const QString &suffix = {}, QString *chosenFilter = nullptr);

// False after telling the user "Please select valid file path." when the
// trimmed path names nothing; true when it exists.
bool checkFilePath(const QString &path);
// False after telling the user "The selected file is not an image." when
// the file at the trimmed path holds no picture we can read.
bool checkImageFile(const QString &path);

// Makes `change` to `graphics` of `document` as one undo step named
// `actionName`; with `merge`, a run of the same edit is one step.
void editGraphics(TVNDocument &document, const GraphicList &graphics, const QString &actionName,
                  const std::function<void()> &change, bool merge = false);

} // namespace design_window

// An inspector page for one kind of object. Edits go into the object shown
// at once and are announced with the document's graphicsChanged, which
// repaints the canvases.
class ObjectPanel : public QWidget {
    Q_OBJECT
public:
    // Shows `graphic` when it is of the page's kind and gives true; anything
    // else (or none) leaves the page showing nothing and gives false.
    virtual bool showGraphic(const GraphicPtr &graphic) = 0;

protected:
    // The document is not owned: it must outlive the page. `title` is what
    // the inspector shows above the page.
    ObjectPanel(QWidget *parent, TVNDocument *document, const char *name, const QString &title);
    QFormLayout *form() const { return m_form; }
    // Makes `change` to `graphic` as one undo step named `actionName`; with
    // `merge`, a run of the same edit is one step.
    void editGraphic(const GraphicPtr &graphic, const QString &actionName, const std::function<void()> &change,
                     bool merge = false);

private:
    TVNDocument *m_document;
    QFormLayout *m_form;
};

// A label for a value of any length in a panel: each line is cut short with
// "…" where the label is narrower, and at most kShownLines lines are shown,
// so a long value neither widens nor lengthens the panel. text() keeps the
// whole value; the tool tip shows it.
class ElidedLabel : public QLabel {
public:
    static constexpr int kShownLines = 3;
    explicit ElidedLabel(QWidget *parent = nullptr);
    // The whole value; what is shown is cut to the label's width.
    void setValue(const QString &value);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The lines as drawn at the label's present width.
    QStringList shownLines() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
