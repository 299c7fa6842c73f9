#include "CommandLine.h"
#include "Driver.h"
#include "RunSettings.h"
#include "TransformationScript.h"

#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {
// The exit statuses, as scripts that run KAVRO read them.
enum ExitStatus : int {
    kStoppedBeforeConverting = 0, // help, usage, a bad option or script
    kConversionsRan = 1,          // each file's report line says how it went
    kNoXmlLibrary = 2,            // the XML library could not be initialised
};
} // namespace

int main(int argc, char *argv[]) {
#if defined(__GLIBC__)
    // shapelib keeps the index of each open shapefile in arrays that grow
    // with the file, 8 bytes a shape. By default the C library raises the
    // size from which it maps a block on its own each time such a block is
    // freed; the growing output index then moves inside the heap by copying,
    // old and new arrays alive at once (4 MB more at a million shapes). A
    // fixed threshold keeps large blocks mapped, grown in place.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    RunSettings &settings = runSettings();
    // Made before the command line is read: this initialises the XML
    // library. The script reads settings.scriptPath when it loads.
    TransformationScript script(settings.scriptPath);
    if (!script.parserReady())
        return kNoXmlLibrary; // the parser has said why on the error stream

    printBanner();
    if (!parseCommandLine(argc, argv, settings))
        return kStoppedBeforeConverting;
    if (!script.load()) {
        // The parser has printed its own errors; the loader leaves its
        // reason to be printed here.
        if (script.refusal())
            std::cerr << script.refusal()->text() << std::endl;
        std::cout << "Error in transformation script. Execution terminated"
                  << std::endl;
        return kStoppedBeforeConverting;
    }
    std::cout << "Script description:" << script.description() << std::endl;
    runConversions(settings, script);
    return kConversionsRan;
}
