#include "design_window/PanelSupport.h"

#include "drawing/TVNDocument.h"
#include "platform/Helpers.h"
#include "platform/Image.h"
#include "platform/ModalRun.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
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

QDoubleSpinBox *newCardLengthField(const char *name)
{
    auto *field = named(new QDoubleSpinBox, name);
    field->setRange(5, 600);
    field->setDecimals(2);
    field->setSuffix(QObject::tr(" mm"));
    return field;
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
