#include "CommandLine.h"

#include <iostream>
#include <string_view>

namespace {
void printLine(std::string_view text) { std::cout << text << std::endl; }

// Prints the message, then the usage lines; the run stops.
bool fail(std::string_view message) {
    printLine(message);
    printUsage();
    return false;
}

constexpr std::string_view kIncompatible =
    "-IF,-OF options are incompatible with -IWS,-OWS";
} // namespace

void printBanner() {
    printLine("");
    printLine("This product includes software developed by the Apache "
              "Software Foundation (https://www.apache.org/).");
    printLine("This product uses the GNU C++ Library, libstdc++ "
              "(https://gcc.gnu.org/onlinedocs/libstdc++/).");
}

void printUsage() {
    printLine("KAVRO -HELP");
    printLine("KAVRO [-FT <SHP | TXT>] -IF <input file> -OF <output file> -TS "
              "<tranform script>");
    printLine("KAVRO [-FT <SHP | TXT>] -IWS <input workspace> [-F <filter>] "
              "-OWS <output workspace> -TS <tranform script>");
}

void printHelp() {
    printLine("-HELP: shows this help");
    printLine("-FT <SHP | TXT>: sets type of input file, SHP = shapefile, TXT "
              "= ascii file (default is SHP)");
    printLine("-IF <input file>: sets input file ");
    printLine("-OF <output file>: sets output file ");
    printLine("-IWS <input workspace>: sets search directory for multiple "
              "input files");
    printLine("-OWS <output workspace>: sets out directory for multiple input "
              "files");
    printLine("-F <filter>: sets search filter for multiple input files "
              "(default is *)");
    printLine("-TS <tranform script>: sets transformation script");
}

bool parseCommandLine(int argc, const char *const argv[],
                      RunSettings &settings) {
    if (argc < 2) {
        printUsage();
        return false;
    }
    for (int position = 1; position < argc; ++position) {
        const std::string_view option = argv[position];
        if (option == "-HELP") {
            printHelp();
            return false;
        }
        const bool known = option == "-IF" || option == "-OF" ||
                           option == "-IWS" || option == "-OWS" ||
                           option == "-F" || option == "-TS" || option == "-FT";
        // An option whose value is missing because it stands last is handled
        // like an option that is not in the table.
        if (!known || position + 1 >= argc)
            return fail("unrecognized option");
        const std::string value = argv[++position];

        if (option == "-IF" || option == "-OF") {
            if (settings.mode == RunSettings::Workspace)
                return fail(kIncompatible);
            (option == "-IF" ? settings.inputPath : settings.outputPath) =
                value;
            settings.mode = RunSettings::SingleFile;
        } else if (option == "-IWS" || option == "-OWS") {
            if (settings.mode == RunSettings::SingleFile)
                return fail(kIncompatible);
            (option == "-IWS" ? settings.inputPath : settings.outputPath) =
                value;
            settings.mode = RunSettings::Workspace;
        } else if (option == "-F") {
            if (settings.mode == RunSettings::SingleFile)
                return fail("-F option allowed only with -IWS,-OWS");
            settings.filter = RunSettings::kPathSeparator + value;
            settings.mode = RunSettings::Workspace;
        } else if (option == "-TS") {
            settings.scriptPath = value;
        } else { // -FT
            if (value == "SHP")
                settings.fileType = RunSettings::SHP;
            else if (value == "TXT")
                settings.fileType = RunSettings::TXT;
            else
                return fail("unrecognized file type option");
        }
    }
    return true;
}
