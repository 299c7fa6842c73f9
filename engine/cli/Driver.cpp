#include "Driver.h"

#include "DelimitedTextConverter.h"
#include "DirectorySearch.h"
#include "GeoPackageConverter.h"
#include "ShapeFileConverter.h"
#include "TextFileConverter.h"
#include "TransformationScript.h"

#include <iostream>
#include <string>

namespace {

void printLine(const std::string &line) { std::cout << line << std::endl; }

// One converter of each kind serves every file of the run.
struct Converters {
    Converters(const TransformationScript &script, const RunSettings &settings)
        : text(script), delimited(script), shape(script), geoPackage(script) {
        delimited.setRequest(settings.delimited);
    }
    TextFileConverter text;
    DelimitedTextConverter delimited;
    ShapeFileConverter shape;
    GeoPackageConverter geoPackage;
};

// Converts one file and prints its report line; true when it was converted.
bool convertFile(int fileType, const std::string &inputPath,
                 const std::string &outputPath, Converters &converters) {
    bool converted = false;
    std::string message;
    if (fileType == RunSettings::TXT) {
        TextFileConverter &text = converters.text;
        text.setInputPath(inputPath);
        text.setOutputPath(outputPath);
        converted = text.open() && text.convert();
        message = text.errorMessage();
    } else if (fileType == RunSettings::CSV) {
        DelimitedTextConverter &delimited = converters.delimited;
        delimited.setInputPath(inputPath);
        delimited.setOutputPath(outputPath);
        converted = delimited.open() && delimited.convert();
        message = delimited.errorMessage();
    } else if (fileType == RunSettings::GPKG) {
        GeoPackageConverter &geoPackage = converters.geoPackage;
        geoPackage.setInputPath(inputPath);
        geoPackage.setOutputPath(outputPath);
        converted = geoPackage.open() && geoPackage.convert();
        message = geoPackage.errorMessage();
    } else {
        ShapeFileConverter &shape = converters.shape;
        shape.setInputPath(inputPath);
        shape.setOutputPath(outputPath);
        if (!shape.open()) {
            message = shape.errorMessage();
        } else if (!shape.convert()) {
            // The attribute table is not put beside an incomplete output, so
            // that the output does not look like a whole shapefile.
            message = shape.errorMessage();
        } else {
            converted = ShapeFileConverter::copyAttributeTable(
                inputPath, outputPath, message);
        }
    }
    if (converted)
        printLine(inputPath + " converted to " + outputPath);
    else
        printLine(inputPath + " conversion failed! (" + message + ")");
    return converted;
}

bool convertWorkspace(const RunSettings &settings, Converters &converters) {
    std::string filter = settings.filter;
    if (settings.fileType == RunSettings::CSV)
        filter += ".csv";
    else if (settings.fileType == RunSettings::SHP)
        filter += ".shp";
    else if (settings.fileType == RunSettings::GPKG)
        filter += ".gpkg";
    const std::string &inputDirectory = settings.inputPath;
    const std::string &outputDirectory = settings.outputPath;

    for (const std::string *directory : {&inputDirectory, &outputDirectory}) {
        if (!isDirectory(*directory)) {
            printLine(*directory + " is not a directory");
            return false;
        }
    }

    // Found files may be anything; only named ones may be pipes.
    converters.text.setRegularFilesOnly(true);
    converters.delimited.setRegularFilesOnly(true);
    const std::string pattern = inputDirectory + filter;
    const std::vector<std::string> names = findEntries(pattern);
    if (names.empty()) {
        printLine("no files found in " + pattern);
        return false;
    }
    bool converted = false;
    for (const std::string &name : names) {
        converted = convertFile(
            settings.fileType,
            inputDirectory + RunSettings::kPathSeparator + name,
            outputDirectory + RunSettings::kPathSeparator + name, converters);
    }
    return converted;
}

} // namespace

bool runConversions(const RunSettings &settings,
                    const TransformationScript &script) {
    Converters converters(script, settings);
    if (settings.mode == RunSettings::Workspace)
        return convertWorkspace(settings, converters);
    return convertFile(settings.fileType, settings.inputPath,
                       settings.outputPath, converters);
}
