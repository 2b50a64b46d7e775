#pragma once
// Small helpers for the spreadsheet suites: writing files, packing a
// hand-written package folder, and the rows a reader gives back.

#include "batch_data/zip/ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>

#include <gtest/gtest.h>

namespace quorvant::test {

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Packs the parts (name to content) into a package at `zipPath`.
inline void makePackage(const QString &folder, const QString &zipPath, const QMap<QString, QByteArray> &parts)
{
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        writeFile(folder + "/" + it.key(), it.value());
    QStringList top = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (QString &entry : top)
        entry = folder + "/" + entry;
    ASSERT_TRUE(ZipArchive::createZipFileAtPath(zipPath, top));
}

inline std::string show(const QList<QStringList> &rows)
{
    std::string out;
    for (const QStringList &row : rows)
        out += "[" + row.join(QStringLiteral("|")).toStdString() + "]\n";
    return out;
}

} // namespace quorvant::test
