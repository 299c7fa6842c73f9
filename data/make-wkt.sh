#!/bin/sh
# Makes the OGC WKT 1 definitions (*.wkt) beside the projection files of
# this folder (*.prj, ESRI WKT 1): the same systems as GeoPackage stores
# them (gpkg_spatial_ref_sys.definition). Run once with PROJ's projinfo
# (PROJ 9.1.1 made the committed files); the results are committed, and the
# transformation scripts' loader checks that each .wkt describes the same
# system as its .prj.
#   data/make-wkt.sh
set -eu
cd "$(dirname "$0")"

# One line, without the line breaks projinfo ends it with.
wkt1() { printf '%s' "$(projinfo "$1" -o WKT1_GDAL --single-line -q)" >"$2"; }

wkt1 EPSG:3003 gbo_west.wkt
wkt1 EPSG:3004 gbo_east.wkt
wkt1 EPSG:25832 utm_etrs89.wkt
wkt1 EPSG:7791 utm32_rdn2008.wkt
wkt1 EPSG:7792 utm33_rdn2008.wkt

# The shortened Gauss-Boaga West form has no EPSG code. It is EPSG:3003
# with the coordinates written 1 500 000 m short in the easting and
# 5 000 000 m short in the northing, so a false easting of 0 and a false
# northing of -5 000 000 m (as gboshift_west.prj says): EPSG:3003's WKT 2
# with those two parameters and the new names, without the identifiers and
# the area of use that belong to EPSG:3003 alone, written as WKT 1.
shortened=$(projinfo EPSG:3003 -o WKT2_2019 --single-line -q |
    sed -e 's|"Monte Mario / Italy zone 1"|"Monte Mario / Italy zone 1, shortened"|' \
        -e 's|CONVERSION\["Italy zone 1"|CONVERSION["Italy zone 1, shortened"|' \
        -e 's|PARAMETER\["False easting",1500000,|PARAMETER["False easting",0,|' \
        -e 's|PARAMETER\["False northing",0,|PARAMETER["False northing",-5000000,|' \
        -e 's|,USAGE\[.*\]\]$|]|')
wkt1 "$shortened" gboshift_west.wkt
