#!/bin/bash
# The print benchmark side by side with the outside label tool's batch
# printer (gLabels 3, the kit in ../shared/bench/glabels): the same badge
# job (a bound name in DejaVu Sans Bold 16 and a bound Code 128 id with its
# text, 10 cards on each US Letter sheet) from the same generated records,
# whole process against whole process, each timed by /usr/bin/time.
#
#   bench/output/compare_glabels.sh BUILD_DIR [N ...]     (N: 1000 10000)
#
# GLABELS_KIT names the kit's folder. Needs glabels, zbar-tools, time,
# poppler-utils and fonts-dejavu-core. Our PDF is checked as the kit checks
# its own: the page count, and the ten ids of the first and the last page.
set -euo pipefail

BUILD=$(cd "${1:?usage: compare_glabels.sh BUILD_DIR [N ...]}" && pwd)
shift
COUNTS=("$@")
[ ${#COUNTS[@]} -eq 0 ] && COUNTS=(1000 10000)
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The kit sits in ../shared beside the repository or its worktrees' folder.
KIT=${GLABELS_KIT:-}
for guess in "$HERE/../../../shared/bench/glabels" "$HERE/../../../../shared/bench/glabels"; do
    [ -z "$KIT" ] && [ -f "$guess/run.sh" ] && KIT=$guess
done
[ -f "$KIT/run.sh" ] || { echo "no gLabels kit found (set GLABELS_KIT)" >&2; exit 2; }
for tool in glabels-3-batch zbarimg pdfinfo pdftoppm /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 2; }
done

# The ids zbarimg reads from page $2 of $1, sorted.
ids_on_page() {
    local dir
    dir=$(mktemp -d)
    pdftoppm -r 200 -f "$2" -l "$2" -png "$1" "$dir/page"
    zbarimg -q "$dir"/page*.png 2>/dev/null | sed 's/^CODE-128://' | sort | tr '\n' ' '
    rm -rf "$dir"
}

# The ids that page $2 of a run of $1 records must hold.
expected_ids() {
    local first=$((($2 - 1) * 10)) last=$(($2 * 10 - 1))
    [ "$last" -ge "$1" ] && last=$(($1 - 1))
    for ((n = first; n <= last; n++)); do printf 'ID%06d ' "$n"; done
}

printf '%-7s | %-32s | %-32s | %s\n' records \
    "Quorvant: wall / cpu / peak" "gLabels: wall / cpu / peak" "faster (wall, cpu)"
for N in "${COUNTS[@]}"; do
    WORK=$(mktemp -d)
    python3 "$KIT/make_csv.py" "$N" "$WORK" >/dev/null
    mkdir -p "$WORK/data/Quorvant/DataSet"
    # The records as two series, one value a line, as the series import makes them.
    /usr/bin/python3 - "$WORK/people-$N.csv" "$WORK/data/Quorvant/DataSet" <<'EOF'
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1], encoding='utf-8')))
for column in ('name', 'id'):
    with open(f'{sys.argv[2]}/{column}.txt', 'w', encoding='utf-8') as out:
        out.write('\n'.join(row[column] for row in rows))
EOF
    "$BUILD/bench/output/make_badge_design" "$WORK/badge.zelg" 2>"$WORK/make.err" ||
        { cat "$WORK/make.err" >&2; exit 1; }

    XDG_DATA_HOME="$WORK/data" /usr/bin/time -f '%e %U %S %M' -o "$WORK/ours.time" \
        "$BUILD/bench/output/print_cards" "$WORK/badge.zelg" "$WORK/ours.pdf" 5 2 Letter >"$WORK/ours.out" 2>/dev/null
    read -r o_wall o_user o_sys o_rss <"$WORK/ours.time"
    pages=$(((N + 9) / 10))
    got=$(pdfinfo "$WORK/ours.pdf" | awk '/^Pages:/ {print $2}')
    [ "$got" = "$pages" ] || { echo "our PDF has $got pages, not $pages" >&2; exit 1; }
    for page in 1 "$pages"; do
        [ "$(ids_on_page "$WORK/ours.pdf" "$page")" = "$(expected_ids "$N" "$page")" ] ||
            { echo "page $page of our PDF does not hold its records' ids" >&2; exit 1; }
    done

    bash "$KIT/run.sh" "$N" >"$WORK/glabels.out" 2>&1 || { cat "$WORK/glabels.out" >&2; exit 1; }
    g_wall=$(awk '/^elapsed_s:/ {print $2}' "$WORK/glabels.out")
    g_user=$(awk '/^cpu_user_s:/ {print $2}' "$WORK/glabels.out")
    g_sys=$(awk '/^cpu_sys_s:/ {print $2}' "$WORK/glabels.out")
    g_rss=$(awk '/^max_rss_kb:/ {print $2}' "$WORK/glabels.out")

    awk -v n="$N" -v ow="$o_wall" -v ou="$o_user" -v os="$o_sys" -v orss="$o_rss" \
        -v gw="$g_wall" -v gu="$g_user" -v gs="$g_sys" -v grss="$g_rss" 'BEGIN {
        printf "%-7d | %7.2f s / %7.2f s / %6.1f MB | %7.2f s / %7.2f s / %6.1f MB | %6.1fx, %6.1fx\n",
            n, ow, ou + os, orss / 1024, gw, gu + gs, grss / 1024, gw / ow, (gu + gs) / (ou + os) }'
    rm -rf "$WORK"
done
