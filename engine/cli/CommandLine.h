#pragma once

#include "RunSettings.h"

// Reads the command line into settings. True when the run goes on; false when
// it stops here because usage, help or an error message has been printed.
// Every option but -HELP takes the next argument as its value, whatever it
// looks like.
bool parseCommandLine(int argc, const char *const argv[],
                      RunSettings &settings);

// The fixed texts; all go to standard output, one flush per line.
void printBanner();
void printUsage();
void printHelp();
