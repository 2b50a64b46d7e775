// Pictures in the design file that cannot be read or written: a damaged
// stored picture stays in the file as it was until the user replaces it or
// its object shows the picture of its file instead, and a picture that
// cannot be encoded fails the save before anything is replaced.
#include "WindowFixture.h"

#include "batch_data/binding/RecordBinding.h"
#include "drawing/TVNRenderingView.h"
#include "platform/PropertyList.h"


using namespace design_window;
using quorvant::test::readTestFile;
using quorvant::test::writeTestFile;

namespace {

// The design dictionary of a design file.
QVariantMap designOf(const QString &file)
{
    const auto root = platform::readPropertyList(readTestFile(file));
    return root ? root->toList().value(1).toMap() : QVariantMap();
}

// The stored picture of the front object `id`, or of the front's card.
QVariantMap storedPicture(const QVariantMap &design, const QString &id)
{
    if (id.isEmpty())
        return design.value("Front_card_Prop").toMap().value("BG_Image").toMap();
    for (const QVariant &g : design.value("front_graphics").toList()) {
        if (g.toMap().value("control_ID").toString() == id)
            return g.toMap().value("image").toMap();
    }
    return {};
}

// `file` with the data of those stored pictures replaced.
void replaceStoredData(const QString &file, const QHash<QString, QByteArray> &data)
{
    QVariantList root = platform::readPropertyList(readTestFile(file))->toList();
    QVariantMap design = root.value(1).toMap();
    QVariantList front = design.value("front_graphics").toList();
    for (QVariant &g : front) {
        QVariantMap graphic = g.toMap();
        const QString id = graphic.value("control_ID").toString();
        if (!data.contains(id))
            continue;
        QVariantMap image = graphic.value("image").toMap();
        image.insert("data", data.value(id));
        graphic.insert("image", image);
        g = graphic;
    }
    design.insert("front_graphics", front);
    if (data.contains(QString())) {
        QVariantMap card = design.value("Front_card_Prop").toMap();
        QVariantMap image = card.value("BG_Image").toMap();
        image.insert("data", data.value(QString()));
        card.insert("BG_Image", image);
        design.insert("Front_card_Prop", card);
    }
    root[1] = design;
    writeTestFile(file, platform::writePropertyList(root));
}

// `file` with the stored picture of the front object `id` (of the front's
// card when empty) made of `kind`, `format` (none when null) and `data`; its
// size stays.
void replaceStoredEntry(const QString &file, const QString &id, const QString &kind, const QString &format,
                        const QByteArray &data)
{
    const auto made = [&](QVariantMap image) {
        image.insert("kind", kind);
        image.remove("format");
        if (!format.isNull())
            image.insert("format", format);
        image.insert("data", data);
        return image;
    };
    QVariantList root = platform::readPropertyList(readTestFile(file))->toList();
    QVariantMap design = root.value(1).toMap();
    if (id.isEmpty()) {
        QVariantMap card = design.value("Front_card_Prop").toMap();
        card.insert("BG_Image", made(card.value("BG_Image").toMap()));
        design.insert("Front_card_Prop", card);
    } else {
        QVariantList front = design.value("front_graphics").toList();
        for (QVariant &g : front) {
            QVariantMap graphic = g.toMap();
            if (graphic.value("control_ID").toString() == id)
                graphic.insert("image", made(graphic.value("image").toMap()));
            g = graphic;
        }
        design.insert("front_graphics", front);
    }
    root[1] = design;
    writeTestFile(file, platform::writePropertyList(root));
}

// Pixels of `picture` inside `box` for which `is` holds.
int pixelsWhere(const QImage &picture, const QRect &box, const std::function<bool(QColor)> &is)
{
    int count = 0;
    const QRect inside = box & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += is(picture.pixelColor(x, y));
    return count;
}

using DesignFilePictures = DesignWindow;

} // namespace

TEST_F(DesignFilePictures, ADamagedPictureIsSavedAsItWasStoredUntilReplaced)
{
    // Pictures stored in the design only (no files): a PNG logo, a JPEG
    // photo and the front's background, all three damaged in the file.
    const auto place = [&](const char *id, QRectF box, const platform::Image &picture) {
        auto image = std::static_pointer_cast<TVNImage>(add(TVNWindowController::kImageTool));
        image->control_ID = id;
        image->setBounds(box);
        image->setImage(picture);
        return image;
    };
    place("Logo", {10, 10, 60, 40}, platform::Image::fromFile(makePng("logo.png", QColor(200, 40, 40))));
    const QByteArray jpeg = quorvant::test::photoJpeg(QSize(48, 32));
    place("Photo", {10, 60, 40, 60}, platform::Image::fromEncoded(jpeg, "jpeg"));
    addText("Stays", QRectF(60, 70, 80, 20));
    wnd->design().Front_card_Prop.Card_Fill = true;
    wnd->design().Front_card_Prop.BG_Image = platform::Image::fromFile(makePng("back.png", QColor(240, 240, 200)));
    const QString file = tmp.file("damaged.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false)) << alerts.join('|').toStdString();

    const QByteArray logo = "\x89PNG\r\n\x1a\n" + QByteArray(64, '\0');
    const QByteArray photo = jpeg.left(jpeg.size() * 2 / 3);
    ASSERT_FALSE(QImage::fromData(photo, "JPG").isNull()) << "the decoder would draw it, grey below";
    const QByteArray background = readTestFile(tmp.file("back.png")).chopped(30);
    replaceStoredData(file, {{"Logo", logo}, {"Photo", photo}, {QString(), background}});
    const QVariantMap damaged = designOf(file);

    // New objects go in front: the photo, placed second, is the second of
    // three objects, the logo the third.
    const auto opened = [](int photo, int logo) {
        return QStringLiteral("These pictures of the design are damaged and are shown as missing:\n"
                              "The image \"Photo\" (object %1 on the front): the picture ends early\n"
                              "The image \"Logo\" (object %2 on the front): the picture's data is corrupt\n"
                              "The background picture of the front: the picture's data is corrupt\n\n"
                              "Their objects are kept as they are: saving the design keeps each damaged picture as "
                              "it was stored until you replace it.")
            .arg(photo)
            .arg(logo);
    };
    wnd->New_Project_Setting_Reset();
    alerts.clear();
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
    EXPECT_EQ(alerts, QStringList{opened(2, 3)});

    // Another change, then Save: each damaged picture is in the file as it
    // was, data, format and size.
    addText("Added", QRectF(60, 100, 80, 20));
    ASSERT_TRUE(wnd->Save_Design()) << alerts.join('|').toStdString();
    const QVariantMap saved = designOf(file);
    ASSERT_EQ(saved.value("front_graphics").toList().size(), 4);
    for (const QString &id : {QString("Logo"), QString("Photo"), QString()}) {
        SCOPED_TRACE(id.isEmpty() ? "background" : id.toStdString());
        EXPECT_FALSE(storedPicture(damaged, id).isEmpty());
        EXPECT_EQ(storedPicture(saved, id), storedPicture(damaged, id));
    }
    EXPECT_EQ(storedPicture(saved, "Photo").value("data").toByteArray(), photo);
    EXPECT_EQ(storedPicture(saved, "Photo").value("format").toString(), "jpeg");

    // Opened again they are the same damaged pictures.
    alerts.clear();
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
    EXPECT_EQ(alerts, QStringList{opened(3, 4)});

    // The photo replaced by the user is saved as its new picture; the others
    // stay as they were stored.
    const GraphicList &front = wnd->Get_Front_Controls_Array();
    const auto found = std::find_if(front.begin(), front.end(), [](const GraphicPtr &g) { return g->control_ID == "Photo"; });
    ASSERT_NE(found, front.end());
    const QByteArray replacement = quorvant::test::photoJpeg(QSize(40, 30));
    writeTestFile(tmp.file("new photo.jpg"), replacement);
    static_cast<TVNImage &>(**found).setFilePath(tmp.file("new photo.jpg"), {});
    ASSERT_TRUE(wnd->Save_Design()) << alerts.join('|').toStdString();
    const QVariantMap replaced = designOf(file);
    EXPECT_EQ(storedPicture(replaced, "Photo").value("data").toByteArray(), replacement);
    EXPECT_EQ(storedPicture(replaced, "Logo"), storedPicture(damaged, "Logo"));
    EXPECT_EQ(storedPicture(replaced, QString()), storedPicture(damaged, QString()));
}

TEST_F(DesignFilePictures, APictureThatCannotBeEncodedFailsTheSaveAndReplacesNothing)
{
    // Wider than the PNG encoder takes (a million pixels a row).
    QImage wide(1'000'001, 1, QImage::Format_ARGB32);
    ASSERT_FALSE(wide.isNull());
    wide.fill(Qt::red);
    const QString file = tmp.file("design.zelg");
    addText("Kept", QRectF(10, 10, 50, 20));
    ASSERT_TRUE(wnd->Save_project_file(file, false));
    const QByteArray kept = readTestFile(file);

    auto image = std::static_pointer_cast<TVNImage>(add(TVNWindowController::kImageTool));
    image->control_ID = "Wide";
    image->setImage(platform::Image::fromBitmap(wide));
    alerts.clear();
    EXPECT_FALSE(wnd->Save_project_file(file, true));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().contains(
        "The image \"Wide\" (object 1 on the front) cannot be stored: its picture could not be encoded as PNG."))
        << alerts.first().toStdString();
    EXPECT_EQ(readTestFile(file), kept);

    // The same picture as the front's background.
    image->setImage({});
    wnd->design().Front_card_Prop.BG_Image = platform::Image::fromBitmap(wide);
    QString error;
    EXPECT_TRUE(encodeDesign(wnd->currentDesign(), &error).isEmpty());
    EXPECT_EQ(error, "The background picture of the front cannot be stored: its picture could not be encoded as PNG.");
    alerts.clear();
    EXPECT_FALSE(wnd->Save_project_file(file, true));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().contains(error)) << alerts.first().toStdString();
    EXPECT_EQ(readTestFile(file), kept);
}

TEST_F(DesignFilePictures, APictureFileThatCannotBeReadGivesWayToTheStoredCopy)
{
    // An image placed from a file, which is later cut short (a copy that
    // stopped) or left empty: the design shows, draws and saves again the
    // copy it stored.
    const QByteArray jpeg = quorvant::test::photoJpeg(QSize(48, 32));
    const QString photo = tmp.file("photo.jpg");
    writeTestFile(photo, jpeg);
    auto image = std::static_pointer_cast<TVNImage>(add(TVNWindowController::kImageTool));
    image->control_ID = "Photo";
    image->setBounds({10, 10, 48, 32});
    image->setFilePath(photo, {});
    ASSERT_EQ(image->image().encoded(), jpeg);
    const QString file = tmp.file("photo.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false)) << alerts.join('|').toStdString();
    const QVariantMap stored = storedPicture(designOf(file), "Photo");
    ASSERT_EQ(stored.value("data").toByteArray(), jpeg);

    for (const QByteArray &left : {jpeg.left(jpeg.size() / 2), QByteArray()}) {
        SCOPED_TRACE(left.size());
        writeTestFile(photo, left);
        wnd->New_Project_Setting_Reset();
        alerts.clear();
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
        EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
        const GraphicList &front = wnd->Get_Front_Controls_Array();
        const auto found = std::find_if(front.begin(), front.end(), [](const GraphicPtr &g) { return g->control_ID == "Photo"; });
        ASSERT_NE(found, front.end());
        const auto &opened = static_cast<const TVNImage &>(**found);
        EXPECT_EQ(opened.filePath(), photo);
        EXPECT_EQ(opened.image().encoded(), jpeg);
        addText("Added", QRectF(60, 100, 80, 20));
        ASSERT_TRUE(wnd->Save_Design()) << alerts.join('|').toStdString();
        EXPECT_EQ(storedPicture(designOf(file), "Photo"), stored);
    }
}

TEST_F(DesignFilePictures, TheOpenMessageSaysWhatADamagedPictureShowsAndTheSaveDoesIt)
{
    // The object's file and the card's background file: light colours, so
    // that dark pixels can only come from a damaged entry drawn after all.
    const QColor fileGreen(90, 220, 90), backgroundYellow(250, 240, 150);
    const auto green = [](QColor c) { return c.green() > 180 && c.red() < 130 && c.blue() < 130; };
    const auto yellow = [](QColor c) { return c.red() > 230 && c.green() > 220 && c.blue() < 180; };
    // The placeholder's light grey ground, as drawing::placeholderPicture paints it.
    const auto placeholder = [](QColor c) { return c == QColor(236, 236, 236); };
    const auto dark = [](QColor c) { return qGray(c.rgb()) < 100; };
    // An SVG drawing that fills its box black: stored under kind "bitmap" it
    // is no picture, and must never come to be drawn.
    const QByteArray blackSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="40" height="30">)"
                                R"(<rect width="40" height="30" fill="black"/></svg>)";
    const QByteArray cutPng = "\x89PNG\r\n\x1a\n" + QByteArray(64, '\0');
    const QByteArray jpeg = quorvant::test::photoJpeg(QSize(48, 32));

    enum class File { Reads, Gone, NotAPicture };
    struct Row {
        const char *what;
        const char *id; // the front object, or the card's background when empty
        const char *kind;
        const char *format; // the entry's "format", none when null
        QByteArray data;
        File file;
        const char *reason; // why the stored picture is damaged, as the message says
    } const rows[] = {
        {"svg that does not parse", "Pic", "svg", nullptr, "<svg", File::NotAPicture, "the drawing cannot be read"},
        {"svg with a format beside it", "Pic", "svg", "png", "<svg", File::Gone, "the drawing cannot be read"},
        {"bitmap whose format says svg", "Pic", "bitmap", "svg", blackSvg, File::NotAPicture, "it is not a picture"},
        {"bitmap with format png, cut short", "Pic", "bitmap", "png", cutPng, File::Gone, "the picture's data is corrupt"},
        {"bitmap without a format, not PNG", "Pic", "bitmap", nullptr, "GIF89a", File::NotAPicture, "it is not a picture"},
        {"bitmap with format jpeg, cut short", "Pic", "bitmap", "jpeg", jpeg.left(jpeg.size() * 2 / 3),
         File::NotAPicture, "the picture ends early"},
        {"bitmap with an unknown format", "Pic", "bitmap", "webp", "RIFF", File::Gone, "it is not a picture"},
        {"bitmap with format png, cut short, file reads", "Pic", "bitmap", "png", cutPng, File::Reads, "the picture's data is corrupt"},
        {"bitmap whose format says svg, file reads", "Pic", "bitmap", "svg", blackSvg, File::Reads, "it is not a picture"},
        {"svg that does not parse, file reads", "Pic", "svg", nullptr, "<svg", File::Reads, "the drawing cannot be read"},
        {"main photo, cut short, photo file reads", "PARTY_IMAGE", "bitmap", "png", cutPng, File::Reads, "the picture's data is corrupt"},
        {"main photo, cut short, photo file gone", "PARTY_IMAGE", "bitmap", "png", cutPng, File::Gone, "the picture's data is corrupt"},
        // The background's file is not read again when a design opens: its
        // stored picture is the background.
        {"background, bitmap whose format says svg", "", "bitmap", "svg", blackSvg, File::Reads, "it is not a picture"},
        {"background, svg that does not parse", "", "svg", nullptr, "<svg", File::Reads, "the drawing cannot be read"},
    };
    const QRectF box(20, 20, 80, 60), clear(150, 90, 40, 30);
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const QString id = QString::fromLatin1(row.id);
        const bool background = id.isEmpty();
        const QString file = tmp.file("design.zelg");
        const QString picture = makePng("picture.png", fileGreen);
        const QString backgroundFile = makePng("background.png", backgroundYellow);
        wnd->New_Project_Setting_Reset();
        wnd->Update_frame_Main_Photo_And_Path(id == "PARTY_IMAGE" ? picture : QString(), true);
        auto image = std::static_pointer_cast<TVNImage>(add(TVNWindowController::kImageTool));
        image->control_ID = background ? QString("Pic") : id;
        image->setBounds(box);
        image->setFilePath(picture, wnd->design()._Main_Photo_image);
        wnd->design().Front_card_Prop.Card_Fill = true;
        wnd->design().Front_card_Prop.BG_Image_Path = backgroundFile;
        wnd->design().Front_card_Prop.BG_Image = platform::Image::fromFile(backgroundFile);
        ASSERT_TRUE(wnd->Save_project_file(file, false)) << alerts.join('|').toStdString();
        replaceStoredEntry(file, id, row.kind, row.format, row.data);
        const QVariantMap damaged = storedPicture(designOf(file), id);
        if (row.file == File::Gone)
            QFile::remove(picture);
        else if (row.file == File::NotAPicture)
            writeTestFile(picture, "not a picture");

        // What the message says: shown as missing, or the file's picture.
        const bool missing = background || row.file != File::Reads;
        const QString object =
            background ? QString("The background picture of the front") : QString("The image \"%1\" (object 1 on the front)").arg(id);
        const QString shows = id == "PARTY_IMAGE" ? QString("%1 shows the main photo \"%2\"").arg(object, picture)
                                                  : QString("%1 shows \"%2\"").arg(object, picture);
        const QString message = missing
            ? "These pictures of the design are damaged and are shown as missing:\n" + object + ": " + row.reason
                + "\n\nTheir objects are kept as they are: saving the design keeps each damaged picture as it was "
                  "stored until you replace it."
            : "These pictures of the design are damaged, and their objects show something else instead:\n" + shows
                + "\n\nSaving the design stores what each of these objects shows in place of its damaged picture.";
        wnd->New_Project_Setting_Reset();
        alerts.clear();
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
        EXPECT_EQ(alerts.join("\n--\n").toStdString(), message.toStdString());

        // What the canvas and the card's output show.
        const auto output = [&] {
            return TVNRenderingView::image_From_Card_Graphics(wnd->Get_Front_Controls_Array(),
                                                              TVNRenderingView::cardFace(0))
                .toBitmap(72);
        };
        const auto checkShown = [&](const char *when) {
            SCOPED_TRACE(when);
            wnd->currentCanvas()->deselectAll();
            const QImage canvas = canvasPicture();
            const QImage card = output();
            const int area = int(box.width() * box.height());
            if (background) {
                EXPECT_EQ(pixelsWhere(canvas, onCanvas(clear), yellow), 0);
                EXPECT_EQ(pixelsWhere(card, clear.toRect(), yellow), 0);
                EXPECT_EQ(pixelsWhere(card, clear.toRect(), dark), 0);
            } else if (missing) {
                EXPECT_GT(pixelsWhere(canvas, onCanvas(box), placeholder), area * 4 / 2);
                EXPECT_EQ(pixelsWhere(card, box.toRect(), placeholder), 0);
                EXPECT_EQ(pixelsWhere(card, box.toRect(), dark), 0);
                EXPECT_EQ(pixelsWhere(card, box.toRect(), green), 0);
            } else {
                EXPECT_GT(pixelsWhere(canvas, onCanvas(box), green), area * 4 / 2);
                EXPECT_GT(pixelsWhere(card, box.toRect(), green), area / 2);
            }
        };
        checkShown("opened");

        // What the save stores: the entry as it was read, or the file's picture.
        ASSERT_TRUE(wnd->Save_Design()) << alerts.join('|').toStdString();
        const QVariantMap saved = storedPicture(designOf(file), id);
        if (missing) {
            EXPECT_EQ(saved, damaged);
        } else {
            EXPECT_EQ(saved.value("kind").toString(), "bitmap");
            const QImage stored = QImage::fromData(saved.value("data").toByteArray());
            ASSERT_FALSE(stored.isNull());
            EXPECT_EQ(stored.pixelColor(stored.rect().center()), fileGreen);
            if (id == "Pic") {
                EXPECT_EQ(saved.value("data").toByteArray(), readTestFile(picture));
            }
        }

        // Opened again: the same message for what is still damaged, and the
        // same pictures.
        wnd->New_Project_Setting_Reset();
        alerts.clear();
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
        EXPECT_EQ(alerts.join("\n--\n").toStdString(), missing ? message.toStdString() : "");
        checkShown("opened again");
        alerts.clear();
    }
}

TEST_F(DesignFilePictures, StoredPhotosAreJudgedByWhatTheDecoderReads)
{
    // One image object per kind of JPEG data, stored in the design: opening
    // names each damaged one with its reason and draws the whole ones as
    // the clean photo.
    const QByteArray clean = quorvant::test::photoJpeg(QSize(48, 32));
    const auto variants = quorvant::test::jpegVariants(clean);
    QHash<QString, QByteArray> stored;
    for (size_t i = 0; i < variants.size(); ++i) {
        auto image = std::static_pointer_cast<TVNImage>(add(TVNWindowController::kImageTool));
        image->control_ID = QStringLiteral("v%1").arg(i);
        image->setBounds({10, 10, 48, 32});
        image->setImage(platform::Image::fromEncoded(clean, "jpeg"));
        stored.insert(image->control_ID, variants[i].data);
    }
    const QString file = tmp.file("photos.zelg");
    ASSERT_TRUE(wnd->Save_project_file(file, false)) << alerts.join('|').toStdString();
    replaceStoredData(file, stored);

    // New objects go in front: variant i is object (count - i).
    QStringList damaged;
    for (size_t i = variants.size(); i-- > 0;) {
        if (!variants[i].reason.isEmpty())
            damaged << QStringLiteral("The image \"v%1\" (object %2 on the front): %3")
                           .arg(i)
                           .arg(variants.size() - i)
                           .arg(variants[i].reason);
    }
    wnd->New_Project_Setting_Reset();
    alerts.clear();
    ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith("These pictures of the design are damaged and are shown as missing:\n"
                                          + damaged.join('\n') + "\n\n"))
        << alerts.first().toStdString();

    const QImage pixels = platform::Image::fromEncoded(clean, "jpeg").bitmap();
    const GraphicList &front = wnd->Get_Front_Controls_Array();
    ASSERT_EQ(front.size(), variants.size());
    for (size_t i = 0; i < variants.size(); ++i) {
        SCOPED_TRACE(variants[i].what);
        const auto &image = static_cast<const TVNImage &>(*front[variants.size() - 1 - i]);
        ASSERT_EQ(image.control_ID, QStringLiteral("v%1").arg(i));
        EXPECT_EQ(image.image().isDamaged(), !variants[i].reason.isEmpty());
        if (variants[i].reason.isEmpty()) {
            EXPECT_EQ(image.image().bitmap(), pixels);
        }
    }
}

TEST_F(DesignFilePictures, ABoundObjectsDamagedPictureGivesWayToItsFirstRecord)
{
    // An image object bound to a series: opening the design shows the
    // series' first value in its place, so the message names that and the
    // save stores it, not the damaged entry.
    const QColor faceGreen(90, 220, 90);
    const QString face = makePng("face.png", faceGreen);
    const QByteArray cutPng = "\x89PNG\r\n\x1a\n" + QByteArray(64, '\0');
    const QRectF box(20, 20, 80, 60);
    const QString object = "The image \"Pic\" (object 1 on the front)";
    const QString tail = "\n\nSaving the design stores what each of these objects shows in place of its damaged picture.";
    struct Row {
        const char *what;
        QString first; // the series' first value
        QString shows; // the line of the message
    } const rows[] = {
        {"a picture file", face, QString("%1 shows \"%2\"").arg(object, face)},
        {"a file that is gone", tmp.file("gone.png"), QString("%1 shows no picture").arg(object)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        wnd->New_Project_Setting_Reset();
        ASSERT_TRUE(wnd->seriesStore().writeSeries("Faces", {row.first, face}));
        auto image = std::static_pointer_cast<TVNImage>(add(TVNWindowController::kImageTool));
        image->control_ID = "Pic";
        image->setBounds(box);
        image->setImage(platform::Image::fromFile(makePng("own.png", QColor(200, 40, 40))));
        image->Set_Data_source_type(batch_data::kSeriesValue);
        image->Set_Batch_List_Name("Faces");
        const QString file = tmp.file("bound.zelg");
        ASSERT_TRUE(wnd->Save_project_file(file, false)) << alerts.join('|').toStdString();
        replaceStoredData(file, {{"Pic", cutPng}});

        wnd->New_Project_Setting_Reset();
        alerts.clear();
        ASSERT_EQ(wnd->Read_and_load_design_Log(file, "L"), 1);
        EXPECT_EQ(alerts.join("\n--\n").toStdString(),
                  ("These pictures of the design are damaged, and their objects show something else instead:\n"
                   + row.shows + tail)
                      .toStdString());
        wnd->currentCanvas()->deselectAll();
        const QImage canvas = canvasPicture();
        const bool shows = row.first == face;
        const int green = pixelsWhere(canvas, onCanvas(box), [&](QColor c) { return c == faceGreen; });
        if (!shows)
            EXPECT_EQ(green, 0);
        else
            EXPECT_GT(green, int(box.width() * box.height()));

        ASSERT_TRUE(wnd->Save_Design()) << alerts.join('|').toStdString();
        const QVariantMap saved = storedPicture(designOf(file), "Pic");
        if (!shows)
            EXPECT_TRUE(saved.isEmpty());
        else
            EXPECT_EQ(saved.value("data").toByteArray(), readTestFile(face));
        alerts.clear();
    }
}
