// Pictures in the design file that cannot be read or written: a damaged
// stored picture stays in the file as it was until the user replaces it,
// and a picture that cannot be encoded fails the save before anything is
// replaced.
#include "WindowFixture.h"

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
