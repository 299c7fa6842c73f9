#!/usr/bin/env bash
# Builds the Debian package from a configured release tree, unpacks it into a
# temporary root and uses the programs from there.
#   scripts/package-test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/kavrodesk_*.deb | head -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Depends|Recommends):'
dpkg -x "$deb" "$root"

fail() { echo "package test FAILED: $*"; exit 1; }
kavro=$root/usr/bin/KAVRO
[ -x "$kavro" ] || fail "no KAVRO command in the package"
"$kavro" -HELP | grep -q -- '-TS <tranform script>: sets transformation script' ||
    fail "KAVRO -HELP from the package"
for f in KAVRO boxcheck script/GBO-UTM32ETRS89-VLM.xml \
         script/GBOSHIFT-UTM32ETRS89-VLM.xml script/TransformationScript.xsd \
         script/GBO-UTM32RDN2008-GRID-VLM.xml \
         script/UTM33RDN2008-GBOEAST-VLM.xml \
         utm_etrs89.prj utm32_rdn2008.prj gbo_east.prj \
         utm_etrs89.wkt gboshift_west.wkt; do
    [ -e "$root/usr/lib/kavrodesk/KAVRO/$f" ] || fail "missing $f"
done
[ -x "$root/usr/lib/kavrodesk/KavroDesk" ] || fail "missing KavroDesk"
# KavroDesk finds its KAVRO folder beside its own executable, which the
# command in bin reaches through a link.
[ "$(readlink -f "$root/usr/bin/KavroDesk")" = \
  "$(readlink -f "$root/usr/lib/kavrodesk/KavroDesk")" ] ||
    fail "the KavroDesk command does not reach the program folder"
[ -f "$root/usr/share/applications/kavrodesk.desktop" ] || fail "no desktop entry"
[ -f "$root/usr/share/man/man1/KAVRO.1.gz" ] || fail "no manual page"
if command -v groff >/dev/null; then
    warnings=$(zcat "$root/usr/share/man/man1/KAVRO.1.gz" | groff -man -ww -z 2>&1)
    [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
fi
[ -f "$root/usr/lib/kavrodesk/doc/guide/KavroDesk-de.html" ] ||
    fail "the user's guide is not reachable beside KavroDesk"
[ -f "$root/usr/lib/kavrodesk/doc/guide/pictures/it/frmMain.png" ] ||
    fail "the guides' pictures are not installed"
# The translations beside the program, where KavroDesk looks for them, with
# their texts in them; Qt's own come with the package it recommends.
lconvert=$(command -v lconvert || echo /usr/lib/qt6/bin/lconvert)
for l in de:Aktualisieren it:Aggiorna; do
    qm=$root/usr/lib/kavrodesk/translations/KavroDesk_${l%%:*}.qm
    [ -s "$qm" ] || fail "missing $(basename "$qm")"
    if [ -x "$lconvert" ]; then
        "$lconvert" -i "$qm" -of ts -o - | grep "<translation>${l#*:}<" >/dev/null ||
            fail "$(basename "$qm") does not translate Refresh as ${l#*:}"
    fi
done
dpkg-deb --field "$deb" Recommends | grep -q qt6-translations-l10n ||
    fail "the package does not recommend Qt's translations"

sample=$(ls data/samples/*.shp | head -n 1)
work=$(mktemp -d -p "$root")
set +e
report=$("$kavro" -IF "$sample" -OF "$work/out.shp" \
    -TS "$root/usr/lib/kavrodesk/KAVRO/script/GBO-UTM32ETRS89-VLM.xml")
status=$?
set -e
echo "$report" | tail -n 1
[ "$status" = 1 ] || fail "conversion exit status $status"
echo "$report" | grep -q ' converted to ' || fail "conversion from the package"
[ -s "$work/out.shp" ] && [ -s "$work/out.dbf" ] || fail "no output files"
cmp -s "$work/out.prj" "$root/usr/lib/kavrodesk/KAVRO/utm_etrs89.prj" ||
    fail "the output's .prj is not the script's target"
# boxcheck, as KavroDesk runs it: the minima on the fourth line, the
# maxima on the sixth.
set +e
box=$("$root/usr/lib/kavrodesk/KAVRO/boxcheck" "$sample" -YMIN 2500000)
status=$?
set -e
[ "$status" = 2 ] || fail "boxcheck exit status $status"
echo "$box" | sed -n 4p | grep -q '^Extent Xmin: [0-9.]* Ymin: [0-9.]* end$' &&
    echo "$box" | sed -n 6p | grep -q '^Extent Xmax: [0-9.]* Ymax: ' ||
    fail "boxcheck from the package: $box"
echo "package test passed: $(basename "$deb")"
