// Every symbol of the stored table (tests/data/datamatrix/symbols.tsv) that
// libiec16022's own choice drew, or that an explicit encodation held, is
// drawn the same now; and every value the table has a symbol for still has
// one.
#include "tests/barcodes/datamatrix/DataMatrixRows.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;

TEST(DataMatrixTable, StoredSymbolsAreDrawnTheSame)
{
    QFile file(QStringLiteral(QUORVANT_TEST_DATA "/datamatrix/symbols.tsv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::map<std::string, std::string> stored; // row key -> hash and how
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (line.startsWith('#') || f.size() != 8)
            continue;
        stored[(f[0] + ' ' + f[1] + ' ' + f[2] + ' ' + f[3] + ' ' + f[4]).toStdString()] = (f[5] + ' ' + f[7]).toStdString();
    }
    ASSERT_GT(stored.size(), 600u);

    testing::internal::CaptureStderr(); // the library's own refusals
    int pinned = 0;
    for (const DataMatrixRow &row : dataMatrixRows()) {
        const std::string key = row.kind + ' ' + std::to_string(row.length) + ' ' + std::to_string(row.seed) + ' '
            + row.format.toStdString() + ' ' + row.encoding.toStdString();
        const auto it = stored.find(key);
        if (it == stored.end())
            continue; // not reproducible when the table was made
        const std::string hash = it->second.substr(0, it->second.find(' '));
        const std::string how = it->second.substr(it->second.find(' ') + 1);
        const DataMatrixFormat size = dataMatrixFormatFromName(row.format);
        const DataMatrixGrid grid = encodeDataMatrix(dataMatrixRowValue(row).toUtf8(), size.columns, size.rows,
                                                     dataMatrixEncodationLetter(row.encoding));
        if (how == "own" || how == "chosen") {
            EXPECT_EQ(dataMatrixGridHash(grid), hash) << key;
            ++pinned;
        } else if (how == "other") {
            EXPECT_TRUE(grid.isValid()) << key;
        }
    }
    testing::internal::GetCapturedStderr();
    EXPECT_GT(pinned, 400);
}
