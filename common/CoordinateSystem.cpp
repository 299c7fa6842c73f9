#include "CoordinateSystem.h"

#include "Angles.h"
#include "FileDescriptor.h"
#include "TextNumbers.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr double kDegree = kPi / 180; // radians
constexpr double kGrad = kPi / 200;   // radians
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Bounds of the tree: a WKT 2 projected system has some forty elements,
// nested six deep.
constexpr std::size_t kMaxDepth = 16;
constexpr std::size_t kMaxNodes = 4096;

// Tolerances of the comparison: about a millimetre on the ground.
constexpr double kAngleTolerance = 1e-6;  // degrees
constexpr double kLengthTolerance = 1e-3; // metres
constexpr double kScaleTolerance = 1e-9;  // unitless
constexpr double kUnitTolerance = 1e-9;   // relative

// ---------------------------------------------------------------- the tree

struct Value {
    enum Kind { Quoted, Bare, Element } kind = Bare;
    std::string_view text; // Quoted: between the quotes, "" still doubled
    std::size_t node = 0;  // Element: index into Tree::nodes
};

struct Node {
    std::string_view keyword;
    std::vector<Value> values;
};

struct Tree {
    std::vector<Node> nodes; // nodes[0] is the root
};

bool isWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= '0' && c <= '9') || c == '_' || c == '.' || c == '+' ||
           c == '-';
}

bool isKeyword(std::string_view word) {
    if (word.empty() || !((word[0] >= 'A' && word[0] <= 'Z') ||
                          (word[0] >= 'a' && word[0] <= 'z')))
        return false;
    return std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               (c >= '0' && c <= '9') || c == '_';
    });
}

// Reads one element with everything inside it; WKT allows "[" and "(" as
// brackets. Iterative, so that the nesting bound is the only one that
// counts. Nothing when the text breaks the grammar or the bounds.
class TreeParser {
  public:
    explicit TreeParser(std::string_view text) : text_(text) {}

    std::optional<Tree> parse() {
        skipSpace();
        const std::string_view rootKeyword = word();
        skipSpace();
        if (!opens() || !startElement(rootKeyword))
            return std::nullopt;
        while (!open_.empty()) {
            skipSpace();
            if (closes() && tree_.nodes[open_.back()].values.empty()) {
                ++at_; // an element without values: "CS[]"
                open_.pop_back();
                continue;
            }
            const Read read = readValue();
            if (read == Read::Failed)
                return std::nullopt;
            if (read == Read::Element)
                continue; // its first value comes next
            if (!endValue())
                return std::nullopt;
        }
        // Only white space and NUL bytes may follow.
        while (at_ < text_.size() &&
               (isClassicSpace(text_[at_]) || text_[at_] == '\0'))
            ++at_;
        if (at_ != text_.size())
            return std::nullopt;
        return std::move(tree_);
    }

  private:
    enum class Read { Failed, Value, Element };

    void skipSpace() {
        while (at_ < text_.size() && isClassicSpace(text_[at_]))
            ++at_;
    }
    bool opens() const {
        return at_ < text_.size() && (text_[at_] == '[' || text_[at_] == '(');
    }
    bool closes() const {
        return at_ < text_.size() && (text_[at_] == ']' || text_[at_] == ')');
    }
    std::string_view word() {
        const std::size_t start = at_;
        while (at_ < text_.size() && isWordCharacter(text_[at_]))
            ++at_;
        return text_.substr(start, at_ - start);
    }
    void addValue(Value value) {
        tree_.nodes[open_.back()].values.push_back(value);
    }

    // Opens an element at its bracket.
    bool startElement(std::string_view keyword) {
        if (!isKeyword(keyword) || open_.size() >= kMaxDepth ||
            tree_.nodes.size() >= kMaxNodes)
            return false;
        if (!open_.empty())
            addValue({Value::Element, {}, tree_.nodes.size()});
        open_.push_back(tree_.nodes.size());
        tree_.nodes.push_back({keyword, {}});
        ++at_; // the bracket
        return true;
    }

    // One value: a quoted text, a bare word, or the keyword of an element
    // inside, which is then opened.
    Read readValue() {
        if (at_ >= text_.size())
            return Read::Failed;
        if (text_[at_] == '"')
            return readQuoted() ? Read::Value : Read::Failed;
        const std::string_view bare = word();
        if (bare.empty())
            return Read::Failed;
        skipSpace();
        if (opens())
            return startElement(bare) ? Read::Element : Read::Failed;
        addValue({Value::Bare, bare, 0});
        return Read::Value;
    }

    // A quoted text, in which a doubled quote stands for one; false when it
    // is never closed.
    bool readQuoted() {
        const std::size_t start = ++at_;
        for (;;) {
            if (at_ >= text_.size())
                return false;
            if (text_[at_] == '"') {
                if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                    at_ += 2;
                    continue;
                }
                break;
            }
            ++at_;
        }
        addValue({Value::Quoted, text_.substr(start, at_ - start), 0});
        ++at_;
        return true;
    }

    // What follows a value: another one, or the end of its element (and
    // perhaps of those around it).
    bool endValue() {
        for (;;) {
            skipSpace();
            if (at_ < text_.size() && text_[at_] == ',') {
                ++at_;
                return true;
            }
            if (!closes())
                return false;
            ++at_;
            open_.pop_back();
            if (open_.empty())
                return true;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    Tree tree_;
    std::vector<std::size_t> open_; // the elements not closed yet
};

std::optional<Tree> parseTree(std::string_view text) {
    return TreeParser(text).parse();
}

// ------------------------------------------------------- reading the tree

bool sameKeyword(std::string_view keyword, std::string_view upper) {
    return keyword.size() == upper.size() &&
           std::equal(keyword.begin(), keyword.end(), upper.begin(),
                      [](char a, char b) {
                          return (a >= 'a' && a <= 'z' ? a - 'a' + 'A' : a) ==
                                 b;
                      });
}

bool isOneOf(std::string_view keyword,
             std::initializer_list<std::string_view> uppers) {
    return std::any_of(uppers.begin(), uppers.end(), [&](std::string_view u) {
        return sameKeyword(keyword, u);
    });
}

// Lower-case letters and digits only: "Central_Meridian", "central
// meridian" and "CENTRAL-MERIDIAN" all read "centralmeridian".
std::string normalised(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c >= 'A' && c <= 'Z')
            out.push_back(static_cast<char>(c - 'A' + 'a'));
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out.push_back(c);
    }
    return out;
}

std::string unquoted(std::string_view raw) {
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        out.push_back(raw[i]);
        if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"')
            ++i;
    }
    return out;
}

class Reader {
  public:
    explicit Reader(const Tree &tree) : tree_(tree) {}

    const Node &root() const { return tree_.nodes.front(); }

    // The direct child elements of node, in order.
    template <typename F> void forEachChild(const Node &node, F &&f) const {
        for (const Value &value : node.values)
            if (value.kind == Value::Element)
                f(tree_.nodes[value.node]);
    }

    const Node *child(const Node &node,
                      std::initializer_list<std::string_view> keywords) const {
        const Node *found = nullptr;
        forEachChild(node, [&](const Node &c) {
            if (found == nullptr && isOneOf(c.keyword, keywords))
                found = &c;
        });
        return found;
    }

    // The first element of one of the keywords below node, depth first.
    const Node *
    descendant(const Node &node,
               std::initializer_list<std::string_view> keywords) const {
        const Node *found = nullptr;
        forEachChild(node, [&](const Node &c) {
            if (found != nullptr)
                return;
            found = isOneOf(c.keyword, keywords) ? &c : descendant(c, keywords);
        });
        return found;
    }

    static std::string text(const Node &node, std::size_t index) {
        if (index >= node.values.size())
            return {};
        const Value &value = node.values[index];
        if (value.kind == Value::Quoted)
            return unquoted(value.text);
        if (value.kind == Value::Bare)
            return std::string(value.text);
        return {};
    }

    // A finite number, bare or quoted.
    static std::optional<double> number(const Node &node, std::size_t index) {
        if (index >= node.values.size() ||
            node.values[index].kind == Value::Element)
            return std::nullopt;
        double value = 0;
        if (!readWholeClassicNumber(node.values[index].text, value) ||
            !std::isfinite(value))
            return std::nullopt;
        return value;
    }

    // The number that is the last plain value of an element, with only
    // elements (units, identifiers) after it: "1,5" written for 1.5 makes
    // two values, and is no number.
    static std::optional<double> lastNumber(const Node &node,
                                            std::size_t index) {
        for (std::size_t i = index + 1; i < node.values.size(); ++i)
            if (node.values[i].kind != Value::Element)
                return std::nullopt;
        return number(node, index);
    }

    // The factor of a unit element (UNIT, LENGTHUNIT, ANGLEUNIT,
    // SCALEUNIT): greater than 0, else nothing. Factors that stand for a
    // degree or a grad, written to 16 digits, are taken as exactly that,
    // so that 9 degrees read 9.
    static std::optional<double> unitFactor(const Node &unit) {
        const std::optional<double> factor = lastNumber(unit, 1);
        if (!factor || !(*factor > 0))
            return std::nullopt;
        for (const double exact : {kDegree, kGrad})
            if (std::fabs(*factor / exact - 1) < 1e-12)
                return exact;
        return factor;
    }

  private:
    const Tree &tree_;
};

// ------------------------------------------------------------- methods

// The methods whose parameters are compared one by one: the five or seven
// that define them are all among the roles below. Aliases are normalised
// names (ESRI, OGC WKT 1, EPSG as in WKT 2). A family holds the variants
// of one projection; two methods of different families are different
// projections, while two variants of one family may not be told apart by
// their names alone (ESRI's "Lambert_Conformal_Conic" is either).
struct Method {
    const char *name; // OGC WKT 1
    const char *family;
    bool comparable; // its parameters are all among the roles
    int epsgMethod;  // its code in the EPSG data set; 0 for none
    std::initializer_list<const char *> aliases;
};

const std::array<Method, 13> kMethods = {{
    {"Transverse_Mercator",
     "tmerc",
     true,
     9807,
     {"transversemercator", "gausskruger"}},
    {"Cassini_Soldner", "cass", true, 9806, {"cassinisoldner", "cassini"}},
    {"Mercator_1SP", "merc", true, 9804, {"mercator1sp", "mercatorvarianta"}},
    {"Mercator_2SP", "merc", true, 9805, {"mercator2sp", "mercatorvariantb"}},
    {"Mercator", "merc", false, 0, {"mercator"}},
    {"Lambert_Conformal_Conic_1SP",
     "lcc",
     true,
     9801,
     {"lambertconformalconic1sp", "lambertconicconformal1sp"}},
    {"Lambert_Conformal_Conic_2SP",
     "lcc",
     true,
     9802,
     {"lambertconformalconic2sp", "lambertconicconformal2sp"}},
    {"Lambert_Conformal_Conic", "lcc", false, 0, {"lambertconformalconic"}},
    {"Oblique_Stereographic",
     "stere",
     true,
     9809,
     {"obliquestereographic", "doublestereographic"}},
    {"Polar_Stereographic",
     "stere",
     false,
     9810,
     {"polarstereographic", "polarstereographicvarianta",
      "polarstereographicvariantb"}},
    {"Lambert_Azimuthal_Equal_Area",
     "laea",
     true,
     9820,
     {"lambertazimuthalequalarea"}},
    {"Albers_Conic_Equal_Area",
     "aea",
     true,
     9822,
     {"albersconicequalarea", "albers", "albersequalarea"}},
    {"Equirectangular",
     "eqc",
     false,
     1028,
     {"equirectangular", "equidistantcylindrical", "platecarree"}},
}};

const Method *findMethod(std::string_view name, int epsgCode) {
    const std::string key = normalised(name);
    for (const Method &method : kMethods) {
        if (epsgCode != 0 && method.epsgMethod == epsgCode)
            return &method;
        for (const char *alias : method.aliases)
            if (key == alias)
                return &method;
    }
    return nullptr;
}

const Method *findMethod(std::string_view name) { return findMethod(name, 0); }

enum class Role {
    LatitudeOfOrigin,
    LongitudeOfOrigin,
    ScaleFactor,
    FalseEasting,
    FalseNorthing,
    StandardParallel1,
    StandardParallel2,
    Unknown
};

struct RoleNames {
    Role role;
    std::initializer_list<const char *> names; // normalised
};

const std::array<RoleNames, 7> kRoles = {{
    {Role::LatitudeOfOrigin,
     {"latitudeoforigin", "latitudeofnaturalorigin", "latitudeofcenter",
      "latitudeofcentre", "latitudeoffalseorigin", "latitudeofprojectioncentre",
      "latitudeofprojectioncenter"}},
    {Role::LongitudeOfOrigin,
     {"centralmeridian", "longitudeoforigin", "longitudeofnaturalorigin",
      "longitudeofcenter", "longitudeofcentre", "longitudeoffalseorigin",
      "longitudeofprojectioncentre", "longitudeofprojectioncenter"}},
    {Role::ScaleFactor,
     {"scalefactor", "scalefactoratnaturalorigin", "scalefactoroninitialline",
      "scalefactoratprojectioncentre"}},
    {Role::FalseEasting,
     {"falseeasting", "eastingatfalseorigin", "eastingatprojectioncentre"}},
    {Role::FalseNorthing,
     {"falsenorthing", "northingatfalseorigin", "northingatprojectioncentre"}},
    {Role::StandardParallel1,
     {"standardparallel1", "latitudeof1ststandardparallel"}},
    {Role::StandardParallel2,
     {"standardparallel2", "latitudeof2ndstandardparallel"}},
}};

Role roleOf(std::string_view name) {
    const std::string key = normalised(name);
    for (const RoleNames &entry : kRoles)
        for (const char *alias : entry.names)
            if (key == alias)
                return entry.role;
    return Role::Unknown;
}

bool isAngle(Role role) {
    return role == Role::LatitudeOfOrigin || role == Role::LongitudeOfOrigin ||
           role == Role::StandardParallel1 || role == Role::StandardParallel2;
}

// ----------------------------------------------------- the interpretation

const std::initializer_list<std::string_view> kUnitKeywords = {
    "UNIT", "LENGTHUNIT", "ANGLEUNIT", "SCALEUNIT"};

const std::initializer_list<std::string_view> kGeodeticKeywords = {
    "GEOGCS",      "GEOGCRS",     "GEOGRAPHICCRS", "GEODCRS",
    "GEODETICCRS", "BASEGEOGCRS", "BASEGEODCRS"};
const std::initializer_list<std::string_view> kCrsKeywords = {
    "PROJCS",      "PROJCRS",  "PROJECTEDCRS",  "GEOGCS",
    "GEOCCS",      "GEOGCRS",  "GEOGRAPHICCRS", "GEODCRS",
    "GEODETICCRS", "COMPD_CS", "COMPOUNDCRS",   "BOUNDCRS"};

class Interpreter {
  public:
    explicit Interpreter(const Tree &tree) : read_(tree) {}

    std::optional<CoordinateSystem> run() {
        const Node *crs = &read_.root();
        // A compound system's horizontal part; a bound system's source.
        for (int level = 0; level < 4; ++level) {
            if (isOneOf(crs->keyword, {"COMPD_CS", "COMPOUNDCRS"})) {
                crs = read_.child(*crs, kCrsKeywords);
            } else if (sameKeyword(crs->keyword, "BOUNDCRS")) {
                const Node *source = read_.child(*crs, {"SOURCECRS"});
                crs = source != nullptr ? read_.child(*source, kCrsKeywords)
                                        : nullptr;
            } else {
                break;
            }
            if (crs == nullptr)
                return std::nullopt;
        }
        if (isOneOf(crs->keyword, {"PROJCS", "PROJCRS", "PROJECTEDCRS"})) {
            if (!readProjected(*crs))
                return std::nullopt;
        } else if (sameKeyword(crs->keyword, "GEOCCS")) {
            system_.kind = SystemKind::Geocentric;
            if (!readGeodetic(*crs) || !readLinearUnit(*crs))
                return std::nullopt;
        } else if (isOneOf(crs->keyword, kGeodeticKeywords)) {
            if (!readGeodetic(*crs))
                return std::nullopt;
            const Node *cs = read_.child(*crs, {"CS"});
            if (cs != nullptr &&
                normalised(Reader::text(*cs, 0)) == "cartesian") {
                system_.kind = SystemKind::Geocentric;
                if (!readLinearUnit(*crs))
                    return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
        system_.name = Reader::text(*crs, 0);
        readAuthority(*crs);
        return system_;
    }

  private:
    // The ellipsoid, the prime meridian and the angular unit of a
    // geographic, geocentric or base system.
    bool readGeodetic(const Node &crs) {
        if (const Node *ellipsoid =
                read_.descendant(crs, {"SPHEROID", "ELLIPSOID"})) {
            const std::optional<double> a = Reader::number(*ellipsoid, 1);
            const std::optional<double> rf = Reader::lastNumber(*ellipsoid, 2);
            double factor = 1;
            if (const Node *unit = read_.child(*ellipsoid, kUnitKeywords)) {
                const std::optional<double> f = Reader::unitFactor(*unit);
                if (!f)
                    return false;
                factor = *f;
            }
            // A flattening of 1 or more is no ellipsoid.
            if (!a || !rf || !(*a > 0) || *rf < 0 || (*rf > 0 && *rf <= 1))
                return false;
            system_.semiMajorAxis = *a * factor;
            system_.inverseFlattening = *rf;
        }
        std::optional<double> primeMeridianUnit;
        if (const Node *primeMeridian = read_.child(crs, {"PRIMEM"})) {
            const std::optional<double> longitude =
                Reader::lastNumber(*primeMeridian, 1);
            if (!longitude)
                return false;
            // WKT 1 writers give it in degrees whatever the unit of the
            // system (GDAL and ESRI alike: "Paris",2.33722917 beside
            // grads); WKT 2 says its unit.
            double factor = kDegree;
            if (const Node *unit = read_.child(*primeMeridian, kUnitKeywords)) {
                primeMeridianUnit = Reader::unitFactor(*unit);
                if (!primeMeridianUnit)
                    return false;
                factor = *primeMeridianUnit;
            }
            system_.primeMeridian = *longitude * factor / kDegree;
        }
        // The angular unit: the system's own (WKT 1, or WKT 2 without a
        // coordinate system), the first axis's, or the prime meridian's.
        const Node *unit = read_.child(crs, {"UNIT", "ANGLEUNIT"});
        if (unit == nullptr)
            if (const Node *axis = read_.child(crs, {"AXIS"}))
                unit = read_.child(*axis, {"UNIT", "ANGLEUNIT"});
        if (unit != nullptr) {
            const std::optional<double> f = Reader::unitFactor(*unit);
            if (!f)
                return false;
            system_.angularUnit = *f;
        } else if (primeMeridianUnit) {
            system_.angularUnit = *primeMeridianUnit;
        }
        return true;
    }

    // The unit of a projected or geocentric system's coordinates: its own
    // UNIT or LENGTHUNIT, else its first axis's. A system that names none
    // is not read: a unit taken for granted could turn into a difference.
    bool readLinearUnit(const Node &crs) {
        const Node *unit = read_.child(crs, {"UNIT", "LENGTHUNIT"});
        if (unit == nullptr)
            if (const Node *axis = read_.child(crs, {"AXIS"}))
                unit = read_.child(*axis, {"UNIT", "LENGTHUNIT"});
        const std::optional<double> f =
            unit != nullptr ? Reader::unitFactor(*unit) : std::nullopt;
        if (!f)
            return false;
        system_.linearUnit = *f;
        return true;
    }

    bool readProjected(const Node &crs) {
        system_.kind = SystemKind::Projected;
        const Node *base =
            read_.child(crs, {"GEOGCS", "BASEGEOGCRS", "BASEGEODCRS", "GEOGCRS",
                              "GEODCRS"});
        if (base == nullptr || !readGeodetic(*base) || !readLinearUnit(crs))
            return false;
        // WKT 1: PROJECTION and PARAMETER in the system; WKT 2: both in
        // its CONVERSION.
        const Node *conversion = read_.child(crs, {"CONVERSION"});
        const Node &holder = conversion != nullptr ? *conversion : crs;
        const Node *method = read_.child(holder, {"PROJECTION", "METHOD"});
        if (method == nullptr)
            return false;
        system_.method = Reader::text(*method, 0);
        const Method *known =
            findMethod(system_.method, epsgId(*method).value_or(0));
        if (known != nullptr) {
            system_.method = known->name;
            system_.knownMethod = true;
        }
        // GDAL's WKT 1 says in an EXTENSION what its parameters do not
        // (a PROJ string for the spherical Web Mercator).
        if (read_.child(crs, {"EXTENSION"}) != nullptr)
            system_.otherParameters = true;
        bool failed = false;
        read_.forEachChild(holder, [&](const Node &parameter) {
            if (!failed && sameKeyword(parameter.keyword, "PARAMETER"))
                failed = !readParameter(parameter);
        });
        return !failed;
    }

    bool readParameter(const Node &parameter) {
        const std::optional<double> value = Reader::lastNumber(parameter, 1);
        if (!value)
            return false;
        const Role role = roleOf(Reader::text(parameter, 0));
        if (role == Role::Unknown) {
            // Not compared; one that is not neutral makes the comparison
            // of the method's parameters undecidable.
            if (*value != 0)
                system_.otherParameters = true;
            return true;
        }
        // WKT 2 states each parameter's unit; WKT 1 gives angles in the
        // unit of the geographic system and lengths in that of the
        // projected one.
        double factor = isAngle(role) ? system_.angularUnit / kDegree
                        : role == Role::ScaleFactor ? 1
                                                    : system_.linearUnit;
        if (const Node *unit = read_.child(parameter, kUnitKeywords)) {
            const std::optional<double> f = Reader::unitFactor(*unit);
            if (!f)
                return false;
            factor = isAngle(role) ? *f / kDegree : *f;
        }
        const double converted = *value * factor;
        switch (role) {
        case Role::LatitudeOfOrigin:
            system_.latitudeOfOrigin = converted;
            break;
        case Role::LongitudeOfOrigin:
            system_.longitudeOfOrigin = converted;
            break;
        case Role::ScaleFactor:
            if (!(converted > 0))
                return false;
            system_.scaleFactor = converted;
            break;
        case Role::FalseEasting:
            system_.falseEasting = converted;
            break;
        case Role::FalseNorthing:
            system_.falseNorthing = converted;
            break;
        case Role::StandardParallel1:
            system_.standardParallel1 = converted;
            break;
        case Role::StandardParallel2:
            system_.standardParallel2 = converted;
            break;
        case Role::Unknown:
            break;
        }
        return true;
    }

    // An EPSG identifier in a WKT 2 ID element of node.
    std::optional<int> epsgId(const Node &node) const {
        const Node *id = read_.child(node, {"ID", "AUTHORITY"});
        if (id == nullptr || normalised(Reader::text(*id, 0)) != "epsg")
            return std::nullopt;
        const std::optional<double> code = Reader::number(*id, 1);
        if (!code || *code < 1 || *code > 1e9 || *code != std::floor(*code))
            return std::nullopt;
        return static_cast<int>(*code);
    }

    void readAuthority(const Node &crs) {
        if (const Node *id = read_.child(crs, {"AUTHORITY", "ID"})) {
            system_.authority = Reader::text(*id, 0);
            system_.code = Reader::text(*id, 1);
        }
    }

    Reader read_;
    CoordinateSystem system_;
};

// ------------------------------------------------------------ comparison

std::string shortest(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Longitudes a and b in degrees, their difference brought into [-180, 180].
double longitudeDifference(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180)
        d -= 360;
    if (d < -180)
        d += 360;
    return d;
}

double semiMinorAxis(const CoordinateSystem &s) {
    return s.inverseFlattening == 0
               ? s.semiMajorAxis
               : s.semiMajorAxis * (1 - 1 / s.inverseFlattening);
}

bool relativelyDifferent(double a, double b) {
    return std::fabs(a - b) > kUnitTolerance * std::max(a, b);
}

const char *kindText(SystemKind kind) {
    switch (kind) {
    case SystemKind::Projected:
        return "a projected system";
    case SystemKind::Geocentric:
        return "a geocentric system";
    case SystemKind::Geographic:
        break;
    }
    return "a geographic system";
}

SystemComparison different(std::string what, const std::string &a,
                           const std::string &b, const char *unit) {
    return {SystemComparison::Different,
            what + ' ' + a + unit + " against " + b + unit};
}

} // namespace

CoordinateSystem::CoordinateSystem()
    : standardParallel1(kNaN), standardParallel2(kNaN), angularUnit(kDegree) {}

int CoordinateSystem::epsgCode() const {
    if (normalised(authority) != "epsg")
        return 0;
    int value = 0;
    const char *first = code.data();
    const char *last = first + code.size();
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last && value > 0 ? value
                                                                       : 0;
}

std::optional<CoordinateSystem> parseWkt(std::string_view text) {
    if (text.size() > kMaxWktLength)
        return std::nullopt;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    const std::optional<Tree> tree = parseTree(text);
    if (!tree)
        return std::nullopt;
    return Interpreter(*tree).run();
}

SystemComparison compareSystems(const CoordinateSystem &a,
                                const CoordinateSystem &b) {
    if (a.kind != b.kind)
        return {SystemComparison::Different,
                std::string(kindText(a.kind)) + " against " + kindText(b.kind)};
    if (a.semiMajorAxis > 0 && b.semiMajorAxis > 0) {
        if (std::fabs(a.semiMajorAxis - b.semiMajorAxis) > kLengthTolerance)
            return different("semi-major axis", shortest(a.semiMajorAxis),
                             shortest(b.semiMajorAxis), " m");
        if (std::fabs(semiMinorAxis(a) - semiMinorAxis(b)) > kLengthTolerance)
            return different("inverse flattening",
                             shortest(a.inverseFlattening),
                             shortest(b.inverseFlattening), "");
    }
    if (a.kind != SystemKind::Projected) {
        if (std::fabs(longitudeDifference(a.primeMeridian, b.primeMeridian)) >
            kAngleTolerance)
            return different("prime meridian", shortest(a.primeMeridian),
                             shortest(b.primeMeridian), "\u00B0");
        if (a.kind == SystemKind::Geographic &&
            relativelyDifferent(a.angularUnit, b.angularUnit))
            return different("angular unit", shortest(a.angularUnit),
                             shortest(b.angularUnit), " rad");
        if (a.kind == SystemKind::Geocentric &&
            relativelyDifferent(a.linearUnit, b.linearUnit))
            return different("linear unit", shortest(a.linearUnit),
                             shortest(b.linearUnit), " m");
        return {SystemComparison::Same, {}};
    }

    if (relativelyDifferent(a.linearUnit, b.linearUnit))
        return different("linear unit", shortest(a.linearUnit),
                         shortest(b.linearUnit), " m");
    const Method *methodA = a.knownMethod ? findMethod(a.method) : nullptr;
    const Method *methodB = b.knownMethod ? findMethod(b.method) : nullptr;
    if (methodA == nullptr || methodB == nullptr)
        return {};
    if (std::string_view(methodA->family) != methodB->family)
        return {SystemComparison::Different,
                "method " + a.method + " against " + b.method};
    if (methodA != methodB || !methodA->comparable || a.otherParameters ||
        b.otherParameters)
        return {};

    const struct {
        const char *what;
        double a, b, tolerance;
        const char *unit;
    } parameters[] = {
        {"latitude of origin", a.latitudeOfOrigin, b.latitudeOfOrigin,
         kAngleTolerance, "\u00B0"},
        {"scale factor", a.scaleFactor, b.scaleFactor, kScaleTolerance, ""},
        {"false easting", a.falseEasting, b.falseEasting, kLengthTolerance,
         " m"},
        {"false northing", a.falseNorthing, b.falseNorthing, kLengthTolerance,
         " m"},
        {"first standard parallel", a.standardParallel1, b.standardParallel1,
         kAngleTolerance, "\u00B0"},
        {"second standard parallel", a.standardParallel2, b.standardParallel2,
         kAngleTolerance, "\u00B0"},
    };
    // The central meridian counts from Greenwich: the same meridian may be
    // written from another prime meridian.
    const double greenwichA = a.longitudeOfOrigin + a.primeMeridian;
    const double greenwichB = b.longitudeOfOrigin + b.primeMeridian;
    if (std::fabs(longitudeDifference(greenwichA, greenwichB)) >
        kAngleTolerance)
        return different("longitude of origin", shortest(greenwichA),
                         shortest(greenwichB), "\u00B0 from Greenwich");
    for (const auto &p : parameters) {
        if (std::isnan(p.a) || std::isnan(p.b))
            continue; // a standard parallel that one text leaves out
        if (std::fabs(p.a - p.b) > p.tolerance)
            return different(p.what, shortest(p.a), shortest(p.b), p.unit);
    }
    return {SystemComparison::Same, {}};
}

std::string readableName(const CoordinateSystem &system) {
    std::string name = system.name;
    if (name.empty() || normalised(name) == "unknown") {
        if (system.kind != SystemKind::Projected)
            return std::string("an unnamed ") + (kindText(system.kind) + 2);
        return "an unnamed " + system.method + " system";
    }
    if (name.find(' ') == std::string::npos)
        std::replace(name.begin(), name.end(), '_', ' ');
    return name;
}

std::optional<std::string> declaredSystemContradiction(
    std::string_view declaredText, std::string_view declaredBy,
    const CoordinateSystem &expected, std::string_view expectedName) {
    const std::optional<CoordinateSystem> declared = parseWkt(declaredText);
    if (!declared)
        return std::nullopt;
    const SystemComparison comparison = compareSystems(*declared, expected);
    if (comparison.verdict != SystemComparison::Different)
        return std::nullopt;
    const std::string declaredName = readableName(*declared);
    std::string reason = std::string(declaredBy) + " says " + declaredName +
                         ", the script converts from " +
                         std::string(expectedName);
    if (normalised(declaredName) == normalised(expectedName))
        reason += "; " + comparison.difference;
    return reason;
}

DefinitionFileRead readDefinitionFile(const std::string &path,
                                      std::string &text, int &error) {
    text.clear();
    error = 0;
    FileDescriptor file = openRegularFile(path, O_RDONLY);
    if (!file) {
        error = errno;
        return error == ENOENT || error == ENOTDIR ? DefinitionFileRead::Missing
               : error == EISDIR || error == EINVAL
                   ? DefinitionFileRead::NotRegular
                   : DefinitionFileRead::Failed;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = errno;
            text.clear();
            return DefinitionFileRead::Failed;
        }
        if (got == 0)
            return DefinitionFileRead::Read;
        if (text.size() + static_cast<std::size_t>(got) > kMaxWktLength) {
            text.clear();
            return DefinitionFileRead::TooLong;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}
