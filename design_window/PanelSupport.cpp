#include "design_window/PanelSupport.h"

#include "drawing/TVNDocument.h"
#include "platform/Helpers.h"
#include "platform/Image.h"
#include "platform/ModalRun.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QVBoxLayout>

namespace design_window {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("design_window", text);
}
} // namespace

QFormLayout *newPageForm(QWidget *page)
{
    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *form = new QFormLayout;
    outer->addLayout(form);
    outer->addStretch();
    return form;
}

QColor chooseColor(QWidget *parent, const QColor &initial)
{
    QColorDialog dialog(initial, parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setOption(QColorDialog::ShowAlphaChannel);
    if (platform::runModal(dialog) != 1)
        return QColor();
    return dialog.selectedColor();
}

QString drawnFamily(const QFont &font)
{
    return QFontInfo(font).family();
}

QString drawnFontName(const QFont &font)
{
    const QFontInfo drawn(font);
    static const QStringList plain{QStringLiteral("Regular"), QStringLiteral("Book"), QStringLiteral("Normal"),
                                   QStringLiteral("Roman")};
    const QString style = drawn.styleName();
    if (style.isEmpty() || plain.contains(style, Qt::CaseInsensitive))
        return drawn.family();
    return drawn.family() + QLatin1Char(' ') + style;
}

std::optional<QFont> chooseFont(QWidget *parent, const QFont &stored)
{
    // The panel selects a family and a style by name: one it does not list
    // (a substituted family, or the style "Normal" that a font without a
    // style name reads as) would open it on another font, which OK would
    // then take. So it opens on the names of the font that is drawn.
    const QFontInfo drawn(stored);
    QFont shown = stored;
    shown.setFamily(drawn.family());
    shown.setStyleName(drawn.styleName());
    QFontDialog panel(shown, parent);
    panel.setOption(QFontDialog::DontUseNativeDialog);
    // What the panel shows before the user acts (its sizes are whole points).
    const QFont opened = panel.currentFont();
    if (platform::runModal(panel) != 1)
        return std::nullopt;
    const QFont chosen = panel.currentFont();
    const auto same = [](const QFont &a, const QFont &b) {
        return a.family() == b.family() && a.styleName() == b.styleName() && a.pointSizeF() == b.pointSizeF()
            && a.underline() == b.underline() && a.strikeOut() == b.strikeOut();
    };
    if (same(chosen, opened))
        return stored;
    QFont taken = chosen;
    taken.setStyleName(QString());
    taken.setLetterSpacing(stored.letterSpacingType(), stored.letterSpacing());
    return taken;
}

QString runFilePanel(QWidget *parent, bool save, const QString &title, const QString &filter, const QString &suffix)
{
    QFileDialog panel(parent, title, QString(), filter);
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    panel.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!suffix.isEmpty())
        panel.setDefaultSuffix(suffix);
    if (platform::runModal(panel) != 1)
        return QString();
    const QStringList files = panel.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

bool checkFilePath(const QString &path)
{
    const QString trimmed = Trim_Str(path);
    if (!trimmed.isEmpty() && QFileInfo::exists(trimmed))
        return true;
    Show_MessageBox(tr("Please select valid file path."));
    return false;
}

bool checkImageFile(const QString &path)
{
    if (platform::Image::fromFile(Trim_Str(path)).isNull()) {
        Show_MessageBox(tr("The selected file is not an image."));
        return false;
    }
    return true;
}

} // namespace design_window

ObjectPanel::ObjectPanel(QWidget *parent, TVNDocument *document, const char *name, const QString &title)
    : QWidget(parent)
    , m_document(document)
    , m_form(design_window::newPageForm(this))
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
}

void ObjectPanel::editGraphic(const GraphicPtr &graphic, const QString &actionName,
                              const std::function<void()> &change, bool merge)
{
    design_window::editGraphics(*m_document, {graphic}, actionName, change, merge);
}

namespace design_window {

void editGraphics(TVNDocument &document, const GraphicList &graphics, const QString &actionName,
                  const std::function<void()> &change, bool merge)
{
    GraphicList before;
    for (const GraphicPtr &g : graphics)
        before.push_back(g->clone());
    change();
    document.registerGraphicsChange(graphics, before, actionName, merge);
}

} // namespace design_window
