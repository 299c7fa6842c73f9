#include "TemporaryOutput.h"
#include "FileDescriptor.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kMarker = ".kavro-part-";
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Attempts before giving up on names that exist already.
constexpr int kAttempts = 100;

bool isAlphanumeric(char c) {
    return kAlphabet.find(c) != std::string_view::npos;
}

std::string randomPart() {
    // One generator per thread: threads that write outputs side by side
    // share none of its state.
    thread_local std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string part(kRandomLength, ' ');
    for (char &c : part)
        c = kAlphabet[pick(generator)];
    return part;
}

// Folder (with its "/"), stem and extension (with its ".") of a path.
struct NameParts {
    std::string folder, stem, extension;
};

NameParts split(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string name = path.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {path.substr(0, nameStart), name, {}};
    return {path.substr(0, nameStart), name.substr(0, dot), name.substr(dot)};
}

std::string temporaryName(const NameParts &parts, const std::string &random,
                          const std::string &extension) {
    return parts.folder + "." + parts.stem + std::string(kMarker) + random +
           extension;
}

// A new file of that name with the final file's permission bits, or an
// empty descriptor with errno set.
FileDescriptor createNew(const std::string &path,
                         const std::string &finalPath) {
    FileDescriptor fd = createNewFile(path, 0666);
    if (!fd)
        return fd;
    struct stat status {};
    if (::stat(finalPath.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        ::fchmod(fd.get(), status.st_mode & 07777) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        errno = error;
        return {};
    }
    return fd;
}

} // namespace

bool isTemporaryOutputName(std::string_view name) {
    if (name.empty() || name[0] != '.')
        return false;
    for (std::size_t at = name.find(kMarker, 1); at != std::string_view::npos;
         at = name.find(kMarker, at + 1)) {
        const std::size_t random = at + kMarker.size();
        const std::size_t end = random + kRandomLength;
        if (end > name.size())
            return false;
        bool letters = true;
        for (std::size_t i = random; i < end; ++i)
            letters = letters && isAlphanumeric(name[i]);
        if (letters && (end == name.size() || name[end] == '.'))
            return true;
    }
    return false;
}

int createTemporaryOutput(const std::string &finalPath,
                          std::string &temporaryPath) {
    const NameParts parts = split(finalPath);
    if (parts.stem.empty() && parts.extension.empty()) {
        errno = ENOENT; // a folder, or nothing at all, names no file
        return -1;
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temporaryPath = temporaryName(parts, randomPart(), parts.extension);
        FileDescriptor fd = createNew(temporaryPath, finalPath);
        if (fd || errno != EEXIST)
            return fd.release();
    }
    return -1;
}

std::string createTemporaryShapefile(const std::string &finalBase) {
    // The base has no extension of its own: the stem is its whole name.
    NameParts parts = split(finalBase + ".x");
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string base = temporaryName(parts, randomPart(), "");
        if (!createNew(base + ".shp", finalBase + ".shp")) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        if (createNew(base + ".shx", finalBase + ".shx"))
            return base;
        const int error = errno;
        ::unlink((base + ".shp").c_str());
        if (error != EEXIST) {
            errno = error;
            return {};
        }
    }
    return {};
}

bool commitTemporaryOutput(const std::string &temporaryPath,
                           const std::string &finalPath) {
    if (std::rename(temporaryPath.c_str(), finalPath.c_str()) == 0)
        return true;
    const int error = errno;
    ::unlink(temporaryPath.c_str());
    errno = error;
    return false;
}
