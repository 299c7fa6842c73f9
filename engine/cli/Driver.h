#pragma once

#include "RunSettings.h"

class TransformationScript;

// Runs the conversions the command line asked for: one file, or every file
// that the workspace search finds. Prints one report line per file. Returns
// the outcome of the last file (false when nothing was converted).
bool runConversions(const RunSettings &settings,
                    const TransformationScript &script);
