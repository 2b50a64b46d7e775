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
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QPainter>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

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

double cardLengthMeant(double exact, const QDoubleSpinBox *field)
{
    return std::abs(std::round(exact * 100) / 100 - field->value()) < 1e-9 ? exact : field->value();
}

QString runFilePanel(QWidget *parent, bool save, const QString &title, const QString &filter, const QString &suffix,
                     QString *chosenFilter)
{
    QFileDialog panel(parent, title, QString(), filter);
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    panel.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!suffix.isEmpty()) {
        panel.setDefaultSuffix(suffix);
        // A name typed without an extension takes the type chosen below it
        // ("PNG (*.PNG)" gives ".PNG").
        QObject::connect(&panel, &QFileDialog::filterSelected, &panel, [&panel](const QString &chosen) {
            static const QRegularExpression firstExtension(QStringLiteral("\\(\\*\\.([^ )]+)"));
            const QRegularExpressionMatch match = firstExtension.match(chosen);
            if (match.hasMatch())
                panel.setDefaultSuffix(match.captured(1));
        });
    }
    if (platform::runModal(panel) != 1)
        return QString();
    if (chosenFilter)
        *chosenFilter = panel.selectedNameFilter();
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

namespace {
// The width a label asks for, in average characters: the inspector's width
// at most, whatever the value.
constexpr int kElidedLabelCharacters = 24;
constexpr int kElidedLabelMinimumCharacters = 4;
} // namespace

ElidedLabel::ElidedLabel(QWidget *parent)
    : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ElidedLabel::setValue(const QString &value)
{
    setText(value);
    setToolTip(value.isEmpty() ? QString() : QStringLiteral("<p>%1</p>").arg(value.toHtmlEscaped()));
}

QStringList ElidedLabel::shownLines() const
{
    const QStringList lines = text().split(QLatin1Char('\n'));
    const int width = contentsRect().width();
    const QFontMetrics metrics = fontMetrics();
    QStringList shown;
    for (int i = 0; i < std::min<int>(int(lines.size()), kShownLines); ++i) {
        QString line = lines.at(i);
        // A last shown line with more below says so.
        if (i == kShownLines - 1 && lines.size() > kShownLines)
            line += QChar(0x2026);
        shown << metrics.elidedText(line, Qt::ElideRight, width);
    }
    return shown;
}

QSize ElidedLabel::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    const QStringList lines = text().split(QLatin1Char('\n'));
    for (int i = 0; i < std::min<int>(int(lines.size()), kShownLines); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(lines.at(i)));
    const QMargins m = contentsMargins();
    const int lineCount = std::min<int>(int(lines.size()), kShownLines);
    return QSize(std::min(widest, metrics.averageCharWidth() * kElidedLabelCharacters) + m.left() + m.right(),
                 metrics.lineSpacing() * lineCount + m.top() + m.bottom());
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QSize hint = sizeHint();
    return QSize(std::min(hint.width(), fontMetrics().averageCharWidth() * kElidedLabelMinimumCharacters),
                 hint.height());
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    const int step = fontMetrics().lineSpacing();
    int y = area.top();
    for (const QString &line : shownLines()) {
        painter.drawText(QRect(area.left(), y, area.width(), step), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += step;
    }
}
