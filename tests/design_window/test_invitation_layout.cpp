// The invitation on the front of the card: the rectangles and texts of the
// worked cases, and the card as rendered, where every text must be seen.
#include "design_window/Globals.h"
#include "design_window/InvitationLayout.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "drawing/canvas/TVNGraphicView.h"
#include "drawing/TVNRenderingView.h"
#include "platform/Alerts.h"
#include "tests/design_window/WindowFixture.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace design_window;

namespace {

// 120 x 150 mm, the invitation wizard's card.
const QSizeF kCard(120 * 2.834645669291, 150 * 2.834645669291);

InvitationItem text(const char *id, const QString &value, QRectF rect)
{
    return {GraphicClass::Text, value, QLatin1String(id), rect};
}

void expectSameItems(const std::vector<InvitationItem> &got, const std::vector<InvitationItem> &want,
                     const char *name)
{
    ASSERT_EQ(got.size(), want.size()) << name;
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].graphicClass, want[i].graphicClass) << name << " #" << i;
        EXPECT_EQ(got[i].value, want[i].value) << name << " #" << i;
        EXPECT_EQ(got[i].ctrlId, want[i].ctrlId) << name << " #" << i;
        // Computed in single precision: the worked values are given to the
        // hundredth of a point.
        const QRectF a = got[i].rect, b = want[i].rect;
        EXPECT_TRUE(std::abs(a.x() - b.x()) < 0.01 && std::abs(a.y() - b.y()) < 0.01
                    && std::abs(a.width() - b.width()) < 0.01 && std::abs(a.height() - b.height()) < 0.01)
            << name << " #" << i << ": " << a.x() << "," << a.y() << " " << a.width() << "x" << a.height();
    }
}

} // namespace

TEST(InvitationLayout, WorkedCasesGiveTheirRectanglesAndTexts)
{
    // w = 340.16 - 80 = 260.16, x = 40; the photo's top (425.20 - 250) / 2.
    constexpr double w = 260.16, photoTop = 87.60;
    InvitationAnswers letters;
    letters.title = "Happy Birthday!";
    letters.to = "Alex";
    letters.message = "Join us";
    letters.from = "Sam";
    InvitationAnswers timeOnly;
    timeOnly.time = "7:30 PM";
    timeOnly.venue = "The Mill";
    InvitationAnswers dated = timeOnly;
    dated.date = "Friday, 4 July 2025";
    InvitationAnswers pictures;
    pictures.photo = "/p/photo.jpg";
    pictures.frame = "/p/frame.png";

    const struct {
        const char *name;
        InvitationAnswers answers;
        QPointF origin;
        std::vector<InvitationItem> want;
    } rows[] = {
        {"all answers empty: nothing", {}, {}, {}},
        // Title at 40, the addressee 50 below, the message 30 below that;
        // the from lines 200 after the message, 30 more for the missing date
        // and 20 for the missing venue: at 250.
        {"title, to, message and from",
         letters,
         {},
         {text("PARTY_TITLE", "Happy Birthday!", {40, 40, w, 30}), text("PARTY_TO", "Dear Alex,", {30, 90, w, 20}),
          text("PARTY_MSG", "Join us", {50, 120, w, 80}), text("PARTY_FROM", "From:\nSam", {40, 250, w, 40})}},
        // A time alone opens its own line and the venue starts 60 below it.
        {"time without date",
         timeOnly,
         {},
         {text("PARTY_TIME", "AT 7:30 PM", {30, 40, w, 20}), text("PARTY_VENUE", "Venue:\nThe Mill", {30, 100, w, 60})}},
        {"date and time on one line",
         dated,
         {},
         {text("PARTY_DATE", "Friday, 4 July 2025 at 7:30 PM", {30, 40, w, 20}),
          text("PARTY_VENUE", "Venue:\nThe Mill", {30, 70, w, 60})}},
        // The photo behind everything, the frame in front, at the card's own
        // origin and size rather than the text margin.
        {"photo and frame",
         pictures,
         {5, 7},
         {{GraphicClass::Image, "/p/photo.jpg", "PARTY_IMAGE", {40, photoTop, w, 250}},
          {GraphicClass::Image, "/p/frame.png", "PARTY_IMAGE_BG", {QPointF(5, 7), kCard}}}},
    };
    for (const auto &row : rows)
        expectSameItems(invitationLayout(row.answers, kCard, row.origin), row.want, row.name);
}

namespace {

class InvitationCard : public DesignWindow {
protected:
    void SetUp() override
    {
        DesignWindow::SetUp();
        wnd->applyCardSize(QSizeF(120, 150));
    }
    void TearDown() override
    {
        DesignWindow::TearDown();
        Invite_Answers = {};
    }
    QString picture(const char *name, QImage image)
    {
        const QString path = tmp.file(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
};

} // namespace

TEST_F(InvitationCard, RenderedCardShowsEveryTextOverThePhotoInsideTheFrame)
{
    const QColor photoColour(250, 230, 160), frameColour(30, 60, 160);
    QImage photo(80, 60, QImage::Format_ARGB32);
    photo.fill(photoColour);
    // A frame clear in the middle, as the frames the program ships.
    QImage frame(200, 250, QImage::Format_ARGB32);
    frame.fill(frameColour);
    {
        QPainter clear(&frame);
        clear.setCompositionMode(QPainter::CompositionMode_Clear);
        clear.fillRect(QRect(10, 10, 180, 230), Qt::transparent);
    }
    InvitationAnswers answers;
    answers.title = "Happy Birthday!";
    answers.to = "Alex";
    answers.message = "Join us for cake and games in the garden.";
    answers.date = "Friday, 4 July";
    answers.time = "7:30 PM";
    answers.venue = "The Old Mill";
    answers.from = "Sam";
    answers.photo = picture("photo.png", photo);
    answers.frame = picture("frame.png", frame);
    Invite_Answers = answers.trimmed();
    wnd->Update_frame_Main_Photo_And_Path(Invite_Answers.photo, true);

    wnd->Fill_Party_Invidation_Details();

    const GraphicList &front = wnd->Get_Front_Controls_Array();
    ASSERT_EQ(front.size(), 8u);
    EXPECT_EQ(Selected_Control_Tool, TVNWindowController::kImageTool) << "the last graphic placed is an image";
    constexpr double dpi = 144, scale = dpi / 72;
    const QImage card = TVNRenderingView::image_From_Card_Graphics(front, TVNRenderingView::cardFace(0)).toBitmap(dpi);
    ASSERT_FALSE(card.isNull());

    // Each text's box holds dark pixels of its letters, whatever lies behind.
    for (const InvitationItem &item : invitationLayout(Invite_Answers, kCard, {})) {
        if (item.graphicClass != GraphicClass::Text)
            continue;
        const QRect box = QRectF(item.rect.topLeft() * scale, item.rect.size() * scale).toRect();
        int dark = 0;
        for (int y = box.top(); y <= box.bottom() && y < card.height(); ++y)
            for (int x = box.left(); x <= box.right() && x < card.width(); ++x)
                dark += qGray(card.pixel(x, y)) < 90;
        EXPECT_GT(dark, 40) << item.ctrlId.toStdString();
    }
    // The photo shows beside the texts, and the frame at the card's edge.
    const QColor beside = card.pixelColor((QPointF(45, 330) * scale).toPoint());
    EXPECT_LE(std::abs(beside.red() - photoColour.red()) + std::abs(beside.blue() - photoColour.blue()), 6);
    EXPECT_EQ(card.pixelColor(3, int(card.height() / 2)).rgb(), frameColour.rgb());
}

TEST_F(InvitationCard, AllAnswersEmptyPlaceNothingAndLeaveTheTextTool)
{
    Selected_Control_Tool = TVNWindowController::kImageTool;
    wnd->Fill_Party_Invidation_Details();
    EXPECT_TRUE(wnd->Get_Front_Controls_Array().empty());
    EXPECT_EQ(Selected_Control_Tool, TVNWindowController::kTextTool);
}
