#include "barcodes/qr/QRModuleGrid.h"

#include <algorithm>

namespace barcodes {

DataMatrix::DataMatrix(std::int64_t dimension)
    : _dimension(std::max<std::int64_t>(dimension, 0))
    , _data(std::size_t(_dimension * _dimension), 0)
{
}

void DataMatrix::set(int value, std::int64_t x, std::int64_t y)
{
    if (x < 0 || y < 0 || x >= _dimension || y >= _dimension)
        return;
    _data[std::size_t(y * _dimension + x)] = std::uint8_t(value);
}

int DataMatrix::valueAt(std::int64_t x, std::int64_t y) const
{
    if (x < 0 || y < 0 || x >= _dimension || y >= _dimension)
        return 0;
    return _data[std::size_t(y * _dimension + x)];
}

QString DataMatrix::description() const
{
    QString out;
    out.reserve(int((_dimension + 1) * _dimension));
    for (std::int64_t y = 0; y < _dimension; ++y) {
        for (std::int64_t x = 0; x < _dimension; ++x)
            out += QString::number(valueAt(x, y));
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace barcodes
