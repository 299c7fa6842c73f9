#include "FileConverter.h"
