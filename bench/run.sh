#!/usr/bin/env bash
# Throughput of KAVRO beside its peers (PROJ's cct and cs2cs, GDAL's ogr2ogr).
#
#   bench/run.sh [full|small] [runs]
#
# Builds KAVRO in Release, writes the deterministic inputs once, times every
# job as a whole process (median of the runs, inputs in the page cache),
# checks that KAVRO's output agrees with the peer's within 2 mm and prints a
# table. KAVRO runs each job with one thread (-TH 1) and with two (-TH 2);
# the peers' ratios are to the one-thread run, and lines under the table
# compare the goals with either. "small" is a quick run on a hundredth of
# the data.
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
cs2cs_from="+proj=tmerc +approx +lat_0=0 +lon_0=9 +k=0.9996 +x_0=1500000 +y_0=0
 +ellps=intl +towgs84=-104.1,-49.1,-9.9,0.971,-2.917,0.714,-11.68"
cs2cs_to="+proj=tmerc +approx +lat_0=0 +lon_0=9 +k=0.9996 +x_0=500000 +y_0=0
 +ellps=GRS80 +towgs84=0,0,0"
# Each becomes a list of arguments (the texts hold no blanks of their own).
read -ra pipeline <<<"$(echo $pipeline)"
read -ra cs2cs_from <<<"$(echo $cs2cs_from)"
read -ra cs2cs_to <<<"$(echo $cs2cs_to)"
cct=(cct -d 8 -t 0)

# median <stdout file> <command...>: runs it $runs times with its standard
# output sent to the file; prints "wall-seconds cpu-seconds peak-kB", each
# the median of the runs. The wall time is taken around the process with the
# shell's clock (GNU time's own has only centiseconds); the processor time
# (user + system) and the peak resident size come from GNU time. On a busy
# machine the processor time is the steadier figure.
# fresh <sink> <command...>: every run writes new files, as a first
# conversion does. The sink and the outputs (-OF, with a shapefile's
# companions) that the run before left are removed first, outside the time,
# so that no run pays for the file system writing out the file it replaces
# (ext4 does so on a rename over a file, and on closing a file that was cut
# to nothing and written again), and every program is measured alike.
fresh() {
    local previous= argument
    [ "$1" != /dev/null ] && rm -f "$1"
    shift
    for argument in "$@"; do
        if [ "$previous" = -OF ]; then
            rm -f "$argument"
            case $argument in *.shp) rm -f "${argument%.shp}".{shx,dbf,prj} ;; esac
        fi
        previous=$argument
    done
}

median() {
    local sink=$1 t=$work/time.txt start end
    shift
    : >"$t.all"
    for _ in $(seq "$runs"); do
        fresh "$sink" "$@"
        start=$EPOCHREALTIME
        /usr/bin/time -f '%U %S %M' -o "$t" "$@" >"$sink" 2>/dev/null || true
        end=$EPOCHREALTIME
        echo "$start $end $(tail -n 1 "$t")" >>"$t.all"
    done
    local column
    for column in '$2 - $1' '$3 + $4' '$5'; do
        awk "{ printf \"%.6f\\n\", $column }" "$t.all" | sort -n |
            awk -v n="$runs" 'NR == int((n + 1) / 2)'
    done | paste -sd' '
}

# kavro <arguments...>: KAVRO's results (as median's) with one thread and
# with two, joined by ':'.
kavro() {
    echo "$(median /dev/null "$engine" -TH 1 "$@"):$(median /dev/null "$engine" -TH 2 "$@")"
}

floor() {
    rm -rf "$work/out/copy" && mkdir -p "$work/out/copy"
    # sh -c takes its first argument as $0: the copies go before each run.
    median /dev/null sh -c 'rm -f "$0"/*; exec cp "$@" "$0"/' "$work/out/copy" "$@"
}

have() { command -v "$1" >/dev/null 2>&1; }

# agreement <kind> <kavro output> <peer output> [limit unit]: the largest
# horizontal difference and whether it is within the limit (2 mm unless
# given); also fails when the two outputs do not pair up point by point.
agreement() {
    local r limit=${4:-0.002} unit=${5:-m}
    if r=$("$build/bench/kavro_benchcmp" "$1" "$2" "$3" 2>&1); then
        awk -v d="${r%% *}" -v l="$limit" -v u="$unit" \
            'BEGIN { printf "%s %.3g %s\n", d <= l ? "ok" : "FAIL", d, u }'
    else
        echo "FAIL ($r)"
    fi
}

# KAVRO_s and cpu_s with one thread; 2th_s, 2th_cpu with two and 2th/1
# their wall times' ratio; peak_MB the larger of the two runs'.
printf '%-17s %8s %7s %5s %7s %-7s %8s %6s %7s %7s %6s %7s %7s %s\n' job \
    KAVRO_s 2th_s 2th/1 2th_cpu peer peer_s ratio cpu_s peer_cpu ratio cp_s \
    peak_MB agreement
row() { # job kavro-results peer peer-result floor agreement
    local kw kc km tw tc tm pw pc
    read -r kw kc km <<<"${2%%:*}"
    read -r tw tc tm <<<"${2#*:}"
    read -r pw pc _ <<<"$4"
    awk -v job="$1" -v kw="$kw" -v kc="$kc" -v km="$km" -v tw="$tw" \
        -v tc="$tc" -v tm="$tm" -v peer="$3" -v pw="$pw" -v pc="$pc" \
        -v fl="${5%% *}" -v agree="$6" '
        function num(v) { return v == "" || v == "-" ? "-" : sprintf("%.3f", v) }
        function ratio(p, k) { return (p > 0 && k > 0) ? sprintf("%.2f", p / k) : "-" }
        BEGIN {
            printf "%-17s %8.3f %7.3f %5s %7.3f %-7s %8s %6s %7.3f %7s %6s %7s %7.1f %s\n",
                   job, kw, tw, ratio(tw, kw), tc, peer, num(pw), ratio(pw, kw),
                   kc, num(pc), ratio(pc, kc), num(fl),
                   (km > tm ? km : tm) / 1024, agree }'
}
# goal <job> <kavro-results> <peer> <peer-result> <times the peer's speed,
# or - for none> <two threads at most this share of one, or - for none>:
# a line that compares them, with peak memory under 64 MB, and says ok or
# FAIL. The peer's ratio is taken with two threads, the machine's default.
goal() {
    awk -v job="$1" -v one="${2%%:*}" -v two="${2#*:}" -v peer="$3" \
        -v p="$4" -v speed="$5" -v share="$6" '
        BEGIN {
            split(one, a, " "); split(two, t, " "); split(p, b, " ")
            ok = 1; line = job ":"
            if (speed != "-") {
                r = b[1] / t[1]
                line = line sprintf(" %s/KAVRO wall %.2f (goal at least %s; one thread %.2f, processor time %.2f),",
                                    peer, r, speed, b[1] / a[1], b[2] / a[2])
                ok = ok && r >= speed
            }
            if (share != "-") {
                r = t[1] / a[1]
                line = line sprintf(" two threads/one %.2f (goal at most %s),", r, share)
                ok = ok && r <= share
            }
            m = (a[3] > t[3] ? a[3] : t[3]) / 1024
            ok = ok && m < 64
            printf "%s peak %.1f MB (goal under 64): %s\n", line, m, ok ? "ok" : "FAIL" }'
}

out=$work/out
txt=$work/points.txt
# Text, GBO chain.
k=$(kavro -FT TXT -IF "$txt" -OF "$out/k.txt" -TS "$gbo")
fl=$(floor "$txt")
if have cct; then
    p=$(median "$out/cct.txt" "${cct[@]}" "${pipeline[@]}" "$txt")
    row "text GBO chain" "$k" cct "$p" "$fl" "$(agreement txt "$out/k.txt" "$out/cct.txt")"
    goals+=$(goal "text GBO chain" "$k" cct "$p" 15 0.6)$'\n'
fi
if have cs2cs; then
    p=$(median "$out/cs2cs.txt" cs2cs -f %.8f "${cs2cs_from[@]}" +to "${cs2cs_to[@]}" "$txt")
    row "text GBO chain" "$k" cs2cs "$p" "$fl" "$(agreement txt "$out/k.txt" "$out/cs2cs.txt")"
fi
have cct || have cs2cs || row "text GBO chain" "$k" - "-" "$fl" -
# Text, empty chain.
k=$(kavro -FT TXT -IF "$txt" -OF "$out/e.txt" -TS "$work/empty.xml")
if have cct; then
    p=$(median "$out/noop.txt" "${cct[@]}" +proj=noop "$txt")
    row "text empty chain" "$k" cct "$p" "$fl" "$(agreement txt "$out/e.txt" "$out/noop.txt")"
else
    row "text empty chain" "$k" - "-" "$fl" -
fi
# Point list, GBO chain: ten columns, ';' and decimal commas as an Italian
# spreadsheet exports them, beside cct on the same points in its own format.
# KAVRO is to be at least 4 times as fast in processor time, in under 20 MB.
csv=$work/points.csv
[ -f "$csv" ] || "$build/bench/kavro_benchgen" "$work" "$size" csv
k=$(kavro -FT CSV -IF "$csv" -OF "$out/k.csv" -TS "$gbo")
fl=$(floor "$csv")
if have cct; then
    p=$(median "$out/csv_cct.txt" "${cct[@]}" "${pipeline[@]}" "$work/csv_points.txt")
    row "list GBO chain" "$k" cct "$p" "$fl" "$(agreement csv "$out/k.csv" "$out/csv_cct.txt")"
    list_goal=$(awk -v k="${k%%:*}" -v p="$p" 'BEGIN { split(k, a, " "); split(p, b, " ")
        r = b[2] / a[2]; m = a[3] / 1024
        printf "point list: cct/KAVRO processor time %.2f (goal 4), wall %.2f, KAVRO peak %.1f MB (goal under 20): %s",
               r, b[1] / a[1], m, (r >= 4 && m < 20) ? "ok" : "FAIL" }')
else
    row "list GBO chain" "$k" - "-" "$fl" -
fi
# Text, NTv2 grid shift: DHDN to ETRS89 by BETA2007 (from Debian's
# proj-data), degrees in and out, beside the same chain without the shift;
# the same number of records as above, all inside the grid. Both print eight
# decimals, so they agree to one unit in the last of them (1.5e-8 degrees).
grid=/usr/share/proj/BETA2007.gsb
geo=$work/geo.txt
[ -f "$geo" ] || awk -v n="$(wc -l <"$txt")" 'BEGIN { srand(7)
    for (i = 1; i <= n; i++)
        printf "%.9f %.9f %.2f P%d\n", 6 + 9 * rand(), 47.3 + 7.7 * rand(), 2000 * rand(), i }' >"$geo"
# A step: the operation element on a line of its own inside Transformation.
step() { # <name> <operation element>
    printf '  <Transformation Name="%s">\n    %s\n  </Transformation>\n' "$1" "$2"
}
units() { # <In> <Out>
    step "$1 to $2" "<UnitsConversion><In>$1</In><Out>$2</Out></UnitsConversion>"
}
for chain in grid nogrid; do
    shift_step=""
    [ "$chain" = grid ] && shift_step=$(step BETA2007 "<NTv2GridShift><GridFile>$grid</GridFile><Direction>Forward</Direction></NTv2GridShift>")
    cat >"$work/$chain.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<TransformationScript xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
    xsi:noNamespaceSchemaLocation="TransformationScript.xsd">
  <Description>$chain</Description>
$(units DecimalDegree Radian)
$shift_step
$(units Radian DecimalDegree)
</TransformationScript>
XML
done
if [ -f "$grid" ]; then
    kg=$(kavro -FT TXT -IF "$geo" -OF "$out/g.txt" -TS "$work/grid.xml")
    kn=$(kavro -FT TXT -IF "$geo" -OF "$out/n.txt" -TS "$work/nogrid.xml")
    fl=$(floor "$geo")
    if have cct; then
        p=$(median "$out/g_cct.txt" "${cct[@]}" +proj=hgridshift +grids="$grid" "$geo")
        row "text BETA2007" "$kg" cct "$p" "$fl" "$(agreement txt "$out/g.txt" "$out/g_cct.txt" 1.5e-8 deg)"
    else
        row "text BETA2007" "$kg" - "-" "$fl" -
    fi
    row "text no grid" "$kn" - "-" "$fl" -
    grid_cost=$(awk -v g="$(echo "${kg%%:*}" | cut -d' ' -f2-)" -v n="$(echo "${kn%%:*}" | cut -d' ' -f2-)" -v r="$(wc -l <"$geo")" -v size="$(stat -c %s "$grid")" '
        BEGIN { split(g, a, " "); split(n, b, " ")
                printf "grid shift: %.1f ns per point added (processor time), peak memory %+.0f kB (grid file %.0f kB)",
                       (a[1] - b[1]) / r * 1e9, a[2] - b[2], size / 1024 }')
fi
# Shapefiles.
for shape in lines points; do
    k=$(kavro -FT SHP -IF "$work/$shape.shp" -OF "$out/k_$shape.shp" -TS "$gbo")
    fl=$(floor "$work/$shape.shp" "$work/$shape.shx" "$work/$shape.dbf")
    if have ogr2ogr; then
        p=$(median /dev/null ogr2ogr -overwrite -ct "${pipeline[*]}" "$out/o_$shape.shp" "$work/$shape.shp")
        row "shapefile $shape" "$k" ogr2ogr "$p" "$fl" \
            "$(agreement shp "$out/k_$shape.shp" "$out/o_$shape.shp")"
        if [ "$shape" = lines ]; then
            goals+=$(goal "shapefile lines" "$k" ogr2ogr "$p" 4 0.6)$'\n'
        else
            goals+=$(goal "shapefile points" "$k" ogr2ogr "$p" 15 -)$'\n'
        fi
    else
        row "shapefile $shape" "$k" - "-" "$fl" -
    fi
done
# GeoPackages: the same points and lines as the shapefiles, made once by
# ogr2ogr (EPSG:3003, with their R-tree indexes), converted GeoPackage to
# GeoPackage beside ogr2ogr with the same pipeline. Each output is removed
# before each run, so that ogr2ogr creates its file as KAVRO does. KAVRO is
# to be at least 3 times as fast, in under 64 MB.
if have ogr2ogr; then
    for shape in points lines; do
        g=$work/$shape.gpkg
        [ -f "$g" ] || ogr2ogr -f GPKG -a_srs EPSG:3003 "$g" "$work/$shape.shp"
        # sh -c takes its first argument as $0.
        k=
        for threads in 1 2; do
            k+=${k:+:}$(median /dev/null sh -c 'rm -f "$2"; exec "$0" -TH "$4" -FT GPKG -IF "$1" -OF "$2" -TS "$3"' \
                "$engine" "$g" "$out/k_$shape.gpkg" "$gbo" "$threads")
        done
        p=$(median /dev/null sh -c 'rm -f "$1"; exec ogr2ogr -f GPKG -ct "$3" -a_srs EPSG:25832 "$1" "$2"' \
            sh "$out/o_$shape.gpkg" "$g" "${pipeline[*]}")
        row "GeoPackage $shape" "$k" ogr2ogr "$p" "$(floor "$g")" \
            "$(agreement gpkg "$out/k_$shape.gpkg" "$out/o_$shape.gpkg")"
        gpkg_goal+=$(awk -v s="$shape" -v k="${k#*:}" -v p="$p" 'BEGIN { split(k, a, " "); split(p, b, " ")
            m = a[3] / 1024
            printf "GeoPackage %s: ogr2ogr/KAVRO wall %.2f, processor time %.2f (goal 3), KAVRO peak %.1f MB (goal under 64): %s\n",
                   s, b[1] / a[1], b[2] / a[2], m, (b[1] / a[1] >= 3 && m < 64) ? "ok" : "FAIL" }')$'\n'
    done
fi
# Start-up: one record, script validation included.
k=$(kavro -FT TXT -IF "$work/one.txt" -OF "$out/one.txt" -TS "$gbo")
if have cct; then
    p=$(median "$out/one_cct.txt" "${cct[@]}" "${pipeline[@]}" "$work/one.txt")
    row "one record" "$k" cct "$p" "-" "$(agreement txt "$out/one.txt" "$out/one_cct.txt")"
    goals+=$(goal "one record" "$k" cct "$p" 1 -)$'\n'
else
    row "one record" "$k" - "-" "-" -
fi
[ -n "${grid_cost:-}" ] && echo "$grid_cost"
[ -n "${list_goal:-}" ] && echo "$list_goal"
[ -n "${gpkg_goal:-}" ] && printf '%s' "$gpkg_goal"
[ -n "${goals:-}" ] && printf '%s' "$goals"
echo "($runs runs each, median; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg); inputs in $work)"
