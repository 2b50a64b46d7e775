#!/usr/bin/python3
"""Writes the bundle's minimal "Template.xlsx" and "Template.ods" into
resources/. The spreadsheet writer unpacks them and replaces the worksheet,
shared-string and content parts; everything else here only has to make the
packages valid. Run it again only to change the templates."""
import os
import zipfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"
DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
FIXED_DATE = (2024, 1, 1, 0, 0, 0)

XLSX = {
    "[Content_Types].xml":
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
        '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
        '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
        '</Types>',
    "_rels/.rels":
        f'<Relationships xmlns="{PKG_REL}">'
        f'<Relationship Id="rId1" Type="{REL}/officeDocument" Target="xl/workbook.xml"/>'
        '</Relationships>',
    "xl/workbook.xml":
        f'<workbook xmlns="{MAIN}" xmlns:r="{REL}">'
        '<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>',
    "xl/_rels/workbook.xml.rels":
        f'<Relationships xmlns="{PKG_REL}">'
        f'<Relationship Id="rId1" Type="{REL}/worksheet" Target="worksheets/sheet1.xml"/>'
        f'<Relationship Id="rId2" Type="{REL}/sharedStrings" Target="sharedStrings.xml"/>'
        f'<Relationship Id="rId3" Type="{REL}/styles" Target="styles.xml"/>'
        '</Relationships>',
    "xl/styles.xml":
        f'<styleSheet xmlns="{MAIN}">'
        '<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>'
        '<fills count="2"><fill><patternFill patternType="none"/></fill>'
        '<fill><patternFill patternType="gray125"/></fill></fills>'
        '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>'
        '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
        '<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>'
        '<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>'
        '</styleSheet>',
    "xl/worksheets/sheet1.xml": f'<worksheet xmlns="{MAIN}"><sheetData/></worksheet>',
    "xl/sharedStrings.xml": f'<sst xmlns="{MAIN}" count="0" uniqueCount="0"/>',
}

ODF = "urn:oasis:names:tc:opendocument:xmlns"
ODS_TYPE = "application/vnd.oasis.opendocument.spreadsheet"
ODS = {
    "META-INF/manifest.xml":
        f'<manifest:manifest xmlns:manifest="{ODF}:manifest:1.0" manifest:version="1.2">'
        f'<manifest:file-entry manifest:full-path="/" manifest:version="1.2" manifest:media-type="{ODS_TYPE}"/>'
        '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
        '<manifest:file-entry manifest:full-path="styles.xml" manifest:media-type="text/xml"/>'
        '</manifest:manifest>',
    "styles.xml":
        f'<office:document-styles xmlns:office="{ODF}:office:1.0" xmlns:style="{ODF}:style:1.0" '
        f'xmlns:fo="{ODF}:xsl-fo-compatible:1.0" office:version="1.2">'
        '<office:styles><style:default-style style:family="table-cell"/></office:styles>'
        '<office:automatic-styles><style:page-layout style:name="pm1">'
        '<style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm"/>'
        '</style:page-layout></office:automatic-styles>'
        '<office:master-styles><style:master-page style:name="Default" style:page-layout-name="pm1"/>'
        '</office:master-styles></office:document-styles>',
    "content.xml":
        f'<office:document-content xmlns:office="{ODF}:office:1.0" xmlns:table="{ODF}:table:1.0" '
        'office:version="1.2"><office:body><office:spreadsheet>'
        '<table:table table:name="Sheet1"><table:table-row><table:table-cell/></table:table-row>'
        '</table:table></office:spreadsheet></office:body></office:document-content>',
}


def write(path, parts, first=None):
    with zipfile.ZipFile(path, "w") as z:
        if first:
            z.writestr(zipfile.ZipInfo(first[0], FIXED_DATE), first[1], zipfile.ZIP_STORED)
        for name, xml in parts.items():
            z.writestr(zipfile.ZipInfo(name, FIXED_DATE), DECL + xml, zipfile.ZIP_DEFLATED)


write(os.path.join(ROOT, "resources", "Template.xlsx"), XLSX)
write(os.path.join(ROOT, "resources", "Template.ods"), ODS, ("mimetype", ODS_TYPE))
print("templates written to", os.path.join(ROOT, "resources"))
