// Reading text, CSV and RTF into series values, against hand-made cases and
// files that LibreOffice wrote (tests/data/import/make_fixtures.sh).
#include "batch_data/import/CsvReader.h"
#include "batch_data/import/RtfReader.h"
#include "batch_data/import/TextDecoding.h"
#include "batch_data/import/TextImport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace batch_data;
using quorvant::test::readTestFile;
using quorvant::test::TempFolder;
using quorvant::test::writeTestFile;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(QUORVANT_TEST_DATA "/import/") + QString::fromLatin1(name);
}

} // namespace

TEST(CsvReader, FollowsRfc4180WithAnyLineEnd)
{
    struct Case {
        const char *why;
        QString text;
        QList<QStringList> records;
    } cases[] = {
        {"CR LF records", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"LF only", "a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"CR only", "a,b\rc,d\r", {{"a", "b"}, {"c", "d"}}},
        {"one column", "x\ny\nz\n", {{"x"}, {"y"}, {"z"}}},
        {"quoted comma and break", "\"a,1\",\"two\r\nlines\"\r\nz", {{"a,1", "two\r\nlines"}, {"z"}}},
        {"doubled quote", "\"say \"\"hi\"\"\",x", {{"say \"hi\"", "x"}}},
        {"empty fields", ",a,\n", {{"", "a", ""}}},
        {"blank line is an empty record", "a\n\nb\n", {{"a"}, {""}, {"b"}}},
        {"quoted empty field at the end", "a,\"\"", {{"a", ""}}},
        {"quote inside an unquoted field is a character", "12\" ruler,x\nb\"c,y\n", {{"12\" ruler", "x"}, {"b\"c", "y"}}},
        {"text after a closing quote kept", "\"a\"b,c", {{"ab", "c"}}},
        {"quote left open at the end", "a,\"b\r\n", {{"a", "b\r\n"}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseCsv(c.text), c.records) << c.why;
}

TEST(RtfReader, InterpretsGroupsEscapesAndDestinations)
{
    struct Case {
        const char *why;
        QByteArray rtf;
        QString text;
    } cases[] = {
        {"paragraphs, line and tab",
         R"({\rtf1\ansi{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}\f0 one\par two\line three\tab 4\par})",
         "one\ntwo\nthree\t4\n"},
        {"hex escapes in code page 1252", R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80 5\par})", QString::fromUtf8("café € 5\n")},
        {"unicode with one fallback character", R"({\rtf1 \u8364?\u-3 ?x})", QString(QChar(0x20AC)) + QChar(0xFFFD) + "x"},
        {"unicode with two fallback bytes", R"({\rtf1\uc2 \u12354\'82\'a0 end})", QString(QChar(0x3042)) + " end"},
        {"uc is scoped to its group", R"({\rtf1{\uc0 \u65 }\u66 ?})", "AB"},
        {"ignorable destination", R"({\rtf1{\*\generator Writer;}{\*\unknownthing {nested} text}kept})", "kept"},
        {"style sheet, info and picture", R"({\rtf1{\stylesheet{\s0 Normal;}}{\info{\title T}}{\pict\pngblip 89504e47}body})", "body"},
        {"literal braces and backslash", R"({\rtf1 a\{b\}c\\d})", "a{b}c\\d"},
        {"field result kept, instruction skipped",
         R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt shown}}})", "shown"},
        {"binary data skipped", QByteArray("{\\rtf1 a{\\*\\blob\\bin3 }}}}b}"), "ab"},
        {"source line breaks are not text", "{\\rtf1 one\r\ntwo}", "onetwo"},
        {"hex escapes in the document's Cyrillic code page",
         R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fnil\fcharset204 Calibri;}}\f0 \'cf\'f0\'e8\'e2\'e5\'f2\par})",
         QString::fromUtf8("Привет\n")},
        {"a double-byte character is two escapes", R"({\rtf1\ansi\ansicpg932 \'93\'8c\'8b\'9e\par})",
         QString::fromUtf8("東京\n")},
        {"a lone lead byte does not take the next run's byte", R"({\rtf1\ansicpg932 \'93{x}\'8b\'9e})",
         QString::fromUtf8("x京")},
        {"a hyphen after a control word is text", R"({\rtf1 a\b-b\b0 -1})", "a-b-1"},
    };
    for (const Case &c : cases) {
        QString error;
        const auto text = rtfToPlainText(c.rtf, &error);
        ASSERT_TRUE(text) << c.why << ": " << error.toStdString();
        EXPECT_EQ(*text, c.text) << c.why;
    }
    for (const QByteArray &bad : {QByteArray("plain text"), QByteArray("{\\rtf1 open {group}"),
                                  QByteArray("{\\rtf1\\ansicpg77777 caf\\'e9}")}) {
        QString error;
        EXPECT_FALSE(rtfToPlainText(bad, &error)) << bad.constData();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(TextDecoding, ReadsUnicodeAndRefusesWhatItCannotTell)
{
    const QString text = QString::fromUtf8("Zoë, 東京");
    auto utf16 = [&](QStringConverter::Encoding e, bool bom) {
        QStringEncoder encoder(e, bom ? QStringEncoder::Flag::WriteBom : QStringEncoder::Flag::Default);
        return QByteArray(encoder.encode(text));
    };
    EXPECT_EQ(decodeText(text.toUtf8()), text);
    EXPECT_EQ(decodeText("\xEF\xBB\xBF" + text.toUtf8()), text) << "UTF-8 mark dropped";
    EXPECT_EQ(decodeText(utf16(QStringConverter::Utf16LE, true)), text);
    EXPECT_EQ(decodeText(utf16(QStringConverter::Utf16BE, true)), text);
    EXPECT_EQ(decodeText(QByteArray("P\0l\0a\0i\0n\0", 10)), QStringLiteral("Plain")) << "UTF-16 without a mark";
    EXPECT_EQ(decodeText(QByteArray()), QString());
    // Latin-1 "Zoë" and a binary file: refused, never mojibake.
    for (const QByteArray &bytes : {QByteArray("Zo\xEB\n"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)}) {
        QString error;
        EXPECT_FALSE(decodeText(bytes, &error));
        EXPECT_EQ(error, unsupportedEncodingMessage());
    }
}

TEST(TextImport, ValuesOfTextCsvAndRtfFiles)
{
    struct Case {
        const char *why;
        QByteArray bytes;
        TextFormat format;
        QStringList values;
    } cases[] = {
        {"CSV over CR LF", "a,b\r\nc,d\r\n", TextFormat::Csv, {"a", "b", "c", "d"}},
        {"CSV of one column", "x\ny\n", TextFormat::Csv, {"x", "y"}},
        {"CSV, LF only", "a,b\nc,d", TextFormat::Csv, {"a", "b", "c", "d"}},
        {"CSV, a quoted break", "\"b\nc\",d", TextFormat::Csv, {"b\nc", "d"}},
        {"CSV, empty fields skipped", "a,,b\n,\n", TextFormat::Csv, {"a", "b"}},
        {"text cleaned", "x{y}\\z\n\n  w  \r\n", TextFormat::Plain, {"xyz", "w"}},
        {"text with BOM", "\xEF\xBB\xBFone\r\ntwo", TextFormat::Plain, {"one", "two"}},
        {"text, old Mac line ends", "a\rb\r\r c\r", TextFormat::Plain, {"a", "b", "c"}},
        {"text lines after a font-like line kept", "a\nNSFont = x\nb", TextFormat::Plain, {"a", "NSFont = x", "b"}},
        {"RTF keeps braces it shows", "{\\rtf1 \\{1\\}\\par two}", TextFormat::Rtf, {"{1}", "two"}},
    };
    for (const Case &c : cases) {
        QString message;
        const auto values = textFileValues(c.bytes, c.format, &message);
        ASSERT_TRUE(values) << c.why << ": " << message.toStdString();
        EXPECT_EQ(*values, c.values) << c.why;
    }
    for (const auto &[bytes, format] : {std::pair{QByteArray(" \r\n"), TextFormat::Plain},
                                        std::pair{QByteArray("no rtf"), TextFormat::Rtf}}) {
        QString message;
        EXPECT_FALSE(textFileValues(bytes, format, &message));
        EXPECT_EQ(message, "Either file is corrupted or selected file contains invalid characters.");
    }
    EXPECT_EQ(textFormatForPath("/x/a.RtF"), TextFormat::Rtf);
    EXPECT_EQ(textFormatForPath("/x/a.csv"), TextFormat::Csv);
    EXPECT_EQ(textFormatForPath("/x/a.text"), TextFormat::Plain);
}

TEST(TextImport, LibreOfficeFilesGiveTheValuesShown)
{
    // The same list written by LibreOffice in four ways (make_fixtures.sh):
    // Calc's CSV and Writer's RTF and UTF-8 text with a byte-order mark.
    const QStringList shown = {"Zoë Ångström", "O'Brien, Pat", "Line \"quoted\"", "東京", "€ 12.50", "007"};
    const struct {
        const char *file;
        QStringList values;
    } files[] = {
        {"names.csv", shown},
        {"names_bom.txt", shown},
        {"names.rtf", shown},
    };
    for (const auto &f : files) {
        const QByteArray bytes = readTestFile(fixture(f.file));
        ASSERT_NE(bytes, "<missing>") << f.file;
        QString message;
        const auto values = textFileValues(bytes, textFormatForPath(f.file), &message);
        ASSERT_TRUE(values) << f.file << ": " << message.toStdString();
        EXPECT_EQ(*values, f.values) << f.file;
    }
}

TEST(TextImport, PastedTextAndImageFolders)
{
    const QString pasted = "a  \n\n b";
    EXPECT_EQ(pastedTextValues(pasted, true), QStringList({"a  ", " b"}));
    EXPECT_EQ(pastedTextValues(pasted, false), QStringList({"a  ", "", " b"}));
    EXPECT_EQ(pastedTextValues("x\r\ny\r\n", true), QStringList({"x", "y"}));
    // Lines from an old Mac program, alone or mixed with the others.
    EXPECT_EQ(pastedTextValues("x\ry\r\rz\r\nw", true), QStringList({"x", "y", "z", "w"}));
    EXPECT_EQ(pastedTextValues("x\r\ry", false), QStringList({"x", "", "y"}));
    QString message;
    EXPECT_FALSE(pastedTextValues(" \n\t", true, &message));
    EXPECT_EQ(message, "Please enter some data.");

    TempFolder folder;
    writeTestFile(folder.file("b.JPG"), "x");
    writeTestFile(folder.file("a.tiff"), "x");
    writeTestFile(folder.file("c.txt"), "x");
    writeTestFile(folder.file("d.png/inner.png"), "x"); // a folder named like an image
    EXPECT_EQ(imageFolderValues(folder.path()), QStringList({folder.file("a.tiff"), folder.file("b.JPG")}));
    EXPECT_TRUE(imageFolderValues(folder.file("none")).isEmpty());
}
