#include "platform/Alerts.h"
#include "platform/Desktop.h"
#include "platform/Helpers.h"
#include "platform/Paths.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

} // namespace

TEST(TrimStr, TakesBlanksLineBreaksAndControlsOffBothEndsOnly)
{
    EXPECT_EQ(Trim_Str(QStringLiteral(" \t\r\n abc def \n\t ")), QStringLiteral("abc def"));
    // Controls and blanks mixed at the ends all go; inner ones stay.
    EXPECT_EQ(Trim_Str(QStringLiteral("\x01 a\x02 b \x1b")), QStringLiteral("a\x02 b"));
    EXPECT_EQ(Trim_Str(QString::fromUtf16(u"\u00a0\ufeffname\u200b\u2028")), QStringLiteral("name"));
    EXPECT_EQ(Trim_Str(QString::fromUtf16(u"  Ünïcödé ✓ ")), QString::fromUtf16(u"Ünïcödé ✓"));
    EXPECT_EQ(Trim_Str(QStringLiteral("\x7f\x00\t")), QString());
    EXPECT_TRUE(Trim_Str(QString()).isNull());
}

TEST(RemoveReserveChar, CleansEndsOfFileNamesButKeepsInnerCharacters)
{
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("/\\?%*|\"<>Name<>|*%?\\/")), QStringLiteral("Name"));
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("a/b?c*d")), QStringLiteral("a/b?c*d"));
    // Blanks between reserved characters at an end do not shield them.
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral(" /series 1/ \n")), QStringLiteral("series 1"));
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("<<>>")), QString(""));
    EXPECT_EQ(Remove_Reserve_Char_In_File_Name(QStringLiteral("a.b-c_d")), QStringLiteral("a.b-c_d"));
}

TEST(Substrings, ClampIndexesInsteadOfFailing)
{
    const QString s = QStringLiteral("abcdef");
    EXPECT_EQ(Left_Str_substringToIndex(s, 2), QStringLiteral("ab"));
    EXPECT_EQ(Left_Str_substringToIndex(s, 0), QString(""));
    EXPECT_EQ(Left_Str_substringToIndex(s, -3), QString(""));
    EXPECT_EQ(Left_Str_substringToIndex(s, 6), s);
    EXPECT_EQ(Left_Str_substringToIndex(s, 99), s);

    EXPECT_EQ(Right_Str_substringFromIndex(s, 2), QStringLiteral("ef"));
    EXPECT_EQ(Right_Str_substringFromIndex(s, -1), QString(""));
    EXPECT_EQ(Right_Str_substringFromIndex(s, 6), s);
    EXPECT_EQ(Right_Str_substringFromIndex(s, 100), s);

    EXPECT_EQ(Read_Str_FromIndex(s, 2), QStringLiteral("cdef"));
    EXPECT_EQ(Read_Str_FromIndex(s, 0), s);
    EXPECT_EQ(Read_Str_FromIndex(s, -5), s);
    EXPECT_EQ(Read_Str_FromIndex(s, 6), QString(""));
    EXPECT_EQ(Read_Str_FromIndex(s, 7), QString(""));
    EXPECT_EQ(Read_Str_FromIndex(QString(), 1), QString(""));
}

TEST(ReplaceAndFind, HandleEmptyPatterns)
{
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("a,b,,c"), QStringLiteral(","), QStringLiteral(";;")),
              QStringLiteral("a;;b;;;;c"));
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("b")), QStringLiteral("ba"));
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(Replace_char_in_string(QStringLiteral("a\nb"), QStringLiteral("\n"), QString()), QStringLiteral("ab"));

    EXPECT_TRUE(Find_Str(QStringLiteral("Batch Series"), QStringLiteral("h S")));
    EXPECT_FALSE(Find_Str(QStringLiteral("Batch Series"), QStringLiteral("series")));
    EXPECT_FALSE(Find_Str(QStringLiteral("abc"), QString()));
    EXPECT_FALSE(Find_Str(QString(), QStringLiteral("a")));
}

TEST(MessageBoxes, SendTheExactTextsAndButtons)
{
    std::vector<platform::AlertRequest> seen;
    int answer = 0;
    platform::ScopedAlertResponder responder([&](const platform::AlertRequest &r) {
        seen.push_back(r);
        return answer;
    });
    Show_MessageBox(QStringLiteral("Done."));
    EXPECT_TRUE(Show_YES_NO_MessageBox(QStringLiteral("Delete?")));
    answer = 1;
    EXPECT_FALSE(Show_YES_NO_MessageBox(QStringLiteral("Delete?")));

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].text, QStringLiteral("\nDone."));
    EXPECT_EQ(seen[0].buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(seen[1].text, QStringLiteral("Delete?"));
    EXPECT_EQ(seen[1].buttons, (QStringList{QStringLiteral("Yes"), QStringLiteral("No")}));
    EXPECT_EQ(seen[1].defaultButton, 0);
}

TEST(MessageBoxes, AFailingAlertIsLoggedNotThrown)
{
    platform::ScopedAlertResponder responder([](const platform::AlertRequest &) -> int {
        throw std::runtime_error("no display");
    });
    EXPECT_NO_THROW(Show_MessageBox(QStringLiteral("x")));
    EXPECT_NO_THROW(EXPECT_FALSE(Show_YES_NO_MessageBox(QStringLiteral("x"))));
}

TEST(DeleteFile, RemovesFilesAndIgnoresWhatItCannotRemove)
{
    quorvant::test::TempFolder tmp;
    const QString file = tmp.file("a.txt");
    touch(file);
    Delete_File(file);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_NO_FATAL_FAILURE(Delete_File(file));
    EXPECT_NO_FATAL_FAILURE(Delete_File(QString()));

    // A folder with content is never removed wholesale.
    QDir(tmp.path()).mkdir("full");
    touch(tmp.file("full/keep.txt"));
    Delete_File(tmp.file("full"));
    EXPECT_TRUE(QFile::exists(tmp.file("full/keep.txt")));
}

TEST(HelpFile, OpensTheUsersCopyOrTheBundlesOrSaysItIsMissing)
{
    std::vector<QUrl> opened;
    platform::setOpenUrlHandler([&](const QUrl &url) {
        opened.push_back(url);
        return true;
    });
    QStringList alerts;
    platform::ScopedAlertResponder responder([&](const platform::AlertRequest &r) {
        alerts << r.text;
        return 0;
    });

    quorvant::test::TempFolder bundle;
    qputenv("QUORVANT_RESOURCES", bundle.path().toUtf8());
    Open_Help_File();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(alerts, QStringList{QStringLiteral("\nHelp file does not exist!")});

    touch(bundle.file("Help.pdf"));
    Open_Help_File();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toLocalFile(), bundle.file("Help.pdf"));

    const QString own = QDir(platform::userResourcePath()).filePath("Help.pdf");
    touch(own);
    Open_Help_File();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].toLocalFile(), own);

    QFile::remove(own);
    qunsetenv("QUORVANT_RESOURCES");
    platform::setOpenUrlHandler({});
}

TEST(SetObjEnabled, ABoxSwitchesEveryControlInside)
{
    QGroupBox box;
    auto *layout = new QVBoxLayout(&box);
    auto *field = new QLineEdit;
    auto *button = new QPushButton("Go");
    layout->addWidget(field);
    layout->addWidget(button);
    button->setEnabled(false);

    SetObjEnabled(&box, true);
    EXPECT_TRUE(box.isEnabled());
    EXPECT_TRUE(button->isEnabled()); // switched on again with its box
    SetObjEnabled(&box, false);
    EXPECT_FALSE(field->isEnabled());
    EXPECT_FALSE(button->isEnabled());

    QLineEdit single;
    SetObjEnabled(&single, false);
    EXPECT_FALSE(single.isEnabled());
    EXPECT_NO_FATAL_FAILURE(SetObjEnabled(nullptr, true));
}
