#include "ShapeFileConverter.h"

#include "BlockPipeline.h"
#include "FileCopy.h"
#include "FileDescriptor.h"
#include "PathSafety.h"
#include "Point.h"
#include "ShapefileNames.h"
#include "SystemError.h"
#include "TemporaryOutput.h"
#include "TransformationScript.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string &path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// True when something exists at the path that is not a regular file (links
// followed): a pipe would block the reader that opens it, and a device or a
// folder holds no shapefile.
bool isOtherThanRegularFile(const std::string &path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}

// The input's file of a kind, as SHPOpen finds it: the lower-case extension
// first, then the upper-case one.
std::string openedName(const std::string &base, const char *lower,
                       const char *upper) {
    const std::string name = base + lower;
    return exists(name) || !exists(base + upper) ? name : base + upper;
}

// True when the index (.shx) declares more records than its size can hold.
// shapelib sizes its record table from the declared length before it reads
// the records, and only compares that length with the file's size for
// indexes of more than a million records that are longer than their header:
// a 100-byte index that claims 240 million records costs gigabytes of
// memory before the read fails. Such an index is damaged either way.
bool indexOverstatesItsRecords(const std::string &shx) {
    std::ifstream file(shx, std::ios::binary | std::ios::ate);
    if (!file)
        return false; // SHPOpen reports a missing index itself
    const std::streamoff size = file.tellg();
    unsigned char header[28];
    if (size < 100 || !file.seekg(0) ||
        !file.read(reinterpret_cast<char *>(header), sizeof header))
        return false; // too short for a header: SHPOpen refuses it
    // The file length in 16-bit words, big-endian, read as shapelib reads it.
    const std::uint32_t words = (std::uint32_t(header[24] & 0x7F) << 24) |
                                (std::uint32_t(header[25]) << 16) |
                                (std::uint32_t(header[26]) << 8) | header[27];
    const std::int64_t declared = (std::int64_t(words) - 50) / 4;
    return declared > (size - 100) / 8;
}

// Shapes are converted in blocks of at most this many shapes and, but for
// one longer shape, vertices.
constexpr std::size_t kBlockShapes = 4096;
constexpr std::size_t kBlockVertices = 16384;

// A shape as messages name it, numbered from 0 as shapelib counts.
std::string shapeName(int index) { return "shape " + std::to_string(index); }

bool knownShapeType(int type) {
    switch (type) {
    case SHPT_NULL:
    case SHPT_POINT:
    case SHPT_ARC:
    case SHPT_POLYGON:
    case SHPT_MULTIPOINT:
    case SHPT_POINTZ:
    case SHPT_ARCZ:
    case SHPT_POLYGONZ:
    case SHPT_MULTIPOINTZ:
    case SHPT_POINTM:
    case SHPT_ARCM:
    case SHPT_POLYGONM:
    case SHPT_MULTIPOINTM:
    case SHPT_MULTIPATCH:
        return true;
    default:
        return false;
    }
}

} // namespace

// Shapes read in the file's order, then converted on any thread.
struct ShapeFileConverter::ShapeBlock {
    int firstShape = 0;
    std::uint64_t firstPoint = 0; // the vertices of the file before it
    std::vector<ShpObject> shapes;
    // Why reading stopped after these shapes; empty when it did not.
    std::string stop;
    std::vector<Point> points;
    ChainStatus status;
    // The vertices before the first that the chain refused.
    std::size_t converted = 0;
};

ShapeFileConverter::~ShapeFileConverter() {
    output_.reset();
    removeTemporaryFiles();
}

bool ShapeFileConverter::fail(std::string message) {
    input_.reset();
    output_.reset();
    errorMessage_ = std::move(message);
    return false;
}

bool ShapeFileConverter::failConversion(std::string message) {
    fail(std::move(message));
    removeTemporaryFiles();
    return false;
}

void ShapeFileConverter::removeTemporaryFiles() {
    if (!temporaryProjection_.empty())
        removeFileIfExists(temporaryProjection_);
    temporaryProjection_.clear();
    if (temporaryBase_.empty())
        return;
    removeFileIfExists(temporaryBase_ + ".shp");
    removeFileIfExists(temporaryBase_ + ".shx");
    temporaryBase_.clear();
}

// When the script names its source, an input that declares another system
// is not converted: its coordinates would come out wrong without a word.
bool ShapeFileConverter::contradictsSource(const std::string &inBase) {
    if (script_.sourceSystem() == nullptr)
        return false;
    std::string text;
    int error = 0;
    if (readDefinitionFile(openedName(inBase, ".prj", ".PRJ"), text, error) !=
        DefinitionFileRead::Read)
        return false;
    std::optional<std::string> contradiction =
        script_.sourceContradiction(text, "its .prj");
    if (!contradiction)
        return false;
    fail(std::move(*contradiction));
    return true;
}

// The target's projection file, byte for byte as the script's system has
// it, under a temporary name until the shapes are whole.
bool ShapeFileConverter::createProjectionFile(const std::string &outBase) {
    const ScriptSystem *target = script_.targetSystem();
    if (target == nullptr)
        return true;
    FileDescriptor file(
        createTemporaryOutput(outBase + ".prj", temporaryProjection_));
    if (!file)
        return false;
    const std::string &text = target->esriWkt;
    if (writeAll(file.get(), text.data(), text.size()) == text.size() &&
        file.close())
        return true;
    const int error = errno;
    removeFileIfExists(temporaryProjection_);
    temporaryProjection_.clear();
    errno = error;
    return false;
}

bool ShapeFileConverter::open() {
    input_.reset();
    output_.reset();
    removeTemporaryFiles();
    errorMessage_.clear();
    entityCount_ = 0;
    shapeType_ = SHPT_NULL;

    const std::string inBase = shapefileBase(inputPath_);
    const std::string inputFiles[] = {openedName(inBase, ".shp", ".SHP"),
                                      openedName(inBase, ".shx", ".SHX")};
    // Checked before anything opens them: shapelib would wait for ever on a
    // pipe. The table and its code page are copied later; they are refused
    // now, before any output is written.
    for (const std::string &file :
         {inputFiles[0], inputFiles[1], inBase + ".dbf", inBase + ".cpg"})
        if (isOtherThanRegularFile(file))
            return fail(file + " is not a regular file");
    if (indexOverstatesItsRecords(inputFiles[1]))
        return fail("Unable to open the input shape file");
    input_.reset(SHPOpen(inputPath_.c_str(), "rb"));
    if (!input_)
        return fail("Unable to open the input shape file");
    inputBuffering_.attach(input_.get());
    SHPGetInfo(input_.get(), &entityCount_, &shapeType_, nullptr, nullptr);
    if (entityCount_ <= 0)
        return fail("Empty shape file");
    // shapelib stops the program when it is asked to write a shape of a type
    // it does not know, and a damaged header can name one.
    if (!knownShapeType(shapeType_))
        return fail("Unknown shape type " + std::to_string(shapeType_) +
                    " in the input shape file");
    if (contradictsSource(inBase))
        return false;

    // The output replaces whatever its names point to, so an output that
    // names the input (also through another spelling, a link, or a workspace
    // whose output directory is its input directory) must be stopped here.
    const std::string outBase = shapefileBase(outputPath_);
    for (const std::string &created : {outBase + ".shp", outBase + ".shx"}) {
        for (const std::string &read : inputFiles)
            if (sameFile(created, read))
                return fail("Output shape file is the input shape file; it "
                            "was left untouched");
        // A folder in the way, or a file that could not be truncated in
        // place, is not replaced.
        struct stat status {};
        if (::stat(created.c_str(), &status) == 0 &&
            (S_ISDIR(status.st_mode) || ::access(created.c_str(), W_OK) != 0))
            return fail("Unable to create the output shape file");
    }

    // Written under temporary names and renamed into place by convert()
    // when the shapes are whole.
    temporaryBase_ = createTemporaryShapefile(outBase);
    if (temporaryBase_.empty())
        return fail("Unable to create the output shape file");
    output_.reset(SHPCreate((temporaryBase_ + ".shp").c_str(), shapeType_));
    if (!output_) {
        removeTemporaryFiles();
        return fail("Unable to create the output shape file");
    }
    if (!createProjectionFile(outBase)) {
        const std::string reason = systemErrorText(errno);
        output_.reset();
        removeTemporaryFiles();
        return fail("Unable to create the output projection file: " + reason);
    }
    outputBuffering_.attach(output_.get());
    return true;
}

// The whole shapes take the final names. The table of an earlier output
// goes first: beside the new shapes it would look like theirs, also when
// the run is killed before the new table is copied. The earlier .shp goes
// before the new .shx arrives, so that the two never stand as a mismatched
// pair.
bool ShapeFileConverter::commitOutput() {
    const std::string inBase = shapefileBase(inputPath_);
    const std::string outBase = shapefileBase(outputPath_);
    for (const char *part : {".dbf", ".cpg"}) {
        const std::string stale = outBase + part;
        if (!sameFile(inBase + part, stale) && !removeFileIfExists(stale))
            return failConversion("Unable to replace " + stale + ": " +
                                  systemErrorText(errno));
    }
    const std::string shp = outBase + ".shp";
    if (!removeFileIfExists(shp))
        return failConversion("Unable to replace " + shp + ": " +
                              systemErrorText(errno));
    // The system comes before the shapes: beside them, a .prj of an earlier
    // output would name the wrong one.
    if (!temporaryProjection_.empty()) {
        const bool committed =
            commitTemporaryOutput(temporaryProjection_, outBase + ".prj");
        temporaryProjection_.clear();
        if (!committed)
            return failConversion("Unable to write the output projection "
                                  "file: " +
                                  systemErrorText(errno));
    }
    for (const char *part : {".shx", ".shp"}) {
        if (!commitTemporaryOutput(temporaryBase_ + part, outBase + part)) {
            const std::string reason = systemErrorText(errno);
            removeFileIfExists(outBase + ".shx"); // no index without shapes
            if (script_.targetSystem() != nullptr)
                removeFileIfExists(outBase + ".prj");
            return failConversion("Unable to write the output shape file: " +
                                  reason);
        }
    }
    temporaryBase_.clear();
    return true;
}

bool ShapeFileConverter::convert() {
    if (!input_ || !output_)
        return fail("No shape file is open");

    int nextShape = 0;            // the next one to read
    std::uint64_t pointsRead = 0; // every vertex of the shapes read so far
    std::string failure;
    convertInBlocks<ShapeBlock>(
        pool_,
        [&](ShapeBlock &block) {
            return readShapes(block, nextShape, pointsRead);
        },
        [this](ShapeBlock &block) { convertShapes(block); },
        [&](ShapeBlock &block) { return writeShapes(block, failure); });
    if (!failure.empty())
        return failConversion(std::move(failure));
    input_.reset();
    output_.reset(); // writes the last records, the headers and the .shx
    if (outputBuffering_.failed())
        return failConversion("Unable to write the output shape file");
    return commitOutput();
}

BlockRead ShapeFileConverter::readShapes(ShapeBlock &block, int &nextShape,
                                         std::uint64_t &pointsRead) {
    block.shapes.clear();
    block.stop.clear();
    block.firstShape = nextShape;
    block.firstPoint = pointsRead;
    std::size_t vertices = 0;
    while (nextShape < entityCount_ && block.shapes.size() < kBlockShapes &&
           vertices < kBlockVertices) {
        const int index = nextShape;
        ShpObject object(SHPReadObject(input_.get(), index));
        if (!object) {
            block.stop = "Unable to read " + shapeName(index) +
                         " of the input shape file";
            return BlockRead::Last;
        }
        // shapelib stops the program when it is given a shape of another
        // type than the file's (a damaged record can carry one).
        if (object->nSHPType != shapeType_ && object->nSHPType != SHPT_NULL) {
            block.stop = "Unable to convert " + shapeName(index) +
                         " of the input shape file: its type " +
                         std::to_string(object->nSHPType) +
                         " is not the file's type " +
                         std::to_string(shapeType_);
            return BlockRead::Last;
        }
        ++nextShape;
        vertices += static_cast<std::size_t>(std::max(object->nVertices, 0));
        pointsRead += static_cast<std::size_t>(std::max(object->nVertices, 0));
        block.shapes.push_back(std::move(object));
    }
    if (block.shapes.empty())
        return BlockRead::Nothing;
    return nextShape < entityCount_ ? BlockRead::More : BlockRead::Last;
}

// Only x and y go through the chain, with z = 0; its z is not written back.
void ShapeFileConverter::convertShapes(ShapeBlock &block) const {
    block.points.clear();
    for (const ShpObject &object : block.shapes)
        for (int vertex = 0; vertex < object->nVertices; ++vertex)
            block.points.push_back(
                {{object->padfX[vertex], object->padfY[vertex]}, 0});
    block.status.take();
    block.converted = script_.transformPoints(block.points, block.status);
    const Point *point = block.points.data();
    for (const ShpObject &object : block.shapes) {
        for (int vertex = 0; vertex < object->nVertices; ++vertex, ++point) {
            object->padfX[vertex] = point->x;
            object->padfY[vertex] = point->y;
        }
        SHPComputeExtents(object.get());
    }
}

bool ShapeFileConverter::writeShapes(ShapeBlock &block, std::string &failure) {
    // The shapes before the one with the vertex the chain refused.
    std::size_t whole = 0;
    std::size_t vertexOfShape = block.converted;
    while (whole < block.shapes.size() &&
           vertexOfShape >=
               static_cast<std::size_t>(block.shapes[whole]->nVertices)) {
        vertexOfShape -=
            static_cast<std::size_t>(block.shapes[whole]->nVertices);
        ++whole;
    }
    for (std::size_t i = 0; i < whole; ++i) {
        if (SHPWriteObject(output_.get(), -1, block.shapes[i].get()) < 0) {
            failure = "Unable to write " +
                      shapeName(block.firstShape + static_cast<int>(i)) +
                      " to the output shape file";
            return false;
        }
    }
    if (whole < block.shapes.size()) {
        failure = "point " +
                  std::to_string(block.firstPoint + block.converted + 1) +
                  ", vertex " + std::to_string(vertexOfShape) + " of " +
                  shapeName(block.firstShape + static_cast<int>(whole)) + ", " +
                  block.status.take();
        return false;
    }
    block.shapes.clear(); // written: their memory goes now
    failure = block.stop;
    return failure.empty();
}

bool ShapeFileConverter::copyAttributeTable(const std::string &inputPath,
                                            const std::string &outputPath) {
    std::string reason;
    return copyAttributeTable(inputPath, outputPath, reason);
}

bool ShapeFileConverter::copyAttributeTable(const std::string &inputPath,
                                            const std::string &outputPath,
                                            std::string &reason) {
    const std::string inBase = shapefileBase(inputPath);
    const std::string outBase = shapefileBase(outputPath);
    if (copyFile(inBase + ".dbf", outBase + ".dbf") != CopyFailure::None) {
        reason =
            "Unable to copy the attribute table: " + systemErrorText(errno);
        // A table of an earlier output does not belong to the new shapes;
        // beside them it would make the output look complete.
        removeFileIfExists(outBase + ".dbf");
        removeFileIfExists(outBase + ".cpg");
        return false;
    }
    // The code page travels with the table: a .cpg of an earlier output
    // would make a reader decode these texts wrongly.
    const std::string codePage = inBase + ".cpg";
    if (exists(codePage)) {
        if (copyFile(codePage, outBase + ".cpg") == CopyFailure::None)
            return true;
        reason = "Unable to copy the code page of the attribute table: " +
                 systemErrorText(errno);
        return false;
    }
    if (removeFileIfExists(outBase + ".cpg"))
        return true;
    reason = "Unable to remove the code page " + outBase +
             ".cpg of an earlier output: " + systemErrorText(errno);
    return false;
}
