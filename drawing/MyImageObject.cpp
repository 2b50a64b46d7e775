#include "drawing/MyImageObject.h"

QVariant MyImageObject::value(const QString &key) const
{
    if (key == QLatin1String("path"))
        return path;
    return {};
}
