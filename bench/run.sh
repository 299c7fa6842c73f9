#!/usr/bin/env bash
# Throughput of KAVRO beside its peers (PROJ's cct and cs2cs, GDAL's ogr2ogr).
#
#   bench/run.sh [full|small] [runs]
#
# Builds KAVRO in Release, writes the deterministic inputs once, times every
# job as a whole process (median of the runs, inputs in the page cache),
# checks that KAVRO's output agrees with the peer's within 2 mm and prints a
# table. "small" is a quick run on a hundredth of the data.
set -euo pipefail
cd "$(dirname "$0")/.."

size=${1:-full}
runs=${2:-5}
scripts/deps.sh proj-bin gdal-bin time

build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKAVRO_BUILD_DESK=OFF \
    -DKAVRO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target KAVRO kavro_benchgen \
    kavro_benchcmp kavro_program_files >/dev/null

engine=$build/bin/KAVRO/KAVRO
scripts=$build/bin/KAVRO/script
work=$build/work-$size
mkdir -p "$work/out"
[ -f "$work/points.shp" ] || "$build/bench/kavro_benchgen" "$work" "$size"
head -n 1 "$work/points.txt" >"$work/one.txt"

# An empty chain: the cost of reading and writing our text format alone.
cp "$scripts/TransformationScript.xsd" "$work/"
cat >"$work/empty.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<TransformationScript xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
    xsi:noNamespaceSchemaLocation="TransformationScript.xsd">
  <Description>No operation</Description>
</TransformationScript>
XML

gbo="$scripts/GBO-UTM32ETRS89-VLM.xml"
pipeline="+proj=pipeline
 +step +inv +proj=tmerc +approx +lat_0=0 +lon_0=9 +k=0.9996 +x_0=1500000 +y_0=0 +ellps=intl
 +step +proj=cart +ellps=intl
 +step +proj=helmert +x=-104.1 +y=-49.1 +z=-9.9 +rx=0.971 +ry=-2.917 +rz=0.714
       +s=-11.68 +convention=position_vector
 +step +inv +proj=cart +ellps=GRS80
 +step +proj=tmerc +approx +lat_0=0 +lon_0=9 +k=0.9996 +x_0=500000 +y_0=0 +ellps=GRS80"
pipeline=$(echo $pipeline)
cs2cs_from="+proj=tmerc +approx +lat_0=0 +lon_0=9 +k=0.9996 +x_0=1500000 +y_0=0
 +ellps=intl +towgs84=-104.1,-49.1,-9.9,0.971,-2.917,0.714,-11.68"
cs2cs_to="+proj=tmerc +approx +lat_0=0 +lon_0=9 +k=0.9996 +x_0=500000 +y_0=0
 +ellps=GRS80 +towgs84=0,0,0"

# median <command...>: runs it $runs times; prints "seconds peak-kB".
median() {
    local t=$work/time.txt
    : >"$t.all"
    for _ in $(seq "$runs"); do
        /usr/bin/time -f '%e %M' -o "$t" "$@" >/dev/null 2>&1 || true
        tail -n 1 "$t" >>"$t.all"
    done
    sort -n "$t.all" | awk -v n="$runs" 'NR == int((n + 1) / 2) { print $1, $2 }'
}

floor() { median cp "$@" "$work/out/copy"; }

have() { command -v "$1" >/dev/null 2>&1; }

printf '%-22s %9s %-8s %9s %7s %8s %10s %s\n' job KAVRO_s peer peer_s ratio cp_s peak_MB agree
row() { # job kavro-result peer peer-result floor agreement
    local ks km ps
    read -r ks km <<<"$2"
    ps=${4%% *}
    awk -v job="$1" -v ks="$ks" -v km="$km" -v peer="$3" -v ps="$ps" \
        -v fl="${5%% *}" -v agree="$6" 'BEGIN {
            ratio = (ps > 0 && ks > 0) ? sprintf("%.2f", ps / ks) : "-"
            printf "%-22s %9.2f %-8s %9s %7s %8s %10.1f %s\n",
                   job, ks, peer, ps, ratio, fl, km / 1024, agree }'
}

out=$work/out
# Text, GBO chain.
k=$(median "$engine" -FT TXT -IF "$work/points.txt" -OF "$out/k.txt" -TS "$gbo")
fl=$(floor "$work/points.txt")
if have cct; then
    p=$(median sh -c "cct -d 8 -t 0 $pipeline '$work/points.txt' > '$out/cct.txt'")
    a=$("$build/bench/kavro_benchcmp" txt "$out/k.txt" "$out/cct.txt")
    row "text GBO chain" "$k" cct "$p" "$fl" "max ${a%% *} m"
    p=$(median sh -c "cs2cs -f %.8f $cs2cs_from +to $cs2cs_to '$work/points.txt' > '$out/cs2cs.txt'")
    a=$("$build/bench/kavro_benchcmp" txt "$out/k.txt" "$out/cs2cs.txt")
    row "text GBO chain" "$k" cs2cs "$p" "$fl" "max ${a%% *} m"
else
    row "text GBO chain" "$k" - "-" "$fl" -
fi
# Text, empty chain.
k=$(median "$engine" -FT TXT -IF "$work/points.txt" -OF "$out/e.txt" -TS "$work/empty.xml")
if have cct; then
    p=$(median sh -c "cct -d 8 -t 0 +proj=noop '$work/points.txt' > '$out/noop.txt'")
    row "text empty chain" "$k" cct "$p" "$fl" -
else
    row "text empty chain" "$k" - "-" "$fl" -
fi
# Shapefiles.
for shape in lines points; do
    k=$(median "$engine" -FT SHP -IF "$work/$shape.shp" -OF "$out/k_$shape.shp" -TS "$gbo")
    fl=$(floor "$work/$shape.shp" "$work/$shape.shx" "$work/$shape.dbf")
    if have ogr2ogr; then
        p=$(median ogr2ogr -overwrite -ct "$pipeline" "$out/o_$shape.shp" "$work/$shape.shp")
        a=$("$build/bench/kavro_benchcmp" shp "$out/k_$shape.shp" "$out/o_$shape.shp")
        row "shapefile $shape" "$k" ogr2ogr "$p" "$fl" "max ${a%% *} m"
    else
        row "shapefile $shape" "$k" - "-" "$fl" -
    fi
done
# Start-up: one record, script validation included.
k=$(median "$engine" -FT TXT -IF "$work/one.txt" -OF "$out/one.txt" -TS "$gbo")
if have cct; then
    p=$(median sh -c "cct -d 8 -t 0 $pipeline '$work/one.txt' > '$out/one_cct.txt'")
    row "one record" "$k" cct "$p" "-" -
else
    row "one record" "$k" - "-" "-" -
fi
echo "($runs runs each, median; $(nproc) cores; inputs in $work)"
