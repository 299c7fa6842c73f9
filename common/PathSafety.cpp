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
    std::error_code error;
    const auto normal = [&error](const std::string &path) {
        const auto absolute = std::filesystem::absolute(path, error);
        return error ? absolute
                     : std::filesystem::weakly_canonical(absolute, error);
    };
    const auto ca = normal(a);
    if (error)
        return false;
    const auto cb = normal(b);
    return !error && ca == cb;
}
