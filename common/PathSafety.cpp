#include "PathSafety.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

bool sameFile(const std::string &a, const std::string &b) {
    if (a.empty() || b.empty())
        return false;
    struct stat sa {};
    struct stat sb {};
    const bool aExists = ::stat(a.c_str(), &sa) == 0;
    const bool bExists = ::stat(b.c_str(), &sb) == 0;
    if (aExists && bExists)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    const std::string na = normalPath(a);
    return !na.empty() && na == normalPath(b);
}

std::string normalPath(const std::string &path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    if (error)
        return {};
    const auto normal = std::filesystem::weakly_canonical(absolute, error);
    return error ? std::string() : normal.string();
}
