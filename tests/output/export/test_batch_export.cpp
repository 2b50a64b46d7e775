// The batch pipeline driven by cards of a fake design: records encoded on
// several threads land in their own files, a record that cannot be made is
// left out and listed, the first failed write ends the run, and the Stop
// question holds the run. (The Export command's tests run it on a real
// design.)
#include "barcodes/designer/Barcode_Gen.h"
#include "barcodes/render/BarcodeImage.h"
#include "barcodes/render/BarcodeLayout.h"
#include "barcodes/symbologies/SymCode128.h"
#include "output/export/BatchExport.h"
#include "platform/MainThread.h"
#include "tests/output/CardFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QSet>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using namespace quorvant::test;

namespace {

// Record n's side shows the symbol "F-0001" (side letter, n + 1).
QString valueOf(int n, const QString &side)
{
    return QStringLiteral("%1-%2").arg(side).arg(n + 1, 4, 10, QLatin1Char('0'));
}

// A card of 240 x 150 pt: white, with a Code 128 symbol of `value`.
platform::Image fixtureCard(const QString &value)
{
    const barcodes::Barcode_Gen settings;
    auto symbol = barcodes::SymCode128Barcode::create(value.toStdString(), barcodes::SymCode128Barcode::CodeSetAuto);
    const barcodes::BarcodeLayout layout = barcodes::layoutLinear(settings, *symbol, 1);
    barcodes::applyLayout(*symbol, layout);
    const platform::Image code = barcodes::imageFromBarcode(*symbol, layout.style);
    return platform::Image::record(QSizeF(240, 150), [&](QPainter &p) {
        p.fillRect(QRectF(0, 0, 240, 150), Qt::white);
        code.draw(p, QRectF(10, 10, 220, 75));
    });
}

class FakeRecords : public output::CardRecords {
public:
    platform::Image cardImage(int n, const QString &side) override
    {
        offMainThread |= !platform::isMainThread();
        calls.append(QStringLiteral("%1%2").arg(side).arg(n));
        if (onFill)
            onFill(n, side);
        if (undrawable.contains(n))
            return {};
        if (withoutBarcode.contains(n))
            pending.push_back({output::CardProblem::Kind::Barcode, QStringLiteral("\"%1\": refused").arg(n)});
        return fixtureCard(valueOf(n, side));
    }
    std::vector<output::CardProblem> takeProblems() override
    {
        std::vector<output::CardProblem> out;
        out.swap(pending);
        return out;
    }
    std::function<void(int, const QString &)> onFill;
    QSet<int> undrawable;
    QSet<int> withoutBarcode;
    std::vector<output::CardProblem> pending;
    QStringList calls;
    bool offMainThread = false;
};

class BatchExportTest : public ::testing::Test {
protected:
    TempFolder tmp;
    FakeRecords records;
    output::RunState state;
    output::BatchExportSettings settings;

    void SetUp() override
    {
        settings.folder = tmp.path();
        settings.options.format = QStringLiteral("PNG");
        settings.options.dpi = 144;
        settings.encoders = 3;
    }
    output::BatchExportResult run()
    {
        output::BatchExportResult result;
        runOnWorker([&] { result = output::runBatchExport(settings, records, state); });
        EXPECT_FALSE(records.offMainThread) << "a record was filled off the main thread";
        return result;
    }
    QStringList files() const { return QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QImage file(const QString &name) const { return QImage(tmp.file(name)); }
};

QStringList cardFiles(int count, const QString &ext, bool backs)
{
    QStringList names;
    for (int i = 1; i <= count; ++i) {
        names << QStringLiteral("Card_%1.%2").arg(i).arg(ext);
        if (backs)
            names << QStringLiteral("Card_%1_Back.%2").arg(i).arg(ext);
    }
    names.sort();
    return names;
}

TEST_F(BatchExportTest, BothSidesOfEveryRecordAreWrittenAndEverySymbolReads)
{
    settings.count = 12;
    settings.options.sides = QStringLiteral("BOTH");
    const output::BatchExportResult result = run();
    EXPECT_TRUE(result.ok());
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.records, 12);
    EXPECT_EQ(result.files, 24);
    EXPECT_EQ(state.curr_barcode_count, 12);
    EXPECT_EQ(files(), cardFiles(12, "PNG", true));
    // Back then front, record after record.
    EXPECT_EQ(records.calls.mid(0, 4), (QStringList{"B0", "F0", "B1", "F1"}));
    for (int n = 0; n < 12; ++n) {
        const QImage front = file(QStringLiteral("Card_%1.PNG").arg(n + 1));
        const QImage back = file(QStringLiteral("Card_%1_Back.PNG").arg(n + 1));
        // 240 x 150 pt at 144 dpi.
        EXPECT_EQ(front.size(), QSize(480, 300));
        EXPECT_EQ(decodedValue(front), valueOf(n, "F").toStdString()) << n;
        EXPECT_EQ(decodedValue(back), valueOf(n, "B").toStdString()) << n;
    }
}

TEST_F(BatchExportTest, TheCountMovesAsEachRecordsFilesAreOnDisk)
{
    // One encoder: when the count moves to k, the files of exactly k records
    // are in the folder, and the count is told each time.
    settings.count = 5;
    settings.encoders = 1;
    settings.options.sides = QStringLiteral("BOTH");
    QStringList seen;
    state.onAdvance = [&] { seen << QStringLiteral("%1: %2").arg(state.curr_barcode_count).arg(files().size()); };
    EXPECT_TRUE(run().ok());
    EXPECT_EQ(seen, (QStringList{"1: 2", "2: 4", "3: 6", "4: 8", "5: 10"}));
}

TEST_F(BatchExportTest, AFailedWriteEndsTheRunAndNamesItsFile)
{
    // One encoder, so that what is in flight when the write fails is known:
    // the record queued behind it and the one being filled.
    settings.count = 40;
    settings.encoders = 1;
    QDir().mkpath(tmp.file("Card_3.PNG"));
    const output::BatchExportResult result = run();
    EXPECT_EQ(result.failedPath, tmp.file("Card_3.PNG"));
    EXPECT_FALSE(result.reason.isEmpty());
    EXPECT_LE(records.calls.size(), 5);
    // Every record before it is written, none after it, and no temporary
    // file is left behind.
    EXPECT_EQ(files(), (QStringList{"Card_1.PNG", "Card_2.PNG"}));
}

TEST_F(BatchExportTest, ARecordThatCannotBeMadeIsLeftOutListedAndTheRunGoesOn)
{
    // Record 2 throws while it is filled, record 4 gives no picture, record
    // 5 is made without its barcode: the others are all written.
    settings.count = 6;
    records.onFill = [](int n, const QString &) {
        if (n == 1)
            throw std::runtime_error("The series has no line 2.");
    };
    records.undrawable = {3};
    records.withoutBarcode = {4};
    // A record left out is finished too: the count goes up by one for each
    // record, whichever thread ends it, and ends at the total.
    QList<double> counts;
    state.onAdvance = [&] { counts << state.curr_barcode_count; };
    const output::BatchExportResult result = run();
    EXPECT_TRUE(result.ok()) << result.reason.toStdString();
    EXPECT_EQ(result.records, 4);
    EXPECT_EQ(result.skipped, 2);
    EXPECT_EQ(counts, (QList<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(files(), (QStringList{"Card_1.PNG", "Card_3.PNG", "Card_5.PNG", "Card_6.PNG"}));
    EXPECT_EQ(state.problems.lines(), (QStringList{"record 2: The series has no line 2.",
                                                   "record 4: the card could not be drawn", "record 5: \"4\": refused"}));
}

TEST_F(BatchExportTest, NoRecordStartsWhileTheStopQuestionIsOpen)
{
    // The question opens while record 3 is filled and stays open for a
    // while; its answer is Yes.
    settings.count = 50;
    std::thread user;
    int filledWhileAsked = 0;
    records.onFill = [&](int n, const QString &) {
        if (state.asking)
            ++filledWhileAsked;
        if (n == 2 && !user.joinable()) {
            state.asking = true;
            user = std::thread([this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                state.Stop_SMS_Sending_Now = true;
                state.asking = false;
            });
        }
    };
    const output::BatchExportResult result = run();
    user.join();
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(filledWhileAsked, 0);
    // The record under way when the user asked is finished, no later one.
    EXPECT_EQ(result.records, 3);
    EXPECT_EQ(files(), (QStringList{"Card_1.PNG", "Card_2.PNG", "Card_3.PNG"}));
}

TEST(CardProblems, TheEndMessageNamesTenCardsCountsTheRestAndSaysEachReasonOnce)
{
    output::CardProblems problems;
    // Twelve cards without their barcode; card 5 also without its picture,
    // on both sides.
    for (int record = 0; record < 12; ++record)
        problems.add(record, {output::CardProblem::Kind::Barcode, QStringLiteral("\"X%1\": refused").arg(record + 1)});
    for (int side = 0; side < 2; ++side)
        problems.add(4, {output::CardProblem::Kind::Picture, QStringLiteral("no file \"a.jpg\"")});
    QStringList barcodeLines{"Cards 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 and 2 more were made without their barcode:"};
    for (int card = 1; card <= 10; ++card)
        barcodeLines << QStringLiteral("Card %1: \"X%1\": refused").arg(card);
    EXPECT_EQ(problems.message(), barcodeLines.join('\n')
                                      + "\n\nCard 5 was made without its picture:\nCard 5: no file \"a.jpg\"");
    EXPECT_EQ(output::runEndMessage("Done.", 12, 12, false, problems).section("\n\n", 0, 0), "12 of 12 cards were made.");
    EXPECT_EQ(output::runEndMessage("Done.", 12, 12, false, output::CardProblems()), "Done.");
}

} // namespace
