#include "design_window/TextPanel.h"

#include "design_window/ColorButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace design_window;

namespace {
// The alignment list's rows.
const Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify};

// A text the user wrote is the text's own: a batch run must not overwrite it
// with a record.
void endBinding(TVNText &text)
{
    text.Set_Data_source_type(0);
    text.Set_Excel_binding(false);
}
} // namespace

TextPanel::TextPanel(QWidget *parent, TVNDocument *document)
    : ObjectPanel(parent, document, "text_panel", tr("Text"))
{
    text_content = named(new QPlainTextEdit, "text_content");
    text_content->setMaximumHeight(90);
    connect(text_content, &QPlainTextEdit::textChanged, this, [this] { contentChanged(); });
    form()->addRow(tr("Text:"), text_content);

    text_font_family = named(new QFontComboBox, "text_font_family");
    connect(text_font_family, &QFontComboBox::currentFontChanged, this, [this] { fontChanged(); });
    form()->addRow(tr("Font:"), text_font_family);
    text_font_size = named(new QDoubleSpinBox, "text_font_size");
    text_font_size->setRange(1, 400);
    text_font_size->setSuffix(tr(" pt"));
    text_font_size->setKeyboardTracking(false);
    connect(text_font_size, &QDoubleSpinBox::valueChanged, this, [this] { fontChanged(); });
    text_bold = named(new QCheckBox(tr("Bold")), "text_bold");
    text_italic = named(new QCheckBox(tr("Italic")), "text_italic");
    auto *styleRow = new QHBoxLayout;
    styleRow->addWidget(text_font_size);
    for (QCheckBox *style : {text_bold, text_italic}) {
        connect(style, &QCheckBox::toggled, this, [this] { fontChanged(); });
        styleRow->addWidget(style);
    }
    form()->addRow(tr("Size:"), styleRow);

    text_color_btn = named(new QPushButton, "text_color_btn");
    connect(text_color_btn, &QPushButton::clicked, this, [this] { chooseColor(); });
    form()->addRow(tr("Colour:"), text_color_btn);
    text_alignment = named(new QComboBox, "text_alignment");
    text_alignment->addItems({tr("Left"), tr("Centre"), tr("Right"), tr("Justified")});
    connect(text_alignment, &QComboBox::activated, this, [this] { alignmentChanged(); });
    form()->addRow(tr("Alignment:"), text_alignment);

    template_title_btn = named(new QPushButton(QStringLiteral("Use Template Title")), "template_title_btn");
    template_message_btn = named(new QPushButton(QStringLiteral("Use Template Message")), "template_message_btn");
    for (QPushButton *button : {template_title_btn, template_message_btn}) {
        connect(button, &QPushButton::clicked, this, [this, button] { emit templateRequested(button->text()); });
        form()->addRow(QString(), button);
    }
}

void TextPanel::insertText(const QString &text)
{
    text_content->setPlainText(text);
}

bool TextPanel::showGraphic(const GraphicPtr &graphic)
{
    m_text = std::dynamic_pointer_cast<TVNText>(graphic);
    if (!m_text)
        return false;
    m_filling = true;
    text_content->setPlainText(m_text->contentsString());
    const QFont font = m_text->textFont();
    text_font_family->setCurrentFont(font);
    text_font_size->setValue(font.pointSizeF() > 0 ? font.pointSizeF() : 12);
    text_bold->setChecked(font.bold());
    text_italic->setChecked(font.italic());
    setButtonColor(text_color_btn, m_text->textColor());
    const Qt::Alignment align = m_text->alignment() & Qt::AlignHorizontal_Mask;
    const auto row = std::find(std::begin(kAlignments), std::end(kAlignments), align);
    text_alignment->setCurrentIndex(row == std::end(kAlignments) ? 0 : int(row - std::begin(kAlignments)));
    m_filling = false;
    return true;
}

void TextPanel::contentChanged()
{
    if (m_filling || !m_text)
        return;
    const bool wasBound = m_text->data_source_type != 0;
    editGraphic(m_text, tr("Typing"), [this] {
        m_text->setContentsString(text_content->toPlainText());
        m_text->Text_Value = text_content->toPlainText();
        endBinding(*m_text);
    }, true);
    if (wasBound)
        emit bindingEnded();
}

void TextPanel::fontChanged()
{
    if (m_filling || !m_text)
        return;
    // Only what the user changed: the family list shows the family that is
    // drawn (a substitute for one the system lacks), and the bold box a
    // weight that may be other than plain bold or normal.
    const QFont stored = m_text->textFont();
    QFont font = stored;
    const QString family = text_font_family->currentFont().family();
    if (family != stored.family() && family != drawnFamily(stored))
        font.setFamily(family);
    font.setPointSizeF(text_font_size->value());
    if (text_bold->isChecked() != stored.bold())
        font.setBold(text_bold->isChecked());
    font.setItalic(text_italic->isChecked());
    editGraphic(m_text, tr("Font"), [&] { m_text->setTextFont(font); });
}

void TextPanel::chooseColor()
{
    if (!m_text)
        return;
    const QColor c = design_window::chooseColor(this, m_text->textColor());
    if (!c.isValid())
        return;
    editGraphic(m_text, tr("Colour"), [&] { m_text->setTextColor(c); });
    setButtonColor(text_color_btn, c);
}

void TextPanel::alignmentChanged()
{
    if (m_filling || !m_text)
        return;
    editGraphic(m_text, tr("Alignment"),
                [this] { m_text->setAlignment(kAlignments[std::clamp(text_alignment->currentIndex(), 0, 3)]); });
}
