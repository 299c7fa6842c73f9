#include "SystemError.h"

#include <cstring>

std::string systemErrorText(int error) { return std::strerror(error); }
