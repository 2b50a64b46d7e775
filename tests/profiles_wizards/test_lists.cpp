// The thumbnail list, its thumbnails and the card size list, driven through
// their handlers.
#include "profiles_wizards/CardSizeList.h"
#include "profiles_wizards/ThumbnailCache.h"
#include "profiles_wizards/ThumbnailList.h"
#include "tests/profiles_wizards/WizardTestSupport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QTableView>
#include <QApplication>
#include <QMimeData>

using namespace profiles_wizards;
using quorvant::test::WizardTest;

namespace {

using ThumbnailListTest = WizardTest;

QStringList titles(const ThumbnailList &list)
{
    QStringList out;
    for (int i = 0; i < list.numberOfItemsInImageBrowser(); ++i)
        out << list.imageBrowser(i).imageTitle();
    return out;
}

QString ownId(const QString &entry)
{
    return "id-" + entry;
}

} // namespace

TEST_F(ThumbnailListTest, ListsPngAndJpgFilesInAnyCaseSortedByName)
{
    const QString folder = tmp.file("pics");
    for (const char *name : {"c.jpg", "b.jpeg", "a.PNG", "B2.Png", "d.gif"})
        makePicture(folder + "/" + name);
    QDir().mkpath(folder + "/sub.png");

    ThumbnailList list(0.6);
    ASSERT_TRUE(list.listFolder(folder, ownId));
    EXPECT_EQ(titles(list), QStringList({"a.PNG", "B2.Png", "c.jpg"}));
    const MyImageObject first = list.imageBrowser(0);
    EXPECT_EQ(first.path, folder + "/a.PNG");
    EXPECT_EQ(first.imageUID(), "id-a.PNG");
    EXPECT_EQ(first.imageSubtitle(), "a.PNG");

    // A folder that has gone leaves the last listing in place.
    EXPECT_FALSE(list.listFolder(tmp.file("gone"), ownId));
    EXPECT_EQ(list.numberOfItemsInImageBrowser(), 3);
    // Paths are trimmed; an empty one adds nothing.
    list.addImageWithPath("  \n", "blank", "x");
    list.addImageWithPath(" " + folder + "/c.jpg\n", "c again", "y");
    EXPECT_EQ(list.numberOfItemsInImageBrowser(), 4);
    EXPECT_EQ(list.imageBrowser(3).path, folder + "/c.jpg");
}

TEST_F(ThumbnailListTest, MovedItemsLandAsOneBlockBeforeTheDestination)
{
    struct Case {
        int count;
        QList<int> dragged;
        int destination;
        QStringList order;
    };
    // The first two rows are the worked examples of the thumbnail list's
    // reordering; the others follow the same rule (lower the destination by
    // the dragged items above it, insert the block there).
    const Case cases[] = {
        {4, {0}, 3, {"2", "3", "1", "4"}},
        {5, {0, 2}, 5, {"2", "4", "5", "1", "3"}},
        {4, {3}, 0, {"4", "1", "2", "3"}},
        {5, {4, 0}, 2, {"2", "1", "5", "3", "4"}},
        {4, {1, 2}, 1, {"1", "2", "3", "4"}},
        {3, {2, 2}, 0, {"3", "1", "2"}},
    };
    for (const Case &c : cases) {
        ThumbnailList list(0.5);
        for (int i = 1; i <= c.count; ++i)
            list.addImageWithPath(QString("/p/%1.png").arg(i), QString::number(i), QString::number(i));
        EXPECT_TRUE(list.imageBrowser(c.dragged, c.destination));
        EXPECT_EQ(titles(list), c.order) << c.destination;
    }
}

TEST_F(ThumbnailListTest, SelectionRecordsThePickAndNothingRemovesThumbnails)
{
    const QString folder = tmp.file("pics");
    for (const char *name : {"a.png", "b.png", "c.png"})
        makePicture(folder + "/" + name);
    ThumbnailList list(0.4);
    list.listFolder(folder, ownId);
    QString pick;
    QObject::connect(&list, &ThumbnailList::picked, [&](const QString &p) { pick = p; });

    list.selectItem(1);
    EXPECT_EQ(pick, folder + "/b.png");
    // The lowest selected item is the pick.
    list.browser->selectionModel()->select(list.browser->model()->index(2, 0), QItemSelectionModel::Select);
    list.browser->selectionModel()->select(list.browser->model()->index(0, 0), QItemSelectionModel::Select);
    EXPECT_EQ(pick, folder + "/a.png");
    // Clicking an empty part clears the selection and keeps the pick.
    list.browser->clearSelection();
    EXPECT_EQ(pick, folder + "/a.png");

    list.selectItem(0);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(list.browser, &del);
    EXPECT_EQ(list.numberOfItemsInImageBrowser(), 3);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);
    // A drag carries nothing another program could take.
    QMimeData *drag = list.browser->model()->mimeData({list.browser->model()->index(0, 0)});
    EXPECT_FALSE(drag->hasUrls());
    EXPECT_FALSE(drag->hasText());
    EXPECT_FALSE(drag->hasImage());
    delete drag;
}

TEST_F(ThumbnailListTest, ThumbnailIsKeptWhileTheFileIsUnchanged)
{
    ThumbnailCache cache;
    const QString path = makePicture(tmp.file("big.png"), Qt::red, QSize(1000, 500));
    const QImage first = cache.thumbnail(path);
    EXPECT_EQ(first.size(), QSize(256, 128));
    EXPECT_EQ(first.pixelColor(10, 10), QColor(Qt::red));

    // Same size and time: the file counts as unchanged.
    const QDateTime modified = QFileInfo(path).lastModified();
    const qint64 bytes = QFileInfo(path).size();
    makePicture(path, Qt::blue, QSize(1000, 500));
    ASSERT_EQ(QFileInfo(path).size(), bytes);
    QFile touched(path);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(modified, QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_EQ(cache.thumbnail(path).pixelColor(10, 10), QColor(Qt::red));

    // A changed file gets a new thumbnail; a small picture keeps its size.
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(touched.setFileTime(modified.addSecs(5), QFileDevice::FileModificationTime));
    touched.close();
    EXPECT_EQ(cache.thumbnail(path).pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(cache.thumbnail(makePicture(tmp.file("small.jpg"), Qt::green, QSize(40, 20))).size(), QSize(40, 20));
    EXPECT_TRUE(cache.thumbnail(tmp.file("missing.png")).isNull());
}

namespace {

class CardSizeListTest : public WizardTest {
protected:
    CardSizeList list;
    void SetUp() override
    {
        WizardTest::SetUp();
        list.reset();
    }
    void choose(int category, int orientation, int row)
    {
        list.Category_ComboBox->setCurrentIndex(category);
        list.comboBoxSelectionDidChange(list.Category_ComboBox);
        list.Preset_ComboBox->setCurrentIndex(orientation);
        list.comboBoxSelectionDidChange(list.Preset_ComboBox);
        list.Mark_List_New_Selection(row);
    }
    QSizeF shown() const { return list.sizeInMillimetres(); }
};

} // namespace

TEST_F(CardSizeListTest, SizesFollowCategoryRowAndOrientation)
{
    struct Case {
        int category, orientation, row;
        double wInches, hInches;
        int rows;
        const char *firstName;
    };
    // Landscape sizes in inches from the main window's size table; portrait
    // turns them.
    const Case cases[] = {
        {0, 0, 0, 3.37, 2.13, 7, "CR80-Credit Card Size"},
        {0, 1, 0, 2.13, 3.37, 7, "CR80-Credit Card Size"},
        {0, 0, 6, 2.88, 2.12, 7, "CR80-Credit Card Size"},
        {1, 0, 0, 2.36, 1.58, 8, "Durable 1452 - Name Badge"},
        {1, 1, 5, 3.54, 2.36, 8, "Durable 1452 - Name Badge"},
        {1, 0, 7, 5.91, 4.96, 8, "Durable 1452 - Name Badge"},
    };
    for (const Case &c : cases) {
        choose(c.category, c.orientation, c.row);
        EXPECT_EQ(list.numberOfRowsInTableView(), c.rows);
        EXPECT_EQ(list.tableView(0).toString(), c.firstName);
        EXPECT_NEAR(shown().width(), c.wInches * 25.4, 1e-9) << c.category << c.row;
        EXPECT_NEAR(shown().height(), c.hInches * 25.4, 1e-9) << c.category << c.row;
    }
}

TEST_F(CardSizeListTest, OrientationAloneTurnsTheSizeAndEditedNamesKeepTheirSizes)
{
    EXPECT_EQ(list.choice(), (design_window::CardChoice{"PVC Card", 0, "H"}));
    list.Preset_ComboBox->setCurrentIndex(1);
    list.comboBoxSelectionDidChange(list.Preset_ComboBox);
    EXPECT_EQ(shown(), QSizeF(54.102, 85.598));
    // No row chosen: the 30 mm square.
    list.Mark_List_New_Selection(-1);
    EXPECT_EQ(shown(), QSizeF(30, 30));

    choose(0, 0, 2);
    EXPECT_TRUE(list.tableView(QString("My card"), 2));
    EXPECT_FALSE(list.tableView(QString("x"), 7));
    list.Mark_List_New_Selection(0);
    list.Mark_List_New_Selection(2);
    EXPECT_EQ(list.tableView(2).toString(), "My card");
    EXPECT_NEAR(shown().width(), 3.62 * 25.4, 1e-9);
    list.Create_List(" \t\n");
    list.Create_List("  CR99  ");
    EXPECT_EQ(list.numberOfRowsInTableView(), 8);
    EXPECT_EQ(list.tableView(7).toString(), "CR99");
}
