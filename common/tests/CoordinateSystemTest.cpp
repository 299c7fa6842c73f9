#include "CoordinateSystem.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

using namespace kavrotest;

namespace {

std::string dataFile(const std::string &name) {
    return readFile(fs::path(KAVRO_TEST_DATA_DIR) / name);
}
// A projection file of the program folder (ESRI WKT) or its OGC WKT 1.
std::string shipped(const std::string &name) {
    return readFile(fs::path(KAVRO_SOURCE_DIR) / "data" / name);
}

CoordinateSystem parsed(const std::string &text) {
    const std::optional<CoordinateSystem> system = parseWkt(text);
    EXPECT_TRUE(system.has_value()) << text;
    return system.value_or(CoordinateSystem());
}

// Made with "projinfo EPSG:x -o WKT1_GDAL|WKT2_2019 --single-line" (PROJ
// 9.1.1); some changed by hand where a case says so.
const char *const kNtfGdal =
    R"wkt(PROJCS["NTF (Paris) / Lambert zone II",GEOGCS["NTF (Paris)",DATUM["Nouvelle_Triangulation_Francaise_Paris",SPHEROID["Clarke 1880 (IGN)",6378249.2,293.466021293627]],PRIMEM["Paris",2.33722917],UNIT["grad",0.0157079632679489]],PROJECTION["Lambert_Conformal_Conic_1SP"],PARAMETER["latitude_of_origin",52],PARAMETER["central_meridian",0],PARAMETER["scale_factor",0.99987742],PARAMETER["false_easting",600000],PARAMETER["false_northing",2200000],UNIT["metre",1]])wkt";
const char *const kNtfWkt2 =
    R"wkt(PROJCRS["NTF (Paris) / Lambert zone II",BASEGEOGCRS["NTF (Paris)",DATUM["Nouvelle Triangulation Francaise (Paris)",ELLIPSOID["Clarke 1880 (IGN)",6378249.2,293.466021293627,LENGTHUNIT["metre",1]]],PRIMEM["Paris",2.5969213,ANGLEUNIT["grad",0.0157079632679489]]],CONVERSION["Lambert zone II",METHOD["Lambert Conic Conformal (1SP)",ID["EPSG",9801]],PARAMETER["Latitude of natural origin",52,ANGLEUNIT["grad",0.0157079632679489]],PARAMETER["Longitude of natural origin",0,ANGLEUNIT["grad",0.0157079632679489]],PARAMETER["Scale factor at natural origin",0.99987742,SCALEUNIT["unity",1]],PARAMETER["False easting",600000,LENGTHUNIT["metre",1]],PARAMETER["False northing",2200000,LENGTHUNIT["metre",1]]],CS[Cartesian,2],AXIS["easting (X)",east,ORDER[1],LENGTHUNIT["metre",1]],AXIS["northing (Y)",north,ORDER[2],LENGTHUNIT["metre",1]],ID["EPSG",27572]])wkt";
const char *const kNtfEsri =
    R"wkt(PROJCS["NTF_Paris_Lambert_Zone_II",GEOGCS["GCS_NTF_Paris",DATUM["D_NTF",SPHEROID["Clarke_1880_IGN",6378249.2,293.466021293627]],PRIMEM["Paris",2.33722917],UNIT["Grad",0.0157079632679489]],PROJECTION["Lambert_Conformal_Conic"],PARAMETER["False_Easting",600000.0],PARAMETER["False_Northing",2200000.0],PARAMETER["Central_Meridian",0.0],PARAMETER["Standard_Parallel_1",52.0],PARAMETER["Scale_Factor",0.99987742],PARAMETER["Latitude_Of_Origin",52.0],UNIT["Meter",1.0]])wkt";
const char *const kWgs84Utm32 =
    R"wkt(PROJCS["WGS 84 / UTM zone 32N",GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]],PROJECTION["Transverse_Mercator"],PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",9],PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",500000],PARAMETER["false_northing",0],UNIT["metre",1]])wkt";
const char *const kWgs84 =
    R"wkt(GEOGCS["GCS_WGS_1984",DATUM["D_WGS_1984",SPHEROID["WGS_1984",6378137.0,298.257223563]],PRIMEM["Greenwich",0.0],UNIT["Degree",0.0174532925199433]])wkt";
// EPSG:2263 (US survey feet) in WKT 2, and in WKT 1 with the unit changed
// to the metre by hand.
const char *const kLongIslandFeet =
    R"wkt(PROJCRS["NAD83 / New York Long Island (ftUS)",BASEGEOGCRS["NAD83",DATUM["North American Datum 1983",ELLIPSOID["GRS 1980",6378137,298.257222101,LENGTHUNIT["metre",1]]],PRIMEM["Greenwich",0,ANGLEUNIT["degree",0.0174532925199433]]],CONVERSION["SPCS83 New York Long Island zone (US Survey feet)",METHOD["Lambert Conic Conformal (2SP)",ID["EPSG",9802]],PARAMETER["Latitude of false origin",40.1666666666667,ANGLEUNIT["degree",0.0174532925199433]],PARAMETER["Longitude of false origin",-74,ANGLEUNIT["degree",0.0174532925199433]],PARAMETER["Latitude of 1st standard parallel",41.0333333333333,ANGLEUNIT["degree",0.0174532925199433]],PARAMETER["Latitude of 2nd standard parallel",40.6666666666667,ANGLEUNIT["degree",0.0174532925199433]],PARAMETER["Easting at false origin",984250,LENGTHUNIT["US survey foot",0.304800609601219]],PARAMETER["Northing at false origin",0,LENGTHUNIT["US survey foot",0.304800609601219]]],CS[Cartesian,2],AXIS["easting (X)",east,ORDER[1],LENGTHUNIT["US survey foot",0.304800609601219]],AXIS["northing (Y)",north,ORDER[2],LENGTHUNIT["US survey foot",0.304800609601219]]])wkt";
const char *const kLongIslandMetre =
    R"wkt(PROJCS["NAD83 / New York Long Island (ftUS)",GEOGCS["NAD83",DATUM["North_American_Datum_1983",SPHEROID["GRS 1980",6378137,298.257222101]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]],PROJECTION["Lambert_Conformal_Conic_2SP"],PARAMETER["latitude_of_origin",40.1666666666667],PARAMETER["central_meridian",-74],PARAMETER["standard_parallel_1",41.0333333333333],PARAMETER["standard_parallel_2",40.6666666666667],PARAMETER["false_easting",300000],PARAMETER["false_northing",0],UNIT["metre",1]])wkt";
// EPSG:2056, a method whose azimuth is not among the compared parameters.
const char *const kSwissOblique =
    R"wkt(PROJCS["CH1903+ / LV95",GEOGCS["CH1903+",DATUM["CH1903+",SPHEROID["Bessel 1841",6377397.155,299.1528128]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]],PROJECTION["Hotine_Oblique_Mercator_Azimuth_Center"],PARAMETER["latitude_of_center",46.9524055555556],PARAMETER["longitude_of_center",7.43958333333333],PARAMETER["azimuth",90],PARAMETER["rectified_grid_angle",90],PARAMETER["scale_factor",1],PARAMETER["false_easting",2600000],PARAMETER["false_northing",1200000],UNIT["metre",1]])wkt";

// EPSG:3857 as GDAL writes it in WKT 1.
const char *const kWebMercator =
    R"wkt(PROJCS["WGS 84 / Pseudo-Mercator",GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]],PROJECTION["Mercator_1SP"],PARAMETER["central_meridian",0],PARAMETER["scale_factor",1],PARAMETER["false_easting",0],PARAMETER["false_northing",0],UNIT["metre",1],EXTENSION["PROJ4","+proj=merc +a=6378137 +b=6378137 +lat_ts=0 +lon_0=0 +x_0=0 +y_0=0 +k=1 +units=m +nadgrids=@null +wktext +no_defs"]])wkt";

} // namespace

// ESRI, GDAL, QGIS 2 and WKT 2 write Monte Mario zone 1 under three names;
// each reads as the same parameters, and as the program folder's files.
TEST(CoordinateSystem, ReadsEveryWriterOfMonteMarioZone1Alike) {
    const char *files[] = {"monte_mario_1_esri.prj", "monte_mario_1_gdal.prj",
                           "monte_mario_1_qgis.prj", "monte_mario_1_wkt2.prj"};
    const CoordinateSystem reference = parsed(shipped("gbo_west.wkt"));
    EXPECT_EQ(reference.name, "Monte Mario / Italy zone 1");
    EXPECT_EQ(reference.epsgCode(), 3003);
    for (const char *file : files) {
        SCOPED_TRACE(file);
        const CoordinateSystem s = parsed(dataFile(file));
        EXPECT_EQ(s.kind, SystemKind::Projected);
        EXPECT_EQ(s.method, "Transverse_Mercator");
        EXPECT_TRUE(s.knownMethod);
        EXPECT_EQ(s.latitudeOfOrigin, 0);
        EXPECT_EQ(s.longitudeOfOrigin, 9);
        EXPECT_EQ(s.scaleFactor, 0.9996);
        EXPECT_EQ(s.falseEasting, 1500000);
        EXPECT_EQ(s.falseNorthing, 0);
        EXPECT_EQ(s.linearUnit, 1);
        EXPECT_EQ(s.semiMajorAxis, 6378388);
        EXPECT_EQ(s.inverseFlattening, 297);
        EXPECT_EQ(s.primeMeridian, 0);
        const SystemComparison c = compareSystems(s, reference);
        EXPECT_EQ(c.verdict, SystemComparison::Same) << c.difference;
        EXPECT_EQ(compareSystems(s, parsed(shipped("gbo_west.prj"))).verdict,
                  SystemComparison::Same);
    }
    EXPECT_EQ(parsed(dataFile("monte_mario_1_qgis.prj")).name,
              "Monte_Mario_Italy_zone_1");
}

// Different only where a stated parameter proves it; the first one that
// differs is named with both values.
TEST(CoordinateSystem, ComparesByParameters) {
    struct Case {
        std::string a, b;
        SystemComparison::Verdict verdict;
        const char *difference;
    } const cases[] = {
        {shipped("gbo_west.prj"), shipped("utm_etrs89.prj"),
         SystemComparison::Different,
         "semi-major axis 6378388 m against 6378137 m"},
        {shipped("gbo_west.prj"), shipped("gbo_east.wkt"),
         SystemComparison::Different,
         "longitude of origin 9\u00B0 from Greenwich against 15\u00B0 from "
         "Greenwich"},
        {shipped("gbo_west.wkt"), shipped("gboshift_west.prj"),
         SystemComparison::Different, "false easting 1500000 m against 0 m"},
        {shipped("utm32_rdn2008.prj"), shipped("utm33_rdn2008.wkt"),
         SystemComparison::Different,
         "longitude of origin 9\u00B0 from Greenwich against 15\u00B0 from "
         "Greenwich"},
        {shipped("gboshift_west.prj"), shipped("gboshift_west.wkt"),
         SystemComparison::Same, ""},
        // RDN2008 and ETRS89 on one ellipsoid; WGS 84's differs from it by
        // 0.1 mm in the semi-minor axis.
        {shipped("utm_etrs89.prj"), shipped("utm32_rdn2008.wkt"),
         SystemComparison::Same, ""},
        {shipped("utm_etrs89.wkt"), kWgs84Utm32, SystemComparison::Same, ""},
        {kWgs84, shipped("utm_etrs89.prj"), SystemComparison::Different,
         "a geographic system against a projected system"},
        // Grads, a prime meridian in grads and in degrees.
        {kNtfGdal, kNtfWkt2, SystemComparison::Same, ""},
        // ESRI's one Lambert method is either variant: undecided, though it
        // is another projection than transverse Mercator.
        {kNtfEsri, kNtfGdal, SystemComparison::Undecided, ""},
        {kNtfEsri, shipped("gbo_west.prj"), SystemComparison::Different,
         "semi-major axis 6378249.2 m against 6378388 m"},
        {kLongIslandFeet, kLongIslandMetre, SystemComparison::Different,
         "linear unit 0.304800609601219 m against 1 m"},
        {kSwissOblique, kSwissOblique, SystemComparison::Undecided, ""},
        // GDAL's spherical Web Mercator: "Mercator_1SP" on WGS 84 with a
        // PROJ string beside it, no Mercator on WGS 84 at all.
        {kWgs84Utm32, kWebMercator, SystemComparison::Different,
         "method Transverse_Mercator against Mercator_1SP"},
        {kWebMercator, kWebMercator, SystemComparison::Undecided, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.a.substr(0, 40) + " | " + c.b.substr(0, 40));
        const SystemComparison result =
            compareSystems(parsed(c.a), parsed(c.b));
        EXPECT_EQ(result.verdict, c.verdict);
        EXPECT_EQ(result.difference, c.difference);
        EXPECT_EQ(compareSystems(parsed(c.b), parsed(c.a)).verdict, c.verdict);
    }
}

// Text from a file of unknown origin: what breaks the grammar, the bounds
// or the sense of a parameter is no definition.
TEST(CoordinateSystem, RefusesWhatItCannotRead) {
    const std::string west = shipped("gbo_west.prj");
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += "A[";
    deep += "1" + std::string(40, ']');
    std::string wide = "PROJCS[\"x\"";
    for (int i = 0; i < 5000; ++i)
        wide += ",A[1]";
    const auto replaced = [&](const std::string &from, const std::string &to) {
        std::string text = west;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string cases[] = {
        "",
        " ",
        "PROJCS",
        west.substr(0, west.size() - 1), // not closed
        west.substr(0, 40),              // in a quoted name
        west + " PROJCS[]",              // something after it
        deep,
        wide + "]",
        west + std::string(kMaxWktLength, ' '),
        "[\"x\"]",
        "LOCAL_CS[\"x\",UNIT[\"metre\",1]]",
        replaced("0.9996", "nan"),
        replaced("0.9996", "0"),
        replaced("0.9996", "1e999"),
        replaced("UNIT[\"Meter\",1.0]", "UNIT[\"Meter\",0]"),
        replaced(",UNIT[\"Meter\",1.0]", ""), // no linear unit
        replaced("297.0", "0.5"),             // flattening beyond 1
        replaced("PROJECTION[\"Transverse_Mercator\"],", ""),
        replaced("1500000.0", "1,5"),
    };
    for (const std::string &text : cases)
        EXPECT_FALSE(parseWkt(text).has_value()) << text.substr(0, 200);

    // A byte order mark before it, line breaks, NUL bytes after it, and
    // parentheses for brackets are fine.
    std::string round = west;
    std::replace(round.begin(), round.end(), '[', '(');
    std::replace(round.begin(), round.end(), ']', ')');
    for (const std::string &text :
         {"\xEF\xBB\xBF" + west, west + "\r\n" + std::string(3, '\0'), round})
        EXPECT_TRUE(parseWkt(text).has_value()) << text;
}

TEST(CoordinateSystem, NamesAContradictionWithBothSystems) {
    const CoordinateSystem west = parsed(shipped("gbo_west.wkt"));
    const std::string expected = "Monte Mario / Italy zone 1";
    EXPECT_EQ(declaredSystemContradiction(shipped("utm_etrs89.prj"), "its .prj",
                                          west, expected),
              "its .prj says ETRS 1989 UTM Zone 32N, the script converts "
              "from Monte Mario / Italy zone 1");
    // Names that read alike say what differs.
    std::string renamed = shipped("gboshift_west.prj");
    renamed.replace(renamed.find("Monte_Mario_Italy_1_shortened"), 29,
                    "Monte Mario / Italy zone 1");
    EXPECT_EQ(declaredSystemContradiction(renamed, "its .prj", west, expected),
              "its .prj says Monte Mario / Italy zone 1, the script converts "
              "from Monte Mario / Italy zone 1; false easting 0 m against "
              "1500000 m");
    for (const std::string &silent :
         {dataFile("monte_mario_1_qgis.prj"), std::string("PROJCS[garbage")})
        EXPECT_EQ(
            declaredSystemContradiction(silent, "its .prj", west, expected),
            std::nullopt);
}
