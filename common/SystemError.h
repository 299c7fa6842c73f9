#pragma once

#include <string>

// The system's text for an errno value ("No space left on device"), in the
// language and encoding of the process locale: what failure messages put
// after the file they name.
std::string systemErrorText(int error);
