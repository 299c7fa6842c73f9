#pragma once

#include "FileConverter.h"

#include <string>

// Shapefiles: the .shp/.shx pair converted vertex by vertex; the .dbf is
// copied beside the output by copyAttributeTable().
class ShapeFileConverter final : public FileConverter {
  public:
    using FileConverter::FileConverter;
    bool open() override;
    bool convert() override;

    // Copies the input's .dbf beside the output, replacing an existing one.
    static bool copyAttributeTable(const std::string &inputPath,
                                   const std::string &outputPath);
};
