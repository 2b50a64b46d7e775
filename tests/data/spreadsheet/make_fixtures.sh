#!/bin/sh
# Rebuilds the spreadsheet fixtures from one hand-written sheet with
# LibreOffice (libreoffice-calc). The outputs are committed, so the tests
# need no LibreOffice; run this only to change them.
#
# Sheet "People": a blank header cell, a multi-line cell, a rich-text cell
# (bold run followed by plain text), a formula with its stored value, a
# number kept as text ("007"), an empty row, and two identical rows.
# Sheet "Second": a second worksheet, with a cell holding two spaces.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cat > "$WORK/sample.fods" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
 </office:automatic-styles>
 <office:body>
  <office:spreadsheet>
   <table:table table:name="People">
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Name</text:p></table:table-cell>
     <table:table-cell/>
     <table:table-cell office:value-type="string"><text:p>Amount</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Note</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Alice</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>x</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="12"><text:p>12</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>line one</text:p><text:p>line two</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p><text:span text:style-name="T1">Bold</text:span> and plain</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>y</text:p></table:table-cell>
     <table:table-cell table:formula="of:=[.C2]*2" office:value-type="float" office:value="24"><text:p>24</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>007</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell table:number-columns-repeated="4"/>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Carol</text:p></table:table-cell>
     <table:table-cell/>
     <table:table-cell office:value-type="float" office:value="3.5"><text:p>3.5</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>last</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>dup</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>dup</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="1"><text:p>1</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>dup</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>dup</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>dup</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="1"><text:p>1</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>dup</text:p></table:table-cell>
    </table:table-row>
   </table:table>
   <table:table table:name="Second">
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Other</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Sheet</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>two<text:s/> spaces</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="42"><text:p>42</text:p></table:table-cell>
    </table:table-row>
   </table:table>
  </office:spreadsheet>
 </office:body>
</office:document>
XML

convert() {
  soffice --headless "-env:UserInstallation=file://$WORK/profile" \
    --convert-to "$1" --outdir "$WORK/out" "$WORK/sample.fods" >/dev/null
}
convert xlsx
convert ods
convert 'xml:MS Excel 2003 XML'

cp "$WORK/out/sample.xlsx" "$HERE/sample.xlsx"
cp "$WORK/out/sample.ods" "$HERE/sample.ods"
cp "$WORK/out/sample.xml" "$HERE/sample_2003.xml"
echo "fixtures written to $HERE"
