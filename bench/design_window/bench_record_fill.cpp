// A batch run as the outputs make it: every record filled into a CR80 card
// with a bound text, a bound photo and a bound Code 128 (besides a gradient
// background, a logo and a title that stay), and the card rendered at
// 300 dpi. Reported per record, with the peak memory of the run and the
// memory held after 1,000 records and at the end, which must not grow with
// the number of records. Once over layers drawn once per run (what a run
// that wants pixels uses), once through the resolution-independent picture.

#include "bench/BenchSupport.h"
#include "bench/CameraPicture.h"
#include "barcodes/designer/BarcodeEngine.h"
#include "design_window/RecordFill.h"
#include "drawing/DrawingHost.h"
#include "drawing/TVNDocument.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

namespace {

constexpr double kDpi = 300;
constexpr int kPhotos = 8;

double residentMiB(const char *field)
{
    const long kib = bench::statusKiB(field);
    return kib < 0 ? -1 : kib / 1024.0;
}

class Batch {
public:
    // With `hugeFirst`, record 1's name is 10 MB of words and its code 10 MB
    // of digits: a whole file bound by mistake.
    explicit Batch(int records, bool hugeFirst = false)
    {
        QStringList names, photos, codes;
        for (int p = 0; p < kPhotos; ++p) {
            QImage photo(600, 800, QImage::Format_RGB32);
            QPainter painter(&photo);
            QLinearGradient shade(0, 0, 600, 800);
            shade.setColorAt(0, QColor::fromHsv(p * 45, 160, 230));
            shade.setColorAt(1, QColor::fromHsv(p * 45, 220, 90));
            painter.fillRect(photo.rect(), shade);
            painter.setBrush(QColor(240, 210, 190));
            painter.drawEllipse(QRect(180, 160, 240, 300));
            painter.end();
            photo.save(m_dir.filePath(QStringLiteral("photo%1.jpg").arg(p)), "JPG", 85);
        }
        for (int n = 0; n < records; ++n) {
            names.append(QStringLiteral("Visitor %1 Example-Name").arg(n + 1));
            photos.append(m_dir.filePath(QStringLiteral("photo%1.jpg").arg(n % kPhotos)));
            codes.append(QStringLiteral("QV-%1").arg(n + 1, 6, 10, QLatin1Char('0')));
        }
        if (hugeFirst && records > 0) {
            QString words;
            while (words.size() < 10 * 1024 * 1024)
                words += QStringLiteral("Kierkegard ");
            names[0] = words.trimmed();
            codes[0] = QString(10 * 1024 * 1024, QLatin1Char('7'));
        }
        const batch_data::SeriesStore store(m_dir.filePath(QStringLiteral("DataSet")));
        store.writeSeries(QStringLiteral("Names"), names);
        store.writeSeries(QStringLiteral("Photos"), photos);
        store.writeSeries(QStringLiteral("Codes"), codes);
        m_lastName = names.last();

        auto add = [this](GraphicClass cls, QRectF bounds, const QString &series) {
            GraphicPtr g = newGraphicOfClass(cls);
            g->setBounds(bounds);
            if (!series.isEmpty()) {
                g->Set_Data_source_type(batch_data::kSeriesValue);
                g->Set_Batch_List_Name(series);
            }
            m_doc.graphics.push_back(g);
            return g;
        };
        auto &title = static_cast<TVNText &>(*add(GraphicClass::Text, {90, 8, 145, 22}, {}));
        title.setTextFont(QFont(QStringLiteral("Liberation Serif"), 13, QFont::Bold));
        title.setContentsString(QStringLiteral("Quorvant Day"));
        m_name = std::static_pointer_cast<TVNText>(add(GraphicClass::Text, {90, 40, 145, 40}, QStringLiteral("Names")));
        m_name->setTextFont(QFont(QStringLiteral("Liberation Sans"), 13));
        add(GraphicClass::Image, {10, 10, 70, 92}, QStringLiteral("Photos"));
        GraphicPtr code = add(GraphicClass::Barcode, {90, 95, 145, 45}, QStringLiteral("Codes"));
        code->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QStringLiteral("Code 128")));
        code->show_hide_hdr = 1;
        code->show_hide_ftr = 1;
        static_cast<TVNImage &>(*add(GraphicClass::Image, {10, 110, 70, 35}, {}))
            .setFilePath(m_dir.filePath(QStringLiteral("photo0.jpg")), {});

        m_fill = std::make_unique<design_window::RecordFill>(design_window::RecordFill::Design{
            [this](int side) -> GraphicList & { return side ? m_doc.graphics_back : m_doc.graphics; },
            [](int side) {
                return drawing::CardFace{drawing::kCR80SizePt, side, drawing::kShapeRounded,
                                         [](QPainter &p, const QRectF &card, int) {
                                             QLinearGradient fade(card.topLeft(), card.bottomRight());
                                             fade.setColorAt(0, QColor(235, 242, 255));
                                             fade.setColorAt(1, QColor(180, 200, 240));
                                             p.fillRect(card, fade);
                                         }};
            },
            [](const QString &) {}, [store] { return store; }, [] { return batch_data::ListData(); },
            [] { return false; }, [](int) { return platform::Image(); }});
        m_counts = m_fill->check();
    }

    int records() const { return m_counts.total; }
    // Record n of the front as the output receives it, as pixels.
    QImage card(int n) const
    {
        const platform::Image image = m_fill->Set_data_table_value_to_card(n, QStringLiteral("F"), m_counts.use);
        return image.isVector() ? image.toBitmap(kDpi) : image.bitmap();
    }
    design_window::RecordFill &fill() { return *m_fill; }
    bool endsOnTheLastRecord() const { return m_name->contentsString() == m_lastName; }

private:
    QTemporaryDir m_dir;
    TVNDocument m_doc;
    std::shared_ptr<TVNText> m_name;
    QString m_lastName;
    std::unique_ptr<design_window::RecordFill> m_fill;
    batch_data::RecordCounts m_counts;
};

void runBatch(benchmark::State &state, double resolution)
{
    const int records = int(state.range(0));
    Batch batch(records);
    batch.fill().setResolution(resolution);
    if (batch.records() != records) {
        state.SkipWithError("the series were not read back");
        return;
    }
    double atThousand = -1;
    QSize size;
    for (auto _ : state) {
        bench::resetPeakMemory();
        for (int n = 0; n < records; ++n) {
            const QImage card = batch.card(n);
            benchmark::DoNotOptimize(card.constBits());
            size = card.size();
            if (n + 1 == 1000)
                atThousand = residentMiB("VmRSS:");
        }
    }
    // CR80 at 300 dpi: 1011 x 639 pixels.
    if (size != QSize(1011, 639) || !batch.endsOnTheLastRecord()) {
        state.SkipWithError("the cards were not filled and rendered");
        return;
    }
    state.counters["per_record"] =
        benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_MB"] = residentMiB("VmHWM:");
    if (atThousand >= 0)
        state.counters["rss_at_1000_MB"] = atThousand;
    state.counters["rss_at_end_MB"] = residentMiB("VmRSS:");
}

void BM_FillAndRenderOverLayers(benchmark::State &state)
{
    runBatch(state, kDpi);
}
BENCHMARK(BM_FillAndRenderOverLayers)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond);

void BM_FillAndRenderPicture(benchmark::State &state)
{
    runBatch(state, 0);
}
// Every picture goes through each recording: 200 records show the cost.
BENCHMARK(BM_FillAndRenderPicture)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond);

// The card of a record of megabytes beside that of an ordinary one: the
// text is laid out only as far as its box shows and the code is refused
// before it is encoded, so both cost about the same.
void runOneRecord(benchmark::State &state, bool huge)
{
    Batch batch(2, huge);
    batch.fill().setResolution(kDpi);
    QSize size;
    for (auto _ : state) {
        const QImage card = batch.card(0);
        benchmark::DoNotOptimize(card.constBits());
        size = card.size();
        batch.fill().takeProblems();
    }
    if (size != QSize(1011, 639)) {
        state.SkipWithError("the card was not filled and rendered");
        return;
    }
}

void BM_FillARecordOfTenMegabytes(benchmark::State &state)
{
    runOneRecord(state, true);
}
BENCHMARK(BM_FillARecordOfTenMegabytes)->Unit(benchmark::kMillisecond);

void BM_FillAnOrdinaryRecord(benchmark::State &state)
{
    runOneRecord(state, false);
}
BENCHMARK(BM_FillAnOrdinaryRecord)->Unit(benchmark::kMillisecond);

// A 12-megapixel camera photo (as Qt writes it at quality 90) with 256
// bytes scrambled a third into its compressed data. Without restart markers
// the decoder notices only where the scan ends: each read is a whole decode.
QByteArray damagedCameraPhoto()
{
    const QImage photo = bench::cameraPicture();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPG", 90);
    const qsizetype scan = jpeg.indexOf("\xff\xda");
    const qsizetype data = scan + 2 + ((uchar(jpeg[scan + 2]) << 8) | uchar(jpeg[scan + 3]));
    quint32 state = 12345;
    for (qsizetype i = data + (jpeg.size() - data) / 3, end = i + 256; i < end; ++i) {
        state = state * 1103515245 + 12345;
        jpeg[i] = char((state >> 16) % 0xFF);
    }
    return jpeg;
}

// 60 records whose bound photo is that damaged 12-megapixel photo, each
// card rendered at 300 dpi and its photo named with the reason of the one
// read that refused it.
void BM_FillRecordsBoundToADamagedPhoto(benchmark::State &state)
{
    constexpr int kRecords = 60;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("camera.jpg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(damagedCameraPhoto()) <= 0) {
        state.SkipWithError("the photo was not written");
        return;
    }
    file.close();
    const batch_data::SeriesStore store(dir.filePath(QStringLiteral("DataSet")));
    store.writeSeries(QStringLiteral("Photos"), QStringList(kRecords, path));
    TVNDocument doc;
    GraphicPtr photo = newGraphicOfClass(GraphicClass::Image);
    photo->setBounds({10, 10, 70, 92});
    photo->Set_Data_source_type(batch_data::kSeriesValue);
    photo->Set_Batch_List_Name(QStringLiteral("Photos"));
    doc.graphics.push_back(photo);
    design_window::RecordFill fill(design_window::RecordFill::Design{
        [&doc](int side) -> GraphicList & { return side ? doc.graphics_back : doc.graphics; },
        [](int side) {
            return drawing::CardFace{drawing::kCR80SizePt, side, drawing::kShapeRounded,
                                     [](QPainter &p, const QRectF &card, int) { p.fillRect(card, Qt::white); }};
        },
        [](const QString &) {}, [store] { return store; }, [] { return batch_data::ListData(); },
        [] { return false; }, [](int) { return platform::Image(); }});
    const batch_data::RecordCounts counts = fill.check();
    fill.setResolution(kDpi);
    (void)fill.takeProblems();
    const QString named = QStringLiteral("could not be read: the picture's data is corrupt.");
    int refused = 0;
    for (auto _ : state) {
        for (int n = 0; n < counts.total; ++n) {
            const platform::Image card = fill.Set_data_table_value_to_card(n, QStringLiteral("F"), counts.use);
            benchmark::DoNotOptimize(card.bitmap().constBits());
            const std::vector<output::CardProblem> problems = fill.takeProblems();
            refused += problems.size() == 1 && problems.front().reason.endsWith(named);
        }
    }
    if (counts.total != kRecords || refused != kRecords * int(state.iterations())) {
        state.SkipWithError("the photo was not refused with its reason on every record");
        return;
    }
    state.counters["per_record"] =
        benchmark::Counter(double(kRecords), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FillRecordsBoundToADamagedPhoto)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runUnder<QGuiApplication>(argc, argv);
}
