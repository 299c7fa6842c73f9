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

// The number of threads: digits only, at most kMaxThreads; 0 leaves the
// choice to the run. False for anything else.
bool readThreads(const std::string &value, unsigned &threads) {
    if (value.empty() || value.size() > 4 ||
        value.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned number = static_cast<unsigned>(std::stoul(value));
    if (number > RunSettings::kMaxThreads)
        return false;
    threads = number;
    return true;
}

// The options that say how a CSV file is laid out.
bool isDelimitedOption(std::string_view option) {
    return option == "-CS" || option == "-DS" || option == "-XC" ||
           option == "-YC" || option == "-ZC";
}

// The value of one of them; false for a value it does not take.
bool readDelimitedOption(std::string_view option, const std::string &value,
                         DelimitedTextRequest &request) {
    if (option == "-CS") {
        if (value == ";" || value == "," || value == "|" || value == "\t")
            request.dialect.separator = value[0];
        else if (value == "TAB")
            request.dialect.separator = '\t';
        else
            return false;
    } else if (option == "-DS") {
        if (value != "." && value != ",")
            return false;
        request.dialect.decimalMark = value[0];
    } else {
        if (value.empty())
            return false;
        (option == "-XC"   ? request.xColumn
         : option == "-YC" ? request.yColumn
                           : request.zColumn) = value;
    }
    return true;
}
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
    printLine(
        "KAVRO [-FT <SHP | TXT | GPKG | CSV>] -IF <input file> -OF <output "
        "file> -TS <tranform script>");
    printLine("KAVRO [-FT <SHP | TXT | GPKG | CSV>] -IWS <input workspace> [-F "
              "<filter>] -OWS <output workspace> -TS <tranform script>");
    printLine("  with -FT CSV also: [-CS <; | , | TAB | |>] [-DS <. | ,>] "
              "[-XC <column>] [-YC <column>] [-ZC <column>]");
    printLine("  with either also: [-TH <threads>]");
}

void printHelp() {
    printLine("-HELP: shows this help");
    printLine("-FT <SHP | TXT | GPKG | CSV>: sets type of input file, SHP = "
              "shapefile, TXT = ascii file, GPKG = GeoPackage, CSV = delimited "
              "text point list (default is SHP)");
    printLine("-CS <; | , | TAB | |>: sets column separator of CSV files "
              "(default: found from the first lines)");
    printLine("-DS <. | ,>: sets decimal separator of the coordinates in CSV "
              "files (default: found from the first lines)");
    printLine("-XC <column>: sets x (east, longitude) column of CSV files, by "
              "name or number from 1 (default: found by name)");
    printLine("-YC <column>: sets y (north, latitude) column of CSV files, by "
              "name or number from 1 (default: found by name)");
    printLine("-ZC <column>: sets height column of CSV files, by name or "
              "number from 1, 0 for none (default: found by name)");
    printLine("-IF <input file>: sets input file ");
    printLine("-OF <output file>: sets output file ");
    printLine("-IWS <input workspace>: sets search directory for multiple "
              "input files");
    printLine("-OWS <output workspace>: sets out directory for multiple input "
              "files");
    printLine("-F <filter>: sets search filter for multiple input files "
              "(default is *)");
    printLine("-TS <tranform script>: sets transformation script");
    printLine("-TH <threads>: sets number of threads converting points and "
              "files at once, 1 = one after the other, 0 = one per "
              "processor core (default is 0)");
}

bool parseCommandLine(int argc, const char *const argv[],
                      RunSettings &settings) {
    if (argc < 2) {
        printUsage();
        return false;
    }
    bool delimitedGiven = false;
    for (int position = 1; position < argc; ++position) {
        const std::string_view option = argv[position];
        if (option == "-HELP") {
            printHelp();
            return false;
        }
        const bool known =
            option == "-IF" || option == "-OF" || option == "-IWS" ||
            option == "-OWS" || option == "-F" || option == "-TS" ||
            option == "-FT" || option == "-TH" || isDelimitedOption(option);
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
        } else if (option == "-TH") {
            if (!readThreads(value, settings.threads))
                return fail("unrecognized number of threads");
        } else if (isDelimitedOption(option)) {
            if (!readDelimitedOption(option, value, settings.delimited))
                return fail(option == "-CS"   ? "unrecognized column separator"
                            : option == "-DS" ? "unrecognized decimal separator"
                                              : "empty column option");
            delimitedGiven = true;
        } else { // -FT
            if (value == "SHP")
                settings.fileType = RunSettings::SHP;
            else if (value == "TXT")
                settings.fileType = RunSettings::TXT;
            else if (value == "CSV")
                settings.fileType = RunSettings::CSV;
            else if (value == "GPKG")
                settings.fileType = RunSettings::GPKG;
            else
                return fail("unrecognized file type option");
        }
    }
    if (delimitedGiven && settings.fileType != RunSettings::CSV)
        return fail("-CS,-DS,-XC,-YC,-ZC options allowed only with -FT CSV");
    return true;
}
