// Reading a large worksheet, our reader against a minimal one, at 100,000
// and 1,000,000 rows of 6 columns (two unique texts, a repeated text, a
// whole number, a date and a decimal per row).
//
// The floor is a minimal reader: minizip streams the shared-string and
// worksheet parts straight out of the archive into a streaming XML reader
// and keeps each cell's raw text (no styles, no formatting, no temporary
// folder). BM_MinimalQtRead streams through QXmlStreamReader,
// BM_MinimalScanRead through the program's own XmlScanner.
// BM_WorkbookRead is the program's path: open the workbook, read the
// header, read every row as display text.
//
// Each also reports "peak_MiB": the growth of resident memory while one
// read runs, measured in a child process so that neither the workbook's
// generation nor the other readers count.

#include "bench/BenchSupport.h"
#include "batch_data/spreadsheet/SpreadsheetWriter.h"
#include "batch_data/spreadsheet/WorksheetStream.h"
#include "batch_data/spreadsheet/XmlScanner.h"
#include "batch_data/zip/ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

#include <malloc.h>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>

namespace {

constexpr int kColumns = 6;

bool writeText(const QString &path, const QByteArray &text)
{
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Writes the workbook's parts into a folder and packs them; the sheet and
// the string table are written in chunks, so generation stays small too.
QString makeWorkbook(const QString &folder, int rows)
{
    const QString parts = folder + QStringLiteral("/parts");
    const QByteArray main = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    bool ok = writeText(parts + "/[Content_Types].xml",
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/"
                        "package/2006/content-types\"><Default Extension=\"rels\" ContentType=\"application/"
                        "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
                        "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
                        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                        "</Types>")
        && writeText(parts + "/_rels/.rels",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats."
                     "org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + rel
                         + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>")
        && writeText(parts + "/xl/workbook.xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook " + main + " xmlns:r=\"" + rel
                         + "\"><sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>")
        && writeText(parts + "/xl/_rels/workbook.xml.rels",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats."
                     "org/package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + rel
                         + "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + rel
                         + "/styles\" Target=\"styles.xml\"/><Relationship Id=\"rId3\" Type=\"" + rel
                         + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>")
        && writeText(parts + "/xl/styles.xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><styleSheet " + main
                         + "><cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>");
    if (!ok)
        return {};

    QDir().mkpath(parts + "/xl/worksheets");
    QFile strings(parts + "/xl/sharedStrings.xml");
    QFile sheet(parts + "/xl/worksheets/sheet1.xml");
    if (!strings.open(QIODevice::WriteOnly) || !sheet.open(QIODevice::WriteOnly))
        return {};
    constexpr int kDepartments = 20;
    strings.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst " + main + ">");
    for (int d = 0; d < kDepartments; ++d)
        strings.write("<si><t>Department " + QByteArray::number(d) + "</t></si>");
    sheet.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet " + main + "><dimension ref=\"A1:F"
                + QByteArray::number(rows) + "\"/><sheetData>");
    QByteArray s;
    QByteArray x;
    for (int r = 1; r <= rows; ++r) {
        const QByteArray n = QByteArray::number(r);
        const int name = kDepartments + 2 * (r - 1);
        s += "<si><t>Person " + n + "</t></si><si><t>photos/" + n + ".jpg</t></si>";
        x += "<row r=\"" + n + "\"><c r=\"A" + n + "\" t=\"s\"><v>" + QByteArray::number(name) + "</v></c><c r=\"B"
            + n + "\" t=\"s\"><v>" + QByteArray::number(r % kDepartments) + "</v></c><c r=\"C" + n + "\"><v>"
            + QByteArray::number(100000 + r) + "</v></c><c r=\"D" + n + "\" s=\"1\"><v>"
            + QByteArray::number(30000 + r % 20000) + "</v></c><c r=\"E" + n + "\"><v>"
            + QByteArray::number(r % 1000) + ".25</v></c><c r=\"F" + n + "\" t=\"s\"><v>"
            + QByteArray::number(name + 1) + "</v></c></row>";
        if (x.size() > (1 << 20)) {
            strings.write(s);
            sheet.write(x);
            s.clear();
            x.clear();
        }
    }
    strings.write(s + "</sst>");
    sheet.write(x + "</sheetData></worksheet>");
    strings.close();
    sheet.close();

    const QString path = folder + QStringLiteral("/large.xlsx");
    QStringList top;
    for (const QString &entry : QDir(parts).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        top.append(parts + u'/' + entry);
    if (!ZipArchive::createZipFileAtPath(path, top))
        return {};
    QDir(parts).removeRecursively();
    return path;
}

const QString &workbookPath(int rows)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quorvant-bench-XXXXXX"));
    static std::map<int, QString> paths;
    auto it = paths.find(rows);
    if (it == paths.end()) {
        const QString folder = dir.filePath(QString::number(rows));
        it = paths.emplace(rows, makeWorkbook(folder, rows)).first;
    }
    return it->second;
}

// ---------------------------------------------------------------------------
// The minimal reader.

struct UnzCloser {
    void operator()(void *handle) const { unzClose(handle); }
};

// Feeds one entry of the archive through `handle` as a stream of tokens.
bool streamEntry(unzFile zip, const char *name, const std::function<void(QXmlStreamReader &)> &handle)
{
    if (unzLocateFile(zip, name, 0) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    QXmlStreamReader xml;
    std::vector<char> buffer(1 << 16);
    bool ok = true;
    for (;;) {
        const int n = unzReadCurrentFile(zip, buffer.data(), unsigned(buffer.size()));
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        xml.addData(QByteArray::fromRawData(buffer.data(), n));
        handle(xml);
        if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
            ok = false;
            break;
        }
    }
    unzCloseCurrentFile(zip);
    return ok;
}

int columnOf(QStringView ref)
{
    int n = 0;
    for (const QChar c : ref) {
        if (c < u'A' || c > u'Z')
            break;
        n = n * 26 + (c.unicode() - u'A' + 1);
    }
    return n - 1;
}

SpreadsheetWriter::Rows minimalQtRead(const QString &path)
{
    std::unique_ptr<void, UnzCloser> zip(unzOpen64(path.toUtf8().constData()));
    SpreadsheetWriter::Rows rows;
    if (!zip)
        return rows;
    QStringList strings;
    QString text;
    bool inText = false;
    streamEntry(zip.get(), "xl/sharedStrings.xml", [&](QXmlStreamReader &xml) {
        while (!xml.atEnd()) {
            switch (xml.readNext()) {
            case QXmlStreamReader::StartElement:
                if (xml.name() == u"si")
                    text.clear();
                inText = xml.name() == u"t";
                break;
            case QXmlStreamReader::Characters:
                if (inText)
                    text += xml.text();
                break;
            case QXmlStreamReader::EndElement:
                if (xml.name() == u"si")
                    strings.append(text);
                inText = false;
                break;
            default:
                if (xml.hasError())
                    return;
            }
        }
    });

    QStringList row;
    QString value;
    int column = 0;
    bool shared = false;
    bool inValue = false;
    streamEntry(zip.get(), "xl/worksheets/sheet1.xml", [&](QXmlStreamReader &xml) {
        while (!xml.atEnd()) {
            switch (xml.readNext()) {
            case QXmlStreamReader::StartElement:
                if (xml.name() == u"c") {
                    const QXmlStreamAttributes a = xml.attributes();
                    column = columnOf(a.value(QLatin1StringView("r")));
                    shared = a.value(QLatin1StringView("t")) == u"s";
                    value.clear();
                } else if (xml.name() == u"v") {
                    inValue = true;
                } else if (xml.name() == u"row") {
                    row = QStringList();
                }
                break;
            case QXmlStreamReader::Characters:
                if (inValue)
                    value += xml.text();
                break;
            case QXmlStreamReader::EndElement:
                if (xml.name() == u"v") {
                    inValue = false;
                } else if (xml.name() == u"c" && column >= 0) {
                    if (row.size() <= column)
                        row.resize(column + 1);
                    row[column] = shared ? strings.value(value.toInt()) : value;
                } else if (xml.name() == u"row") {
                    rows.append(row);
                }
                break;
            default:
                if (xml.hasError())
                    return;
            }
        }
    });
    return rows;
}

// The same with XmlScanner pulling the entry's bytes from minizip.
bool scanEntry(unzFile zip, const char *name, const std::function<bool(batch_data::XmlScanner &)> &handle)
{
    if (unzLocateFile(zip, name, 0) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    batch_data::XmlScanner xml([zip](char *buffer, qint64 size) {
        return qint64(unzReadCurrentFile(zip, buffer, unsigned(size)));
    });
    const bool ok = handle(xml);
    unzCloseCurrentFile(zip);
    return ok;
}

SpreadsheetWriter::Rows minimalScanRead(const QString &path)
{
    using Token = batch_data::XmlScanner::Token;
    std::unique_ptr<void, UnzCloser> zip(unzOpen64(path.toUtf8().constData()));
    SpreadsheetWriter::Rows rows;
    if (!zip)
        return rows;
    QStringList strings;
    std::string text;
    scanEntry(zip.get(), "xl/sharedStrings.xml", [&](batch_data::XmlScanner &xml) {
        for (Token t = xml.next(); t != Token::EndOfDocument; t = xml.next()) {
            if (t == Token::Error)
                return false;
            if (t == Token::StartElement && xml.isNamed("t")) {
                text.clear();
                if (!xml.appendElementText(text))
                    return false;
                strings.append(QString::fromUtf8(text.data(), qsizetype(text.size())));
            }
        }
        return true;
    });

    QStringList row;
    int column = 0;
    bool shared = false;
    scanEntry(zip.get(), "xl/worksheets/sheet1.xml", [&](batch_data::XmlScanner &xml) {
        for (Token t = xml.next(); t != Token::EndOfDocument; t = xml.next()) {
            if (t == Token::Error)
                return false;
            if (t == Token::StartElement) {
                if (xml.isNamed("c")) {
                    column = batch_data::columnOfReference(xml.attribute("r"));
                    shared = xml.attribute("t") == "s";
                } else if (xml.isNamed("v") && column >= 0) {
                    text.clear();
                    if (!xml.appendElementText(text))
                        return false;
                    if (row.size() <= column)
                        row.resize(column + 1);
                    row[column] = shared ? strings.value(std::atoi(text.c_str()))
                                         : QString::fromUtf8(text.data(), qsizetype(text.size()));
                } else if (xml.isNamed("row")) {
                    row = QStringList();
                }
            } else if (t == Token::EndElement && xml.isNamed("row")) {
                rows.append(row);
            }
        }
        return true;
    });
    return rows;
}

// ---------------------------------------------------------------------------
// Our reader.

SpreadsheetWriter::Rows workbookRead(const QString &path)
{
    SpreadsheetWriter::ReadWorkbook(path, true);
    batch_data::Excel_Sheet_Number = 1;
    SpreadsheetWriter::ReadData_only_column();
    return SpreadsheetWriter::ReadWorkbook(QString(), false);
}

// ---------------------------------------------------------------------------

// The growth of resident memory while `reader` runs once, in a child
// process whose high-water mark starts at what it holds; negative when the
// child failed.
double peakGrowthMiB(const std::function<bool()> &reader)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeEnds[0]);
        malloc_trim(0);
        const bool reset = bench::resetPeakMemory();
        const long before = bench::statusKiB("VmRSS:");
        const bool ok = reader();
        const long peak = bench::statusKiB("VmHWM:");
        const long grown = ok && reset && before >= 0 && peak >= 0 ? peak - before : -1;
        if (write(pipeEnds[1], &grown, sizeof grown) != sizeof grown)
            _exit(2);
        _exit(0);
    }
    close(pipeEnds[1]);
    long grown = -1;
    if (pid < 0 || read(pipeEnds[0], &grown, sizeof grown) != sizeof grown)
        grown = -1;
    close(pipeEnds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return grown < 0 ? -1 : grown / 1024.0;
}

bool rightShape(const SpreadsheetWriter::Rows &rows, int expected)
{
    return rows.size() == expected && rows.last().size() == kColumns;
}

void runRead(benchmark::State &state, SpreadsheetWriter::Rows (*reader)(const QString &))
{
    const int rows = int(state.range(0));
    const QString path = workbookPath(rows);
    if (path.isEmpty()) {
        state.SkipWithError("the workbook could not be written");
        return;
    }
    for (auto _ : state) {
        const SpreadsheetWriter::Rows read = reader(path);
        if (!rightShape(read, rows)) {
            state.SkipWithError("wrong shape read back");
            return;
        }
        benchmark::DoNotOptimize(read.data());
    }
    state.SetItemsProcessed(state.iterations() * rows * kColumns);
    // Nothing of the timed reads stays behind to be reused by the measured one.
    SpreadsheetWriter::Delete_Work_Folder();
    SpreadsheetWriter::instance().setData({});
    SpreadsheetWriter::instance().setSharedStrings({});
    state.counters["peak_MiB"] = peakGrowthMiB([&] {
        const bool ok = rightShape(reader(path), rows);
        SpreadsheetWriter::Delete_Work_Folder();   // the child ends without destructors
        return ok;
    });
}

void BM_MinimalQtRead(benchmark::State &state)
{
    runRead(state, minimalQtRead);
}

void BM_MinimalScanRead(benchmark::State &state)
{
    runRead(state, minimalScanRead);
}

void BM_WorkbookRead(benchmark::State &state)
{
    runRead(state, workbookRead);
}

// Side by side at each size.
BENCHMARK(BM_MinimalQtRead)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MinimalScanRead)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WorkbookRead)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MinimalQtRead)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MinimalScanRead)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WorkbookRead)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
