// Makes the built-in templates of the default content with the program's own
// design-file writer and template thumbnails:
//   quorvant_make_templates OUTPUT_FOLDER CONTENT_FOLDER
// CONTENT_FOLDER holds the frames and clip art that the templates carry
// inside them, so each template is complete on its own.
#include "design_window/CardSizes.h"
#include "design_window/DesignFile.h"
#include "design_window/Globals.h"
#include "design_window/ResourceFolder.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNGraphic.h"
#include "profiles_wizards/TemplateFiles.h"
#include "profiles_wizards/WizardWindowsImpl.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

using namespace design_window;

namespace {

QString contentFolder;

platform::Image picture(const QString &relative)
{
    const platform::Image image = platform::Image::fromFile(QDir(contentFolder).filePath(relative));
    if (image.isNull())
        std::fprintf(stderr, "cannot read %s\n", qPrintable(relative));
    return image;
}

GraphicPtr text(const QString &content, const QRectF &bounds, const QFont &font, const QColor &color,
                const QString &id = {})
{
    GraphicPtr g = newGraphicOfClass(GraphicClass::Text);
    auto *t = static_cast<TVNText *>(g.get());
    t->setContentsString(content);
    t->setTextFont(font);
    t->setTextColor(color);
    t->setAlignment(Qt::AlignHCenter);
    g->setBounds(bounds);
    g->control_ID = id;
    return g;
}

GraphicPtr clipArt(const QString &relative, const QRectF &bounds)
{
    GraphicPtr g = newGraphicOfClass(GraphicClass::Image);
    static_cast<TVNImage *>(g.get())->setImage(picture(relative));
    g->setBounds(bounds);
    return g;
}

QFont font(const QString &family, double points, bool bold = false, bool italic = false)
{
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

QSizeF points(QSizeF mm)
{
    return MM_to_Points_Convert(mm);
}

// A design on the preset card size, both sides that size, the front filled
// with `fill` and carrying the frame at `frame` when one is named.
Design onCard(const QString &category, int sizeIndex, const QString &orientation, const QColor &fill,
              const QString &frame = {})
{
    Design d;
    d.card = CardChoice{category, sizeIndex, orientation};
    d.frontCard.Card_Size = points(Get_My_card_Size(category, orientation, sizeIndex));
    d.frontCard.Card_Fill = true;
    d.frontCard.Card_Fill_Color = fill;
    if (!frame.isEmpty())
        d.frontCard.BG_Image = picture(frame);
    d.backCard.Card_Size = d.frontCard.Card_Size;
    return d;
}

Design birthdayParty()
{
    Design d = onCard(kPvcCategory, 0, "H", QColor("#fff7e0"), "Frames/Gold Border.png");
    d.cardShape = 1;
    const QColor ink("#7c2d12");
    d.front = {
        text("Happy Birthday!", {20, 20, 202.6, 32}, font("Liberation Serif", 20, true, true), ink, "PARTY_TITLE"),
        text("Join us for a celebration full of fun, food and friends.", {40, 56, 162.6, 30},
             font("Liberation Sans", 8.5), ink, "PARTY_MSG"),
        text("Saturday, 3 pm", {70, 96, 102.6, 16}, font("Liberation Sans", 9, true), ink, "PARTY_DATE"),
        clipArt("LibraryImage/Celebration/Balloon.png", {26, 90, 38, 38}),
        clipArt("LibraryImage/Celebration/Gift.png", {178.6, 92, 36, 36}),
    };
    return d;
}

Design staffBadge()
{
    Design d = onCard(kPvcCategory, 0, "V", QColor("#eef4ff"));
    GraphicPtr band = text(QString(), {0, 0, 153.4, 34}, font("Liberation Sans", 12), Qt::white);
    band->setDrawingFill(true);
    band->setFillColor(QColor("#1e3a8a"));
    GraphicPtr photo = text("\n\nPhoto", {41.7, 46, 70, 84}, font("Liberation Sans", 9), QColor("#64748b"));
    photo->setDrawingFill(true);
    photo->setFillColor(Qt::white);
    photo->setDrawingStroke(true);
    photo->setStrokeColor(QColor("#94a3b8"));
    // Index 0 is drawn in front.
    d.front = {
        text("YOUR COMPANY", {0, 8, 153.4, 20}, font("Liberation Sans", 12, true), Qt::white, "Fup_Company"),
        band,
        photo,
        text("Full Name", {10, 140, 133.4, 22}, font("Liberation Sans", 14, true), QColor("#0f172a"), "Fup_Name"),
        text("Job Title", {10, 164, 133.4, 16}, font("Liberation Sans", 10), QColor("#334155"), "Fup_Title"),
        clipArt("LibraryImage/Shapes/Star.png", {64.7, 196, 24, 24}),
    };
    return d;
}

Design thankYou()
{
    Design d = onCard(kPaperCategory, 3, "H", QColor("#f0fdf4"), "Frames/Green Leaf.png");
    const QColor ink("#14532d");
    const double w = d.frontCard.Card_Size.width();
    d.front = {
        text("Thank You", {20, 26, w - 40, 34}, font("Liberation Serif", 22, true, true), ink, "PARTY_TITLE"),
        text("Thank you for being part of our story.", {36, 64, w - 72, 28}, font("Liberation Sans", 9), ink,
             "PARTY_MSG"),
        clipArt("LibraryImage/Shapes/Heart.png", {w / 2 - 16, 98, 32, 32}),
    };
    return d;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER CONTENT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    contentFolder = QString::fromLocal8Bit(argv[2]);
    // The main window seeds its resource folder: keep that away from the
    // user's own.
    QTemporaryDir scratch;
    setResourceFolder(scratch.path());
    TVNWindowController window;
    QDir().mkpath(output);

    const std::pair<const char *, Design (*)()> templates[] = {
        {"Birthday Party", birthdayParty}, {"Staff Badge", staffBadge}, {"Thank You", thankYou}};
    for (const auto &[name, make] : templates) {
        window.applyDesign(make());
        QString error;
        if (!profiles_wizards::writeTemplate(QDir(output).filePath(QString::fromUtf8(name)),
                                             encodeDesign(window.currentDesign()),
                                             profiles_wizards::templateThumbnail(window), &error)) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(error));
            return 1;
        }
    }
    return 0;
}
