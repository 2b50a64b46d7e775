#include "batch_data/import/TextDecoding.h"

#include <QStringDecoder>

namespace batch_data {

namespace {

std::optional<QString> decodeWith(QStringConverter::Encoding encoding, const QByteArray &bytes, QString *error)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        if (error)
            *error = unsupportedEncodingMessage();
        return std::nullopt;
    }
    return text;
}

// UTF-16 without a byte-order mark: plain text in it has a zero byte in
// every other place for ASCII characters. Needs enough of them to be sure.
std::optional<QStringConverter::Encoding> bomlessUtf16(const QByteArray &bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return std::nullopt;
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0)
            ++(i % 2 == 0 ? evenZeros : oddZeros);
    }
    const qsizetype pairs = bytes.size() / 2;
    if (oddZeros * 2 >= pairs && evenZeros == 0)
        return QStringConverter::Utf16LE;
    if (evenZeros * 2 >= pairs && oddZeros == 0)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

} // namespace

QString unsupportedEncodingMessage()
{
    return QStringLiteral("The file is not in UTF-8 or UTF-16 text encoding and cannot be read without "
                          "changing its characters.\nPlease save it as UTF-8 text and import it again.");
}

std::optional<QString> decodeText(const QByteArray &bytes, QString *error)
{
    if (bytes.isEmpty())
        return QString();
    // A byte-order mark says the encoding outright (and is not text).
    if (const auto byBom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*byBom, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(bytes);
        if (decoder.hasError()) {
            if (error)
                *error = unsupportedEncodingMessage();
            return std::nullopt;
        }
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    if (const auto utf16 = bomlessUtf16(bytes))
        return decodeWith(*utf16, bytes, error);
    // A NUL has no place in a text file: binary data, or a wide encoding.
    if (bytes.contains('\0')) {
        if (error)
            *error = unsupportedEncodingMessage();
        return std::nullopt;
    }
    return decodeWith(QStringConverter::Utf8, bytes, error);
}

} // namespace batch_data
