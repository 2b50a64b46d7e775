#!/usr/bin/python3
"""Makes the workbooks behind the cell display tests and their expected texts.

Each case is one row: a label in column A and the cell under test in column B.
openpyxl writes the cells with the number formats below; LibreOffice writes a
second workbook from its own cell types; LibreOffice then exports every
workbook as CSV with "save cell contents as shown", which is the text a
person sees in the spreadsheet and the expected value of each row. It also
converts the openpyxl workbook to OpenDocument and XML Spreadsheet 2003 so
that the three readers can be held to the same data.

The outputs are committed; run this only to change them (it needs
python3-openpyxl and libreoffice-calc):
    /usr/bin/python3 tests/data/spreadsheet/make_cell_fixtures.py
"""
import datetime as dt
import os
import re
import shutil
import subprocess
import tempfile

import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cells")

D = dt.date(2024, 2, 6)
DT = dt.datetime(2024, 2, 6, 13, 45, 30)

# label, value, number format (None: General). Formats that are built into
# the file format (such as "mm-dd-yy", id 14) are stored by their id.
CASES = [
    ("boolean true", True, None),
    ("boolean false", False, None),
    ("integer", 42, None),
    ("integer stored as float", 42.0, None),
    ("negative decimal", -2.5, None),
    ("binary fraction noise", 0.1 + 0.2, None),
    ("one third", 1 / 3, None),
    ("small scientific", 1.5e-07, None),
    ("small many digits", 9.87654321012345e-07, None),
    ("tiny", 1.23e-20, None),
    ("large", 1e20, None),
    ("fifteen digits", 123456789012345, None),
    ("sixteen digits", 9876543210123456, None),
    ("long digits as text", "12345678901234567890", None),
    ("leading zero as text", "007", None),
    ("exponent as text", "1E5", None),
    ("date", D, "yyyy-mm-dd"),
    ("leap day", dt.date(2024, 2, 29), "yyyy-mm-dd"),
    ("date time", DT, "yyyy-mm-dd h:mm:ss"),
    ("time", dt.time(13, 45, 30), "h:mm:ss"),
    ("time am/pm", dt.time(13, 45), "h:mm AM/PM"),
    ("midnight am/pm with seconds", dt.time(0, 5, 9), "h:mm:ss AM/PM"),
    ("short date id 14", D, "mm-dd-yy"),
    ("d-mmm-yy id 15", D, "d-mmm-yy"),
    ("d-mmm id 16", D, "d-mmm"),
    ("mmm-yy id 17", D, "mmm-yy"),
    ("date and time id 22", dt.datetime(2024, 2, 6, 9, 5), "m/d/yy h:mm"),
    ("day first", D, "d/m/yyyy"),
    ("month name", D, "mmm"),
    ("month initial", D, "mmmmm"),
    ("long date", D, "dddd, mmmm d, yyyy"),
    ("weekday and day", D, "ddd dd"),
    ("two-digit year", D, "yy"),
    ("minutes after hours", dt.time(9, 7), "h:m"),
    ("elapsed hours", 1.5, "[h]:mm"),
    ("elapsed id 46", 1.25, "[h]:mm:ss"),
    ("minutes and seconds id 45", dt.time(0, 12, 34), "mm:ss"),
    ("tenths of a second", 0.5 + 1.2 / 86400, "hh:mm:ss.0"),
    ("a/p", dt.time(13, 45), "h:mm A/P"),
    ("quoted literal", 12.5, '"Total: "0.0'),
    ("escaped literal", 3.5, "\\$0.00"),
    ("thousands id 4", 1234567.891, "#,##0.00"),
    ("two decimals id 2", 2.675, "0.00"),
    ("whole number id 1", 2.5, "0"),
    ("percent id 10", 0.256, "0.00%"),
    ("percent id 9", 0.5, "0%"),
    ("scientific id 11", 12345.678, "0.00E+00"),
    ("engineering id 48", 12345.678, "##0.0E+0"),
    ("fraction id 12", 1.25, "# ?/?"),
    ("fraction id 13", 0.3125, "# ??/??"),
    ("negative section", -3.5, '0.00;[Red]-0.00;"zero"'),
    ("zero section", 0, '0.00;[Red]-0.00;"zero"'),
    ("parentheses id 37", -7, "#,##0 ;(#,##0)"),
    ("scaled by thousands", 1234567, '#,##0,"K"'),
    ("text format on a number", 42, "@"),
    ("text section", "abc", '0;0;0;"<"@">"'),
    ("condition", 150, '[>=100]"big";"small"'),
    ("currency with locale", 3.5, "[$\u20ac-407]#,##0.00"),
    ("lower-case am/pm", dt.time(9, 30), "h:mm am/pm"),
    ("noon", dt.time(12, 0), "h AM/PM"),
    ("seconds rounding into the next day", dt.time(23, 59, 59, 600000), "hh:mm:ss"),
    ("elapsed minutes", dt.time(1, 2, 3), "[mm]:ss"),
    ("literals among digits", 123456789, "000-00-0000"),
    ("eighths", 1.375, "# ?/8"),
    ("negative dollars", -3, "$#,##0.00"),
    ("millions", 1234567, "0.0,,"),
    ("no zero before the point", 0.5, "#.00"),
    ("bare point", 5, "#."),
    ("more digits than places", 12345, "00"),
    ("aligned decimals", 1.5, "??.??"),
    ("small percent", 0.0005, "0.0%"),
    ("literal and general", 7, '"No. "General'),
    ("date with a text section", D, "yyyy-mm-dd;@"),
    ("hidden", 5, ";;;"),
    ("scientific carry", 9.996, "0.00E+00"),
    ("elapsed seconds", dt.time(0, 1, 5), "[ss]"),
    ("hours past a day", 1.75, "h:mm"),
    ("grouped zero", 0, "#,##0"),
    ("long grouped", 1234567890123, "#,##0"),
    ("negative rounding to zero", -0.001, "0.00"),
    ("percent and literal", 0.5, '0%" done"'),
    ("halves", 2.5, "# ?/2"),
    ("whole in a fraction", 2.0, "# ?/?"),
    ("serial 0", 0, "yyyy-mm-dd"),
    ("serial 1", 1, "yyyy-mm-dd"),
    ("serial 59 weekday", 59, "yyyy-mm-dd dddd"),
    ("serial 60", 60, "yyyy-mm-dd"),
    ("serial 61", 61, "yyyy-mm-dd"),
    ("escaped carriage return", "line one_x000D_line two", None),
    ("escaped underscore", "keep _x005F_x0041_ as written", None),
    ("literal carriage return", "a\rb", None),
    ("error", "#N/A", None),
]

CASES_1904 = [
    ("date", D, "yyyy-mm-dd"),
    ("date time", DT, "yyyy-mm-dd h:mm:ss"),
    ("serial 0", 0, "yyyy-mm-dd"),
    ("serial 1", 1, "d mmmm yyyy"),
    ("number", 42, None),
]

# openpyxl writes these as cells of type "d" holding ISO 8601 text.
CASES_ISO = [
    ("iso date", D, "yyyy-mm-dd"),
    ("iso date time", DT, "yyyy-mm-dd h:mm:ss"),
    ("iso time", dt.time(13, 45, 30), "h:mm:ss"),
]


def write_openpyxl(name, cases, epoch=None, iso_dates=False):
    wb = openpyxl.Workbook(iso_dates=iso_dates)
    if epoch is not None:
        wb.epoch = epoch
    ws = wb.active
    ws.title = "Cells"
    for label, value, fmt in cases:
        ws.append([label, value])
        if fmt is not None:
            ws.cell(ws.max_row, 2).number_format = fmt
    wb.save(os.path.join(HERE, name))


# LibreOffice's own cell types and number styles, saved by LibreOffice.
FODS = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:settings/>
 <office:automatic-styles>
  <number:date-style style:name="Niso"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
  <number:date-style style:name="Nisotime"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/><number:text> </number:text><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/><number:text>:</number:text><number:seconds number:style="long"/></number:date-style>
  <number:date-style style:name="Nlong"><number:day-of-week number:style="long"/><number:text>, </number:text><number:day/><number:text>. </number:text><number:month number:textual="true" number:style="long"/><number:text> </number:text><number:year number:style="long"/></number:date-style>
  <number:time-style style:name="Ntime"><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/></number:time-style>
  <number:time-style style:name="Nelapsed" number:truncate-on-overflow="false"><number:hours/><number:text>:</number:text><number:minutes number:style="long"/></number:time-style>
  <number:percentage-style style:name="Npct"><number:number number:decimal-places="1" number:min-decimal-places="1" number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>
  <number:number-style style:name="Nsci"><number:scientific-number number:decimal-places="3" number:min-decimal-places="3" number:min-integer-digits="1" number:min-exponent-digits="2"/></number:number-style>
  <number:number-style style:name="Ngroup"><number:number number:decimal-places="2" number:min-decimal-places="2" number:min-integer-digits="1" number:grouping="true"/></number:number-style>
  <number:boolean-style style:name="Nbool"><number:boolean/></number:boolean-style>
  <style:style style:name="ce1" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Niso"/>
  <style:style style:name="ce2" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Nisotime"/>
  <style:style style:name="ce3" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Nlong"/>
  <style:style style:name="ce4" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Ntime"/>
  <style:style style:name="ce5" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Nelapsed"/>
  <style:style style:name="ce6" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Npct"/>
  <style:style style:name="ce7" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Nsci"/>
  <style:style style:name="ce8" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Ngroup"/>
  <style:style style:name="ce9" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="Nbool"/>
 </office:automatic-styles>
 <office:body>
  <office:spreadsheet>
   @SETTINGS@
   <table:table table:name="Cells">
@ROWS@
   </table:table>
  </office:spreadsheet>
 </office:body>
</office:document>
"""


def fods_rows():
    def row(label, cell):
        return ('    <table:table-row><table:table-cell office:value-type="string"><text:p>%s</text:p>'
                "</table:table-cell>%s</table:table-row>" % (label, cell))

    def value(kind, attr, val, style=None, formula=None):
        s = ' table:style-name="%s"' % style if style else ""
        f = ' table:formula="%s"' % formula if formula else ""
        return '<table:table-cell%s%s office:value-type="%s" office:%s="%s"/>' % (f, s, kind, attr, val)

    return "\n".join([
        row("boolean true", value("boolean", "boolean-value", "true", "ce9")),
        row("boolean false", value("boolean", "boolean-value", "false", "ce9")),
        row("formula boolean", value("boolean", "boolean-value", "true", "ce9", "of:=1&lt;2")),
        row("date", value("date", "date-value", "2024-02-06", "ce1")),
        row("leap day", value("date", "date-value", "2024-02-29", "ce1")),
        row("date time", value("date", "date-value", "2024-02-06T13:45:30", "ce2")),
        row("long date", value("date", "date-value", "2024-02-06", "ce3")),
        row("time", value("time", "time-value", "PT13H45M00S", "ce4")),
        row("elapsed time", value("time", "time-value", "PT36H00M00S", "ce5")),
        row("percent", value("percentage", "value", "0.256", "ce6")),
        row("scientific", value("float", "value", "12345.678", "ce7")),
        row("grouped", value("float", "value", "1234567.891", "ce8")),
        row("general small", value("float", "value", "1.5E-07")),
        row("general integer", value("float", "value", "42")),
        row("long digits as text",
            '<table:table-cell office:value-type="string"><text:p>12345678901234567890</text:p></table:table-cell>'),
        row("formula text",
            '<table:table-cell table:formula="of:=&quot;ab&quot;&amp;&quot;cd&quot;" office:value-type="string" '
            'office:string-value="abcd"><text:p>abcd</text:p></table:table-cell>'),
    ])


NULL_DATE_1904 = ('<table:calculation-settings><table:null-date table:date-value="1904-01-01"/>'
                  "</table:calculation-settings>")


def soffice(work, target, source, outdir):
    subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + work + "/profile",
                    "--convert-to", target, "--outdir", outdir, source],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# Comma separated, double quotes, UTF-8, cell contents saved as shown.
CSV = "csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,true,false,false"


def main():
    os.makedirs(HERE, exist_ok=True)
    write_openpyxl("cells_openpyxl.xlsx", CASES)
    write_openpyxl("cells_1904.xlsx", CASES_1904, epoch=CALENDAR_MAC_1904)
    write_openpyxl("cells_iso_dates.xlsx", CASES_ISO, iso_dates=True)

    work = tempfile.mkdtemp()
    try:
        for name, settings in (("cells_libreoffice", ""), ("cells_libreoffice_1904", NULL_DATE_1904)):
            fods = os.path.join(work, name + ".fods")
            with open(fods, "w", encoding="utf-8") as f:
                f.write(FODS.replace("@SETTINGS@", settings).replace("@ROWS@", fods_rows()))
            soffice(work, "xlsx", fods, HERE)

        for name in ("cells_openpyxl", "cells_1904", "cells_iso_dates", "cells_libreoffice",
                     "cells_libreoffice_1904"):
            soffice(work, CSV, os.path.join(HERE, name + ".xlsx"), HERE)

        # The XML 2003 export walks every column and row of the sheet's
        # full size, so it is made from a flat copy cut to the used cells.
        out = os.path.join(work, "out")
        soffice(work, "ods", os.path.join(HERE, "cells_openpyxl.xlsx"), HERE)
        soffice(work, "fods", os.path.join(HERE, "cells_openpyxl.xlsx"), out)
        flat = os.path.join(out, "cells_openpyxl.fods")
        with open(flat, encoding="utf-8") as f:
            text = f.read()
        text = re.sub(r'table:number-columns-repeated="\d{4,}"', 'table:number-columns-repeated="2"', text)
        text = re.sub(r'<table:table-row[^>]*number-rows-repeated="\d{4,}"[^>]*>.*?</table:table-row>', "",
                      text, flags=re.S)
        with open(flat, "w", encoding="utf-8") as f:
            f.write(text)
        soffice(work, "xml:MS Excel 2003 XML", flat, out)
        shutil.copy(os.path.join(out, "cells_openpyxl.xml"), os.path.join(HERE, "cells_openpyxl_2003.xml"))

        # The ods file keeps each cell's text as LibreOffice showed it in the
        # xlsx; the XML 2003 file keeps values and formats, so LibreOffice's
        # reading of it is its oracle.
        soffice(work, CSV, os.path.join(HERE, "cells_openpyxl_2003.xml"), HERE)
    finally:
        shutil.rmtree(work)
    print("fixtures written to", HERE)


if __name__ == "__main__":
    main()
