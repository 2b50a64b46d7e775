// export_cards_design DESIGN.zelg RECORDS
//
// Writes a two-sided CR80 design for the export benchmark: each side with a
// title, a text, a photo and a Code 128 symbol bound to Batch Processing
// Series of RECORDS lines. The series go into the user's resource folder
// (as the program keeps them), the photos (eight 600 x 800 JPEGs, taken in
// turn) into "photos" beside the design file.

#include "barcodes/designer/BarcodeEngine.h"
#include "batch_data/binding/RecordBinding.h"
#include "bench/output/ExportBench.h"
#include "design_window/Globals.h"
#include "design_window/TVNWindowController.h"
#include "drawing/TVNDocument.h"
#include "platform/Alerts.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int kPhotos = 8;

QStringList writePhotos(const QString &folder)
{
    QDir().mkpath(folder);
    QStringList paths;
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
        paths << QDir(folder).filePath(QStringLiteral("photo%1.jpg").arg(p));
        photo.save(paths.last(), "JPG", 85);
    }
    return paths;
}

GraphicPtr bound(GraphicClass cls, QRectF box, const QString &series)
{
    GraphicPtr g = newGraphicOfClass(cls);
    g->setBounds(box);
    g->Set_Data_source_type(batch_data::kSeriesValue);
    g->Set_Batch_List_Name(series);
    if (cls == GraphicClass::Barcode) {
        g->barcode_font_index = int(barcodes::barcodeTypeTitles().indexOf(QStringLiteral("Code 128")));
        g->show_hide_hdr = 1;
        g->show_hide_ftr = 1;
    }
    if (auto *text = dynamic_cast<TVNText *>(g.get()))
        text->setTextFont(QFont(QStringLiteral("Liberation Sans"), 12));
    return g;
}

GraphicList side(const QString &title, const QString &textSeries, const QString &codeSeries)
{
    auto heading = std::static_pointer_cast<TVNText>(newGraphicOfClass(GraphicClass::Text));
    heading->setBounds({90, 8, 145, 22});
    heading->setTextFont(QFont(QStringLiteral("Liberation Serif"), 13, QFont::Bold));
    heading->setContentsString(title);
    // Index 0 is drawn in front.
    return {heading, bound(GraphicClass::Text, {90, 34, 145, 40}, textSeries),
            bound(GraphicClass::Image, {10, 10, 70, 92}, QStringLiteral("Photos")),
            bound(GraphicClass::Barcode, {90, 80, 145, 62}, codeSeries)};
}

} // namespace

int main(int argc, char **argv)
{
    auto app = bench::application(argc, argv);
    if (argc != 3 || QByteArray(argv[2]).toInt() <= 0) {
        std::fprintf(stderr, "usage: export_cards_design DESIGN.zelg RECORDS\n");
        return 2;
    }
    const QString design = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int records = QByteArray(argv[2]).toInt();
    platform::ScopedAlertResponder say([](const platform::AlertRequest &r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.text.trimmed()));
        return 0;
    });

    TVNWindowController window;
    const QStringList photos = writePhotos(QFileInfo(design).dir().filePath(QStringLiteral("photos")));
    QStringList names, roles, photoColumn, codes, backCodes;
    for (int n = 0; n < records; ++n) {
        names << QStringLiteral("Visitor %1 Example-Name").arg(n + 1);
        roles << QStringLiteral("Delegate, table %1").arg(n % 40 + 1);
        photoColumn << photos[n % kPhotos];
        codes << QStringLiteral("QV-%1").arg(n + 1, 6, 10, QLatin1Char('0'));
        backCodes << QStringLiteral("QB-%1").arg(n + 1, 6, 10, QLatin1Char('0'));
    }
    const batch_data::SeriesStore store = window.seriesStore();
    QString error;
    for (const auto &[name, values] : {std::pair{QStringLiteral("Names"), names}, std::pair{QStringLiteral("Roles"), roles},
                                       std::pair{QStringLiteral("Photos"), photoColumn},
                                       std::pair{QStringLiteral("Codes"), codes},
                                       std::pair{QStringLiteral("BackCodes"), backCodes}}) {
        if (!store.writeSeries(name, values, &error)) {
            std::fprintf(stderr, "series %s: %s\n", qPrintable(name), qPrintable(error));
            return 1;
        }
    }

    design_window::CARD_SIDE_STR = QStringLiteral("2");
    window.design().Front_card_Prop.Card_Fill = true;
    window.design().Front_card_Prop.Card_Fill_Color = QColor(235, 242, 255);
    window.design().Back_card_Prop.Card_Fill = true;
    window.design().Back_card_Prop.Card_Fill_Color = QColor(255, 245, 230);
    window.design().document->graphics = side(QStringLiteral("Quorvant Conference"), QStringLiteral("Names"),
                                     QStringLiteral("Codes"));
    window.design().document->graphics_back = side(QStringLiteral("Delegate"), QStringLiteral("Roles"),
                                          QStringLiteral("BackCodes"));
    if (!window.Save_project_file(design, false))
        return 1;
    std::printf("%s: %d records, series in %s\n", qPrintable(design), records, qPrintable(design_window::Data_Folder_Path));
    return 0;
}
