#!/bin/sh
# Rebuilds the import fixtures with LibreOffice (libreoffice-calc and
# libreoffice-writer). The outputs are committed, so the tests need no
# LibreOffice; run this only to change them.
#
# names.*: one list of values as Calc writes it to CSV (UTF-8), and as
# Writer writes it to RTF and to UTF-8 text (with a byte-order mark): a
# name with accents, a value holding a comma, one holding quotes, CJK, a
# currency sign, and a number kept as text.
# people.*: a worksheet with the header Name, (empty), City, (two spaces)
# and two rows, the second with blanks around its name and an empty cell.
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

NS='xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"'

cell() { printf '<table:table-row><table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell></table:table-row>\n' "$1"; }
para() { printf '<text:p>%s</text:p>\n' "$1"; }
VALUES='Zoë Ångström|O'"'"'Brien, Pat|Line &quot;quoted&quot;|東京|€ 12.50|007'

{
  echo "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document $NS office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet><table:table table:name=\"Names\">"
  echo "$VALUES" | tr '|' '\n' | while IFS= read -r v; do cell "$v"; done
  echo "</table:table></office:spreadsheet></office:body></office:document>"
} > "$WORK/names.fods"

{
  echo "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document $NS office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body><office:text>"
  echo "$VALUES" | tr '|' '\n' | while IFS= read -r v; do para "$v"; done
  echo "</office:text></office:body></office:document>"
} > "$WORK/names.fodt"

s() { printf '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' "$1"; }
f() { printf '<table:table-cell office:value-type="float" office:value="%s"><text:p>%s</text:p></table:table-cell>' "$1" "$1"; }
E='<table:table-cell/>'
cat > "$WORK/people.fods" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<office:document $NS office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="People">
<table:table-row>$(s Name)$E$(s City)<table:table-cell office:value-type="string"><text:p><text:s text:c="2"/></text:p></table:table-cell></table:table-row>
<table:table-row>$(s Ann)$(s x)$(s Oslo)$(f 1)</table:table-row>
<table:table-row>$(s ' Bob ')$E$(s Rome)$(f 2)</table:table-row>
</table:table></office:spreadsheet></office:body></office:document>
XML

convert() {
  soffice --headless "-env:UserInstallation=file://$WORK/profile" \
    --convert-to "$1" --outdir "$WORK/out" "$2" >/dev/null
}
convert 'csv:Text - txt - csv (StarCalc):44,34,76,1' "$WORK/names.fods"
convert rtf "$WORK/names.fodt"
convert 'txt:Text (encoded):UTF8,CRLF,,,' "$WORK/names.fodt"
convert xlsx "$WORK/people.fods"
convert ods "$WORK/people.fods"

cp "$WORK/out/names.csv" "$HERE/names.csv"
cp "$WORK/out/names.rtf" "$HERE/names.rtf"
# Writer leaves the mark out of UTF-8 text on some versions; the fixture
# is about one that has it.
if head -c3 "$WORK/out/names.txt" | od -An -tx1 | grep -q 'ef bb bf'; then
  cp "$WORK/out/names.txt" "$HERE/names_bom.txt"
else
  { printf '\357\273\277'; cat "$WORK/out/names.txt"; } > "$HERE/names_bom.txt"
fi
cp "$WORK/out/people.xlsx" "$HERE/people.xlsx"
cp "$WORK/out/people.ods" "$HERE/people.ods"
echo "fixtures written to $HERE"
