// Every symbol of the stored table (tests/data/datamatrix/symbols.tsv) that
// readers read back as its value is drawn the same now, whoever chose its
// encodation; a symbol that read as another value is now one that reads
// right.
#include "tests/barcodes/datamatrix/DataMatrixRows.h"

#include "tests/support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace barcodes;
using namespace quorvant::test;

TEST(DataMatrixTable, StoredSymbolsAreDrawnTheSame)
{
    QFile file(QStringLiteral(QUORVANT_TEST_DATA "/datamatrix/symbols.tsv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    struct Stored {
        std::string hash;
        std::string readsBack; // "yes", "no", or "-" when refused
    };
    std::map<std::string, Stored> stored; // by row key
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (line.startsWith('#') || f.size() != 9)
            continue;
        stored[(f[0] + ' ' + f[1] + ' ' + f[2] + ' ' + f[3] + ' ' + f[4]).toStdString()] = {f[5].toStdString(),
                                                                                        f[8].toStdString()};
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
        const DataMatrixFormat size = dataMatrixFormatFromName(row.format);
        const QByteArray value = dataMatrixRowValue(row).toUtf8();
        const DataMatrixGrid grid =
            encodeDataMatrix(value, size.columns, size.rows, dataMatrixEncodationLetter(row.encoding));
        if (it->second.readsBack == "yes") {
            EXPECT_EQ(dataMatrixGridHash(grid), it->second.hash) << key;
            ++pinned;
        } else if (it->second.readsBack == "no") {
            ASSERT_TRUE(grid.isValid()) << key;
            const QImage page = dataMatrixPageImage(grid).bitmap();
            EXPECT_EQ(decodeBarcode(page.scaled(page.size() * 4), ZXing::BarcodeFormat::DataMatrix).bytes,
                      value.toStdString())
                << key;
        }
    }
    testing::internal::GetCapturedStderr();
    EXPECT_GT(pinned, 500);
}
