#!/bin/sh
# Makes the projection files of Monte Mario / Italy zone 1 (EPSG:3003) as
# the tools that users meet write them, for the tests that read them. Run
# once with GDAL 3.6.2 and PROJ 9.1.1; the results are committed.
#   common/tests/data/make-prj.sh
set -eu
cd "$(dirname "$0")"

# ESRI WKT 1 as GDAL writes a shapefile's .prj (ESRI's own names), over
# several lines.
gdalsrsinfo -o wkt_esri EPSG:3003 >monte_mario_1_esri.prj
# OGC WKT 1 as GDAL writes it (GeoPackage definition, older .prj files).
gdalsrsinfo -o wkt1 EPSG:3003 >monte_mario_1_gdal.prj
# WKT 2 as PROJ, GDAL and QGIS write it (GeoPackage definition_12_063).
projinfo EPSG:3003 -o WKT2_2019 -q >monte_mario_1_wkt2.prj
# ESRI WKT 1 as QGIS 2 wrote it through GDAL 2, which made ESRI names from
# the EPSG ones ("Monte_Mario_Italy_zone_1"); GDAL 3 writes ESRI's own name,
# so that one is put in its place.
projinfo EPSG:3003 -o WKT1_ESRI --single-line -q |
    sed 's/"Monte_Mario_Italy_1"/"Monte_Mario_Italy_zone_1"/' >monte_mario_1_qgis.prj
