#include "TestHost.h"
#include "drawing/TVNGraphic.h"
#include "drawing/TVNRenderingView.h"
#include "tests/support/TestSupport.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

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

TEST(Text, ANewTextIsTimesTwelveBlackOnTheLeft)
{
    TVNText text;
    EXPECT_EQ(text.textFont().family(), "Times New Roman");
    EXPECT_DOUBLE_EQ(text.textFont().pointSizeF(), 12);
    EXPECT_EQ(text.textColor(), QColor(Qt::black));
    EXPECT_EQ(text.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
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

    // The rows with ink: the height of the "H".
    const auto inkHeight = [](const QImage &img) {
        int rows = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(img.pixel(x, y)) > 128) {
                    ++rows;
                    break;
                }
        return rows;
    };
    const int at72 = inkHeight(card.toBitmap(72));
    const int at216 = inkHeight(card.toBitmap(216));
    // Cap height of a 36 pt sans face is about 26 pt.
    EXPECT_NEAR(at72, 26, 3);
    EXPECT_NEAR(at216, 3 * at72, 6);
}

TEST(Image, KeepsAMissingFilesPathAndThePartyImageShowsTheMainPhotoItIsGiven)
{
    // The host's main photo differs from the one given: the graphic asks
    // the host for nothing.
    TestHost host;
    QImage hostPhoto(3, 3, QImage::Format_ARGB32);
    hostPhoto.fill(Qt::red);
    host.mainPhoto = platform::Image::fromBitmap(hostPhoto);
    QImage photo(7, 5, QImage::Format_ARGB32);
    photo.fill(Qt::blue);
    TVNImage image, party;
    party.control_ID = " PARTY_IMAGE ";
    for (TVNImage *g : {&image, &party}) {
        g->setFilePath("/no/such/picture.png", platform::Image::fromBitmap(photo));
        EXPECT_EQ(g->filePath(), "/no/such/picture.png");
    }
    EXPECT_TRUE(image.image().isNull()) << "no picture: the canvas shows the placeholder, output nothing";
    EXPECT_EQ(party.image().bitmap().size(), QSize(7, 5)) << "the main photo; the id is trimmed";
}

TEST(Graphics, ACloneDrawsAsTheOriginalAndChangesOnItsOwn)
{
    TestHost host;
    auto text = std::make_shared<TVNText>();
    text->setBounds(QRectF(10, 10, 200, 40));
    text->setTextFont(QFont("Liberation Serif", 20));
    text->setTextColor(Qt::darkRed);
    text->setContentsString("Centred");
    text->setAlignment(Qt::AlignHCenter);
    text->control_ID = "Fup_Name";
    text->Set_Batch_List_Name("names");
    QImage picture(30, 20, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    auto image = std::make_shared<TVNImage>();
    image->setImage(platform::Image::fromBitmap(picture));
    image->setBounds(QRectF(10, 60, 60, 40));
    image->setDrawingStroke(true);
    auto barcode = std::make_shared<TVNBarcode>();
    barcode->setBounds(QRectF(100, 60, 100, 40));
    ASSERT_TRUE(barcode->makeBarcodeImage());

    const GraphicList originals{text, image, barcode};
    GraphicList clones;
    for (const GraphicPtr &g : originals)
        clones.push_back(g->clone());
    const auto draw = [](const GraphicList &list) {
        return TVNRenderingView::image_From_Card_Graphics(list, false).toBitmap(144);
    };
    const QImage before = draw(originals);
    EXPECT_LT(quorvant::test::differingPixelShare(draw(clones), before, 3), 0.0001);
    EXPECT_EQ(clones[0]->control_ID, "Fup_Name");
    const auto &textClone = static_cast<const TVNText &>(*clones[0]);
    EXPECT_EQ(std::tuple(textClone.textFont(), textClone.alignment(), textClone.textColor()),
              std::tuple(text->textFont(), text->alignment(), text->textColor()));
    EXPECT_TRUE(clones[0]->barcodeSettings() == text->barcodeSettings());

    // Changing the clones leaves the originals as they were.
    static_cast<TVNText &>(*clones[0]).setContentsString("Other");
    clones[1]->setBounds(QRectF(0, 0, 5, 5));
    clones[2]->Set_Ctrl_Is_Visible(false);
    EXPECT_EQ(text->contentsString(), "Centred");
    EXPECT_LT(quorvant::test::differingPixelShare(draw(originals), before, 3), 0.0001);
}
