#pragma once
// Readers besides zxing-cpp, from other code bases, so a symbol that one
// reader forgives is still caught by another: zbar (linear symbols and QR
// Code) and libdmtx (Data Matrix).

#include <QImage>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvant::test {

// The symbologies zbar is asked to look for.
enum class ZbarSymbology { Ean13, Ean8, UpcA, UpcE, Code39, Code128, Interleaved2of5, Codabar, QrCode };

// The bytes of the one symbol of `symbology` that zbar finds in the image
// (flattened on white, grey, with a white border of `quietPixels`); none when
// it finds none. Code 39 comes back as its plain characters (zbar has no
// full-ASCII reading); QR Code as its bytes, not converted to a character
// set zbar guesses.
std::optional<std::string> zbarDecode(const QImage &image, ZbarSymbology symbology, int quietPixels = 40);

// The bytes of the Data Matrix symbol that libdmtx finds in the image (with a
// white border of `quietPixels`); none when it finds none.
std::optional<std::string> dmtxDecode(const QImage &image, int quietPixels = 16);

// What libdmtx reads from that symbol: its bytes, and the codewords it
// holds after error correction (the data codewords first, so an encodation
// shows in the first one: 231 latches to Base 256).
struct DmtxReading {
    std::string bytes;
    std::vector<unsigned char> codewords;
};
std::optional<DmtxReading> dmtxRead(const QImage &image, int quietPixels = 16);

// What libdmtx reads from a module grid as it is placed, with no picture to
// search: W × H modules (modules[y * W + x], 1 dark, row 0 the bottom row).
// None when its error correction fails or W × H is no size.
std::optional<std::string> dmtxReadGrid(int W, int H, const std::vector<std::uint8_t> &modules);

} // namespace quorvant::test
