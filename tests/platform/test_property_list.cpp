#include "platform/PropertyList.h"

#include <QDateTime>
#include <QPointF>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using platform::readPropertyList;
using platform::writePropertyList;

namespace {

QVariantMap sampleTree()
{
    QVariantMap font{{"Name", QStringLiteral("Liberation Serif")}, {"Size", 18.5}, {"Bold", true}};
    QVariantList graphics{
        QVariantMap{{"Class", "TVNText"}, {"Text", QString::fromUtf16(u"Grüße – 名前 ✓ & <tag> \"q\" 'a' ]]>")}, {"Font", font}},
        QVariantMap{{"Class", "TVNImage"}, {"Bytes", QByteArray("\x00\x01\xff\xfe binary", 13)}},
        QVariantList{QVariantList{}, QVariantMap{}, QString()},
    };
    return QVariantMap{
        {"Graphics", graphics},
        {"Count", qint64(1) << 40},
        {"Negative", -17},
        {"Ratio", 0.1},
        {"Tiny", 1e-300},
        {"Off", false},
        {"Created", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC)},
        {"Lines", QStringLiteral("first\r\nsecond\rthird\n\tindented  ")},
        {"", QStringLiteral("empty key")},
    };
}

} // namespace

TEST(PropertyList, DocumentHasTheUsualHeader)
{
    const QByteArray xml = writePropertyList(QVariantMap{{"a", 1}});
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << xml.constData();
    EXPECT_TRUE(xml.contains("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                             "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"));
    EXPECT_TRUE(xml.contains("<plist version=\"1.0\">"));
    EXPECT_TRUE(xml.contains("<key>a</key>"));
    EXPECT_TRUE(xml.contains("<integer>1</integer>"));
}

TEST(PropertyList, RoundTripKeepsEveryValueExactly)
{
    const QVariantMap tree = sampleTree();
    const QByteArray xml = writePropertyList(tree);
    ASSERT_FALSE(xml.isEmpty());
    QString error;
    const std::optional<QVariant> back = readPropertyList(xml, &error);
    ASSERT_TRUE(back) << error.toStdString();
    const QVariantMap map = back->toMap();

    EXPECT_EQ(map.keys(), tree.keys());
    EXPECT_EQ(map["Count"].toLongLong(), qint64(1) << 40);
    EXPECT_EQ(map["Negative"].toLongLong(), -17);
    EXPECT_EQ(map["Ratio"].toDouble(), 0.1);
    EXPECT_EQ(map["Tiny"].toDouble(), 1e-300);
    EXPECT_EQ(map["Off"].typeId(), QMetaType::Bool);
    EXPECT_FALSE(map["Off"].toBool());
    EXPECT_EQ(map["Created"].toDateTime(), tree["Created"].toDateTime());
    EXPECT_EQ(map["Lines"].toString(), tree["Lines"].toString());
    EXPECT_EQ(map[""].toString(), QStringLiteral("empty key"));

    const QVariantList graphics = map["Graphics"].toList();
    ASSERT_EQ(graphics.size(), 3);
    const QVariantList sourceGraphics = tree["Graphics"].toList();
    EXPECT_EQ(graphics[0].toMap()["Text"].toString(), sourceGraphics[0].toMap()["Text"].toString());
    const QVariantMap font = graphics[0].toMap()["Font"].toMap();
    EXPECT_EQ(font["Size"].toDouble(), 18.5);
    EXPECT_TRUE(font["Bold"].toBool());
    EXPECT_EQ(graphics[1].toMap()["Bytes"].toByteArray(), QByteArray("\x00\x01\xff\xfe binary", 13));
    const QVariantList nested = graphics[2].toList();
    ASSERT_EQ(nested.size(), 3);
    EXPECT_EQ(nested[0].typeId(), QMetaType::QVariantList);
    EXPECT_EQ(nested[1].typeId(), QMetaType::QVariantMap);
    EXPECT_EQ(nested[2].typeId(), QMetaType::QString);
    EXPECT_TRUE(nested[2].toString().isEmpty());

    // Writing what was read gives the same document.
    EXPECT_EQ(writePropertyList(*back), xml);
}

TEST(PropertyList, ScalarRootsAndSpecialReals)
{
    for (const QVariant &v : {QVariant(QStringLiteral("only")), QVariant(true), QVariant(-1.5e22)}) {
        auto back = readPropertyList(writePropertyList(v));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, v);
    }
    auto inf = readPropertyList(writePropertyList(-std::numeric_limits<double>::infinity()));
    ASSERT_TRUE(inf);
    EXPECT_EQ(inf->toDouble(), -std::numeric_limits<double>::infinity());
    auto nan = readPropertyList(writePropertyList(std::nan("")));
    ASSERT_TRUE(nan);
    EXPECT_TRUE(std::isnan(nan->toDouble()));
}

TEST(PropertyList, ReadsHandWrittenFilesWithCommentsAndWrappedData)
{
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- saved by hand -->
<plist version="1.0">
<dict>
  <key>Data</key>
  <data>
    AAEC
    /w==
  </data>
  <key>When</key><date>2020-01-02T03:04:05Z</date>
  <key>Big</key><integer> 18446744073709551615 </integer>
  <key>Amp</key><string>a &amp; b &#x263A;</string>
</dict>
</plist>)";
    auto back = readPropertyList(xml);
    ASSERT_TRUE(back);
    const QVariantMap map = back->toMap();
    EXPECT_EQ(map["Data"].toByteArray(), QByteArray("\x00\x01\x02\xff", 4));
    EXPECT_EQ(map["When"].toDateTime(), QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC));
    EXPECT_EQ(map["Big"].toULongLong(), std::numeric_limits<quint64>::max());
    EXPECT_EQ(map["Amp"].toString(), QString::fromUtf16(u"a & b ☺"));
}

TEST(PropertyList, DamagedOrForeignInputGivesNothing)
{
    const QByteArray good = writePropertyList(sampleTree());
    // Every truncation of a valid document is refused.
    for (qsizetype cut = 0; cut < good.size(); cut += 7) {
        EXPECT_FALSE(readPropertyList(good.left(cut))) << "cut at " << cut;
    }
    const char *bad[] = {
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
    };
    for (const char *doc : bad) {
        QString error;
        EXPECT_FALSE(readPropertyList(QByteArray(doc), &error)) << doc;
        EXPECT_FALSE(error.isEmpty()) << doc;
    }
}

TEST(PropertyList, DeepNestingIsRefusedWithoutCrashing)
{
    QByteArray deep = "<plist>";
    for (int i = 0; i < 100000; ++i)
        deep += "<array>";
    EXPECT_FALSE(readPropertyList(deep));
    for (int i = 0; i < 100000; ++i)
        deep += "</array>";
    deep += "</plist>";
    EXPECT_FALSE(readPropertyList(deep));
}

TEST(PropertyList, ValuesItCannotStoreGiveNoDocument)
{
    EXPECT_TRUE(writePropertyList(QVariant()).isEmpty());
    EXPECT_TRUE(writePropertyList(QVariantMap{{"Where", QPointF(1, 2)}}).isEmpty());
    // XML cannot carry most control characters: no document rather than one
    // that does not read back.
    EXPECT_TRUE(writePropertyList(QVariantList{QStringLiteral("bell\x07")}).isEmpty());
}
