#pragma once

// Coordinate system definitions in well-known text (WKT), reduced to the
// parameters that define them, and compared by those parameters.
//
// Read are WKT 1 as ESRI writes it (a shapefile's .prj), WKT 1 as OGC and
// GDAL write it (a GeoPackage's gpkg_spatial_ref_sys.definition) and WKT 2
// as PROJ, GDAL and QGIS write it (definition_12_063): projected, geographic
// and geocentric systems, also inside a compound or a bound system (its
// horizontal or source part). Names differ between these writers for one
// and the same system ("Monte_Mario_Italy_1", "Monte_Mario_Italy_zone_1",
// "Monte Mario / Italy zone 1"), so names and codes are kept for messages
// but never compared.
//
// The text comes from files of unknown origin: it is read within fixed
// bounds (length, nesting, number of elements), never beyond its end, and
// whatever cannot be read is no definition at all.

#include <optional>
#include <string>
#include <string_view>

enum class SystemKind { Geographic, Projected, Geocentric };

struct CoordinateSystem {
    SystemKind kind = SystemKind::Geographic;
    std::string name; // as written: "Monte Mario / Italy zone 1"

    // Projected systems: the method as OGC WKT 1 names it
    // ("Transverse_Mercator", "Lambert_Conformal_Conic_2SP") when it is one
    // this reader knows, else as written with knownMethod false.
    std::string method;
    bool knownMethod = false;
    // Its parameters: angles in degrees (the longitude from the prime
    // meridian), lengths in metres. A parameter left out of the text has
    // its neutral value; the standard parallels are NaN then.
    double latitudeOfOrigin = 0;
    double longitudeOfOrigin = 0;
    double scaleFactor = 1;
    double falseEasting = 0;
    double falseNorthing = 0;
    double standardParallel1;
    double standardParallel2;
    // The text gives parameters beyond these, which are not compared.
    bool otherParameters = false;

    double linearUnit = 1;        // metres per unit of the coordinates
    double angularUnit;           // radians per unit of geographic ones
    double semiMajorAxis = 0;     // metres; 0 when not given
    double inverseFlattening = 0; // 0 for a sphere
    double primeMeridian = 0;     // degrees east of Greenwich
    std::string authority;        // of the whole system: "EPSG", or empty
    std::string code;             // its code there: "3003"

    CoordinateSystem();
    // The code of an EPSG authority as a number; 0 when there is none.
    int epsgCode() const;
};

// Longest text that parseWkt reads; a real definition is a few kilobytes.
inline constexpr std::size_t kMaxWktLength = 64 * 1024;

// The system that the text defines; nothing when the text is no WKT this
// reader understands, breaks its bounds, or gives a parameter that cannot
// be (a unit or an axis of 0, a number that is not finite). White space
// and NUL bytes may follow the definition, and a UTF-8 byte order mark
// precede it.
std::optional<CoordinateSystem> parseWkt(std::string_view text);

// How two systems compare by their defining parameters: the kind; the
// ellipsoid's axes (within 1 mm: ETRS89's GRS 1980 and WGS 84 count as
// one); for geographic systems the prime meridian and the angular unit;
// for projected ones the linear unit, the method and its parameters
// (angles within 1e-6 degree, lengths within 1 mm, the scale within 1e-9).
// Different only when a parameter that both texts state is proven to
// differ; Undecided when the texts do not say enough (a method this reader
// does not know, or one whose parameters it does not compare).
struct SystemComparison {
    enum Verdict { Same, Different, Undecided } verdict = Undecided;
    // For Different: the first parameter that differs, with both values
    // ("false easting 500000 m against 1500000 m").
    std::string difference;
};
SystemComparison compareSystems(const CoordinateSystem &a,
                                const CoordinateSystem &b);

// A name for messages: the name as written, with the underscores that ESRI
// writes for blanks shown as blanks ("ETRS 1989 UTM Zone 32N"); for a
// system without a name, what it is ("an unnamed Transverse_Mercator
// system").
std::string readableName(const CoordinateSystem &system);

// Why a conversion that expects one system must refuse data that declares
// another, as a report's reason:
//   "<declaredBy> says <declared>, the script converts from <expected>"
// (with the parameter that differs after a "; " when the two names read
// alike); nothing when the declared text cannot be read or does not
// contradict the expected system. declaredBy names the declaration ("its
// .prj", "layer roads").
std::optional<std::string> declaredSystemContradiction(
    std::string_view declaredText, std::string_view declaredBy,
    const CoordinateSystem &expected, std::string_view expectedName);

// Reads a projection file whole, for parseWkt: never a pipe or a device
// (which could block the reader) and never more than kMaxWktLength bytes.
enum class DefinitionFileRead { Read, Missing, NotRegular, TooLong, Failed };
DefinitionFileRead readDefinitionFile(const std::string &path,
                                      std::string &text, int &error);
