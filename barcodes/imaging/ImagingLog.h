#pragma once
// Where the imaging code reports what went wrong (the system log).

#include <QString>

namespace barcodes {

void imagingLog(const QString &message);

} // namespace barcodes
