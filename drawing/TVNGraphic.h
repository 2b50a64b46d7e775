#pragma once
// The objects on a card. TVNGraphic holds what every object has (bounds,
// visibility, fill and stroke, control identifier, and as its
// BarcodeSettings part the data binding and the barcode settings that the
// barcode designer reads and writes), and the three object kinds that can
// be bound to data derive from it.

#include "barcodes/designer/BarcodeSettings.h"
#include "platform/Image.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QTextFormat>
#include <memory>
#include <vector>

class QPainter;
class QTextDocument;

// The kind of graphic a creation request asks for.
enum class GraphicClass { Text, Image, Barcode };

namespace drawing {
// A text's rich text as a value: its paragraphs, each with the font and
// colour of its start (what text typed there takes) and its runs of
// characters that share one font and colour. Fonts are in points.
struct TextRun {
    QString text;
    QFont font;
    QColor color;
    bool operator==(const TextRun &) const = default;
};
struct TextParagraph {
    QFont font;
    QColor color;
    QList<TextRun> runs;
    bool operator==(const TextParagraph &) const = default;
};
using RichText = QList<TextParagraph>;

// How graphics are drawn, fixed when a drawing starts: for output (the
// default) only what a card shows; on the canvas also the marks of where a
// picture or a barcode goes, `missingPicture` standing in for an image
// graphic without a picture.
struct DrawStyle {
    bool onCanvas = false;
    platform::Image missingPicture;
};
} // namespace drawing

class TVNGraphic : public barcodes::BarcodeSettings {
public:
    TVNGraphic();
    virtual ~TVNGraphic();
    TVNGraphic &operator=(const TVNGraphic &) = delete;

    virtual GraphicClass graphicClass() const = 0;
    // An independent copy: changing it leaves this graphic as it is.
    // Pictures are shared until one side replaces its own.
    virtual std::shared_ptr<TVNGraphic> clone() const = 0;
    // Takes every property of `other`, a graphic of the same class (a clone
    // of this one taken earlier): how undo puts an object back.
    virtual void assignState(const TVNGraphic &other);

    // --- geometry, in points, origin top left
    QRectF bounds() const { return _bounds; }
    virtual void setBounds(const QRectF &rect);

    // --- appearance
    bool isDrawingFill() const { return _isDrawingFill; }
    void setDrawingFill(bool on) { _isDrawingFill = on; }
    bool isDrawingStroke() const { return _isDrawingStroke; }
    void setDrawingStroke(bool on) { _isDrawingStroke = on; }
    QColor fillColor() const { return _fillColor; }
    void setFillColor(const QColor &c) { _fillColor = c; }
    QColor strokeColor() const { return _strokeColor; }
    void setStrokeColor(const QColor &c) { _strokeColor = c; }
    double strokeWidth() const { return _strokeWidth; }
    void setStrokeWidth(double w) { _strokeWidth = w; }

    // Draws the object in card coordinates: as a card rendered for output
    // shows it, or in `style` (the canvas passes its own while editing).
    void draw(QPainter &painter) const;
    void draw(QPainter &painter, const drawing::DrawStyle &style) const;
    // True when `point` (card coordinates) hits the object.
    virtual bool hitTest(const QPointF &point) const;

    // --- setters of the binding and state fields
    void Set_Data_source_type(int value) { data_source_type = value; }
    void Set_Batch_List_Name(const QString &name) { batch_list_name = name; }
    void Set_Batch_List_Index(int index) { batch_list_index = index; }
    void Set_Excel_binding(bool on) { excel_binding = on; }
    void Set_Excel_binding_Index(int index) { excel_col_indx = index; }
    void Set_Ctrl_Is_Visible(bool visible) { ctrl_is_visible = visible; }
    void Set_Ctrl_Is_Printable(bool printable) { ctrl_is_printable = printable; }
    // The binding and barcode settings as one value, and all of them
    // replaced in one step.
    const barcodes::BarcodeSettings &barcodeSettings() const { return *this; }
    void setBarcodeSettings(const barcodes::BarcodeSettings &settings) { BarcodeSettings::operator=(settings); }
    // The image a barcode object draws (shared; the graphic keeps its copy).
    void Set_Barcode_image(const platform::Image &image) { _barcode_image = image; }

    // --- identification and state
    QString control_ID;
    bool ctrl_is_visible = true;
    // Left out when a card is rendered for output when false.
    bool ctrl_is_printable = true;
    // A text object's text; an image placed by the profile placement keeps
    // its file path here.
    QString Text_Value;

    platform::Image _barcode_image;

protected:
    // For clone() of the subclasses: every field copied.
    TVNGraphic(const TVNGraphic &) = default;

    // Draws the object's own content inside bounds(); the base class has
    // already painted fill and stroke when they are on.
    virtual void drawContents(QPainter &painter, const drawing::DrawStyle &style) const = 0;

    QRectF _bounds;
    bool _isDrawingFill = false;
    bool _isDrawingStroke = false;
    QColor _fillColor = Qt::white;
    QColor _strokeColor = Qt::black;
    double _strokeWidth = 1.0;
};

using GraphicPtr = std::shared_ptr<TVNGraphic>;
using GraphicList = std::vector<GraphicPtr>;

class TVNText : public TVNGraphic {
public:
    // A new text is "Times New Roman" 12 pt, black, aligned left.
    TVNText();
    ~TVNText() override;

    GraphicClass graphicClass() const override { return GraphicClass::Text; }
    std::shared_ptr<TVNGraphic> clone() const override;
    void assignState(const TVNGraphic &other) override;
    void setBounds(const QRectF &rect) override;

    // The rich text. Its fonts are in points.
    QTextDocument &textContents() const { return *_Text_contents; }
    // The same document as a field; never null, never to be replaced.
    const std::unique_ptr<QTextDocument> _Text_contents;
    // The plain string of the text.
    QString contentsString() const;
    // Replaces the whole text; the new text takes the font and colour of the
    // old text's first character.
    void setContentsString(const QString &text);
    // The look of the first character and its paragraph (of the empty
    // paragraph when there is no text): what a new whole text takes.
    struct Look {
        QTextCharFormat characters;
        QTextBlockFormat paragraph;
    };
    Look firstCharacterLook() const;
    // Replaces the whole text, which takes `look`.
    void setContentsString(const QString &text, const Look &look);
    // The most characters of a whole text in `look` that this box can show:
    // as many lines as fit its height, each with as many characters as fit
    // its width at about a tenth of the font's size apiece (narrower than
    // any printing glyph), and never fewer than kShownCharactersFloor. Text past
    // it would be cut by the box anyway; a value filled in from data is
    // laid out only this far, so that a value of megabytes costs no more
    // than a full box.
    static constexpr qsizetype kShownCharactersFloor = 4096;
    qsizetype shownCharacters(const Look &look) const;
    // Replaces the whole text with as much of `text` as the box can show
    // (shownCharacters), in `look`: how a value from data is put in.
    void setShownContents(const QString &text, const Look &look);
    // The rich text with every character's font and colour as they are
    // drawn, and the whole text replaced by one; the alignment stays.
    drawing::RichText richText() const;
    void setRichText(const drawing::RichText &text);

    // Font and colour of the whole text (and of text typed later).
    QFont textFont() const;
    void setTextFont(const QFont &font);
    QColor textColor() const;
    void setTextColor(const QColor &color);
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);

protected:
    void drawContents(QPainter &painter, const drawing::DrawStyle &style) const override;

private:
    TVNText(const TVNText &other);
    // Lays the document out in points, as every text is.
    void prepareDocument();
    // Applies `format` to every character and to text typed later.
    void mergeIntoWholeText(const QTextCharFormat &format);
};

class TVNImage : public TVNGraphic {
public:
    TVNImage() = default;
    GraphicClass graphicClass() const override { return GraphicClass::Image; }
    std::shared_ptr<TVNGraphic> clone() const override;
    void assignState(const TVNGraphic &other) override;

    QString filePath() const { return _filePath; }
    // Stores the path (also as Text_Value) and loads the picture from it;
    // the main photo's graphic ("PARTY_IMAGE") shows `mainPhoto`, the
    // design's main photo as the caller has it, instead. A file that cannot
    // be read leaves it without a picture, whose damage() says why: the
    // canvas shows its placeholder there, output nothing.
    void setFilePath(const QString &path, const platform::Image &mainPhoto);

    platform::Image image() const { return _image; }
    void setImage(const platform::Image &image) { _image = image; }

    // Clear parts of a bitmap (the middle of a frame) let a click through
    // to what lies behind, unless the graphic fills its box.
    bool hitTest(const QPointF &point) const override;

protected:
    void drawContents(QPainter &painter, const drawing::DrawStyle &style) const override;

private:
    TVNImage(const TVNImage &) = default;

    QString _filePath;
    platform::Image _image;
};

class TVNBarcode : public TVNGraphic {
public:
    TVNBarcode() = default;
    GraphicClass graphicClass() const override { return GraphicClass::Barcode; }
    std::shared_ptr<TVNGraphic> clone() const override;

    // Draws the picture of the object's own settings (its value, header and
    // footer at its resolution) into _barcode_image. False, with the reason
    // and the picture left as it was, when no symbol can be made of them.
    bool makeBarcodeImage(QString *error = nullptr);

protected:
    // Draws _barcode_image over the bounds (a QR Code or Data Matrix keeps
    // its proportions, centred); without one only a dashed frame marks the
    // object on the canvas.
    void drawContents(QPainter &painter, const drawing::DrawStyle &style) const override;

private:
    TVNBarcode(const TVNBarcode &) = default;
};

// A new graphic of the given kind, at its initial values.
GraphicPtr newGraphicOfClass(GraphicClass cls);

// The font for a PostScript-style name such as "TimesNewRomanPS-BoldItalicMT"
// (family words, optional weight and slant after the dash) at `points`.
QFont fontFromPostScriptName(const QString &name, double points);
