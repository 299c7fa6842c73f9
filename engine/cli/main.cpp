#include "CommandLine.h"
#include "Driver.h"
#include "RunSettings.h"
#include "TransformationScript.h"

#include <iostream>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

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
        return 2; // the parser has said why on the error stream

    printBanner();
    if (!parseCommandLine(argc, argv, settings))
        return 0;
    if (!script.load()) {
        std::cout << "Error in transformation script. Execution terminated"
                  << std::endl;
        return 0;
    }
    std::cout << "Script description:" << script.description() << std::endl;
    runConversions(settings, script);
    return 1;
}
