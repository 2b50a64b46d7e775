#pragma once
// The model of one linear or postal barcode symbol. A symbology subclass turns
// the content into a module string: '0' for a space module, '1' for a bar
// module, each `barWidth` points wide. The module string, the bar geometry
// (barTop/barBottom, firstBar/lastBar) and the caption strings are all a
// renderer needs to draw the symbol.
//
// Symbols are made in two steps, because the initialisers call operations
// that subclasses replace: construct, then run the virtual initialiser. The
// factory `SymBarcode::create<T>()` does both and answers nullptr when the
// initialiser yields nothing (no content).
//
// A symbol reads its fonts and margins from the SymbolStyle it was given and
// measures text through a TextMeasurer; neither touches a window, so symbols
// work on any thread. Size, text lines and their measurements are the
// SymbolFrame part.

#include "barcodes/symbologies/SymbolFrame.h"
#include "barcodes/symbologies/SymbolStyle.h"

#include <QString>
#include <memory>
#include <optional>
#include <string>

class QDataStream;

namespace barcodes {

class SymBarcode : public SymbolFrame {
public:
    // Makes a T and runs initWithContent(content, printsCaption); nullptr when
    // there is no content.
    template <class T>
    static std::unique_ptr<T> create(const std::optional<std::string> &content, bool printsCaption = true)
    {
        auto symbol = std::make_unique<T>();
        if (!symbol->initWithContent(content, printsCaption))
            return nullptr;
        return symbol;
    }
    // Makes a T through the full initialiser.
    template <class T>
    static std::unique_ptr<T> create(const std::optional<std::string> &content, bool printsCaption,
                                     float barWidth, float height, float fontSize, int checkDigit)
    {
        auto symbol = std::make_unique<T>();
        if (!symbol->initWithContent(content, printsCaption, barWidth, height, fontSize, checkDigit))
            return nullptr;
        return symbol;
    }

    SymBarcode();
    virtual ~SymBarcode();
    SymBarcode(const SymBarcode &) = delete;
    SymBarcode &operator=(const SymBarcode &) = delete;

    // Initialisers; false means "no symbol" (missing content).
    bool initWithContent(const std::optional<std::string> &content);
    virtual bool initWithContent(const std::optional<std::string> &content, bool printsCaption);
    virtual bool initWithContent(const std::optional<std::string> &content, bool printsCaption,
                                 float barWidth, float height, float fontSize, int checkDigit);

    // Style (default: SymbolStyle{}); its fonts measure the text lines.
    void setStyle(const SymbolStyle &style) { m_style = style; }
    const SymbolStyle &style() const { return m_style; }

    virtual void setContent(const std::string &content);

    virtual void setBarWidth(float barWidth) { m_barWidth = barWidth; }
    // width = barsWidth(barWidth()).
    void calculateWidth() { m_width = barsWidth(m_barWidth); }
    // The width in points of the bars at modules `barWidth` points wide:
    // module count x barWidth (UPC and EAN add their quiet zones).
    virtual float barsWidth(float barWidth) const;
    // The module width the symbol takes when it is made `height` points
    // high: its own, unless its modules follow its size (Japan Post).
    virtual float barWidthAtHeight(float height) const;

    // Check character: a character code, -1 for none (Code 128: the check
    // symbol's value 0..102).
    void setCheckDigit(int checkDigit) { m_checkDigit = checkDigit; }

    const std::string &content() const { return m_content; }
    int checkDigit() const { return m_checkDigit; }
    float barWidth() const { return m_barWidth; }

    virtual bool isSizeValid() const { return true; }
    virtual void generateChecksum() {}
    // True when every character of the content can be encoded (and, where the
    // symbology says so, its length and check are right).
    virtual bool isContentValid() const;

    // Start and stop patterns.
    virtual std::string initiator() const { return {}; }
    virtual std::string terminator() const { return {}; }
    // The pattern of one character; empty when it cannot be encoded.
    virtual std::string _encodeChar(char c) const;
    // The data modules: every character's pattern, then the check character's.
    virtual std::string barcode() const;
    // initiator + barcode + terminator. A symbology's string is worked out
    // once for its text, check character and code set, since width, layout
    // and drawing each ask for it.
    const std::string &completeBarcode() const;

    // Content characters printed outside the bars on the left and right.
    virtual int digitsToLeft() const { return 0; }
    virtual int digitsToRight() const { return 0; }
    virtual std::string leftCaption() const;
    virtual std::string rightCaption() const;
    const QString &header() const { return m_header; }
    const QString &footer() const { return m_footer; }
    // The text under the bars; a tab separates groups spread over the bars.
    virtual std::string caption() const;

    // Bar geometry of module `index`, points from the bottom of the symbol.
    virtual float barBottom(int index) const;
    virtual float barTop(int index) const;
    virtual float firstBar() const { return 0.0f; }
    virtual float lastBar() const { return m_width - m_barWidth; }

    std::string description() const;
    bool isEqual(const SymBarcode &other) const { return m_content == other.m_content; }
    // A new symbol of the same class from content, caption flag, module width,
    // height, caption font size and check character; header and footer are
    // not copied.
    std::unique_ptr<SymBarcode> copyWithZone() const;

    // Archive of content, caption flag, module width, width, height, caption
    // font size, caption height and check character, in that order.
    void encodeWithCoder(QDataStream &out) const;
    // Reads such an archive into a fresh symbol of class T; nullptr when the
    // stream is short or corrupt.
    template <class T>
    static std::unique_ptr<T> initWithCoder(QDataStream &in)
    {
        auto symbol = std::make_unique<T>();
        if (!symbol->readArchive(in))
            return nullptr;
        return symbol;
    }

protected:
    // What initWithContent(content, printsCaption) gives a symbol.
    static constexpr float kDefaultBarWidth = 0.936f;
    static constexpr float kDefaultHeight = 36.0f;
    static constexpr float kDefaultFontSize = 6.0f;

    // The full initialiser without the width, for symbologies that work out
    // their check character first and then their width once.
    bool initFields(const std::optional<std::string> &content, bool printsCaption, float barWidth, float height,
                    float fontSize, int checkDigit);

    // An empty instance of the receiver's class, for copyWithZone(); every
    // symbology declares its own with QUORVANT_SYMBOL_CLASS.
    virtual std::unique_ptr<SymBarcode> newInstance() const { return std::make_unique<SymBarcode>(); }
    virtual const char *className() const { return "SymBarcode"; }
    // Lets a symbology carry settings that its initialiser needs (before the
    // copy is initialised).
    virtual void prepareCopy(const SymBarcode &) {}
    bool readArchive(QDataStream &in);
    // The characters that barcode() encodes one by one: the content, unless
    // a symbology encodes a converted form.
    virtual const std::string &encodedText() const { return m_content; }
    // The pattern of the check character.
    virtual std::string _encodeCheckChar(char c) const { return _encodeChar(c); }
    // True when every byte of the content is 7-bit ASCII.
    bool contentIsAscii() const;
    // True when the module string follows from the content, the encoded
    // text, the check character and encodingVariant() alone, so that it can
    // be kept; every symbology of this program says so.
    virtual bool modulesFollowText() const { return false; }
    // Any further setting the module string depends on (Code 128: the code
    // set).
    virtual int encodingVariant() const { return 0; }
    const SymbolStyle &textStyle() const override { return m_style; }

    int m_checkDigit = -1;
    float m_barWidth = 0.0f;
    std::string m_content;

    SymbolStyle m_style;

private:
    // The last module string and what it was made from.
    struct KeptModules {
        bool valid = false;
        std::string content;
        std::string text;
        int checkDigit = -1;
        int variant = 0;
        std::string modules;
    };
    mutable KeptModules m_kept;
};

// Declares newInstance() and className() for a concrete symbology class.
#define QUORVANT_SYMBOL_CLASS(Class) \
protected: \
    std::unique_ptr<SymBarcode> newInstance() const override { return std::make_unique<Class>(); } \
    const char *className() const override { return #Class; } \
    bool modulesFollowText() const override { return true; } \
\
public:

} // namespace barcodes
