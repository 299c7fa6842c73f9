#include "NTv2GridShift.h"

#include "Angles.h"
#include "ChainStatus.h"
#include "GridSearch.h"
#include "NTv2GridFile.h"
#include "OperationDirection.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace {

// PROJ's reverse iteration: at most this many passes, until the squared
// change of an iterate is at most kTolerance squared (radians).
constexpr int kMaxIterations = 10;
constexpr double kTolerance = 1e-12;

constexpr const char *kOutside = "lies outside the grid ";
constexpr const char *kNoConvergence = "does not converge in the grid ";

// PROJ's adjlon: into [-pi, pi], letting a longitude overshoot by 1e-12.
double adjustLongitude(double longitude) {
    if (std::fabs(longitude) < kPi + 1e-12)
        return longitude;
    longitude += kPi;
    longitude -= kTwoPi * std::floor(longitude / kTwoPi);
    longitude -= kPi;
    return longitude;
}

// A point the shift fails becomes NaN; the result is why.
const char *failed(Point &point, const char *reason) {
    point.x = point.y = std::numeric_limits<double>::quiet_NaN();
    return reason;
}

std::string trimmed(const std::string &text) {
    const char *space = " \t\r\n";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string joined(const std::vector<std::string> &folders) {
    std::string text;
    for (const std::string &folder : folders)
        text += (text.empty() ? "" : ", ") + folder;
    return text;
}

} // namespace

NTv2GridShift::NTv2GridShift() = default;
NTv2GridShift::~NTv2GridShift() = default;

bool NTv2GridShift::acquire(LoadContext &context, ParameterProblem &problem) {
    // A file name carries no white space at its ends; a script formatted
    // over several lines may put some there.
    const std::string *gridFile = parameters_.find("GridFile");
    if (!readDirection(parameters_, reverse_, problem))
        return false;
    const std::string name = gridFile != nullptr ? trimmed(*gridFile) : "";
    if (name.empty()) {
        problem = parameterProblem("GridFile", gridFile,
                                   gridFile != nullptr ? "names no grid file"
                                                       : "is missing");
        return false;
    }
    const GridLocation location = findGridFile(
        name, gridSearchFolders(context.scriptFolder, context.programFolder));
    if (location.path.empty()) {
        std::string where;
        if (!location.searched.empty())
            where = " in " + joined(location.searched);
        problem =
            parameterProblem("GridFile", gridFile, "is not found" + where);
        return false;
    }
    // One file reached under two names is read once.
    std::error_code error;
    std::string key = std::filesystem::canonical(location.path, error).string();
    if (error)
        key = location.path;
    auto &cached = context.grids[key];
    if (!cached) {
        NTv2ReadResult read = readNTv2GridFile(location.path);
        if (!read.grids) {
            context.grids.erase(key);
            problem = parameterProblem("GridFile", gridFile,
                                       "is refused: " + read.error);
            return false;
        }
        cached = std::move(read.grids);
    }
    grids_ = cached;
    path_ = location.path;
    status_ = context.status;
    return true;
}

void NTv2GridShift::transform(Point &point) {
    if (const char *reason = shift(point);
        reason != nullptr && status_ != nullptr)
        status_->fail(reason, path_);
}

void NTv2GridShift::transformPoints(std::span<Point> points,
                                    ChainStatus &status) {
    for (std::size_t i = 0; i < points.size(); ++i)
        if (const char *reason = shift(points[i]))
            status.fail(reason, path_, i);
}

// PROJ 9's pj_hgrid_apply for one grid file, step by step, so that the
// results agree to the last bits: the grid is chosen at the input point;
// the reverse starts at t = in - shift(in) and moves to another sub-grid
// when an iterate leaves the current one.
const char *NTv2GridShift::shift(Point &point) const {
    if (!reverse_) {
        // PROJ checks and wraps a forward input before any operation: a
        // latitude beyond a pole or a longitude beyond 10 radians is refused,
        // the longitude is brought into [-pi, pi].
        if (std::fabs(point.y) - kHalfPi > 1e-12 || !(std::fabs(point.x) <= 10))
            return failed(point, kOutside);
        point.x = adjustLongitude(point.x);
    }
    const NTv2SubGrid *grid = grids_->subGridAt(point.x, point.y);
    if (grid == nullptr)
        return failed(point, kOutside);
    // PROJ keeps the tolerance of the first grid through the iteration.
    const double epsilon = grid->edgeTolerance();
    double inLon = grid->offsetFromWest(point.x, epsilon);
    double inLat = point.y - grid->south;
    double dLon = 0, dLat = 0;
    if (!grid->interpolate(inLon, inLat, dLon, dLat))
        return failed(point, kOutside);
    if (!reverse_) {
        point.x += dLon;
        point.y += dLat;
        return nullptr;
    }

    double lon = inLon - dLon;
    double lat = inLat - dLat;
    double difLon = 0, difLat = 0;
    bool lost = false;
    int passes = kMaxIterations;
    do {
        if (!grid->interpolate(lon, lat, dLon, dLat)) {
            // The iterate has left this grid: go on in the one it is in.
            const double atLon = lon + grid->west;
            const double atLat = lat + grid->south;
            const NTv2SubGrid *next = grids_->subGridAt(atLon, atLat);
            if (next == nullptr || next == grid) {
                lost = true;
                break;
            }
            grid = next;
            lon = atLon - grid->west;
            lat = atLat - grid->south;
            inLon = grid->offsetFromWest(point.x, epsilon);
            inLat = point.y - grid->south;
            difLon = difLat = std::numeric_limits<double>::max();
            continue;
        }
        difLon = lon + dLon - inLon;
        difLat = lat + dLat - inLat;
        lon -= difLon;
        lat -= difLat;
    } while (--passes &&
             difLon * difLon + difLat * difLat > kTolerance * kTolerance);
    // Running out of passes fails in PROJ too; an iterate that leaves every
    // grid is where PROJ returns its guess as if it had converged.
    if (passes == 0 || lost)
        return failed(point, kNoConvergence);
    point.x = adjustLongitude(lon + grid->west);
    point.y = lat + grid->south;
    return nullptr;
}
