#pragma once
// The inspector's page for a text object: its text, font family, size, bold,
// italic, colour and alignment.

#include "design_window/PanelSupport.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QPlainTextEdit;
class QPushButton;

class TextPanel : public ObjectPanel {
    Q_OBJECT
public:
    TextPanel(QWidget *parent, TVNDocument *document);
    bool showGraphic(const GraphicPtr &graphic) override;
    // The editor takes `text`, and the text object shown with it.
    void insertText(const QString &text);

    QPlainTextEdit *text_content = nullptr;
    // the font
    QFontComboBox *text_font_family = nullptr;
    QDoubleSpinBox *text_font_size = nullptr;
    QCheckBox *text_bold = nullptr;
    QCheckBox *text_italic = nullptr;
    // the paragraph
    QPushButton *text_color_btn = nullptr;
    QComboBox *text_alignment = nullptr;
    // ready-made titles and messages
    QPushButton *template_title_btn = nullptr;
    QPushButton *template_message_btn = nullptr;

signals:
    // A template button was pressed; `buttonTitle` is its title.
    void templateRequested(const QString &buttonTitle);
    // Text written into a bound text made it a typed text.
    void bindingEnded();

private:
    void contentChanged();
    void fontChanged();
    void chooseColor();
    void alignmentChanged();

    std::shared_ptr<TVNText> m_text;
    bool m_filling = false;
};
