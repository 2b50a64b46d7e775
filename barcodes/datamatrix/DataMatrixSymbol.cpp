#include "barcodes/datamatrix/DataMatrixSymbol.h"

#include "barcodes/datamatrix/DataMatrixReader.h"

#include "barcodes/imaging/ImageResolution.h"

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

extern "C" {
#include <iec16022ecc200.h>
}
#include <dmtx.h>

namespace barcodes {

namespace {

// libiec16022 keeps global state between calls.
std::mutex &libraryMutex()
{
    static std::mutex m;
    return m;
}

// libdmtx keeps a writable static of its own beside the state of each
// encoder, so its calls are serialised as well.
std::mutex &dmtxLibraryMutex()
{
    static std::mutex m;
    return m;
}

int parseInt(const QString &text)
{
    // Leading digits, as a C reader of integers would take them.
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    while (i < t.size() && t[i].isDigit())
        ++i;
    bool ok = false;
    const int value = t.left(i).toInt(&ok);
    return ok ? value : 0;
}

} // namespace

const QStringList &dataMatrixFormatNames()
{
    static const QStringList names{
        "Auto",    "C10X10",  "C12X12",   "C14X14",   "C16X16",   "C18X18",   "C20X20",   "C22X22",
        "C24X24",  "C26X26",  "C32X32",   "C36X36",   "C40X40",   "C44X44",   "C48X48",   "C52X52",
        "C64X64",  "C72X72",  "C80X80",   "C88X88",   "C96X96",   "C104X104", "C120X120", "C132X132",
        "C144X144", "C8X18",  "C8X32",    "C12X26",   "C12X36",   "C16X36",   "C16X48"};
    return names;
}

const QStringList &dataMatrixEncodingNames()
{
    static const QStringList names{"Auto", "Ascii", "C40", "Text", "Base256"};
    return names;
}

DataMatrixFormat dataMatrixFormatFromName(const QString &name)
{
    const int x = name.indexOf(QLatin1Char('X'));
    if (x < 0)
        return {};
    const QString rows = name.left(x).mid(name.startsWith(QLatin1Char('C')) ? 1 : 0);
    return {parseInt(rows), parseInt(name.mid(x + 1))};
}

char dataMatrixEncodationLetter(const QString &item)
{
    if (item == QLatin1String("Ascii"))
        return 'A';
    if (item == QLatin1String("C40"))
        return 'C';
    if (item == QLatin1String("Text"))
        return 'T';
    if (item == QLatin1String("Base256"))
        return 'B';
    return 0;
}

namespace {

// C40 and Text values that one byte takes: 1 in the basic set, 2 with a
// shift, and 2 more for the upper shift of bytes above 127.
int tripletValues(unsigned char c, char encodation)
{
    int extra = 0;
    if (c >= 128) {
        extra = 2;
        c = static_cast<unsigned char>(c - 128);
    }
    const bool basic = c == ' ' || (c >= '0' && c <= '9')
        || (encodation == 'C' ? (c >= 'A' && c <= 'Z') : (c >= 'a' && c <= 'z'));
    return extra + (basic ? 1 : 2);
}

// One letter per byte of the data. A C40 or Text run whose last triplet
// would hold a single value gets it padded by the library into a stray NUL
// character that readers return; the bytes that spill into that triplet are
// written in ASCII instead, which the format lets a run end with.
std::string encodationLetters(const QByteArray &data, char encodation)
{
    std::string letters(std::size_t(data.size()), encodation);
    if (encodation != 'C' && encodation != 'T')
        return letters;
    int total = 0;
    for (char c : data)
        total += tripletValues(static_cast<unsigned char>(c), encodation);
    if (total % 3 != 1)
        return letters;
    int kept = total;
    for (std::size_t i = letters.size(); i-- > 0 && kept % 3 != 0;) {
        kept -= tripletValues(static_cast<unsigned char>(data[int(i)]), encodation);
        letters[i] = 'A';
    }
    return letters;
}

// The blocks libiec16022 allocates during the call in progress on this
// thread; none outside its calls. Its archive is linked with its malloc,
// calloc and free renamed to the functions below (CMakeLists.txt).
struct LibraryBlock {
    void *pointer;
    std::size_t size;
};
thread_local std::vector<LibraryBlock> *t_libraryBlocks = nullptr;

void noteBlock(void *pointer, std::size_t size)
{
    if (pointer != nullptr && t_libraryBlocks != nullptr)
        t_libraryBlocks->push_back({pointer, size});
}

// When the library refuses a value it chose the letters for, it loses the
// letters: a block of one letter a byte and a NUL. Only such a block is
// freed; the library keeps other blocks (its error-correction tables) from
// call to call.
void freeLostLetters(const std::vector<LibraryBlock> &blocks, qsizetype length)
{
    for (const LibraryBlock &block : blocks) {
        const char *text = static_cast<const char *>(block.pointer);
        if (block.size == std::size_t(length) + 1 && text[length] == '\0'
            && std::strspn(text, "ACTXEB") == std::size_t(length))
            std::free(block.pointer);
    }
}

// The library's grid for `data` at W x H with the given letters, one a
// byte; with none, the library chooses them (its own choice).
DataMatrixGrid libraryGrid(const QByteArray &data, int W, int H, std::string letters)
{
    DataMatrixGrid out;
    out.W = W;
    out.H = H;
    const bool ownChoice = letters.empty();
    // Choosing the letters for a value of MAXBARCODE bytes, the library reads
    // memory it never wrote, and its answer changes from run to run: it is
    // not asked to.
    if (ownChoice && data.size() >= MAXBARCODE)
        return out;

    QByteArray bytes = data; // the library takes a writable pointer
    int w = W, h = H, len = 0, max = 0, ecc = 0;
    char *encoding = ownChoice ? nullptr : letters.data();
    unsigned char *grid = nullptr;
    std::vector<LibraryBlock> blocks;
    {
        std::lock_guard<std::mutex> lock(libraryMutex());
        t_libraryBlocks = &blocks;
        grid = iec16022ecc200(&w, &h, &encoding, int(bytes.size()),
                              reinterpret_cast<unsigned char *>(bytes.data()), &len, &max, &ecc);
        t_libraryBlocks = nullptr;
    }
    out.W = w;
    out.H = h;
    out.encodedLength = len;
    out.capacity = max;
    out.eccLength = ecc;
    if (encoding != nullptr) {
        out.encoding = encoding;
        if (ownChoice)
            std::free(encoding); // the library's own choice, allocated for us
    }
    if (grid == nullptr) {
        if (ownChoice)
            freeLostLetters(blocks, bytes.size());
        return out;
    }
    if (w > 0 && h > 0)
        out.modules.assign(grid, grid + std::size_t(w) * std::size_t(h));
    std::free(grid);
    for (auto &m : out.modules)
        m = m ? 1 : 0;
    return out;
}

// `data` in one encodation ('A', 'C', 'T'), or the library's own choice (0).
DataMatrixGrid callLibrary(const QByteArray &data, int W, int H, char encodation)
{
    DataMatrixGrid out = libraryGrid(data, W, H, encodation != 0 ? encodationLetters(data, encodation) : std::string());
    out.encodation = encodation;
    return out;
}

// A value as the text of a comment line: each line break in it starts a
// continuation line ("%%+"), so no line of the value stands in the page
// description as a line of its own.
QByteArray commentText(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
            out += "\n%%+ ";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

// The allocation functions of the linked libiec16022 archive.
extern "C" void *barcodes_iec16022_malloc(std::size_t size)
{
    void *pointer = std::malloc(size);
    noteBlock(pointer, size);
    return pointer;
}

extern "C" void *barcodes_iec16022_calloc(std::size_t count, std::size_t size)
{
    void *pointer = std::calloc(count, size);
    noteBlock(pointer, count * size);
    return pointer;
}

extern "C" void barcodes_iec16022_free(void *pointer)
{
    if (t_libraryBlocks != nullptr) {
        auto &blocks = *t_libraryBlocks;
        blocks.erase(std::remove_if(blocks.begin(), blocks.end(),
                                    [pointer](const LibraryBlock &b) { return b.pointer == pointer; }),
                     blocks.end());
    }
    std::free(pointer);
}

namespace {

// The size with the fewest data codewords that still holds `needed`, the
// square first where a square and a rectangle hold as many; -1 when none does.
int smallestBase256Size(int needed)
{
    int best = -1;
    for (int i = 0; i < DmtxSymbolSquareCount + DmtxSymbolRectCount; ++i) {
        const int words = dmtxGetSymbolAttribute(DmtxSymAttribSymbolDataWords, i);
        if (words >= needed && (best < 0 || words < dmtxGetSymbolAttribute(DmtxSymAttribSymbolDataWords, best)))
            best = i;
    }
    return best;
}

// `data` in Base 256 encodation, which libiec16022 cannot make: libdmtx
// writes the latch codeword (231), the length and the bytes, pads, adds the
// error correction and places the modules. W = H = 0 takes the smallest size
// that holds them. An invalid grid when they do not fit.
DataMatrixGrid encodeBase256(const QByteArray &data, int W, int H)
{
    DataMatrixGrid out;
    out.W = W;
    out.H = H;
    out.encodation = 'B';
    out.encoding.assign(std::size_t(data.size()), 'B');
    // The latch, the length and the bytes. The length takes one codeword
    // below 250 bytes and two above, except where the bytes run to the end of
    // the symbol: then one codeword (0) says so. Any size with two codewords
    // beside the bytes therefore holds them.
    const int bytes = int(data.size());
    const int sizeIndex = W == 0 && H == 0 ? smallestBase256Size(bytes + 2) : dataMatrixSizeIndex(W, H);
    if (sizeIndex >= 0) {
        out.W = dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, sizeIndex);
        out.H = dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, sizeIndex);
        out.capacity = dmtxGetSymbolAttribute(DmtxSymAttribSymbolDataWords, sizeIndex);
        out.eccLength = dmtxGetSymbolAttribute(DmtxSymAttribSymbolErrorWords, sizeIndex);
    }
    out.encodedLength = 1 + (bytes < 250 || bytes + 2 == out.capacity ? 1 : 2) + bytes;
    if (sizeIndex < 0 || out.encodedLength > out.capacity)
        return out;

    QByteArray writable = data; // the library takes a writable pointer
    std::lock_guard<std::mutex> lock(dmtxLibraryMutex());
    DmtxEncode *encoder = dmtxEncodeCreate();
    if (encoder == nullptr)
        return out;
    dmtxEncodeSetProp(encoder, DmtxPropScheme, DmtxSchemeBase256);
    dmtxEncodeSetProp(encoder, DmtxPropSizeRequest, sizeIndex);
    // The modules are read from the message; the image the library renders
    // as well is kept at one pixel a module.
    dmtxEncodeSetProp(encoder, DmtxPropModuleSize, 1);
    dmtxEncodeSetProp(encoder, DmtxPropMarginSize, 0);
    if (dmtxEncodeDataMatrix(encoder, bytes, reinterpret_cast<unsigned char *>(writable.data())) == DmtxPass
        && encoder->message != nullptr && encoder->region.sizeIdx == sizeIndex) {
        // The library's row 0 is the bottom row, as in libiec16022's grid.
        out.modules.resize(std::size_t(out.W) * std::size_t(out.H));
        for (int y = 0; y < out.H; ++y) {
            for (int x = 0; x < out.W; ++x) {
                const int status = dmtxSymbolModuleStatus(encoder->message, sizeIndex, y, x);
                out.modules[std::size_t(y) * std::size_t(out.W) + std::size_t(x)] =
                    (status & DmtxModuleOnRGB) != 0 ? 1 : 0;
            }
        }
    }
    dmtxEncodeDestroy(&encoder);
    return out;
}

// Whether a reader reads the grid as exactly `data`. A symbol is drawn only
// then: libiec16022 writes some bytes wrongly (0x80 in a C40 or Text run,
// which "’", "–" and "À" hold in UTF-8) and ends some X12 runs without their
// unlatch, and every reader then reads another value.
bool readsBackAs(const DataMatrixGrid &grid, const QByteArray &data)
{
    const std::optional<QByteArray> read = readDataMatrixGrid(grid.W, grid.H, grid.modules);
    return read.has_value() && *read == data;
}

// A grid of `data` in one encodation: 'A', 'C', 'T' or 'B', or 0 for
// libiec16022's own choice.
DataMatrixGrid encodeIn(const QByteArray &data, int W, int H, char encodation)
{
    return encodation == 'B' ? encodeBase256(data, W, H) : callLibrary(data, W, H, encodation);
}

// `data` in any encodation that holds it, of: the library's own choice,
// ASCII, C40, Text and Base 256. At a fixed size the first that holds it; at
// the smallest size the library's own choice where it holds the data, else
// the one of the others with the smallest symbol, the first of them where
// two are as small. An encodation holds the data when its grid reads back as
// the data. `tried`, an encodation the caller found not to hold it, is not
// asked again.
DataMatrixGrid encodeWithAnyEncodation(const QByteArray &data, int W, int H, char tried = 0)
{
    // The library's own choice may take EDIFACT for runs of capitals and
    // punctuation. Values it wrote so have always been drawn in another
    // encodation, where readers agree on the value's end; a design's symbols
    // stay as they were.
    const DataMatrixGrid own = callLibrary(data, W, H, 0);
    const bool ownOffered = own.encoding.find('E') == std::string::npos;
    if (ownOffered && own.isValid() && readsBackAs(own, data))
        return own;
    // Whether an encodation held the data in a symbol that reads otherwise.
    bool misread = ownOffered && own.isValid();
    // The library's own choice fails on some texts with bytes above 127
    // (UTF-8 "€", "日本"), and at a fixed size on some values that one
    // encodation holds ("Pw2ohJpiadlC8" in Text at 16 x 16). Bytes above 127
    // take two codewords each in ASCII and more in C40 or Text, one in Base
    // 256: UTF-8 text may fit in Base 256 alone. The library picks the size
    // with the fewest data codewords that holds a value, and so does Base 256.
    const bool firstThatHolds = W != 0 || H != 0;
    std::vector<DataMatrixGrid> made;
    DataMatrixGrid ascii, lastRefused = own;
    for (const char other : {'A', 'C', 'T', 'B'}) {
        if (other == tried) // the caller's choice, which did not hold it
            continue;
        DataMatrixGrid grid = encodeIn(data, W, H, other);
        if (other == 'A')
            ascii = grid;
        if (!grid.isValid()) {
            if (other != 'B')
                lastRefused = grid;
            continue;
        }
        if (firstThatHolds) {
            if (readsBackAs(grid, data))
                return grid;
            misread = true;
            continue;
        }
        made.push_back(std::move(grid));
    }
    std::stable_sort(made.begin(), made.end(),
                     [](const DataMatrixGrid &a, const DataMatrixGrid &b) { return a.capacity < b.capacity; });
    for (DataMatrixGrid &grid : made) {
        if (readsBackAs(grid, data))
            return std::move(grid);
        misread = true;
    }
    // Refused. The counters for the diagnostics: ASCII's for bytes above
    // 127, else the library's own choice, or when that made a symbol that
    // was not taken, the last encodation the library refused.
    const bool nonAscii = std::any_of(data.begin(), data.end(), [](char c) { return (c & 0x80) != 0; });
    DataMatrixGrid out = nonAscii ? ascii : own.isValid() ? lastRefused : own;
    out.modules.clear();
    out.fitsButReadsOtherwise = misread;
    return out;
}

} // namespace

DataMatrixGrid encodeDataMatrix(const QByteArray &data, int W, int H, char encodation)
{
    if (data.isEmpty() || data.size() > MAXBARCODE) {
        DataMatrixGrid out;
        out.W = W;
        out.H = H;
        return out;
    }
    if (encodation == 0)
        return encodeWithAnyEncodation(data, W, H);
    DataMatrixGrid chosen = encodeIn(data, W, H, encodation);
    const bool made = chosen.isValid();
    if (made && readsBackAs(chosen, data))
        return chosen;
    // A value is refused only when no encodation holds it; the chosen one's
    // counters stay for the diagnostics when none does.
    DataMatrixGrid other = encodeWithAnyEncodation(data, W, H, encodation);
    if (other.isValid()) {
        other.chosenReadsOtherwise = made;
        return other;
    }
    chosen.modules.clear();
    chosen.fitsButReadsOtherwise = made || other.fitsButReadsOtherwise;
    return chosen;
}

QByteArray makeEPS_Data_Matrix(const QByteArray &value, int W, int H, const DataMatrixGrid &grid)
{
    QByteArray eps;
    eps.reserve(512 + qsizetype(value.size()) + qsizetype(H) * ((W + 7) / 8 * 2 + 2));
    eps += "%!PS-Adobe-3.0 EPSF-3.0\n";
    eps += "%%Creator: IEC16022 barcode/stamp generator\n";
    eps += "%%BarcodeData: " + commentText(value) + "\n";
    eps += "%%BarcodeSize: " + QByteArray::number(W) + "x" + QByteArray::number(H) + "\n";
    eps += "%%BarcodeFormat: ECC200\n";
    eps += "%%DocumentData: Clean7Bit\n";
    eps += "%%LanguageLevel: 1\n";
    eps += "%%Pages: 1\n";
    eps += "%%BoundingBox: 0 0 " + QByteArray::number(W + 2) + " " + QByteArray::number(H + 2) + "\n";
    eps += "%%EndComments\n";
    eps += "%%Page: 1 1\n";
    eps += QByteArray::number(W) + " " + QByteArray::number(H) + " 1[1 0 0 1 -1 -1]{<\n";

    // The hex lines are written straight into the text: a byte at a time
    // through QByteArray's appends cost more than the rest of the page.
    static const char hex[] = "0123456789ABCDEF";
    const bool haveGrid = grid.isValid() && grid.W == W && grid.H == H;
    const qsizetype head = eps.size();
    // Each row: two digits a byte, a space and perhaps a line break; a size
    // below zero writes no digits but still its space.
    const qsizetype rowChars = (qsizetype(std::max(W, 0)) + 7) / 8 * 2 + 2;
    eps.resize(head + qsizetype(std::max(H, 0)) * rowChars + 1);
    char *const start = eps.data() + head;
    char *out = start;
    int counter = 0;
    for (int y = 0; y < H; ++y) {
        const std::uint8_t *row = haveGrid ? grid.modules.data() + std::size_t(y) * std::size_t(W) : nullptr;
        for (int x0 = 0; x0 < W; x0 += 8) {
            unsigned v = 0;
            if (row) {
                for (int b = 0; b < 8 && x0 + b < W; ++b) {
                    if (row[x0 + b] != 0)
                        v |= 0x80u >> b;
                }
            }
            v ^= 0xFF;
            *out++ = hex[v >> 4];
            *out++ = hex[v & 0xF];
            ++counter;
        }
        *out++ = ' ';
        ++counter;
        if (counter >= 80) {
            *out++ = '\n';
            counter = 0;
        }
    }
    if (counter != 0)
        *out++ = '\n';
    eps.resize(head + (out - start));
    eps += "\n>}image\n";
    return eps;
}

platform::Image dataMatrixPageImage(const DataMatrixGrid &grid)
{
    if (!grid.isValid())
        return {};
    // Three colours: one byte a pixel, here and at print resolution.
    QImage page(grid.W + 2, grid.H + 2, QImage::Format_Indexed8);
    if (page.isNull())
        return {};
    enum : uchar { Clear, Dark, Light };
    page.setColorTable({qRgba(0, 0, 0, 0), qRgba(0, 0, 0, 255), qRgba(255, 255, 255, 255)});
    page.fill(uint(Clear));
    for (int y = 0; y < grid.H; ++y) {
        // Row 0 of the grid is the bottom row of the page.
        uchar *row = page.scanLine(grid.H - y) + 1;
        for (int x = 0; x < grid.W; ++x)
            row[x] = grid.dark(x, y) ? Dark : Light;
    }
    return platform::Image::fromBitmap(page, QSizeF(page.width(), page.height()));
}

namespace {

// The page, resampled (8 bits a pixel), in a frame of W by H modules of
// `module` points. A page of W + 2 by H + 2 modules spread over that frame
// would have a rectangle's modules stretched along its longer side, which
// readers take badly: the bitmap is widened (or heightened) with clear pixels
// to the grid's W:H instead, so the page is scaled alike both ways, as large
// as fits, and centred. A square page fits as it is and comes back unchanged.
platform::Image pageInFrame(const platform::Image &page, int W, int H, int module)
{
    const QImage &bitmap = page.bitmap();
    const QSizeF frame(double(W) * module, double(H) * module);
    const int width = std::max(bitmap.width(), qRound(double(bitmap.height()) * W / H));
    const int height = std::max(bitmap.height(), qRound(double(bitmap.width()) * H / W));
    if (width == bitmap.width() && height == bitmap.height()) {
        platform::Image same = page;
        same.setSize(frame);
        return same;
    }
    QImage framed(width, height, bitmap.format());
    if (framed.isNull())
        return {};
    framed.setColorTable(bitmap.colorTable());
    framed.setDotsPerMeterX(bitmap.dotsPerMeterX());
    framed.setDotsPerMeterY(bitmap.dotsPerMeterY());
    // The page's corner is its clear border.
    framed.fill(uint(bitmap.pixelIndex(0, 0)));
    const int left = (width - bitmap.width()) / 2, top = (height - bitmap.height()) / 2;
    for (int y = 0; y < bitmap.height(); ++y)
        std::memcpy(framed.scanLine(top + y) + left, bitmap.constScanLine(y), std::size_t(bitmap.width()));
    return platform::Image::fromBitmap(framed, frame);
}

} // namespace

DataMatrixDrawing Draw_DataMatrix_Barcode(const QString &value, const QString &format, const QString &encoding,
                                          int moduleSize, double dpi)
{
    DataMatrixDrawing out;
    const QByteArray utf8 = value.toUtf8();
    const DataMatrixFormat size = dataMatrixFormatFromName(format);
    const char letter = dataMatrixEncodationLetter(encoding);

    out.grid = encodeDataMatrix(utf8, size.columns, size.rows, letter);
    if (out.grid.isValid()) {
        out.eps = makeEPS_Data_Matrix(utf8, out.grid.W, out.grid.H, out.grid);
        const platform::Image resampled = Increase_DPI(dataMatrixPageImage(out.grid), dpi);
        if (!resampled.isNull())
            out.image = pageInFrame(resampled, out.grid.W, out.grid.H, std::max(moduleSize, 1));
        return out;
    }

    const std::string letters = letter != 0 ? std::string(std::size_t(utf8.size()), letter) : std::string();
    std::fputs("No barcode produced\n", stderr);
    std::printf("Size    : %dx%d\n", out.grid.W, out.grid.H);
    std::printf("Encoded : %d of %d bytes with %d bytes of ecc\n", out.grid.encodedLength, out.grid.capacity,
                out.grid.eccLength);
    std::printf("Barcode : %s\n", utf8.constData());
    std::printf("Encoding: %s\n", out.grid.encoding.empty() ? letters.c_str() : out.grid.encoding.c_str());
    std::fflush(stdout);
    return out;
}

QSize data_matrix_barcode_size_acc_format(const QString &format, int moduleSize, QSize current)
{
    if (format == QLatin1String("Auto"))
        return current;
    const DataMatrixFormat f = dataMatrixFormatFromName(format);
    QSize out = current;
    if (out.width() < f.columns * moduleSize)
        out.setWidth(f.columns * moduleSize);
    if (out.height() < f.rows * moduleSize)
        out.setHeight(f.rows * moduleSize);
    return out;
}

} // namespace barcodes
