#include "ShapeFileConverter.h"

bool ShapeFileConverter::open() {
    errorMessage_ = "Unable to open the input shape file";
    return false;
}
bool ShapeFileConverter::convert() { return false; }
bool ShapeFileConverter::copyAttributeTable(const std::string &,
                                            const std::string &) {
    return false;
}
