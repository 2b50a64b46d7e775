#include "platform/PropertyList.h"

#include <QDateTime>
#include <QPointF>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using platform::readPropertyList;
using platform::writePropertyList;

namespace {

// Values that are easy to get wrong: markup and non-Latin text, line breaks
// and edge blanks, binary data, large and tiny numbers, empty containers and
// an empty key.
QVariantMap trickyTree()
{
    const QVariantMap font{{"Name", "Liberation Serif"}, {"Size", 18.5}, {"Bold", true}};
    return QVariantMap{
        {"Graphics",
         QVariantList{
             QVariantMap{{"Text", QString::fromUtf16(u"Grüße – 名前 ✓ & <tag> \"q\" 'a' ]]>")}, {"Font", font}},
             QVariantMap{{"Bytes", QByteArray("\x00\x01\xff\xfe binary", 11)}},
             QVariantList{QVariantList{}, QVariantMap{}, QString()},
         }},
        {"Count", qint64(1) << 40},
        {"Negative", qint64(-17)},
        {"Ratio", 0.1},
        {"Tiny", 1e-300},
        {"Off", false},
        {"Created", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC)},
        {"Lines", "first\r\nsecond\rthird\n\tindented  "},
        {"", "empty key"},
    };
}

} // namespace

TEST(PropertyList, TrickyValuesRoundTripExactly)
{
    const QByteArray xml = writePropertyList(trickyTree());
    // The header other readers of these files expect.
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC "
                               "\"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"))
        << xml.left(200).constData();
    QString error;
    const std::optional<QVariant> back = readPropertyList(xml, &error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_EQ(*back, QVariant(trickyTree()));
    EXPECT_EQ(back->toMap()["Off"].typeId(), QMetaType::Bool);
    EXPECT_EQ(writePropertyList(*back), xml);

    const double inf = std::numeric_limits<double>::infinity();
    for (const QVariant &v : {QVariant("only"), QVariant(true), QVariant(-1.5e22), QVariant(-inf)})
        EXPECT_EQ(readPropertyList(writePropertyList(v)), v) << v.toString().toStdString();
    EXPECT_TRUE(std::isnan(readPropertyList(writePropertyList(std::nan(""))).value_or(0).toDouble()));
}

TEST(PropertyList, ReadsHandWrittenFilesWithCommentsAndWrappedData)
{
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- saved by hand --><plist version="1.0"><dict>
  <key>Data</key><data>
    AAEC
    /w==
  </data>
  <key>When</key><date>2020-01-02T03:04:05Z</date>
  <key>Big</key><integer> 18446744073709551615 </integer>
  <key>Amp</key><string>a &amp; b &#x263A;</string>
</dict></plist>)";
    const QVariantMap map = readPropertyList(xml).value_or(QVariant()).toMap();
    EXPECT_EQ(map["Data"].toByteArray(), QByteArray("\x00\x01\x02\xff", 4));
    EXPECT_EQ(map["When"].toDateTime(), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC));
    EXPECT_EQ(map["Big"].toULongLong(), std::numeric_limits<quint64>::max());
    EXPECT_EQ(map["Amp"].toString(), QString::fromUtf16(u"a & b ☺"));
}

TEST(PropertyList, DamagedOrForeignInputGivesNothingWithAReason)
{
    std::vector<QByteArray> bad = {
        "",
        "not xml at all",
        "<html><body/></html>",
        "<plist version=\"1.0\"></plist>",
        "<plist><dict><key>a</key></dict></plist>",
        "<plist><dict><string>no key</string></dict></plist>",
        "<plist><dict><key>a</key><integer>12x</integer></dict></plist>",
        "<plist><real>1.2.3</real></plist>",
        "<plist><data>@@@@</data></plist>",
        "<plist><date>yesterday</date></plist>",
        "<plist><string>a<b/>c</string></plist>",
        "<plist><colour>red</colour></plist>",
        "<plist><string>a</string><string>b</string></plist>",
        "<plist><array><string>a</string>stray</array></plist>",
        "<plist><array><string>a</array></string></plist>",
        "<plist><string>ok</string></plist><plist/>",
        // Nesting deep enough to exhaust the stack, open and closed.
        "<plist>" + QByteArray("<array>").repeated(100000),
        "<plist>" + QByteArray("<array>").repeated(100000) + QByteArray("</array>").repeated(100000) + "</plist>",
    };
    // Every truncation of a valid document.
    const QByteArray good = writePropertyList(trickyTree());
    for (qsizetype cut = 0; cut < good.size(); cut += 7)
        bad.push_back(good.left(cut));
    for (const QByteArray &doc : bad) {
        QString error;
        EXPECT_FALSE(readPropertyList(doc, &error)) << doc.left(80).constData();
        EXPECT_FALSE(error.isEmpty()) << doc.left(80).constData();
    }
}

TEST(PropertyList, ValuesItCannotStoreGiveNoDocument)
{
    EXPECT_TRUE(writePropertyList(QVariant()).isEmpty());
    EXPECT_TRUE(writePropertyList(QVariantMap{{"Where", QPointF(1, 2)}}).isEmpty());
    // XML cannot carry most control characters: no document rather than one
    // that does not read back.
    EXPECT_TRUE(writePropertyList(QVariantList{QStringLiteral("bell\x07")}).isEmpty());
}
