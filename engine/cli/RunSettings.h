#pragma once

#include "DelimitedText.h"

#include <string>

// What the command line asked for; filled once by parseCommandLine and only
// read afterwards.
struct RunSettings {
    enum Mode { Unset = -1, SingleFile = 0, Workspace = 1 };
    enum FileType { SHP = 1, TXT = 2, GPKG = 3, CSV = 4 };

    std::string inputPath;  // -IF (a file) or -IWS (a directory)
    std::string outputPath; // -OF (a file) or -OWS (a directory)
    std::string scriptPath; // -TS
    // -F, kept with its leading separator: the driver appends it to the
    // input directory.
    std::string filter = std::string(1, kPathSeparator) + "*";
    int mode = Unset;
    int fileType = SHP;
    // -CS, -DS, -XC, -YC, -ZC: how a CSV file is laid out, where the file
    // does not tell.
    DelimitedTextRequest delimited;
    // -TH: the threads that convert; 0 for one per processor the run may
    // use. With 1, points and files are converted one after the other.
    unsigned threads = 0;
    static constexpr unsigned kMaxThreads = 1024;

    static constexpr char kPathSeparator = '/';
};

// The process-wide instance.
RunSettings &runSettings();
