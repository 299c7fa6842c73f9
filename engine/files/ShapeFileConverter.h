#pragma once

#include "FileConverter.h"
#include "ShpBuffering.h"
#include "ShpHandle.h"

#include <cstdint>
#include <string>

enum class BlockRead;

// Shapefiles: every vertex of every shape passes through the script's chain
// and the shapes are written in input order to a new .shp/.shx pair of the
// same shape type; the .dbf is copied beside the output by
// copyAttributeTable(). Only x and y go through the chain (with z = 0): Z and
// M values are kept as they are, and the bounds are recomputed from the
// converted vertices. Shapes are read and written in blocks, which the
// pool's threads convert side by side; memory depends on the threads, not
// on the file.
//
// The companion files are named after the path as shapelib names them: the
// extension is what follows the last "." of the last path component. On a
// case-sensitive file system "A.SHP" opens "A.SHP" and "A.SHX" (shapelib also
// tries the upper-case names), but the output is always written as ".shp" and
// ".shx", and the attribute table is looked for as "A.dbf" only.
class ShapeFileConverter final : public FileConverter {
  public:
    using FileConverter::FileConverter;
    ~ShapeFileConverter() override; // removes an output left unfinished

    // Opens the input and creates the output under temporary names beside
    // it (TemporaryOutput.h), with the script's target projection file
    // when the script names one. Refuses, without touching any file, an
    // output that would overwrite the input's .shp or .shx, an input whose
    // .shp, .shx, .dbf or .cpg is there but not a regular file, and an
    // input whose .prj contradicts the script's source system (a .prj that
    // cannot be read says nothing).
    bool open() override;
    // Converts every shape, then renames the whole .prj (when the script
    // names its target), .shx and .shp into place, after removing the table
    // (.dbf, .cpg) of an earlier output there.
    // False when a shape cannot be read, has a type other than the file's,
    // or cannot be written, or when the chain cannot convert a vertex;
    // errorMessage() then names the shape (numbered from 0, as shapelib
    // counts), the temporary files are removed and the files under the
    // final names are left as they were. A vertex is named "point N, vertex
    // V of shape S": N counts every vertex of the file from 1, V the
    // vertices of the shape from 0.
    bool convert() override;

    // Copies the input's .dbf beside the output, replacing an existing one,
    // and with it the input's .cpg (the code page of the table's texts); a
    // .cpg beside the output that the input does not have is removed. False
    // when the .dbf or the .cpg cannot be copied, or a stale .cpg cannot be
    // removed; reason then says which and why.
    static bool copyAttributeTable(const std::string &inputPath,
                                   const std::string &outputPath,
                                   std::string &reason);
    static bool copyAttributeTable(const std::string &inputPath,
                                   const std::string &outputPath);

  private:
    struct ShapeBlock;
    BlockRead readShapes(ShapeBlock &block, int &nextShape,
                         std::uint64_t &pointsRead);
    void convertShapes(ShapeBlock &block) const;
    bool writeShapes(ShapeBlock &block, std::string &failure);
    bool fail(std::string message);
    bool failConversion(std::string message);
    bool commitOutput();
    bool contradictsSource(const std::string &inBase);
    bool createProjectionFile(const std::string &outBase);
    void removeTemporaryFiles();

    // Declared before the handles, which are closed first.
    ShpBuffering inputBuffering_;
    ShpBuffering outputBuffering_;
    ShpHandle input_;
    ShpHandle output_;
    int shapeType_ = SHPT_NULL;
    int entityCount_ = 0;
    // The output's temporary base path while it is written, else empty.
    std::string temporaryBase_;
    // The target's projection file while it is written, else empty.
    std::string temporaryProjection_;
};
