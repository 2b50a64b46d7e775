#include "batch_data/spreadsheet/XlsxStyles.h"

#include "batch_data/spreadsheet/CellFormat.h"
#include "batch_data/spreadsheet/XmlSupport.h"

#include <QHash>

#include <cstdlib>

using namespace spreadsheet_xml;

namespace batch_data {

namespace {

// Spreadsheet programs allow 64,000 cell styles; cells naming one beyond
// the list read as General.
constexpr qsizetype kMaxCellStyles = 65536;

bool parse(pugi::xml_document &doc, const QByteArray &bytes, QString *error)
{
    if (bytes.isEmpty())
        return false;
    const pugi::xml_parse_result result = doc.load_buffer(bytes.constData(), size_t(bytes.size()));
    if (!result && error)
        *error = QStringLiteral("%1 at offset %2").arg(QString::fromUtf8(result.description())).arg(result.offset);
    return bool(result);
}

} // namespace

QStringList readCellFormatCodes(const QByteArray &stylesXml, QString *error)
{
    QStringList codes;
    pugi::xml_document doc;
    if (!parse(doc, stylesXml, error))
        return codes;
    const pugi::xml_node sheet = child(doc, "styleSheet");

    QHash<int, QString> custom;
    for (pugi::xml_node f = child(sheet, "numFmts").first_child(); f; f = f.next_sibling()) {
        if (isNamed(f, "numFmt"))
            custom.insert(std::atoi(attribute(f, "numFmtId").value()),
                          QString::fromUtf8(attribute(f, "formatCode").value()));
    }
    for (pugi::xml_node xf = child(sheet, "cellXfs").first_child(); xf && codes.size() < kMaxCellStyles;
         xf = xf.next_sibling()) {
        if (!isNamed(xf, "xf"))
            continue;
        const int id = std::atoi(attribute(xf, "numFmtId").value());
        const auto it = custom.constFind(id);
        codes.append(it != custom.constEnd() ? it.value() : builtInNumberFormat(id));
    }
    return codes;
}

bool readDate1904(const QByteArray &workbookXml)
{
    pugi::xml_document doc;
    if (!parse(doc, workbookXml, nullptr))
        return false;
    const char *value = attribute(child(child(doc, "workbook"), "workbookPr"), "date1904").value();
    return QByteArray(value) == "1" || QByteArray(value) == "true";
}

} // namespace batch_data
