#include "barcodes/imaging/ImagingLog.h"

#include <QDebug>

namespace barcodes {

void imagingLog(const QString &message)
{
    qInfo().noquote() << message;
}

} // namespace barcodes
