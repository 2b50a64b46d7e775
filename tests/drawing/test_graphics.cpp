#include "TestHost.h"
#include "drawing/MyImageObject.h"
#include "drawing/TVNGraphic.h"
#include "drawing/TVNRenderingView.h"

#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

TEST(Graphic, StartsWithTheBindingAndBarcodeDefaultsOtherWindowsRelyOn)
{
    TVNBarcode g;
    EXPECT_EQ(g.data_source_type, 0);
    EXPECT_EQ(g.batch_list_name, "");
    EXPECT_EQ(g.linear_font_val, "0123");
    EXPECT_EQ(g.two_d_font_val, "0123");
    EXPECT_EQ(g.header_val, "HEADER");
    EXPECT_EQ(g.footer_val, "FOOTER");
    EXPECT_EQ(g.align_hdr_index, 1);
    EXPECT_EQ(g.align_ftr_index, 1);
    EXPECT_FLOAT_EQ(g.linear_height_val, 0.6f);
    EXPECT_FLOAT_EQ(g.linear_width_val, 20.0f);
    EXPECT_EQ(g.qr_size_val, 60);
    EXPECT_EQ(g.pdf_hgt_val, 20);
    EXPECT_EQ(g.pdf_wdt_val, 100);
    EXPECT_EQ(g.pdf_ec_val, 2);
    EXPECT_EQ(g.dm_module_val, 2);
    EXPECT_FLOAT_EQ(g.TB_marging_val, 0.1f);
    EXPECT_EQ(g.value_font_val.family(), "Times New Roman");
    EXPECT_DOUBLE_EQ(g.header_font_val.pointSizeF(), 10);
    EXPECT_EQ(g.barcode_back_clr_val, QColor(Qt::white));
    EXPECT_EQ(g.barcode_clr_val, QColor(Qt::black));
    EXPECT_EQ(g.dpi_custom_val, "0");
    EXPECT_EQ(g.barcode_unit_val, 1);
    EXPECT_TRUE(g.ctrl_is_visible);
    EXPECT_TRUE(g.ctrl_is_printable);
    EXPECT_TRUE(g._barcode_image.isNull());
}

TEST(Text, ReplacingTheWholeTextKeepsTheLookOfItsFirstCharacter)
{
    TVNText text;
    text.setContentsString("Hello");
    QFont bold("Liberation Sans");
    bold.setPointSizeF(20);
    bold.setBold(true);
    // Style only the first character, as a user edit could.
    QTextCursor c(&text.textContents());
    c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setFont(bold);
    f.setForeground(QColor(Qt::red));
    c.mergeCharFormat(f);

    text.setContentsString("Record 2");
    EXPECT_EQ(text.contentsString(), "Record 2");
    QTextCursor last(&text.textContents());
    last.movePosition(QTextCursor::End);
    EXPECT_TRUE(last.charFormat().font().bold());
    EXPECT_DOUBLE_EQ(last.charFormat().font().pointSizeF(), 20);
    EXPECT_EQ(last.charFormat().foreground().color(), QColor(Qt::red));

    text.setContentsString("");
    text.setContentsString("Again");
    QTextCursor again(&text.textContents());
    again.movePosition(QTextCursor::End);
    EXPECT_TRUE(again.charFormat().font().bold()) << "an emptied text keeps its look too";
}

TEST(Text, FontSizesAreInPointsWhateverTheOutputResolution)
{
    TestHost host;
    auto text = std::make_shared<TVNText>();
    QFont font("Liberation Sans");
    font.setPointSizeF(36);
    text->setTextFont(font);
    text->setContentsString("H");
    text->setBounds(QRectF(0, 0, 100, 60));
    const platform::Image card = TVNRenderingView::image_From_Card_Graphics({text}, false);

    const auto inkHeight = [](const QImage &img) {
        int top = -1, bottom = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) > 128) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    break;
                }
        return top < 0 ? 0 : bottom - top + 1;
    };
    const int at72 = inkHeight(card.toBitmap(72));
    const int at216 = inkHeight(card.toBitmap(216));
    // Cap height of a 36 pt sans face is about 26 pt.
    EXPECT_NEAR(at72, 26, 3);
    EXPECT_NEAR(at216, 3 * at72, 6);
}

TEST(Text, FontFromPostScriptNameSplitsFamilyAndStyle)
{
    const QFont f = fontFromPostScriptName("TimesNewRomanPS-BoldItalicMT", 18);
    EXPECT_EQ(f.family(), "Times New Roman");
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_DOUBLE_EQ(f.pointSizeF(), 18);
    const QFont plain = fontFromPostScriptName("Helvetica", 9);
    EXPECT_EQ(plain.family(), "Helvetica");
    EXPECT_FALSE(plain.bold());
    EXPECT_FALSE(plain.italic());
}

TEST(Image, LoadsItsFileOrShowsThePlaceholderOrTheMainPhoto)
{
    TestHost host;
    quorvant::test::TempFolder dir;
    QImage red(40, 20, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.file("red.png")));
    host.placeholder = platform::Image::fromBitmap(QImage(3, 3, QImage::Format_ARGB32));
    QImage photo(7, 5, QImage::Format_ARGB32);
    photo.fill(Qt::blue);
    host.mainPhoto = platform::Image::fromBitmap(photo);

    TVNImage image;
    image.setFilePath(dir.file("red.png"));
    EXPECT_EQ(image.filePath(), dir.file("red.png"));
    EXPECT_EQ(image.image().bitmap().size(), QSize(40, 20));

    image.setFilePath(dir.file("missing.png"));
    EXPECT_EQ(image.filePath(), dir.file("missing.png"));
    EXPECT_EQ(image.image().bitmap().size(), QSize(3, 3));

    TVNImage party;
    party.control_ID = " PARTY_IMAGE ";
    party.setFilePath(dir.file("red.png"));
    EXPECT_EQ(party.filePath(), dir.file("red.png"));
    EXPECT_EQ(party.image().bitmap().size(), QSize(7, 5));
}

TEST(Image, DefaultPlaceholderIsAPicture)
{
    drawing::DefaultDrawingHost host;
    EXPECT_FALSE(host.no_image().isNull());
    EXPECT_EQ(host.defaultTextFont().family(), "Times New Roman");
    EXPECT_DOUBLE_EQ(host.defaultTextFont().pointSizeF(), 12);
    EXPECT_EQ(host.defaultTextColor(), QColor(Qt::black));
}

TEST(ImageBrowserItem, AnswersWithItsPathTitleAndId)
{
    MyImageObject item("/a/b.png", "b.png", "id-1");
    EXPECT_EQ(item.imageRepresentation(), "/a/b.png");
    EXPECT_EQ(item.imageUID(), "id-1");
    EXPECT_EQ(item.imageTitle(), "b.png");
    EXPECT_EQ(item.imageSubtitle(), "b.png");
    item.setPath("/c.png");
    EXPECT_EQ(item.value("path").toString(), "/c.png");
    EXPECT_FALSE(item.value("other").isValid());
}
