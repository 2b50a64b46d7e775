#pragma once
// One item of an image browser: a picture file with a title and an id.

#include <QString>
#include <QVariant>

class MyImageObject {
public:
    MyImageObject() = default;
    MyImageObject(const QString &image_Path, const QString &image_Name, const QString &image_UID)
        : path(image_Path), image_Name(image_Name), image_UID(image_UID)
    {
    }

    void setPath(const QString &newPath) { path = newPath; }

    // The browser draws the thumbnail from the file at the path.
    QString imageRepresentation() const { return path; }
    QString imageUID() const { return image_UID; }
    QString imageTitle() const { return image_Name; }
    QString imageSubtitle() const { return image_Name; }
    // Key-value access: "path" gives the path, other keys nothing.
    QVariant value(const QString &key) const;

    QString path;
    QString image_Name;
    QString image_UID;
};
