#pragma once
// Packing hand-written parts into a package, and texts that failure
// messages show as text.

#include "batch_data/zip/ZipArchive.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QMap>

#include <gtest/gtest.h>

namespace quorvant::test {

// Writes the parts (name to content) below `folder` and packs them into a
// package at `zipPath`.
inline void makePackage(const QString &folder, const QString &zipPath, const QMap<QString, QByteArray> &parts)
{
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        writeTestFile(folder + "/" + it.key(), it.value());
    QStringList top = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (QString &entry : top)
        entry = folder + "/" + entry;
    ASSERT_TRUE(ZipArchive::createZipFileAtPath(zipPath, top));
}

} // namespace quorvant::test

// Found by argument lookup, also inside lists of rows and optionals.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
