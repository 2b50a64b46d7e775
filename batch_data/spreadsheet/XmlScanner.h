#pragma once
// A pull scanner over an XML byte stream, for the large parts of a
// workbook: it hands out one token at a time (start tag with attributes,
// end tag, text) from a window of the input, so memory stays a few buffers
// whatever the size of the part, and it runs at the speed of the bytes
// rather than of a document tree.
//
// It checks what a reader of package parts relies on: tags nest and match,
// attributes are quoted, entities and character references are known, the
// input ends after the root. Documents with a DTD are refused (package
// parts may not carry one, and it is how entity bombs come in). UTF-8, with
// or without a byte-order mark; UTF-16 parts are converted first.
//
// Names are given without their namespace prefix (producers differ in the
// prefixes they use). Views stay valid until the next call of next().
// One scanner per stream; any thread.

#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace batch_data {

class XmlScanner {
public:
    // Reads up to `size` bytes into `buffer`; 0 at the end, negative on a
    // read error.
    using Source = std::function<qint64(char *buffer, qint64 size)>;

    explicit XmlScanner(Source source);
    explicit XmlScanner(QIODevice &device);

    enum class Token { StartElement, EndElement, Text, EndOfDocument, Error };

    Token next();

    // The local name of the element (StartElement and EndElement).
    std::string_view name() const { return m_name; }
    bool isNamed(std::string_view local) const { return m_name == local; }
    // The value of the attribute with this local name; empty when absent.
    std::string_view attribute(std::string_view local) const;
    // Character data (Text): entities resolved, CDATA included; UTF-8.
    std::string_view text() const { return m_text; }

    // Skips to the end of the element whose start was just read.
    bool skipElement();
    // Appends the character data up to the end of the element whose start
    // was just read (text inside nested elements included).
    bool appendElementText(std::string &out);

    // Why scanning stopped (Error), with the byte offset.
    QString errorString() const { return m_error; }

private:
    struct Attribute {
        std::string_view name;
        std::string_view value;
    };

    // Makes `wanted` bytes from m_pos available unless the input ends.
    bool ensure(size_t wanted) { return m_buffer.size() - m_pos >= wanted || fill(wanted); }
    bool fill(size_t wanted);
    Token fail(const QString &reason);
    Token scanMarkup();
    Token scanText();
    bool decode(std::string_view raw, std::string &out);
    bool detectEncoding();

    Source m_source;
    std::string m_buffer;
    size_t m_pos = 0;
    qint64 m_consumed = 0;   // bytes dropped from the front of the buffer
    bool m_eof = false;
    bool m_started = false;
    bool m_rootClosed = false;
    bool m_pendingEnd = false;   // an empty element's end comes next

    std::vector<std::string> m_open;
    std::string_view m_name;
    std::vector<Attribute> m_attributes;
    std::vector<std::string> m_decoded;   // attribute values that held entities
    std::string m_textStore;
    std::string_view m_text;
    QString m_error;
};

} // namespace batch_data
