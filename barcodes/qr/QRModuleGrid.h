#pragma once
// The QR Code module grid: a square of module values (1 dark, 0 light) with
// its side length, as the QR front end hands symbols to the designer. The
// class keeps the designer's name for it, DataMatrix, though it holds QR
// Code modules.

#include <QString>
#include <cstdint>
#include <vector>

namespace barcodes {

class DataMatrix {
public:
    // An all-light grid of `dimension` × `dimension` modules (none below 0).
    explicit DataMatrix(std::int64_t dimension);

    // Stores `value` at column x, row y; positions outside the grid are ignored.
    void set(int value, std::int64_t x, std::int64_t y);
    // The value at column x, row y; 0 outside the grid.
    int valueAt(std::int64_t x, std::int64_t y) const;
    std::int64_t dimension() const { return _dimension; }

    // Each row from y = 0 as digits without separators, then "\n".
    QString description() const;

private:
    std::int64_t _dimension = 0;
    std::vector<std::uint8_t> _data; // row by row
};

} // namespace barcodes
