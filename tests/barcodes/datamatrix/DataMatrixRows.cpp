#include "tests/barcodes/datamatrix/DataMatrixRows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

extern "C" {
#include <iec16022ecc200.h>
}

namespace quorvant::test {

namespace {

// Characters of each kind; utf8 mixes one-, two- and three-byte characters.
struct Kind {
    const char *name;
    const char *alphabet; // UTF-8
    double perCodeword;   // characters one data codeword holds, roughly
};

const Kind kKinds[] = {
    {"digits", "0123456789", 2.0},
    {"upper", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 1.5},
    {"lower", "abcdefghijklmnopqrstuvwxyz 0123456789", 1.5},
    {"punct", "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~ ", 0.8},
    {"mixed", "Pw2ohJpiadlC8 Card-0042, Jane Doe/x=7&y", 1.0},
    {"edifact", "OLD-DESIGN-42/ABC.XYZ:", 1.3},
    {"utf8", "Grüße aus Köln € 12,50 日本語 ñ", 0.5},
};

// Data codewords of the size names after "Auto", in list order.
const int kDataCodewords[] = {3,   5,   8,   12,   18,   22,   30,   36,   44, 62, 86, 114, 144, 174, 204, 280,
                              368, 456, 576, 696, 816, 1050, 1304, 1558, 5,  10, 16, 22,  32,  49};

const Kind &kindNamed(const std::string &name)
{
    for (const Kind &k : kKinds) {
        if (name == k.name)
            return k;
    }
    return kKinds[0];
}

} // namespace

std::vector<DataMatrixRow> dataMatrixRows()
{
    // Four values for every size and encodation: a fifth and a half of what
    // the size holds, just below it and just past it, in a kind that turns
    // with the row. Auto size takes lengths from 1 to 500. Last, the longest
    // value there is, on which libiec16022's own choice reads memory it never
    // wrote: the table keeps no such row (make_symbol_table.sh).
    const QStringList &formats = barcodes::dataMatrixFormatNames();
    const QStringList &encodings = barcodes::dataMatrixEncodingNames();
    const double fill[] = {0.2, 0.5, 0.95, 1.1};
    const int autoLengths[] = {1, 7, 13, 29, 64, 150, 260, 380, 500};
    const int kinds = int(std::size(kKinds));
    std::vector<DataMatrixRow> rows;
    for (int f = 0; f < formats.size(); ++f) {
        for (int e = 0; e < encodings.size(); ++e) {
            for (int k = 0; k < 4; ++k) {
                const int turn = f * 5 + e + k * 3;
                DataMatrixRow row;
                row.kind = kKinds[turn % kinds].name;
                row.seed = turn;
                row.format = formats[f];
                row.encoding = encodings[e];
                if (f == 0) {
                    row.length = autoLengths[(e * 4 + k) % int(std::size(autoLengths))];
                } else {
                    const double chars = kDataCodewords[f - 1] * kKinds[turn % kinds].perCodeword * fill[k];
                    row.length = std::clamp(int(chars + 0.5), 1, 600);
                }
                rows.push_back(row);
            }
        }
    }
    const int longest = 3116;
    for (const char *format : {"C144X144", "Auto"}) {
        for (const char *encoding : {"Auto", "C40"})
            rows.push_back({"digits", longest, 0, format, encoding});
    }
    rows.push_back({"digits", longest - 1, 0, "C144X144", "Auto"});
    return rows;
}

QString dataMatrixRowValue(const DataMatrixRow &row)
{
    const QString alphabet = QString::fromUtf8(kindNamed(row.kind).alphabet);
    QString value;
    std::uint32_t state = 2463534242u + std::uint32_t(row.seed) * 7919u + std::uint32_t(row.length);
    for (int i = 0; i < row.length; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        value += alphabet[int(state % std::uint32_t(alphabet.size()))];
    }
    return value;
}

std::string dataMatrixGridHash(const barcodes::DataMatrixGrid &grid)
{
    if (!grid.isValid())
        return "refused";
    std::uint64_t h = 14695981039346656037ull;
    auto add = [&h](unsigned byte) {
        h ^= byte & 0xFFu;
        h *= 1099511628211ull;
    };
    for (const int v : {grid.W, grid.H}) {
        for (int shift = 0; shift < 32; shift += 8)
            add(unsigned(v) >> shift);
    }
    for (const std::uint8_t m : grid.modules)
        add(m ? 1 : 0);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

std::string engineLetters(const QByteArray &data, char letter)
{
    auto values = [letter](unsigned char c) {
        const int extra = c >= 128 ? 2 : 0;
        c &= 0x7F;
        const bool basic = c == ' ' || (c >= '0' && c <= '9')
            || (letter == 'C' ? (c >= 'A' && c <= 'Z') : (c >= 'a' && c <= 'z'));
        return extra + (basic ? 1 : 2);
    };
    std::string letters(std::size_t(data.size()), letter);
    if (letter != 'C' && letter != 'T')
        return letters;
    int total = 0;
    for (const char c : data)
        total += values(static_cast<unsigned char>(c));
    if (total % 3 != 1)
        return letters;
    // Bytes go to ASCII from the end until the triplets close.
    for (std::size_t j = letters.size(); j-- > 0 && total % 3 != 0;) {
        total -= values(static_cast<unsigned char>(data[qsizetype(j)]));
        letters[j] = 'A';
    }
    return letters;
}

barcodes::DataMatrixGrid libraryGridWith(const QByteArray &data, int W, int H, std::string letters)
{
    QByteArray bytes = data; // the library takes a writable pointer
    const bool ownChoice = letters.empty();
    char *encoding = ownChoice ? nullptr : letters.data();
    barcodes::DataMatrixGrid out;
    out.W = W;
    out.H = H;
    unsigned char *grid = iec16022ecc200(&out.W, &out.H, &encoding, int(bytes.size()),
                                         reinterpret_cast<unsigned char *>(bytes.data()), &out.encodedLength,
                                         &out.capacity, &out.eccLength);
    if (encoding != nullptr)
        out.encoding = encoding;
    if (ownChoice)
        std::free(encoding);
    if (grid != nullptr)
        out.modules.assign(grid, grid + std::size_t(out.W) * std::size_t(out.H));
    std::free(grid);
    for (auto &m : out.modules)
        m = m ? 1 : 0;
    return out;
}

QImage pagePicture(const barcodes::DataMatrixGrid &grid)
{
    const QImage page = barcodes::dataMatrixPageImage(grid).bitmap();
    return page.scaled(page.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace quorvant::test
