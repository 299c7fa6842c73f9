#include "ShapeFileConverter.h"
#include "ShapeTestFiles.h"
#include "TestFiles.h"
#include "TransformationScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <limits>

#include <sys/resource.h>

namespace fs = std::filesystem;
using namespace shapetest;
using kavrotest::readFile;
using kavrotest::writeFile;

namespace {

// The shapes' structure must come through whole; the arithmetic of the chain
// is the script's business, so these tests run with a script that was never
// loaded: its chain is empty and every vertex keeps its value.
class ShapeFileConverterTest : public kavrotest::ScratchFolderTest {
  protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        fs::create_directories(dir_ / "out");
    }
    bool run(const std::string &input, const std::string &output) {
        converter_.setInputPath(input);
        converter_.setOutputPath(output);
        return converter_.open() && converter_.convert();
    }
    bool outputExists(const std::string &base) const {
        return fs::exists(dir_ / (base + ".shp")) ||
               fs::exists(dir_ / (base + ".shx"));
    }

    std::string scriptPath_;
    TransformationScript script_{scriptPath_};
    ShapeFileConverter converter_{script_};
};

struct Bounds {
    double min[4], max[4];
};

Bounds boundsOf(const std::vector<Shape> &shapes) {
    constexpr double big = std::numeric_limits<double>::max();
    Bounds b{{big, big, big, big}, {-big, -big, -big, -big}};
    for (const Shape &s : shapes) {
        const std::vector<double> *values[] = {&s.x, &s.y, &s.z, &s.m};
        for (int axis = 0; axis < 4; ++axis)
            for (double v : *values[axis]) {
                b.min[axis] = std::min(b.min[axis], v);
                b.max[axis] = std::max(b.max[axis], v);
            }
    }
    return b;
}

struct GeometryCase {
    const char *name;
    int fileType;
    std::vector<Shape> shapes;
    bool hasZ;
};

const GeometryCase kGeometries[] = {
    {"three points",
     SHPT_POINT,
     {point(1664097.77, 5103702.47), point(1680720.62, 5152103.32),
      point(1605000, 5060000)},
     false},
    {"multipoint",
     SHPT_MULTIPOINT,
     {{SHPT_MULTIPOINT, {}, {}, {1.5, 2.5, 3.5}, {10, 20, 30}, {}, {}}},
     false},
    {"polyline with two parts",
     SHPT_ARC,
     {{SHPT_ARC, {0, 3}, {}, {0, 1, 2, 10, 11}, {0, 1, 0, 5, 6}, {}, {}}},
     false},
    {"polygon with two rings",
     SHPT_POLYGON,
     {{SHPT_POLYGON,
       {0, 5},
       {},
       {0, 0, 10, 10, 0, 2, 4, 4, 2, 2},
       {0, 10, 10, 0, 0, 2, 2, 4, 4, 2},
       {},
       {}}},
     false},
    {"null shapes between points",
     SHPT_POINT,
     {{SHPT_NULL, {}, {}, {}, {}, {}, {}},
      point(7, 8),
      {SHPT_NULL, {}, {}, {}, {}, {}, {}},
      point(-3, 4)},
     false},
    {"point z with measures",
     SHPT_POINTZ,
     {point(1, 2, SHPT_POINTZ, 250.5, 7), point(3, 4, SHPT_POINTZ, -12, 8)},
     true},
    {"polyline z with measures",
     SHPT_ARCZ,
     {{SHPT_ARCZ,
       {0, 2},
       {},
       {1, 2, 3, 4},
       {5, 6, 7, 8},
       {100, 101.25, 102, 103},
       {0.5, 1.5, 2.5, 3.5}}},
     true},
};

TEST_F(ShapeFileConverterTest, KeepsEveryShapeWithItsPartsZAndM) {
    for (const GeometryCase &c : kGeometries) {
        SCOPED_TRACE(c.name);
        writeShapefile(path("in.shp"), c.fileType, c.shapes);
        ASSERT_TRUE(run(path("in.shp"), path("out/result.shp")))
            << converter_.errorMessage();

        const Shapefile out = readShapefile(path("out/result.shp"));
        EXPECT_EQ(out.type, c.fileType);
        ASSERT_EQ(out.shapes.size(), c.shapes.size());
        for (std::size_t i = 0; i < c.shapes.size(); ++i)
            EXPECT_EQ(out.shapes[i], normalized(c.shapes[i])) << "shape " << i;

        // The header bounds cover the vertices, null shapes not included.
        const Bounds b = boundsOf(out.shapes);
        for (int axis = 0; axis < (c.hasZ ? 4 : 2); ++axis) {
            EXPECT_EQ(out.minBound[axis], b.min[axis]) << "axis " << axis;
            EXPECT_EQ(out.maxBound[axis], b.max[axis]) << "axis " << axis;
        }
    }
}

TEST_F(ShapeFileConverterTest, ReplacesAnExistingOutput) {
    writeShapefile(path("out/result.shp"), SHPT_ARC,
                   {{SHPT_ARC, {0}, {}, {0, 1}, {0, 1}, {}, {}},
                    {SHPT_ARC, {0}, {}, {2, 3}, {2, 3}, {}, {}},
                    {SHPT_ARC, {0}, {}, {4, 5}, {4, 5}, {}, {}}});
    writeShapefile(path("in.shp"), SHPT_POINT, {point(9, 9)});
    ASSERT_TRUE(run(path("in.shp"), path("out/result.shp")));
    const Shapefile out = readShapefile(path("out/result.shp"));
    EXPECT_EQ(out.type, SHPT_POINT);
    ASSERT_EQ(out.shapes.size(), 1u);
    EXPECT_EQ(out.shapes[0], normalized(point(9, 9)));
}

TEST_F(ShapeFileConverterTest, OneConverterServesFileAfterFile) {
    writeShapefile(path("a.shp"), SHPT_POINT, {point(1, 1)});
    writeShapefile(path("b.shp"), SHPT_MULTIPOINT,
                   {{SHPT_MULTIPOINT, {}, {}, {1, 2}, {3, 4}, {}, {}}});
    EXPECT_FALSE(run(path("missing.shp"), path("out/m.shp")));
    ASSERT_TRUE(run(path("a.shp"), path("out/a.shp")));
    EXPECT_EQ(converter_.errorMessage(), "");
    ASSERT_TRUE(run(path("b.shp"), path("out/b.shp")));
    EXPECT_EQ(readShapefile(path("out/a.shp")).shapes.size(), 1u);
    EXPECT_EQ(readShapefile(path("out/b.shp")).type, SHPT_MULTIPOINT);
}

TEST_F(ShapeFileConverterTest, OpenFailuresSayWhyAndCreateNothing) {
    writeShapefile(path("empty.shp"), SHPT_POINT, {});
    writeFile(dir_ / "text.shp", "not a shapefile\n");
    writeFile(dir_ / "text.shx", "not an index\n");
    writeShapefile(path("good.shp"), SHPT_POINT, {point(1, 2)});
    fs::remove(dir_ / "good.shx");
    writeShapefile(path("one.shp"), SHPT_POINT, {point(1, 2)});
    fs::create_directories(dir_ / "out/d.shp"); // a folder where the file goes
    fs::create_directories(dir_ / "out/x.shx"); // and where the index goes
    writeShapefile(path("type2.shp"), SHPT_POINT, {point(1, 2)});
    for (const char *name : {"type2.shp", "type2.shx"}) {
        std::string bytes = readFile(dir_ / name);
        bytes[32] = 2; // no shapefile type has this number
        writeFile(dir_ / name, bytes);
    }
    // An index of nothing but its header that claims 240 million records:
    // refused before shapelib would size its record table by the claim.
    writeShapefile(path("lying.shp"), SHPT_POINT, {point(1, 2)});
    {
        std::string header = readFile(dir_ / "lying.shx").substr(0, 100);
        header.replace(24, 4, std::string("\x39\x40\x00\x00", 4));
        writeFile(dir_ / "lying.shx", header);
    }
    struct Case {
        const char *input, *output, *message;
    } const cases[] = {
        {"missing.shp", "out/r.shp", "Unable to open the input shape file"},
        {"lying.shp", "out/r.shp", "Unable to open the input shape file"},
        {"", "out/r.shp", "Unable to open the input shape file"},
        {"text.shp", "out/r.shp", "Unable to open the input shape file"},
        {"good.shp", "out/r.shp", "Unable to open the input shape file"},
        {"empty.shp", "out/r.shp", "Empty shape file"},
        {"type2.shp", "out/r.shp",
         "Unknown shape type 2 in the input shape file"},
        {"one.shp", "nodir/r.shp", "Unable to create the output shape file"},
        {"one.shp", "out/d.shp", "Unable to create the output shape file"},
        {"one.shp", "out/x.shp", "Unable to create the output shape file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.input);
        converter_.setInputPath(*c.input ? path(c.input) : "");
        converter_.setOutputPath(path(c.output));
        EXPECT_FALSE(converter_.open());
        EXPECT_EQ(converter_.errorMessage().rfind(c.message, 0), 0u)
            << converter_.errorMessage();
        EXPECT_FALSE(outputExists("out/r"));
        EXPECT_FALSE(outputExists("nodir/r"));
        EXPECT_FALSE(fs::exists(dir_ / "out/x.shp"));
    }
}

TEST_F(ShapeFileConverterTest, RefusesAnOutputThatNamesTheInput) {
    writeShapefile(path("in.shp"), SHPT_POINT, {point(1, 2), point(3, 4)});
    const std::string shp = readFile(dir_ / "in.shp");
    const std::string shx = readFile(dir_ / "in.shx");
    fs::create_symlink(dir_ / "in.shp", dir_ / "out/link.shp");
    const std::string outputs[] = {
        path("in.shp"),       dir_.string() + "/./in.shp",
        path("in"),           path("in.SHP"),
        path("in.dbf"),       dir_.string() + "/out/../in.shp",
        path("out/link.shp"),
    };
    for (const std::string &output : outputs) {
        SCOPED_TRACE(output);
        converter_.setInputPath(path("in.shp"));
        converter_.setOutputPath(output);
        EXPECT_FALSE(converter_.open());
        EXPECT_EQ(converter_.errorMessage(),
                  "Output shape file is the input shape file; it was left "
                  "untouched");
        EXPECT_EQ(readFile(dir_ / "in.shp"), shp);
        EXPECT_EQ(readFile(dir_ / "in.shx"), shx);
    }
}

// A damaged shape fails the file, and the output written up to it is removed
// so that nothing is left that looks like a finished shapefile.
TEST_F(ShapeFileConverterTest, DamagedInputLeavesNoHalfOutput) {
    const std::vector<Shape> lines = {
        {SHPT_ARC, {0}, {}, {0, 1}, {0, 1}, {}, {}},
        {SHPT_ARC, {0}, {}, {2, 3, 4}, {2, 3, 4}, {}, {}},
        {SHPT_ARC, {0}, {}, {5, 6, 7}, {5, 6, 7}, {}, {}},
    };
    const auto shxOffset = [](const std::string &shx, int record) {
        const auto *b = reinterpret_cast<const unsigned char *>(shx.data());
        const std::size_t at = 100 + 8 * record; // big-endian 16-bit words
        return 2 * ((b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) |
                    b[at + 3]);
    };
    struct Case {
        const char *name;
        void (*damage)(const fs::path &shp, const fs::path &shx,
                       int thirdRecord);
        const char *shapeNamed;
    } const cases[] = {
        {"shp cut inside the last shape",
         [](const fs::path &shp, const fs::path &, int third) {
             fs::resize_file(shp, third + 20);
         },
         "shape 2"},
        {"shx points past the end of the shp",
         [](const fs::path &, const fs::path &shx, int) {
             std::string index = readFile(shx);
             index[100 + 8 + 0] = 0x01; // second record's offset: 32 MB on
             writeFile(shx, index);
         },
         "shape 1"},
        {"record of another type than the file",
         [](const fs::path &shp, const fs::path &, int third) {
             std::string bytes = readFile(shp);
             bytes[third + 8] = SHPT_MULTIPOINT; // its content reads as one
             writeFile(shp, bytes);
         },
         "shape 2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeShapefile(path("in.shp"), SHPT_ARC, lines);
        const int third = shxOffset(readFile(dir_ / "in.shx"), 2);
        c.damage(dir_ / "in.shp", dir_ / "in.shx", third);
        converter_.setInputPath(path("in.shp"));
        converter_.setOutputPath(path("out/r.shp"));
        // shapelib opens these files; the damage shows when the shape is
        // read, after the output was created.
        ASSERT_TRUE(converter_.open());
        EXPECT_FALSE(converter_.convert());
        EXPECT_NE(converter_.errorMessage().find(c.shapeNamed),
                  std::string::npos)
            << converter_.errorMessage();
        EXPECT_FALSE(outputExists("out/r"));
    }
}

// The converter reads and writes through its own buffers (64 KiB) under
// shapelib. Thousands of small records and records larger than a buffer,
// through a chain that changes nothing, must give back the input byte for
// byte, index and header included.
TEST_F(ShapeFileConverterTest, LargeFileComesBackByteForByte) {
    std::vector<Shape> lines;
    for (int i = 0; i < 12000; ++i) {
        Shape line{SHPT_ARC, {0}, {}, {}, {}, {}, {}};
        const int vertices = i % 1500 == 7 ? 6000 : 2 + i % 3; // 96 KB
        for (int v = 0; v < vertices; ++v) {
            line.x.push_back(1500000 + i * 3.25 + v * 0.5);
            line.y.push_back(5000000 - i * 1.75 + v * 0.25);
        }
        lines.push_back(std::move(line));
    }
    writeShapefile(path("in.shp"), SHPT_ARC, lines);
    ASSERT_TRUE(run(path("in.shp"), path("out/r.shp")))
        << converter_.errorMessage();
    EXPECT_TRUE(readFile(dir_ / "out/r.shp") == readFile(dir_ / "in.shp"));
    EXPECT_TRUE(readFile(dir_ / "out/r.shx") == readFile(dir_ / "in.shx"));
}

// A write that fails (here: the file size limit, as a full disk would)
// fails the file and leaves no half output, although the records go out
// from a buffer long after shapelib handed them over: in the middle of the
// file, or only when the output is closed (the last 6 KB of the .shp).
TEST_F(ShapeFileConverterTest, AFailedWriteIsAFailure) {
    std::vector<Shape> points;
    for (int i = 0; i < 40000; ++i) // 1,120,100 bytes of .shp
        points.push_back(point(i, -i));
    writeShapefile(path("in.shp"), SHPT_POINT, points);
    const struct {
        rlim_t limit;
        const char *message;                             // its start
    } cases[] = {{256 * 1024, "Unable to write shape "}, // and its number
                 {1114000, "Unable to write the output shape file"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.limit);
        converter_.setInputPath(path("in.shp"));
        converter_.setOutputPath(path("out/r.shp"));
        ASSERT_TRUE(converter_.open());

        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = c.limit;
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool converted = converter_.convert();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        EXPECT_FALSE(converted);
        EXPECT_EQ(converter_.errorMessage().rfind(c.message, 0), 0u)
            << converter_.errorMessage();
        EXPECT_FALSE(outputExists("out/r"));
    }
}

} // namespace
