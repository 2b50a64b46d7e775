#include "barcodes/datamatrix/DataMatrixReader.h"

#include <array>
#include <memory>
#include <mutex>

#include <dmtx.h>

namespace barcodes {

namespace {

// ------------------------------------------------------------ layout

// A size's layout: where each bit of each codeword lies in the grid, and how
// the codewords share the error-correction blocks.
struct Layout {
    int W = 0;
    int H = 0;
    int dataWords = 0;
    int blocks = 0;
    int blockErrorWords = 0;
    // Grid index (y * W + x) of bit 7 down to bit 0 of each codeword, in
    // codeword order: eight entries a codeword.
    std::vector<std::uint32_t> bitPlaces;
};

// The codeword placement of the mapping matrix (nrow × ncol, row 0 at the
// top): the standard's walk of diagonal "utah" shapes with its four corner
// shapes. Each place holds codeword × 8 + bit (bit 0 the most significant)
// plus 1, 0 where no codeword lies.
class Placement {
public:
    Placement(int nrow, int ncol) : nrow_(nrow), ncol_(ncol), places_(std::size_t(nrow) * std::size_t(ncol), 0) {}

    const std::vector<int> &place()
    {
        int word = 0, row = 4, col = 0;
        do {
            if (row == nrow_ && col == 0)
                corner({{nrow_ - 1, 0}, {nrow_ - 1, 1}, {nrow_ - 1, 2}, {0, ncol_ - 2}, {0, ncol_ - 1},
                        {1, ncol_ - 1}, {2, ncol_ - 1}, {3, ncol_ - 1}},
                       word++);
            if (row == nrow_ - 2 && col == 0 && ncol_ % 4 != 0)
                corner({{nrow_ - 3, 0}, {nrow_ - 2, 0}, {nrow_ - 1, 0}, {0, ncol_ - 4}, {0, ncol_ - 3},
                        {0, ncol_ - 2}, {0, ncol_ - 1}, {1, ncol_ - 1}},
                       word++);
            if (row == nrow_ - 2 && col == 0 && ncol_ % 8 == 4)
                corner({{nrow_ - 3, 0}, {nrow_ - 2, 0}, {nrow_ - 1, 0}, {0, ncol_ - 2}, {0, ncol_ - 1},
                        {1, ncol_ - 1}, {2, ncol_ - 1}, {3, ncol_ - 1}},
                       word++);
            if (row == nrow_ + 4 && col == 2 && ncol_ % 8 == 0)
                corner({{nrow_ - 1, 0}, {nrow_ - 1, ncol_ - 1}, {0, ncol_ - 3}, {0, ncol_ - 2}, {0, ncol_ - 1},
                        {1, ncol_ - 3}, {1, ncol_ - 2}, {1, ncol_ - 1}},
                       word++);
            // Up and to the right, then down and to the left.
            do {
                if (row < nrow_ && col >= 0 && at(row, col) == 0)
                    utah(row, col, word++);
                row -= 2;
                col += 2;
            } while (row >= 0 && col < ncol_);
            row += 1;
            col += 3;
            do {
                if (row >= 0 && col < ncol_ && at(row, col) == 0)
                    utah(row, col, word++);
                row += 2;
                col -= 2;
            } while (row < nrow_ && col >= 0);
            row += 3;
            col += 1;
        } while (row < nrow_ || col < ncol_);
        return places_;
    }

private:
    int &at(int row, int col) { return places_[std::size_t(row) * std::size_t(ncol_) + std::size_t(col)]; }

    void module(int row, int col, int word, int bit)
    {
        if (row < 0) {
            row += nrow_;
            col += 4 - ((nrow_ + 4) % 8);
        }
        if (col < 0) {
            col += ncol_;
            row += 4 - ((ncol_ + 4) % 8);
        }
        at(row, col) = word * 8 + bit + 1;
    }

    void utah(int row, int col, int word)
    {
        module(row - 2, col - 2, word, 0);
        module(row - 2, col - 1, word, 1);
        module(row - 1, col - 2, word, 2);
        module(row - 1, col - 1, word, 3);
        module(row - 1, col, word, 4);
        module(row, col - 2, word, 5);
        module(row, col - 1, word, 6);
        module(row, col, word, 7);
    }

    void corner(const int (&places)[8][2], int word)
    {
        for (int bit = 0; bit < 8; ++bit)
            module(places[bit][0], places[bit][1], word, bit);
    }

    int nrow_;
    int ncol_;
    std::vector<int> places_;
};

Layout makeLayout(int sizeIndex)
{
    Layout layout;
    layout.W = dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, sizeIndex);
    layout.H = dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, sizeIndex);
    layout.dataWords = dmtxGetSymbolAttribute(DmtxSymAttribSymbolDataWords, sizeIndex);
    layout.blocks = dmtxGetSymbolAttribute(DmtxSymAttribInterleavedBlocks, sizeIndex);
    layout.blockErrorWords = dmtxGetSymbolAttribute(DmtxSymAttribBlockErrorWords, sizeIndex);
    const int totalWords = layout.dataWords + layout.blocks * layout.blockErrorWords;
    const int mapRows = dmtxGetSymbolAttribute(DmtxSymAttribDataRegionRows, sizeIndex);
    const int mapCols = dmtxGetSymbolAttribute(DmtxSymAttribDataRegionCols, sizeIndex);
    const int nrow = dmtxGetSymbolAttribute(DmtxSymAttribMappingMatrixRows, sizeIndex);
    const int ncol = dmtxGetSymbolAttribute(DmtxSymAttribMappingMatrixCols, sizeIndex);

    Placement placement(nrow, ncol);
    const std::vector<int> &places = placement.place();
    layout.bitPlaces.assign(std::size_t(totalWords) * 8, 0);
    for (int r = 0; r < nrow; ++r) {
        for (int c = 0; c < ncol; ++c) {
            const int place = places[std::size_t(r) * std::size_t(ncol) + std::size_t(c)];
            if (place == 0 || place > totalWords * 8)
                continue;
            // The mapping matrix is the data regions without their finder
            // and clock modules; its row 0 is the top row, the grid's the
            // bottom one.
            const int x = c / mapCols * (mapCols + 2) + 1 + c % mapCols;
            const int top = r / mapRows * (mapRows + 2) + 1 + r % mapRows;
            layout.bitPlaces[std::size_t(place - 1)] = std::uint32_t((layout.H - 1 - top) * layout.W + x);
        }
    }
    return layout;
}

// The layout of a size, made on first use.
const Layout *layoutFor(int W, int H)
{
    constexpr int kSizes = DmtxSymbolSquareCount + DmtxSymbolRectCount;
    static std::array<std::unique_ptr<const Layout>, kSizes> layouts;
    static std::array<std::once_flag, kSizes> made;
    const int i = dataMatrixSizeIndex(W, H);
    if (i < 0)
        return nullptr;
    std::call_once(made[std::size_t(i)], [i] { layouts[std::size_t(i)] = std::make_unique<Layout>(makeLayout(i)); });
    return layouts[std::size_t(i)].get();
}

// ------------------------------------------------------------ error check

// GF(256) with the field polynomial x^8 + x^5 + x^3 + x^2 + 1, α = 2.
struct Field {
    std::array<std::uint8_t, 512> exp{};
    std::array<int, 256> log{};

    Field()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[std::size_t(i)] = std::uint8_t(x);
            exp[std::size_t(i + 255)] = std::uint8_t(x);
            log[std::size_t(x)] = i;
            x <<= 1;
            if (x & 0x100)
                x ^= 0x12D;
        }
    }
};

const Field &field()
{
    static const Field f;
    return f;
}

// Whether a block of codewords (data, then error correction) is a codeword
// of the code: its polynomial vanishes at α^1 … α^e, the generator's roots.
// Horner's rule for all e points at once: each step of one point is
// independent of the others'.
bool blockChecks(const std::vector<std::uint8_t> &block, int errorWords)
{
    const Field &f = field();
    std::array<int, 256> s{};
    for (const std::uint8_t c : block) {
        for (int i = 1; i <= errorWords; ++i) {
            const int v = s[std::size_t(i)];
            s[std::size_t(i)] = (v == 0 ? 0 : f.exp[std::size_t(f.log[std::size_t(v)] + i)]) ^ c;
        }
    }
    for (int i = 1; i <= errorWords; ++i) {
        if (s[std::size_t(i)] != 0)
            return false;
    }
    return true;
}

// ------------------------------------------------------------ data

enum class Triplets { C40, Text, X12 };

// The characters of C40 and Text's second (punctuation) set.
int shift2Character(int value)
{
    if (value <= 14)
        return '!' + value;
    if (value <= 21)
        return ':' + (value - 15);
    if (value <= 26)
        return '[' + (value - 22);
    return -1;
}

class DataReader {
public:
    explicit DataReader(const std::vector<std::uint8_t> &data) : data_(data) {}

    std::optional<QByteArray> read()
    {
        while (pos_ < data_.size()) {
            const int c = data_[pos_++];
            if (c >= 1 && c <= 128) {
                put(c - 1);
            } else if (c == 129) {
                return out_; // padding to the end
            } else if (c <= 229 && c >= 130) {
                const int pair = c - 130;
                put('0' + pair / 10);
                put('0' + pair % 10);
            } else if (c == 230) {
                if (!triplets(Triplets::C40))
                    return std::nullopt;
            } else if (c == 231) {
                if (!base256())
                    return std::nullopt;
            } else if (c == 235) {
                if (pos_ >= data_.size() || data_[pos_] == 0 || data_[pos_] > 128)
                    return std::nullopt;
                put(data_[pos_++] - 1 + 128);
            } else if (c == 238) {
                if (!triplets(Triplets::X12))
                    return std::nullopt;
            } else if (c == 239) {
                if (!triplets(Triplets::Text))
                    return std::nullopt;
            } else {
                // 0 and 242 to 255 are no codewords; FNC1, structured
                // append, reader programming, macros and ECI are not in any
                // value, and EDIFACT is never drawn.
                return std::nullopt;
            }
        }
        return out_;
    }

private:
    void put(int byte) { out_.append(char(std::uint8_t(byte))); }

    // A C40, Text or X12 run: two codewords hold three values; 254 returns
    // to ASCII, even as the last codeword, and so does a single codeword
    // left at the end (it is read in ASCII).
    bool triplets(Triplets kind)
    {
        int shift = 0;
        bool upper = false;
        while (pos_ < data_.size()) {
            const int first = data_[pos_];
            if (first == 254) {
                ++pos_;
                return true;
            }
            if (pos_ + 1 == data_.size())
                return true;
            const int packed = first * 256 + data_[pos_ + 1] - 1;
            pos_ += 2;
            if (packed < 0 || packed >= 64000)
                return false;
            for (const int value : {packed / 1600, packed / 40 % 40, packed % 40}) {
                if (kind == Triplets::X12) {
                    static const char x12[] = "\r*> 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
                    put(x12[value]);
                    continue;
                }
                int character = -1;
                switch (shift) {
                case 0:
                    if (value <= 2) {
                        shift = value + 1;
                        continue;
                    }
                    if (value == 3)
                        character = ' ';
                    else if (value <= 13)
                        character = '0' + value - 4;
                    else
                        character = (kind == Triplets::C40 ? 'A' : 'a') + value - 14;
                    break;
                case 1:
                    character = value; // controls 0 to 31 (a value above is malformed)
                    if (value > 31)
                        return false;
                    break;
                case 2:
                    if (value == 30) { // upper shift: the next character + 128
                        upper = true;
                        shift = 0;
                        continue;
                    }
                    character = shift2Character(value); // 27 is FNC1, 28 and 29 unused
                    if (character < 0)
                        return false;
                    break;
                case 3:
                    if (value > 31)
                        return false;
                    if (kind == Triplets::Text && value >= 1 && value <= 26)
                        character = 'A' + value - 1;
                    else
                        character = '`' + value;
                    break;
                }
                shift = 0;
                put(upper ? character + 128 : character);
                upper = false;
            }
        }
        return true;
    }

    // A Base 256 run: its length (one codeword, two past 249, 0 for "to the
    // end of the data"), then the bytes; every codeword is scrambled by its
    // place.
    bool base256()
    {
        auto next = [this]() {
            const int place = int(pos_) + 1;
            const int value = data_[pos_++] - ((149 * place) % 255 + 1);
            return value < 0 ? value + 256 : value;
        };
        if (pos_ >= data_.size())
            return false;
        const int first = next();
        std::size_t length = 0;
        if (first == 0) {
            length = data_.size() - pos_;
        } else if (first < 250) {
            length = std::size_t(first);
        } else {
            if (pos_ >= data_.size())
                return false;
            length = std::size_t(250 * (first - 249) + next());
        }
        if (length > data_.size() - pos_)
            return false;
        for (std::size_t i = 0; i < length; ++i)
            put(next());
        return true;
    }

    const std::vector<std::uint8_t> &data_;
    std::size_t pos_ = 0;
    QByteArray out_;
};

} // namespace

int dataMatrixSizeIndex(int W, int H)
{
    for (int i = 0; i < DmtxSymbolSquareCount + DmtxSymbolRectCount; ++i) {
        if (dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, i) == W
            && dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, i) == H)
            return i;
    }
    return -1;
}

std::optional<QByteArray> readDataMatrixGrid(int W, int H, const std::vector<std::uint8_t> &modules)
{
    const Layout *layout = layoutFor(W, H);
    if (layout == nullptr || modules.size() != std::size_t(W) * std::size_t(H))
        return std::nullopt;

    const std::size_t words = layout->bitPlaces.size() / 8;
    std::vector<std::uint8_t> codewords(words);
    for (std::size_t k = 0; k < words; ++k) {
        unsigned word = 0;
        for (std::size_t bit = 0; bit < 8; ++bit)
            word = (word << 1) | (modules[layout->bitPlaces[k * 8 + bit]] != 0 ? 1u : 0u);
        codewords[k] = std::uint8_t(word);
    }

    // Interleaved blocks: data codeword i and error codeword i belong to
    // block i mod blocks.
    const std::size_t blocks = std::size_t(layout->blocks);
    const std::size_t dataWords = std::size_t(layout->dataWords);
    std::vector<std::uint8_t> block;
    for (std::size_t b = 0; b < blocks; ++b) {
        block.clear();
        for (std::size_t i = b; i < dataWords; i += blocks)
            block.push_back(codewords[i]);
        for (std::size_t i = b; i < words - dataWords; i += blocks)
            block.push_back(codewords[dataWords + i]);
        if (!blockChecks(block, layout->blockErrorWords))
            return std::nullopt;
    }

    codewords.resize(dataWords);
    return DataReader(codewords).read();
}

} // namespace barcodes
