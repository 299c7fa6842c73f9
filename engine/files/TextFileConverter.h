#pragma once

#include "FileConverter.h"

// ASCII point files: records of "x y z label" in, tab-separated lines with
// eight decimals out.
class TextFileConverter final : public FileConverter {
  public:
    using FileConverter::FileConverter;
    bool open() override;
    bool convert() override;
};
