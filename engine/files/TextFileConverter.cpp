#include "TextFileConverter.h"

bool TextFileConverter::open() {
    errorMessage_ = "Unable to open input text file";
    return false;
}
bool TextFileConverter::convert() { return false; }
