// The default content of the resource folder: built-in templates that open
// as designs and look like their thumbnails, frames with a clear centre,
// clip art and a help document about the program.
#include "design_window/DesignFile.h"
#include "design_window/TVNWindowController.h"
#include "platform/Paths.h"
#include "profiles_wizards/TemplateFiles.h"
#include "profiles_wizards/WizardWindowsImpl.h"
#include "tests/profiles_wizards/WizardTestSupport.h"

#include <QFile>
#include <QProcess>

using quorvant::test::WizardTest;

namespace {

using DefaultContentTest = WizardTest;

QString content(const QString &relative)
{
    return QDir(design_window::defaultContentPath()).filePath(relative);
}

QStringList files(const QString &folder, const QStringList &patterns)
{
    return QDir(folder).entryList(patterns, QDir::Files, QDir::Name);
}

} // namespace

TEST_F(DefaultContentTest, BuiltInTemplatesOpenAndLookLikeTheirThumbnails)
{
    const QStringList thumbnails = files(content("Templates"), {"*.png"});
    ASSERT_GE(thumbnails.size(), 2);
    TVNWindowController wnd;
    for (const QString &name : thumbnails) {
        const QString thumbnail = content("Templates/" + name);
        ASSERT_EQ(wnd.Read_and_load_design_Log(profiles_wizards::designFileOf(thumbnail), "T"), 1) << name.toStdString();
        const QImage drawn = QImage::fromData(profiles_wizards::templateThumbnail(wnd));
        const QImage stored(thumbnail);
        EXPECT_LT(quorvant::test::differingPixelShare(drawn, stored, 48), 0.02) << name.toStdString();
        // Something is drawn besides the card.
        EXPECT_GT(wnd.Get_Front_Controls_Array().size(), 2u) << name.toStdString();
    }
    EXPECT_TRUE(alerts.isEmpty());

    // The first start seeds them into the user's templates folder.
    Check_Path_And_Create_Files();
    EXPECT_EQ(files(res("Templates"), {"*.png"}), thumbnails);
}

TEST_F(DefaultContentTest, FramesAreClearInTheMiddleAndClipArtHasCategories)
{
    const QStringList frames = files(content("Frames"), {"*.png", "*.jpg"});
    ASSERT_GE(frames.size(), 2);
    for (const QString &name : frames) {
        const QImage frame(content("Frames/" + name));
        ASSERT_FALSE(frame.isNull()) << name.toStdString();
        EXPECT_EQ(frame.pixelColor(frame.width() / 2, frame.height() / 2).alpha(), 0) << name.toStdString();
        EXPECT_EQ(frame.pixelColor(frame.width() / 2, 10).alpha(), 255) << name.toStdString();
    }
    const QStringList categories = QDir(content("LibraryImage")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_GE(categories.size(), 2);
    for (const QString &category : categories)
        EXPECT_GE(files(content("LibraryImage/" + category), {"*.png"}).size(), 2) << category.toStdString();
}

TEST_F(DefaultContentTest, HelpDescribesTheTemplatesAndLibraries)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), QStringList{QDir(platform::bundleResourcesPath()).filePath("Help.pdf"), "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    ASSERT_EQ(pdftotext.exitCode(), 0);
    const QString help = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    for (const char *topic : {"Wizards > Templates", "Export as Template", "Card Size Wizard", "Image from Library",
                              "Grid Options", "Use Template Title"})
        EXPECT_TRUE(help.contains(topic)) << topic;
}
