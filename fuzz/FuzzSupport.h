#pragma once

// Shared by the fuzz targets: a private scratch folder per process and a
// transformation script of the shipped grammar, loaded once.

#include "TransformationScript.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace fuzz {

inline const std::filesystem::path &scratch() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("kavro-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::filesystem::copy_file(
            KAVRO_SOURCE_DIR "/data/script/TransformationScript.xsd",
            path / "TransformationScript.xsd",
            std::filesystem::copy_options::overwrite_existing);
        return path;
    }();
    return folder;
}

inline void writeFile(const std::filesystem::path &path, const uint8_t *data,
                      size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data),
              static_cast<std::streamsize>(size));
}

// The Gauss-Boaga chain of the shipped script: every operation family that a
// converter's hot loop meets.
inline const TransformationScript &gboScript() {
    static std::string path =
        KAVRO_SOURCE_DIR "/data/script/GBO-UTM32ETRS89-VLM.xml";
    static std::unique_ptr<TransformationScript> script = [] {
        auto loaded = std::make_unique<TransformationScript>(path);
        if (!loaded->load()) {
            std::fprintf(stderr, "cannot load %s\n", path.c_str());
            std::abort();
        }
        return loaded;
    }();
    return *script;
}

} // namespace fuzz
