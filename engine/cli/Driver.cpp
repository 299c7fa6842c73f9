#include "Driver.h"

#include "DelimitedTextConverter.h"
#include "DirectorySearch.h"
#include "GeoPackageConverter.h"
#include "ShapeFileConverter.h"
#include "ShapefileNames.h"
#include "TextFileConverter.h"
#include "TransformationScript.h"
#include "WorkerPool.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

void printLine(const std::string &line) { std::cout << line << std::endl; }

// What one file came to: whether it was converted, and its report line.
struct FileOutcome {
    bool converted = false;
    std::string line;
};

// Converts one file with a converter of its kind, whose threads are the
// pool's. found: the file was found by the workspace search, not named.
FileOutcome convertFile(const RunSettings &settings,
                        const TransformationScript &script, WorkerPool &pool,
                        const std::string &inputPath,
                        const std::string &outputPath, bool found) {
    bool converted = false;
    std::string message;
    const auto run = [&](FileConverter &converter) {
        converter.setPool(&pool);
        converter.setInputPath(inputPath);
        converter.setOutputPath(outputPath);
        converted = converter.open() && converter.convert();
        message = converter.errorMessage();
    };
    if (settings.fileType == RunSettings::TXT) {
        TextFileConverter text(script);
        text.setRegularFilesOnly(found);
        run(text);
    } else if (settings.fileType == RunSettings::CSV) {
        DelimitedTextConverter delimited(script);
        delimited.setRequest(settings.delimited);
        delimited.setRegularFilesOnly(found);
        run(delimited);
    } else if (settings.fileType == RunSettings::GPKG) {
        GeoPackageConverter geoPackage(script);
        run(geoPackage);
    } else {
        ShapeFileConverter shape(script);
        run(shape);
        // The attribute table is not put beside an incomplete output, so
        // that the output does not look like a whole shapefile.
        if (converted)
            converted = ShapeFileConverter::copyAttributeTable(
                inputPath, outputPath, message);
    }
    if (converted)
        return {true, inputPath + " converted to " + outputPath};
    return {false, inputPath + " conversion failed! (" + message + ")"};
}

// The report lines of a workspace run, printed in the order of its files
// whatever order they finish in: each as soon as the files before it have
// been reported.
class Report {
  public:
    explicit Report(std::size_t files) : lines_(files) {}

    void add(std::size_t file, std::string line) {
        const std::lock_guard lock(mutex_);
        lines_[file] = std::move(line);
        while (printed_ < lines_.size() && lines_[printed_]) {
            printLine(*lines_[printed_]);
            lines_[printed_++].reset();
        }
    }
    bool complete() {
        const std::lock_guard lock(mutex_);
        return printed_ == lines_.size();
    }

  private:
    std::mutex mutex_;
    std::vector<std::optional<std::string>> lines_;
    std::size_t printed_ = 0;
};

// One file of a workspace run, converted on any thread of the pool; its
// blocks go to the pool's other threads when they have nothing else to do.
struct FileJob final : WorkerPool::Task {
    FileJob(const RunSettings &settings, const TransformationScript &script,
            WorkerPool &pool, Report &report, std::size_t index,
            std::string input, std::string output)
        : settings(settings), script(script), pool(pool), report(report),
          index(index), input(std::move(input)), output(std::move(output)) {}

    void run() override {
        FileOutcome outcome =
            convertFile(settings, script, pool, input, output, true);
        converted = outcome.converted;
        report.add(index, std::move(outcome.line));
    }

    const RunSettings &settings;
    const TransformationScript &script;
    WorkerPool &pool;
    Report &report;
    const std::size_t index;
    const std::string input, output;
    bool converted = false;
};

// The files a workspace run reads and writes for one found file: the file
// itself, and for a shapefile its companions.
std::vector<std::string> filesOf(int fileType, const std::string &path) {
    if (fileType != RunSettings::SHP)
        return {path};
    const std::string base = shapefileBase(path);
    return {base + ".shp", base + ".shx", base + ".dbf", base + ".cpg",
            base + ".prj"};
}

// Whether converting one found file could change what another one reads.
// Each output is written under a temporary name and renamed into place,
// never through a link, so that happens only where an input is reached
// through a symbolic link at an output of another file of the run; such a
// run converts its files one after the other, in their order. Inputs are
// compared with every link on their way followed, outputs by their folder.
bool filesMeet(const RunSettings &settings,
               const std::vector<std::string> &names) {
    namespace fs = std::filesystem;
    std::error_code error;
    // Where reading the path leads: links followed, also one that leads
    // nowhere yet (an output still to be written).
    const auto reached = [&](fs::path path) {
        for (int links = 0; links < 40 && fs::is_symlink(path, error);
             ++links) {
            const fs::path target = fs::read_symlink(path, error);
            path = target.is_absolute() ? target : path.parent_path() / target;
        }
        return fs::weakly_canonical(path, error);
    };
    const fs::path outputFolder =
        fs::weakly_canonical(settings.outputPath, error);
    if (error)
        return true;
    std::unordered_map<std::string, std::size_t> writers;
    for (std::size_t i = 0; i < names.size(); ++i)
        for (const std::string &file : filesOf(settings.fileType, names[i]))
            writers.emplace((outputFolder / file).string(), i);
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (const std::string &file : filesOf(
                 settings.fileType,
                 settings.inputPath + RunSettings::kPathSeparator + names[i])) {
            const fs::path read = reached(file);
            if (error)
                return true;
            const auto writer = writers.find(read.string());
            if (writer != writers.end() && writer->second != i)
                return true;
        }
    }
    return false;
}

bool convertWorkspace(const RunSettings &settings,
                      const TransformationScript &script, WorkerPool &pool) {
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

    const std::string pattern = inputDirectory + filter;
    const std::vector<std::string> names = findEntries(pattern);
    if (names.empty()) {
        printLine("no files found in " + pattern);
        return false;
    }
    // Several files at once, each on one thread, up to one per thread of
    // the run, and their report lines in the order of the files.
    Report report(names.size());
    std::vector<std::unique_ptr<FileJob>> jobs;
    for (std::size_t i = 0; i < names.size(); ++i) {
        jobs.push_back(std::make_unique<FileJob>(
            settings, script, pool, report, i,
            inputDirectory + RunSettings::kPathSeparator + names[i],
            outputDirectory + RunSettings::kPathSeparator + names[i]));
    }
    if (filesMeet(settings, names)) {
        for (const auto &job : jobs)
            job->run();
        return jobs.back()->converted;
    }
    for (const auto &job : jobs)
        pool.submit(*job, WorkerPool::Kind::File);
    pool.runUntil([&] { return report.complete(); });
    for (const auto &job : jobs)
        pool.waitFor(*job); // its thread may still be leaving it
    return jobs.back()->converted;
}

} // namespace

bool runConversions(const RunSettings &settings,
                    const TransformationScript &script) {
    WorkerPool pool(settings.threads != 0 ? settings.threads
                                          : availableThreads());
    if (settings.mode == RunSettings::Workspace)
        return convertWorkspace(settings, script, pool);
    const FileOutcome outcome = convertFile(
        settings, script, pool, settings.inputPath, settings.outputPath, false);
    printLine(outcome.line);
    return outcome.converted;
}
