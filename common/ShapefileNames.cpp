#include "ShapefileNames.h"

std::string shapefileBase(const std::string &path) {
    for (std::size_t i = path.size(); i-- > 1;) {
        if (path[i] == '/' || path[i] == '\\')
            break;
        if (path[i] == '.')
            return path.substr(0, i);
    }
    return path;
}

std::string companionFile(const std::string &path, std::string_view extension) {
    return shapefileBase(path).append(extension);
}
