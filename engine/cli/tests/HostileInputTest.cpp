// Hostile and broken input through the real KAVRO: damaged and malicious
// scripts, damaged shapefiles, odd point files, awkward names, closed
// folders and full disks. Whatever a run makes of them, it ends within its
// time with a report that says what happened, changes no input file and
// leaves no output that is not whole: every run below is checked for those.
#include "KavroProgram.h"
#include "ShapeTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace kavrotest;
using namespace shapetest;

namespace {

const std::string kScriptError =
    "Error in transformation script. Execution terminated";
// A script, however hostile, is done with within this.
constexpr double kScriptSeconds = 3;
// What a point file may make the engine hold beyond a run on one record:
// its two buffers of 256 KiB, and room for the allocator's rounding.
constexpr long kTextMemoryMarginKiB = 4 * 1024;
constexpr std::size_t kTenMegabytes = std::size_t{10} << 20;

std::string identityScript() {
    return scriptText("  <Description>Identity</Description>\n");
}

// A script root element that names the grammar, around body.
std::string scriptNaming(const std::string &grammar, const std::string &body) {
    return "<TransformationScript "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xsi:noNamespaceSchemaLocation=\"" +
           grammar + "\">" + body + "</TransformationScript>\n";
}

// Ten entities, each ten times the one before: 10^9 "lol"s when expanded.
std::string laughingEntities() {
    std::string entities = "<!ENTITY e0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        std::string value;
        for (int k = 0; k < 10; ++k)
            value += "&e" + std::to_string(i - 1) + ";";
        entities += "<!ENTITY e" + std::to_string(i) + " \"" + value + "\">\n";
    }
    return entities;
}

std::string repeated(const std::string &text, int times) {
    std::string all;
    all.reserve(text.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

std::string nested(const std::string &open, const std::string &close,
                   int depth) {
    return repeated(open, depth) + repeated(close, depth);
}

// A TCP port on the loopback address that listens and is never served: a
// connection made to it waits in the backlog, where connected() finds it.
class LoopbackListener {
  public:
    LoopbackListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 ||
            ::bind(fd_, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
            ::listen(fd_, 8) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address),
                          &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackListener() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    LoopbackListener(const LoopbackListener &) = delete;
    LoopbackListener &operator=(const LoopbackListener &) = delete;

    // The discard port when no port could be opened (nothing answers there).
    int port() const { return port_; }
    bool connected() const {
        const int client = fd_ >= 0 ? ::accept(fd_, nullptr, nullptr) : -1;
        if (client >= 0)
            ::close(client);
        return client >= 0;
    }

  private:
    int fd_ = -1;
    int port_ = 9;
};

// The checksum of every regular file under a folder, by path.
using Checksums = std::map<fs::path, std::size_t>;

Checksums checksums(const fs::path &folder) {
    Checksums sums;
    std::error_code error;
    for (fs::recursive_directory_iterator
             it(folder, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error))
        if (it->is_regular_file(error) && !it->is_symlink(error))
            sums[it->path()] = std::hash<std::string>{}(readFile(it->path()));
    return sums;
}

// The names of a folder's entries that have the form of an output under its
// temporary name: ".<stem>.kavro-part-<6 letters or digits>[.<extension>]".
std::vector<std::string> temporaryNames(const fs::path &folder) {
    static const std::regex pattern(
        R"(\..*\.kavro-part-[A-Za-z0-9]{6}(\..*)?)");
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (std::regex_match(name, pattern))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The files that differ between two sets of checksums: changed, added
// (marked "+") or gone (marked "-").
std::vector<std::string> changedFiles(const Checksums &before,
                                      const Checksums &after) {
    std::vector<std::string> changed;
    for (const auto &[path, sum] : after) {
        const auto was = before.find(path);
        if (was == before.end())
            changed.push_back(std::string(1, '+') + path.string());
        else if (was->second != sum)
            changed.push_back(path.string());
    }
    for (const auto &[path, sum] : before)
        if (after.find(path) == after.end())
            changed.push_back(std::string(1, '-') + path.string());
    return changed;
}

std::uint32_t bigEndianAt(const std::string &bytes, std::size_t at) {
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data() + at);
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 |
           std::uint32_t(b[2]) << 8 | b[3];
}

void putBigEndian(std::string &bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

void putLittleEndian(std::string &bytes, std::size_t at, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(bits >> (8 * i));
}

bool hasExtension(const fs::path &path, const char *extension) {
    std::string found = path.extension().string();
    std::transform(found.begin(), found.end(), found.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return found == extension;
}

// Why a shapefile is not whole, or nothing when it is: it opens with
// shapelib, it and its index are as long as their headers say, and every
// shape reads.
std::string shapefileProblem(const fs::path &shp) {
    const fs::path shx = fs::path(shp).replace_extension(".shx");
    const std::string bytes = readFile(shp);
    const std::string index = readFile(shx);
    if (bytes.size() < 100 || index.size() < 100)
        return "shorter than its header, or without its index";
    if (2 * std::size_t{bigEndianAt(bytes, 24)} != bytes.size() ||
        2 * std::size_t{bigEndianAt(index, 24)} != index.size())
        return "not as long as its header says";
    ShpHandle handle(SHPOpen(shp.c_str(), "rb"));
    if (!handle)
        return "shapelib cannot open it";
    int count = 0;
    SHPGetInfo(handle.get(), &count, nullptr, nullptr, nullptr);
    if (index.size() != 100 + 8 * static_cast<std::size_t>(count))
        return "its index does not hold its records";
    for (int i = 0; i < count; ++i)
        if (!ShpObject(SHPReadObject(handle.get(), i)))
            return "shape " + std::to_string(i) + " does not read";
    return {};
}

// Why a converted point file is not whole, or nothing when it is: every
// line ends with its line break and holds three numbers (as the program
// writes them) and a label, separated by tabs.
std::string pointFileProblem(const std::string &text) {
    if (!text.empty() && text.back() != '\n')
        return "its last line is cut";
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line(text.data() + start, end - start);
        ++number;
        std::size_t at = 0;
        for (int field = 0; field < 3; ++field) {
            const std::size_t tab = line.find('\t', at);
            const std::string value(line.substr(at, tab - at));
            char *rest = nullptr;
            std::strtod(value.c_str(), &rest);
            if (tab == std::string_view::npos || value.empty() || *rest != 0)
                return "line " + std::to_string(number) + " is not a record";
            at = tab + 1;
        }
        if (line.find('\t', at) != std::string_view::npos)
            return "line " + std::to_string(number) + " has extra fields";
        start = end + 1;
    }
    return {};
}

// Why an output file is not whole, or nothing when it is. An index, an
// attribute table or a code page must stand beside a whole shapefile.
std::string outputProblem(const fs::path &file) {
    if (hasExtension(file, ".shp"))
        return shapefileProblem(file);
    for (const char *part : {".shx", ".dbf", ".cpg"})
        if (hasExtension(file, part)) {
            const fs::path shp = fs::path(file).replace_extension(".shp");
            return fs::exists(shp) && shapefileProblem(shp).empty()
                       ? std::string()
                       : std::string("beside no whole shapefile");
        }
    return pointFileProblem(readFile(file));
}

// Every test works in a fresh folder: "in" holds the inputs, scripts and
// grammars among them, "out" the outputs.
class HostileInputTest : public KavroProgramTest {
  protected:
    void SetUp() override {
        KavroProgramTest::SetUp();
        in_ = root_ / "in";
        out_ = root_ / "out";
        for (const fs::path &folder : {in_, out_})
            fs::create_directories(folder);
        copyGrammar(in_);
        writeFile(in_ / "Lax.xsd", kLaxGrammar);
        writeFile(in_ / "identity.xml", identityScript());
    }

    std::string in(const std::string &name) const {
        return (in_ / name).string();
    }
    std::string out(const std::string &name) const {
        return (out_ / name).string();
    }

    // Runs KAVRO and checks what no run may do: change a file under "in",
    // leave an output under "out" that is not whole, or run past its time.
    KavroRun kavro(const std::vector<std::string> &arguments,
                   const RunOptions &options = {}) {
        const Checksums inputs = checksums(in_);
        const Checksums outputs = checksums(out_);
        const auto temporary = temporaryNames(out_);
        const KavroRun ran = run(arguments, options);
        EXPECT_EQ(temporaryNames(out_), temporary)
            << "a run that ended left temporary files";
        EXPECT_NE(ran.status, -1) << "KAVRO did not exit normally\n" << ran.err;
        EXPECT_EQ(changedFiles(inputs, checksums(in_)),
                  std::vector<std::string>{})
            << "input files changed";
        const Checksums written = checksums(out_);
        for (const std::string &changed : changedFiles(outputs, written))
            if (changed[0] != '-') {
                const fs::path file = changed.substr(changed[0] == '+');
                EXPECT_EQ(outputProblem(file), "") << file;
            }
        return ran;
    }

    // Converts one file, with the identity script unless another is named.
    KavroRun convert(const std::string &type, const std::string &input,
                     const std::string &output,
                     const std::string &script = "identity.xml",
                     const RunOptions &options = {}) {
        return kavro(
            {"-FT", type, "-IF", input, "-OF", output, "-TS", in(script)},
            options);
    }

    // Three polylines, the second of two parts, with their table.
    void writeLines(const std::string &name) const {
        writeShapefile(
            in(name + ".shp"), SHPT_ARC,
            {{SHPT_ARC, {0}, {}, {0, 1}, {0, 1}, {}, {}},
             {SHPT_ARC, {0, 2}, {}, {2, 3, 4, 5, 6}, {2, 3, 4, 5, 6}, {}, {}},
             {SHPT_ARC, {0}, {}, {7, 8, 9}, {7, 8, 9}, {}, {}}});
        writeFile(in_ / (name + ".dbf"), "table of " + name);
    }

    bool shapefileOutputExists(const std::string &base) const {
        for (const char *extension : {".shp", ".shx", ".dbf", ".cpg"})
            if (fs::exists(out_ / (base + extension)))
                return true;
        return false;
    }

    fs::path in_, out_;
};

// ---------------------------------------------------------------- scripts

// Each of these stops the run before any file is touched: the parser or the
// loader says why on the error stream, then the standard line, status 0.
TEST_F(HostileInputTest, HostileScriptsStopTheRunWithAMessage) {
    const std::string secret = in("secret.txt");
    writeFile(secret, "the content of another file");
    writeFile(in_ / "laughs.xsd",
              "<!DOCTYPE xs:schema [\n" + laughingEntities() +
                  "]>\n<xs:schema "
                  "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
                  "<xs:annotation><xs:documentation>&e9;</xs:documentation>"
                  "</xs:annotation><xs:element name=\"TransformationScript\"/>"
                  "</xs:schema>\n");
    const LoopbackListener listener;
    const std::string remote =
        "http://127.0.0.1:" + std::to_string(listener.port()) +
        "/TransformationScript.xsd";
    const std::string tm = "  <Transformation Name=\"tm\">\n"
                           "    <TransverseMercatorForward><RefEllipsoid>"
                           "Bessel 1841</RefEllipsoid>"
                           "<ScaleFactorAtNaturalOrigin>1"
                           "</ScaleFactorAtNaturalOrigin>"
                           "</TransverseMercatorForward>\n"
                           "  </Transformation>\n";
    const std::string textAsOperation = "<Transformation Name=\"t\">\n"
                                        "  UnitsConversion\n"
                                        "</Transformation>\n";
    struct Case {
        const char *name;
        std::string script;
        std::string message; // on the error stream
    } const cases[] = {
        {"entity expansion bomb",
         "<!DOCTYPE TransformationScript [\n" + laughingEntities() + "]>\n" +
             scriptNaming("TransformationScript.xsd",
                          "<Description>&e9;</Description>"),
         "entity expansions"},
        {"entity expansion bomb in the grammar", scriptNaming("laughs.xsd", ""),
         "entity expansions"},
        {"external entity naming a local file",
         "<!DOCTYPE TransformationScript [<!ENTITY s SYSTEM \"" + secret +
             "\">]>\n" +
             scriptNaming("TransformationScript.xsd",
                          "<Description>&s;</Description>"),
         "refused to load \"" + secret +
             "\": external entities are not loaded"},
        {"grammar on the network", scriptNaming(remote, ""),
         "refused to load \"" + remote + "\": only local files are loaded"},
        {"external DTD on the network",
         "<!DOCTYPE TransformationScript SYSTEM \"" + remote +
             "\">\n<TransformationScript/>\n",
         "refused to load \"" + remote + "\": only local files are loaded"},
        {"10 MB text value",
         scriptText("<Description>" + std::string(kTenMegabytes, 'x') +
                    "</Description>\n"),
         "larger than 256 KiB, too large for a transformation script or "
         "grammar"},
        {"deeply nested elements",
         scriptText(nested("<Transformation>", "</Transformation>", 7000)),
         "Message: element 'Transformation' is not allowed for content model"},
        {"deeply nested elements that the grammar allows",
         scriptNaming("Lax.xsd",
                      nested("<Transformation>\n", "</Transformation>", 7000)),
         "Transformation \"\": unknown operation \"Transformation\""},
        {"missing ellipsoid", scriptText(tm),
         "TransverseMercatorForward \"tm\": RefEllipsoid \"Bessel 1841\" "
         "names no Ellipsoid"},
        {"operation element written as text", scriptText(textAsOperation),
         "Message: no character data is allowed by content model"},
        {"operation element written as text, grammar allows it",
         scriptNaming("Lax.xsd", textAsOperation),
         "Transformation \"t\": the element has fewer than two child nodes"},
    };
    writeFile(in_ / "points.txt", "1 2 3 A\n");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(in_ / "script.xml", c.script);
        const KavroRun run =
            convert("TXT", in("points.txt"), out("points.txt"), "script.xml");
        EXPECT_EQ(run.lines(), std::vector<std::string>{kScriptError});
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("the content of another file"),
                  std::string::npos);
        EXPECT_LT(run.seconds, kScriptSeconds);
        EXPECT_FALSE(fs::exists(out("points.txt")));
    }
    EXPECT_FALSE(listener.connected()) << "a script reached the network";
}

// A script of many elements loads in time that grows with its size, not
// with its square (TransformationScriptTest.ManyEllipsoidsLoadInLinearTime
// times the load alone). 4,500 whole ellipsoids fill the largest script.
TEST_F(HostileInputTest, ScriptsOfManyElementsLoadQuickly) {
    writeFile(in_ / "many.xml",
              scriptText("<Description>Many ellipsoids</Description>" +
                         repeated("<Ellipsoid><SemiMajorAxes>1</SemiMajorAxes>"
                                  "</Ellipsoid>",
                                  4500)));
    writeFile(in_ / "points.txt", "1 2 3 A\n");
    const KavroRun run =
        convert("TXT", in("points.txt"), out("points.txt"), "many.xml");
    EXPECT_EQ(run.report(),
              in("points.txt") + " converted to " + out("points.txt") + "\n");
    EXPECT_LT(run.seconds, kScriptSeconds);
}

// Numbers at the edges that the checks let through: "1e999" reads as an
// infinity where any number is allowed, "-0" is negative zero, an inverse
// flattening of 1 makes e^2 = 1; the run converts and writes what the
// arithmetic gives. Here x' = -0 - 0x - 0y - 0z, y' = inf, z' = -inf.
// (Text that is no number, and values that break a formula, are refused:
// ProgramTest.ValuesThatBreakAnOperationRefuseTheScript.)
TEST_F(HostileInputTest, ExtremeNumbersThatAreNumbersConvert) {
    writeFile(in_ / "numbers.xml",
              scriptText("<Description>Extremes</Description>\n"
                         "<Transformation Name=\"extremes\">\n"
                         "<AffineGeneralParametricTransformation>"
                         "<A0>-0</A0><A1>-0</A1><A2>-0</A2><A3>-0</A3>"
                         "<B0>1e999</B0><C0>-1e999</C0>"
                         "</AffineGeneralParametricTransformation>\n"
                         "</Transformation>\n"));
    // The same words as ellipsoid and projection numbers: nothing that a
    // file could be checked against, but nothing that stops the program.
    writeFile(
        in_ / "ellipsoid.xml",
        scriptText("<Description>Extreme ellipsoids</Description>\n"
                   "<Ellipsoid Name=\"E\"><SemiMajorAxes>1e300"
                   "</SemiMajorAxes><InverseFlattening>-0"
                   "</InverseFlattening></Ellipsoid>\n"
                   "<Ellipsoid Name=\"F\"><SemiMajorAxes>1e-300"
                   "</SemiMajorAxes><InverseFlattening>1"
                   "</InverseFlattening></Ellipsoid>\n"
                   "<Transformation Name=\"tm\">\n"
                   "<TransverseMercatorForward><RefEllipsoid>E"
                   "</RefEllipsoid><LatitudeOfNaturalOrigin>1e999"
                   "</LatitudeOfNaturalOrigin><ScaleFactorAtNaturalOrigin>"
                   "1e999</ScaleFactorAtNaturalOrigin>"
                   "</TransverseMercatorForward>\n</Transformation>\n"
                   "<Transformation Name=\"geocentric\">\n"
                   "<GeographicToGeocentric><RefEllipsoid>F"
                   "</RefEllipsoid></GeographicToGeocentric>\n"
                   "</Transformation>\n"
                   "<Transformation Name=\"geographic\">\n"
                   "<GeocentricToGeographic><RefEllipsoid>F"
                   "</RefEllipsoid></GeocentricToGeographic>\n"
                   "</Transformation>\n"));
    writeFile(in_ / "points.txt", "1 2 3 A\n");
    writeShapefile(in("points.shp"), SHPT_POINT, {point(1, 2)});
    writeFile(in_ / "points.dbf", "table");

    KavroRun run =
        convert("TXT", in("points.txt"), out("numbers.txt"), "numbers.xml");
    EXPECT_EQ(run.report(),
              in("points.txt") + " converted to " + out("numbers.txt") + "\n");
    EXPECT_EQ(readFile(out_ / "numbers.txt"), "-0.00000000\tinf\t-inf\tA\n");

    run = convert("SHP", in("points.shp"), out("numbers.shp"), "numbers.xml");
    EXPECT_EQ(run.report(),
              in("points.shp") + " converted to " + out("numbers.shp") + "\n");
    const Shapefile converted = readShapefile(out("numbers.shp"));
    ASSERT_EQ(converted.shapes.size(), 1u);
    EXPECT_EQ(converted.shapes[0].x[0], 0.0);
    EXPECT_TRUE(std::signbit(converted.shapes[0].x[0]));
    EXPECT_TRUE(std::isinf(converted.shapes[0].y[0]));

    run =
        convert("TXT", in("points.txt"), out("ellipsoid.txt"), "ellipsoid.xml");
    EXPECT_EQ(run.report(), in("points.txt") + " converted to " +
                                out("ellipsoid.txt") + "\n");
    EXPECT_EQ(run.status, 1);
}

// ------------------------------------------------------------- shapefiles

// The parts of a shapefile a damage works on, as bytes.
struct ShapefileBytes {
    std::string shp, shx;

    // Where record i starts in the .shp, as the index says.
    std::size_t record(int i) const {
        return 2 * std::size_t{bigEndianAt(shx, 100 + 8 * i)};
    }
    // Fields of a polyline record: its type, part and vertex counts, and
    // the start of each part.
    std::size_t typeOf(int i) const { return record(i) + 8; }
    std::size_t partCountOf(int i) const { return record(i) + 44; }
    std::size_t vertexCountOf(int i) const { return record(i) + 48; }
    std::size_t partStartOf(int i, int part) const {
        return record(i) + 52 + 4 * part;
    }
};

// Each damage fails the file with a report line that names what failed,
// and no output is left behind; a workspace run over all of them reports
// each the same way and goes on to the next. The length in a record's own
// header is not read (the index gives it): when only that lies, the shapes
// come out whole.
TEST_F(HostileInputTest, DamagedShapefilesFailWithoutHalfOutput) {
    const std::string unreadable = "Unable to read shape ";
    const std::string ofInput = " of the input shape file";
    const std::string convertsWhole; // no message: the file converts
    struct Case {
        const char *name;
        std::function<void(ShapefileBytes &)> damage;
        std::string message;
    } const cases[] = {
        {"index points past the end",
         [](ShapefileBytes &f) { putBigEndian(f.shx, 100 + 8, 0x800000); },
         unreadable + "1" + ofInput},
        {"index gives a length past the end",
         [](ShapefileBytes &f) { putBigEndian(f.shx, 100 + 16 + 4, 0x10000); },
         unreadable + "2" + ofInput},
        {"index gives a length too short for the vertices",
         [](ShapefileBytes &f) { putBigEndian(f.shx, 100 + 8 + 4, 30); },
         unreadable + "1" + ofInput},
        {"record header gives another length",
         [](ShapefileBytes &f) { putBigEndian(f.shp, f.record(1) + 4, 2); },
         convertsWhole},
        {"part starts beyond the vertices",
         [](ShapefileBytes &f) {
             putLittleEndian(f.shp, f.partStartOf(1, 1), 99);
         },
         unreadable + "1" + ofInput},
        {"negative vertex count",
         [](ShapefileBytes &f) {
             putLittleEndian(f.shp, f.vertexCountOf(1), -1);
         },
         unreadable + "1" + ofInput},
        {"negative part count",
         [](ShapefileBytes &f) {
             putLittleEndian(f.shp, f.partCountOf(1), -2);
         },
         unreadable + "1" + ofInput},
        {"shape of another type than the header's",
         [](ShapefileBytes &f) {
             putLittleEndian(f.shp, f.typeOf(2), SHPT_POLYGON);
         },
         "Unable to convert shape 2 of the input shape file: its type 5 is "
         "not the file's type 3"},
        {"file cut inside a record",
         [](ShapefileBytes &f) { f.shp.resize(f.record(2) + 20); },
         unreadable + "2" + ofInput},
        {"empty shp", [](ShapefileBytes &f) { f.shp.clear(); },
         "Unable to open the input shape file"},
    };
    std::vector<std::string> reports;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = c.name;
        writeLines(name);
        const std::vector<Shape> shapes =
            readShapefile(in(name + ".shp")).shapes;
        ShapefileBytes files{readFile(in_ / (name + ".shp")),
                             readFile(in_ / (name + ".shx"))};
        c.damage(files);
        writeFile(in_ / (name + ".shp"), files.shp);
        writeFile(in_ / (name + ".shx"), files.shx);

        const KavroRun run =
            convert("SHP", in(name + ".shp"), out(name + ".shp"));
        reports.push_back(in(name + ".shp") +
                          (c.message.empty()
                               ? " converted to " + out(name + ".shp")
                               : " conversion failed! (" + c.message + ")"));
        EXPECT_EQ(run.report(), reports.back() + "\n");
        EXPECT_EQ(run.status, 1);
        if (c.message.empty()) {
            EXPECT_EQ(readShapefile(out(name + ".shp")).shapes, shapes);
        } else {
            EXPECT_FALSE(shapefileOutputExists(name));
        }
    }

    // The attribute table is a folder: refused before anything is written.
    writeLines("table is a folder");
    fs::remove(in_ / "table is a folder.dbf");
    fs::create_directory(in_ / "table is a folder.dbf");
    const KavroRun run = convert("SHP", in("table is a folder.shp"),
                                 out("table is a folder.shp"));
    reports.push_back(in("table is a folder.shp") + " conversion failed! (" +
                      in("table is a folder.dbf") + " is not a regular file)");
    EXPECT_EQ(run.report(), reports.back() + "\n");
    EXPECT_FALSE(shapefileOutputExists("table is a folder"));

    fs::remove_all(out_);
    fs::create_directory(out_);
    const KavroRun workspace =
        kavro({"-IWS", in_.string(), "-OWS", out_.string(), "-TS",
               in("identity.xml")});
    std::vector<std::string> lines = splitLines(workspace.report());
    std::sort(lines.begin(), lines.end());
    std::sort(reports.begin(), reports.end());
    EXPECT_EQ(lines, reports);
}

// ------------------------------------------------------------ point files

std::string converted(const std::string &label) {
    return "1.00000000\t2.00000000\t3.00000000\t" + label + "\n";
}

// Every byte value, 16 times over, behind one good record.
std::string binaryAfterARecord() {
    std::string bytes = "1 2 3 A\n";
    for (int round = 0; round < 16; ++round)
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>(b);
    return bytes;
}

// Each file is either converted or fails with a message that names the
// record, and keeps the records before it; memory stays where a file of one
// record puts it, whatever the length of a line.
TEST_F(HostileInputTest, OddPointFilesHaveAClearOutcomeInConstantMemory) {
    const std::string label(kTenMegabytes, 'L');
    const auto malformed = [](const char *record, const char *what) {
        return std::string("Malformed record ") + record +
               " in input text file, line " + record + ": " + what;
    };
    struct Case {
        const char *name;
        std::string content;
        std::string failure; // empty when the file converts
        std::string output;
    } const cases[] = {
        {"10 MB line of letters", std::string(kTenMegabytes, 'x') + "\n",
         malformed("1", "x is not a number"), ""},
        {"10 MB line of digits", std::string(kTenMegabytes, '7') + "\n",
         malformed("1", "x is not a number"), ""},
        {"10 MB line of zeros", std::string(kTenMegabytes, '0') + "\n",
         malformed("1", "x is too long"), ""},
        {"10 MB label", "1 2 3 " + label + "\n1 2 3 B\n", "",
         converted(label) + converted("B")},
        {"binary data", binaryAfterARecord(),
         malformed("2", "x is not a number"), converted("A")},
        {"NUL byte in a label", std::string("1 2 3 A\0B\n", 10), "",
         converted(std::string("A\0B", 3))},
        {"NUL byte after a number", std::string("1 2 3 A\n1\0 2 3 B\n", 17),
         malformed("2", "y is not a number"), converted("A")},
        {"CR LF line ends", "1 2 3 A\r\n1 2 3 B\r\n", "",
         converted("A") + converted("B")},
        {"number of 400 digits", std::string(400, '9') + " 2 3 A\n",
         malformed("1", "x is not a number"), ""},
        {"fraction of 400 digits", "1." + std::string(400, '0') + " 2 3 A\n",
         "", converted("A")},
    };
    writeFile(in_ / "one record.txt", "1 2 3 A\n");
    const long baselineKiB =
        convert("TXT", in("one record.txt"), out("one record.txt"))
            .peakResidentKiB;
    RecordProperty("BaselinePeakResidentKiB", std::to_string(baselineKiB));
    const bool measure = std::getenv("KAVRO_SKIP_MEMORY_TESTS") == nullptr &&
                         peakIsProgramsOwn();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string(c.name) + ".txt";
        writeFile(in_ / name, c.content);
        const KavroRun run = convert("TXT", in(name), out(name));
        const std::string outcome =
            c.failure.empty() ? " converted to " + out(name)
                              : " conversion failed! (" + c.failure + ")";
        EXPECT_EQ(run.report(), in(name) + outcome + "\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(readFile(out_ / name) == c.output);
        RecordProperty(c.name, std::to_string(run.peakResidentKiB));
        if (measure) {
            EXPECT_LT(run.peakResidentKiB, baselineKiB + kTextMemoryMarginKiB)
                << "peak resident size in KiB";
        }
        fs::remove(in_ / name); // the files are large
    }
    if (!peakIsProgramsOwn())
        GTEST_SKIP() << "memory not measured: without " << kTimeProgram
                     << " the figure includes this test's own files";
}

// ------------------------------------------------------------------ paths

// Names are handed on as they are, with no shell between: blanks, quotes,
// "$", line breaks and letters beyond ASCII, in single-file and workspace
// runs of both kinds.
TEST_F(HostileInputTest, NamesWithBlanksQuotesDollarsLineBreaksAndAccents) {
    const std::string names[] = {
        "with  blanks ",
        "quotes ' and \"",
        "$HOME $(id) `id` ${x}",
        "line\nbreak",
        "Küstenlinie Ærøskøbing 東京",
    };
    // A workspace filter of shapefiles gets ".shp" added to it.
    struct Kind {
        const char *type, *extension, *filter;
    } const kinds[] = {{"TXT", ".txt", "*.txt"}, {"SHP", ".shp", "*"}};
    std::vector<std::string> reports;
    for (const std::string &name : names) {
        SCOPED_TRACE(name);
        writeFile(in_ / (name + ".txt"), "1 2 3 " + name.substr(0, 4) + "\n");
        writeShapefile(in(name + ".shp"), SHPT_POINT, {point(1, 2)});
        writeFile(in_ / (name + ".dbf"), "table of " + name);
        writeFile(in_ / (name + ".cpg"), "UTF-8");
        for (const Kind &kind : kinds) {
            const std::string extension = kind.extension;
            const std::string input = in(name + extension);
            const std::string output = out(name + extension);
            const KavroRun run = convert(kind.type, input, output);
            reports.push_back(input + " converted to " + output + "\n");
            EXPECT_EQ(run.report(), reports.back());
        }
        EXPECT_EQ(readFile(out_ / (name + ".txt")),
                  "1.00000000\t2.00000000\t3.00000000\t" + name.substr(0, 4) +
                      "\n");
        EXPECT_EQ(readShapefile(out(name + ".shp")).shapes.size(), 1u);
        EXPECT_EQ(readFile(out_ / (name + ".dbf")), "table of " + name);
        EXPECT_EQ(readFile(out_ / (name + ".cpg")), "UTF-8");
    }

    fs::remove_all(out_);
    fs::create_directory(out_);
    std::string workspaceReport;
    for (const Kind &kind : kinds) {
        workspaceReport +=
            kavro({"-FT", kind.type, "-IWS", in_.string(), "-F", kind.filter,
                   "-OWS", out_.string(), "-TS", in("identity.xml")})
                .report();
    }
    for (const std::string &report : reports)
        EXPECT_NE(workspaceReport.find(report), std::string::npos) << report;
    EXPECT_EQ(workspaceReport.find("failed"), std::string::npos)
        << workspaceReport;
}

// Folders that the user cannot write to, and inputs that it cannot read:
// each file fails with its reason, and nothing is created.
TEST_F(HostileInputTest, FoldersWithoutWritePermissionAndUnreadableInputs) {
    const std::optional<RunOptions> user = unprivileged();
    if (!user)
        GTEST_SKIP() << "running as root, and setpriv cannot run KAVRO as "
                        "nobody here; root ignores permissions";
    const fs::path closed = out_ / "closed";
    const fs::path open = out_ / "open";
    fs::create_directories(closed);
    fs::create_directories(open);
    writeFile(in_ / "p.txt", "1 2 3 A\n");
    writeFile(in_ / "locked.txt", "1 2 3 A\n");
    writeLines("lines");
    writeLines("locked shapes");
    writeLines("locked table");
    // An index left by an earlier run, which the user may not replace.
    writeFile(open / "guarded.shx", "an index of someone else");
    const std::string guarded = readFile(open / "guarded.shx");

    // The user reaches every folder and reads every input (the folder
    // above, the temporary folder, is checked by the probe below); it may
    // write into "open" only.
    using fs::perms;
    const perms readable =
        perms::owner_read | perms::group_read | perms::others_read;
    const perms reachable =
        readable | perms::owner_exec | perms::group_exec | perms::others_exec;
    fs::permissions(root_, reachable | perms::owner_write);
    for (const auto &entry : fs::recursive_directory_iterator(root_))
        fs::permissions(entry.path(), entry.is_directory()
                                          ? reachable | perms::owner_write
                                          : readable | perms::owner_write);
    fs::permissions(closed, reachable);
    fs::permissions(open, perms::all);
    fs::permissions(open / "guarded.shx", readable);
    for (const char *locked :
         {"locked.txt", "locked shapes.shp", "locked table.dbf"})
        fs::permissions(in_ / locked, perms::none);

    const KavroRun probe =
        convert("TXT", in("p.txt"), (open / "probe.txt").string(),
                "identity.xml", *user);
    if (probe.report() !=
        in("p.txt") + " converted to " + (open / "probe.txt").string() + "\n")
        GTEST_SKIP() << "the unprivileged user cannot reach " << root_ << ": "
                     << probe.out << probe.err;

    const std::string failed = " conversion failed! (";
    struct Case {
        const char *name;
        std::string type, input, output, message;
    } const cases[] = {
        {"text into a closed folder", "TXT", in("p.txt"),
         (closed / "p.txt").string(), "Unable to create output text file"},
        {"shapefile into a closed folder", "SHP", in("lines.shp"),
         (closed / "lines.shp").string(),
         "Unable to create the output shape file"},
        {"shapefile whose index may not be replaced", "SHP", in("lines.shp"),
         (open / "guarded.shp").string(),
         "Unable to create the output shape file"},
        {"unreadable text", "TXT", in("locked.txt"),
         (open / "locked.txt").string(), "Unable to open input text file"},
        {"unreadable shapefile", "SHP", in("locked shapes.shp"),
         (open / "locked shapes.shp").string(),
         "Unable to open the input shape file"},
        {"unreadable attribute table", "SHP", in("locked table.shp"),
         (open / "locked table.shp").string(),
         "Unable to copy the attribute table: Permission denied"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const KavroRun run =
            convert(c.type, c.input, c.output, "identity.xml", *user);
        EXPECT_EQ(run.report(), c.input + failed + c.message + ")\n");
        EXPECT_EQ(run.status, 1);
    }
    EXPECT_TRUE(fs::is_empty(closed));
    EXPECT_EQ(readFile(open / "guarded.shx"), guarded);
    EXPECT_FALSE(fs::exists(open / "guarded.shp"));
    EXPECT_FALSE(fs::exists(open / "locked.txt"));
    EXPECT_FALSE(fs::exists(open / "locked shapes.shp"));
    // The shapes of the file with the unreadable table are whole.
    EXPECT_EQ(readShapefile((open / "locked table.shp").string()).shapes.size(),
              3u);
    EXPECT_FALSE(fs::exists(open / "locked table.dbf"));

    const KavroRun workspace =
        kavro({"-FT", "TXT", "-IWS", in_.string(), "-F", "p.txt", "-OWS",
               closed.string(), "-TS", in("identity.xml")},
              *user);
    EXPECT_EQ(workspace.report(),
              in("p.txt") + failed + "Unable to create output text file)\n");
    EXPECT_TRUE(fs::is_empty(closed));
}

// A full disk: the device that is always full, or a file size limit that
// stops the output in the middle of a record. The file fails with the
// reason, and what stays of a text output is whole records, the ones before
// the failure; a shapefile output is removed.
TEST_F(HostileInputTest, FullDisks) {
    std::string records, expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string n = std::to_string(i);
        records +=
            n + ".125 " + n + ".5 " + std::to_string(i % 7) + " P" + n + "\n";
        expected += n + ".12500000\t" + n + ".50000000\t" +
                    std::to_string(i % 7) + ".00000000\tP" + n + "\n";
    }
    writeFile(in_ / "many.txt", records);
    std::vector<Shape> points;
    for (int i = 0; i < 40000; ++i) // 1,120,100 bytes of .shp
        points.push_back(point(i, -i));
    writeShapefile(in("many.shp"), SHPT_POINT, points);
    writeFile(in_ / "many.dbf", "table");
    const std::string failed = " conversion failed! (";

    if (fs::exists("/dev/full")) {
        const KavroRun run = convert("TXT", in("many.txt"), "/dev/full");
        EXPECT_EQ(run.report(), in("many.txt") + failed +
                                    "Unable to write output text file: No "
                                    "space left on device)\n");
    }

    RunOptions limited;
    limited.fileSizeLimit = 200 * 1000 + 17; // inside a record
    KavroRun run = convert("TXT", in("many.txt"), out("many.txt"),
                           "identity.xml", limited);
    EXPECT_EQ(run.report(), in("many.txt") + failed +
                                "Unable to write output text file: File too "
                                "large)\n");
    const std::string kept = readFile(out_ / "many.txt");
    EXPECT_GT(kept.size(), 0u);
    EXPECT_LE(kept.size(), limited.fileSizeLimit);
    EXPECT_TRUE(expected.rfind(kept, 0) == 0) << "not the first records";

    struct Case {
        rlim_t limit;
        std::string message; // its start
    } const cases[] = {
        {256 * 1024, "Unable to write shape "},
        {1114000, "Unable to write the output shape file)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.limit);
        limited.fileSizeLimit = c.limit;
        run = convert("SHP", in("many.shp"), out("many.shp"), "identity.xml",
                      limited);
        EXPECT_EQ(run.report().rfind(in("many.shp") + failed + c.message, 0),
                  0u)
            << run.report();
        EXPECT_FALSE(shapefileOutputExists("many"));
    }
}

// ---------------------------------------------------- killed runs, pipes

// The largest file of the folder whose name has the temporary form.
std::uintmax_t largestTemporary(const fs::path &folder) {
    std::uintmax_t largest = 0;
    std::error_code error;
    for (const std::string &name : temporaryNames(folder))
        largest = std::max(largest, fs::file_size(folder / name, error));
    return largest;
}

// kill -9 in the middle of a file leaves nothing under the final names, only
// hidden temporary files, and no later workspace run takes those for
// inputs. The text input is a pipe that the test feeds, so that the run is
// caught in the middle; the shapefile is large enough to be.
TEST_F(HostileInputTest, KilledRunsLeaveNoPartialFileUnderAFinalName) {
    std::vector<Shape> points;
    for (int i = 0; i < 400000; ++i)
        points.push_back(point(i, i));
    writeShapefile(in("big.shp"), SHPT_POINT, points);
    writeFile(in_ / "big.dbf", std::string(1 << 20, 'd'));
    writeFile(in_ / "big.cpg", "UTF-8");
    ASSERT_EQ(::mkfifo(in("feed").c_str(), 0600), 0);
    const Checksums inputs = checksums(in_);

    EXPECT_TRUE(killWhen({"-IF", in("big.shp"), "-OF", out("big.shp"), "-TS",
                          in("identity.xml")},
                         [&] { return largestTemporary(out_) >= 65536; }));
    std::string records;
    for (int i = 0; i < 1000; ++i)
        records += "1 2 3 P" + std::to_string(i) + "\n";
    // KAVRO is killed only once the records are in the pipe, so the write
    // never meets a pipe without a reader; should it all the same (KAVRO
    // ended early), the write fails instead of raising SIGPIPE here, and
    // the open gives up rather than wait for a reader that never comes.
    std::atomic<bool> fed{false};
    const auto oldPipeHandler = std::signal(SIGPIPE, SIG_IGN);
    std::thread feeder([&] {
        int fd = -1;
        const auto start = std::chrono::steady_clock::now();
        while (fd < 0 && std::chrono::steady_clock::now() - start <
                             std::chrono::seconds(30)) {
            fd = ::open(in("feed").c_str(), O_WRONLY | O_NONBLOCK);
            if (fd < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (fd >= 0) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            // Kept open: KAVRO waits for more until it is killed.
            static_cast<void>(::write(fd, records.data(), records.size()));
            fed = true;
            while (temporaryNames(out_).size() < 3 &&
                   std::chrono::steady_clock::now() - start <
                       std::chrono::seconds(30))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ::close(fd);
        }
    });
    EXPECT_TRUE(
        killWhen({"-FT", "TXT", "-IF", in("feed"), "-OF", out("fed.txt"), "-TS",
                  in("identity.xml")},
                 [&] { return fed && temporaryNames(out_).size() >= 3; }));
    feeder.join();
    std::signal(SIGPIPE, oldPipeHandler);

    EXPECT_EQ(changedFiles(inputs, checksums(in_)), std::vector<std::string>{});
    std::vector<std::string> left;
    for (const auto &entry : fs::directory_iterator(out_))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, temporaryNames(out_)) << "a file under its final name";
    const std::regex expected(R"(\.(big\.kavro-part-\w{6}\.sh[px]|)"
                              R"(fed\.kavro-part-\w{6}\.txt))");
    for (const std::string &name : left)
        EXPECT_TRUE(std::regex_match(name, expected)) << name;

    // The folder holds nothing a workspace run takes for an input.
    const fs::path again = root_ / "again";
    fs::create_directory(again);
    KavroRun run = kavro({"-IWS", out_.string(), "-OWS", again.string(), "-TS",
                          in("identity.xml")});
    EXPECT_EQ(run.report(), "no files found in " + out_.string() + "/*.shp\n");
    run = kavro({"-FT", "TXT", "-IWS", out_.string(), "-OWS", again.string(),
                 "-TS", in("identity.xml")});
    EXPECT_EQ(run.report().find("kavro-part"), std::string::npos)
        << run.report();
    EXPECT_TRUE(fs::is_empty(again));

    // A run that is not killed puts its whole output in place.
    run = convert("SHP", in("big.shp"), out("big.shp"));
    EXPECT_EQ(run.report(),
              in("big.shp") + " converted to " + out("big.shp") + "\n");
    EXPECT_EQ(readFile(out_ / "big.dbf"), readFile(in_ / "big.dbf"));
}

// A disk that fills up while the table or its code page is copied: the
// report names the file and the reason, and neither is left half written.
TEST_F(HostileInputTest, TableCopiesThatFailSayWhy) {
    writeLines("wide table");
    writeFile(in_ / "wide table.dbf", std::string(200000, 't'));
    writeLines("long code page");
    writeFile(in_ / "long code page.cpg", std::string(200000, 'c'));
    RunOptions limited;
    limited.fileSizeLimit = 100000;
    struct Case {
        const char *name, *reason;
    } const cases[] = {
        {"wide table", "Unable to copy the attribute table: File too large"},
        {"long code page", "Unable to copy the code page of the attribute "
                           "table: File too large"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = c.name;
        const KavroRun run =
            convert("SHP", in(name + ".shp"), out(name + ".shp"),
                    "identity.xml", limited);
        EXPECT_EQ(run.report(), in(name + ".shp") + " conversion failed! (" +
                                    c.reason + ")\n");
        EXPECT_EQ(readShapefile(out(name + ".shp")).shapes.size(), 3u);
        EXPECT_FALSE(fs::exists(out_ / (name + ".cpg")));
    }
    EXPECT_FALSE(fs::exists(out_ / "wide table.dbf"));
    EXPECT_EQ(readFile(out_ / "long code page.dbf"),
              readFile(in_ / "long code page.dbf"));
}

// Pipes, devices and folders where a shapefile or one of its companions
// should be are refused at once, and a workspace run goes on; a text file
// that is named may still be a pipe.
TEST_F(HostileInputTest, PipesWhereFilesShouldBeAreRefusedAtOnce) {
    const auto fifo = [&](const std::string &name) {
        ASSERT_EQ(::mkfifo(in(name).c_str(), 0600), 0) << name;
    };
    fifo("pipe.shp");
    writeLines("pipe index");
    fs::remove(in_ / "pipe index.shx");
    fifo("pipe index.shx");
    writeLines("pipe table");
    fs::remove(in_ / "pipe table.dbf");
    fifo("pipe table.dbf");
    writeLines("pipe code page");
    fifo("pipe code page.cpg");
    writeLines("plain");
    writeFile(in_ / "plain.txt", "1 2 3 A\n");
    fifo("pipe.txt");
    const std::string notRegular = " is not a regular file)";
    RunOptions quick;
    quick.timeLimit = std::chrono::seconds(20);

    const std::string failed = " conversion failed! (";
    for (const char *name : {"pipe.shp", "pipe index.shp", "pipe table.shp",
                             "pipe code page.shp"}) {
        SCOPED_TRACE(name);
        const std::string shp = in(name);
        const std::string base = shp.substr(0, shp.size() - 4);
        const std::string refused = fs::is_fifo(shp)             ? shp
                                    : fs::is_fifo(base + ".shx") ? base + ".shx"
                                    : fs::is_fifo(base + ".dbf")
                                        ? base + ".dbf"
                                        : base + ".cpg";
        const KavroRun run =
            convert("SHP", shp, out(name), "identity.xml", quick);
        EXPECT_EQ(run.report(), shp + failed + refused + notRegular + "\n");
    }
    EXPECT_TRUE(fs::is_empty(out_));

    KavroRun run = kavro({"-IWS", in_.string(), "-OWS", out_.string(), "-TS",
                          in("identity.xml")},
                         quick);
    EXPECT_NE(run.report().find(in("plain.shp") + " converted to "),
              std::string::npos)
        << run.report();
    EXPECT_NE(run.report().find(in("pipe.shp") + failed + in("pipe.shp") +
                                notRegular),
              std::string::npos);
    run = kavro({"-FT", "TXT", "-IWS", in_.string(), "-F", "*.txt", "-OWS",
                 out_.string(), "-TS", in("identity.xml")},
                quick);
    std::vector<std::string> lines = splitLines(run.report());
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  in("pipe.txt") + failed + in("pipe.txt") + notRegular,
                  in("plain.txt") + " converted to " + out("plain.txt")}));

    // Named, a pipe is read as any text input.
    std::thread feeder([&] {
        const int fd = ::open(in("pipe.txt").c_str(), O_WRONLY);
        if (fd >= 0) {
            static_cast<void>(::write(fd, "4 5 6 B\n", 8));
            ::close(fd);
        }
    });
    run =
        convert("TXT", in("pipe.txt"), out("piped.txt"), "identity.xml", quick);
    feeder.join();
    EXPECT_EQ(run.report(),
              in("pipe.txt") + " converted to " + out("piped.txt") + "\n");
    EXPECT_EQ(readFile(out_ / "piped.txt"),
              "4.00000000\t5.00000000\t6.00000000\tB\n");
}

// "?" in a filter stands for one character: "citt?" takes "città" (two
// bytes in UTF-8) and "citt\xe0" (Latin-1, one byte that is no UTF-8), and
// not "cittàà".
TEST_F(HostileInputTest, QuestionMarkInAFilterIsOneCharacter) {
    for (const char *name :
         {"citta", "citt\xc3\xa0", "citt\xe0", "citt\xc3\xa0\xc3\xa0"}) {
        writeShapefile(in(std::string(name) + ".shp"), SHPT_POINT,
                       {point(1, 2)});
        writeFile(in_ / (std::string(name) + ".dbf"), "table");
    }
    const KavroRun run = kavro({"-IWS", in_.string(), "-F", "citt?", "-OWS",
                                out_.string(), "-TS", in("identity.xml")});
    std::vector<std::string> lines = splitLines(run.report());
    std::sort(lines.begin(), lines.end());
    std::vector<std::string> expected;
    for (const char *name : {"citta", "citt\xc3\xa0", "citt\xe0"})
        expected.push_back(in(std::string(name) + ".shp") + " converted to " +
                           out(std::string(name) + ".shp"));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
}

} // namespace
