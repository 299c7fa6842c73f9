#include "CommandLine.h"
#include "Driver.h"
#include "RunSettings.h"
#include "TransformationScript.h"

#include <iostream>

int main(int argc, char *argv[]) {
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
