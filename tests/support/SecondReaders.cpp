#include "tests/support/SecondReaders.h"

#include <QPainter>
#include <dmtx.h>
#include <zbar.h>

#include <vector>

namespace quorvant::test {

namespace {

// The picture on white paper with a white border, 8-bit grey, rows packed
// without padding.
std::vector<unsigned char> greyPixels(const QImage &image, int quietPixels, int &width, int &height)
{
    width = image.width() + 2 * quietPixels;
    height = image.height() + 2 * quietPixels;
    QImage flat(width, height, QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(quietPixels, quietPixels, image.convertToFormat(QImage::Format_ARGB32));
    }
    const QImage grey = flat.convertToFormat(QImage::Format_Grayscale8);
    std::vector<unsigned char> pixels(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(grey.constScanLine(y), width, pixels.begin() + std::ptrdiff_t(y) * width);
    return pixels;
}

zbar::zbar_symbol_type_t zbarType(ZbarSymbology s)
{
    switch (s) {
    case ZbarSymbology::Ean13: return zbar::ZBAR_EAN13;
    case ZbarSymbology::Ean8: return zbar::ZBAR_EAN8;
    case ZbarSymbology::UpcA: return zbar::ZBAR_UPCA;
    case ZbarSymbology::UpcE: return zbar::ZBAR_UPCE;
    case ZbarSymbology::Code39: return zbar::ZBAR_CODE39;
    case ZbarSymbology::Code128: return zbar::ZBAR_CODE128;
    case ZbarSymbology::Interleaved2of5: return zbar::ZBAR_I25;
    case ZbarSymbology::Codabar: return zbar::ZBAR_CODABAR;
    case ZbarSymbology::QrCode: return zbar::ZBAR_QRCODE;
    }
    return zbar::ZBAR_NONE;
}

} // namespace

std::optional<std::string> zbarDecode(const QImage &image, ZbarSymbology symbology, int quietPixels)
{
    if (image.isNull())
        return std::nullopt;
    int width = 0, height = 0;
    std::vector<unsigned char> pixels = greyPixels(image, quietPixels, width, height);
    const zbar::zbar_symbol_type_t type = zbarType(symbology);

    zbar::zbar_image_scanner_t *scanner = zbar::zbar_image_scanner_create();
    zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    zbar::zbar_image_scanner_set_config(scanner, type, zbar::ZBAR_CFG_ENABLE, 1);
    // Short values are fine here; zbar's defaults ask for a few characters.
    zbar::zbar_image_scanner_set_config(scanner, type, zbar::ZBAR_CFG_MIN_LEN, 1);
    if (symbology == ZbarSymbology::QrCode)
        zbar::zbar_image_scanner_set_config(scanner, type, zbar::ZBAR_CFG_BINARY, 1);
    // UPC-A is read as EAN-13 unless asked for by name.
    if (symbology == ZbarSymbology::UpcA)
        zbar::zbar_image_scanner_set_config(scanner, zbar::ZBAR_EAN13, zbar::ZBAR_CFG_ENABLE, 1);

    zbar::zbar_image_t *zimage = zbar::zbar_image_create();
    zbar::zbar_image_set_format(zimage, zbar_fourcc('Y', '8', '0', '0'));
    zbar::zbar_image_set_size(zimage, unsigned(width), unsigned(height));
    zbar::zbar_image_set_data(zimage, pixels.data(), pixels.size(), nullptr);

    std::optional<std::string> out;
    if (zbar::zbar_scan_image(scanner, zimage) > 0) {
        for (const zbar::zbar_symbol_t *s = zbar::zbar_image_first_symbol(zimage); s;
             s = zbar::zbar_symbol_next(s)) {
            if (zbar::zbar_symbol_get_type(s) != type)
                continue;
            out = std::string(zbar::zbar_symbol_get_data(s), zbar::zbar_symbol_get_data_length(s));
            break;
        }
    }
    zbar::zbar_image_destroy(zimage);
    zbar::zbar_image_scanner_destroy(scanner);
    return out;
}

std::optional<std::string> dmtxDecode(const QImage &image, int quietPixels)
{
    const std::optional<DmtxReading> reading = dmtxRead(image, quietPixels);
    if (!reading)
        return std::nullopt;
    return reading->bytes;
}

std::optional<DmtxReading> dmtxRead(const QImage &image, int quietPixels)
{
    if (image.isNull())
        return std::nullopt;
    int width = 0, height = 0;
    std::vector<unsigned char> pixels = greyPixels(image, quietPixels, width, height);
    DmtxImage *dimage = dmtxImageCreate(pixels.data(), width, height, DmtxPack8bppK);
    if (!dimage)
        return std::nullopt;
    // Our rows run from the top.
    dmtxImageSetProp(dimage, DmtxPropImageFlip, DmtxFlipNone);
    std::optional<DmtxReading> out;
    DmtxDecode *decode = dmtxDecodeCreate(dimage, 1);
    if (decode) {
        DmtxRegion *region = dmtxRegionFindNext(decode, nullptr);
        if (region) {
            DmtxMessage *message = dmtxDecodeMatrixRegion(decode, region, DmtxUndefined);
            if (message) {
                out = DmtxReading{std::string(reinterpret_cast<const char *>(message->output), message->outputIdx),
                                  std::vector<unsigned char>(message->code, message->code + message->codeSize)};
                dmtxMessageDestroy(&message);
            }
            dmtxRegionDestroy(&region);
        }
        dmtxDecodeDestroy(&decode);
    }
    dmtxImageDestroy(&dimage);
    return out;
}

std::optional<std::string> dmtxReadGrid(int W, int H, const std::vector<std::uint8_t> &modules)
{
    int sizeIndex = -1;
    for (int i = 0; i < DmtxSymbolSquareCount + DmtxSymbolRectCount; ++i) {
        if (dmtxGetSymbolAttribute(DmtxSymAttribSymbolCols, i) == W
            && dmtxGetSymbolAttribute(DmtxSymAttribSymbolRows, i) == H)
            sizeIndex = i;
    }
    if (sizeIndex < 0 || modules.size() != std::size_t(W) * std::size_t(H))
        return std::nullopt;
    const int mapRows = dmtxGetSymbolAttribute(DmtxSymAttribDataRegionRows, sizeIndex);
    const int mapCols = dmtxGetSymbolAttribute(DmtxSymAttribDataRegionCols, sizeIndex);
    const int regionsH = dmtxGetSymbolAttribute(DmtxSymAttribHorizDataRegions, sizeIndex);
    const int regionsV = dmtxGetSymbolAttribute(DmtxSymAttribVertDataRegions, sizeIndex);
    DmtxMessage *message = dmtxMessageCreate(sizeIndex, DmtxFormatMatrix);
    if (message == nullptr)
        return std::nullopt;
    // The data regions without their finder and clock modules, the mapping
    // matrix's row 0 at the top.
    const int arrayCols = regionsH * mapCols;
    for (int ry = 0; ry < regionsV; ++ry) {
        for (int r = 0; r < mapRows; ++r) {
            const int y = ry * (mapRows + 2) + 1 + r;
            const int arrayRow = regionsV * mapRows - 1 - (ry * mapRows + r);
            for (int rx = 0; rx < regionsH; ++rx) {
                for (int c = 0; c < mapCols; ++c) {
                    const int x = rx * (mapCols + 2) + 1 + c;
                    message->array[std::size_t(arrayRow) * std::size_t(arrayCols) + std::size_t(rx * mapCols + c)] =
                        static_cast<unsigned char>((modules[std::size_t(y) * std::size_t(W) + std::size_t(x)] != 0
                                                        ? DmtxModuleOnRGB
                                                        : DmtxModuleOff)
                                                   | DmtxModuleAssigned);
                }
            }
        }
    }
    message = dmtxDecodePopulatedArray(sizeIndex, message, DmtxUndefined);
    if (message == nullptr) // freed by the library
        return std::nullopt;
    std::string out(reinterpret_cast<const char *>(message->output), std::size_t(message->outputIdx));
    dmtxMessageDestroy(&message);
    return out;
}

} // namespace quorvant::test
