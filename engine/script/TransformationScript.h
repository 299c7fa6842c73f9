#pragma once

#include "ChainStatus.h"
#include "CoordinateSystem.h"
#include "Ellipsoid.h"
#include "Operation.h"
#include "ScriptParser.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <xercesc/util/XercesDefs.hpp>

XERCES_CPP_NAMESPACE_BEGIN
class DOMElement;
class DOMNode;
XERCES_CPP_NAMESPACE_END

struct ChainStep {
    std::string
        name; // the Transformation element's Name; not used in processing
    std::unique_ptr<Operation> operation;
};

// A coordinate system that the script names as its source or target
// (SourceSystem, TargetSystem): read whole when the script loads.
struct ScriptSystem {
    std::string label; // "EPSG:3003", or the plain name the script gives
    int epsgCode = 0;  // 0 for a plain name
    // For messages: the name of the OGC definition, else that of the
    // projection file ("Monte Mario / Italy zone 1").
    std::string name;
    std::string projectionFile; // the path of the projection file found
    std::string esriWkt; // its bytes, as they are put beside every output
    // The same system in OGC WKT 1 as GeoPackage stores it: the bytes of
    // the file of the projection file's name with ".wkt" for its extension;
    // empty when there is none.
    std::string ogcWkt;
    CoordinateSystem definition; // from the projection file
};

// Why a script that parsed cannot be used: where it stands and what is
// wrong. Its text is one line,
//   Transformation script "FILE", line L, WHERE: PROBLEM
// where WHERE is the element concerned ('Ellipsoid "GRS 1980"', the
// operation with its step's Name 'TransverseMercatorForward "UTM"',
// 'Transformation "step"', 'Description') and PROBLEM names the parameter
// with the text found ('ScaleFactorAtNaturalOrigin "1,5" is not a number').
// The line is the one on which the element's start tag ends: that of the
// parameter when one is at fault, else that of its owner.
struct ScriptRefusal {
    std::string file;
    unsigned long line = 0; // 0: none to name
    std::string where;      // may be empty
    std::string problem;
    std::string text() const;
};

// The loaded transformation script: its header, the reference ellipsoids by
// name and the chain of operations in document order. It owns every operation
// and ellipsoid; one instance lives for the whole process.
class TransformationScript {
  public:
    // fileName is read when load() runs (it refers to the run settings'
    // script path, which the command line fills after construction).
    explicit TransformationScript(const std::string &fileName);
    ~TransformationScript();

    TransformationScript(const TransformationScript &) = delete;
    TransformationScript &operator=(const TransformationScript &) = delete;

    // Parses, validates and builds the chain; false when the script is not
    // usable. The parser writes its own errors to the error stream; every
    // other reason is left in refusal() for the program to show. Every
    // number parameter is checked here, before anything is prepared.
    bool load();
    // Why the last load() refused a script that parsed; empty otherwise.
    const std::optional<ScriptRefusal> &refusal() const { return refusal_; }

    // Passes a batch of points through every step, first to last, one step
    // over the whole batch at a time. Returns the number of points before
    // the first one that a step could not convert (a grid shift outside its
    // grid); status then says why (status.take()), and the points from that
    // one on are not usable. status must hold no failure when called. Each
    // point comes out exactly as it would alone. The chain is only read, so
    // threads may call this at once, each with its own points and status.
    std::size_t transformPoints(std::span<Point> points,
                                ChainStatus &status) const {
        for (const ChainStep &step : chain_)
            step.operation->transformPoints(points, status);
        return status.failed() ? status.index() : points.size();
    }
    // One point; false when it could not be converted (status says why).
    bool transformPoint(Point &point, ChainStatus &status) const {
        return transformPoints({&point, 1}, status) == 1;
    }
    // The same with the calling thread's own status, which
    // takePointFailure() then reads: why transformPoint refused the last
    // point ("lies outside the grid PATH"), and ready for the next one.
    bool transformPoint(Point &point) const {
        return transformPoint(point, threadStatus());
    }
    std::string takePointFailure() const { return threadStatus().take(); }
    // What the chain's x and y hold at its end (Unknown for a chain that
    // keeps its input's kind, an empty one included).
    CoordinateKind outputKind() const {
        CoordinateKind kind = CoordinateKind::Unknown;
        for (const ChainStep &step : chain_)
            kind = step.operation->outputKind(kind);
        return kind;
    }

    const std::string &description() const { return description_; }
    const std::string &version() const { return version_; }
    const std::string &fileName() const { return fileName_; }
    const std::vector<ChainStep> &chain() const { return chain_; }
    const Ellipsoid *ellipsoid(const std::string &name) const;
    // The systems the script converts from and to; nullptr when it does
    // not name them.
    const ScriptSystem *sourceSystem() const {
        return source_ ? &*source_ : nullptr;
    }
    const ScriptSystem *targetSystem() const {
        return target_ ? &*target_ : nullptr;
    }
    // Why data that declares its system by declaredText (WKT of any of the
    // kinds parseWkt reads: a .prj, a GeoPackage definition) must not be
    // converted from the script's source system, for the report:
    //   "its .prj says ETRS89 / UTM zone 32N, the script converts from
    //    Monte Mario / Italy zone 1"
    // with declaredBy ("its .prj") at the start. Nothing when the script
    // names no source, or the text cannot be read, or it does not
    // contradict the source by its parameters.
    std::optional<std::string>
    sourceContradiction(std::string_view declaredText,
                        std::string_view declaredBy) const;
    std::size_t ellipsoidCount() const { return ellipsoids_.size(); }
    bool parserReady() const { return parser_.initialised(); }

  private:
    // Builds the operation that an operation element names, its parameters
    // filled and checked, its ellipsoid references set and what it needs
    // from outside acquired. nullptr, with refusal() saying why, for a name
    // the factory does not know, a parameter that cannot be used or an
    // ellipsoid reference to a name no Ellipsoid has. stepName is the Name
    // of its Transformation, for the refusal.
    std::unique_ptr<Operation>
    createOperation(const std::string &name,
                    const XERCES_CPP_NAMESPACE::DOMElement &element,
                    const std::string &stepName);
    bool refuse(const XERCES_CPP_NAMESPACE::DOMNode *at, std::string where,
                std::string problem);
    bool readHeader();
    bool readEllipsoids();
    bool readSteps();
    bool readSystems();
    bool readSystem(const XERCES_CPP_NAMESPACE::DOMElement &element,
                    std::optional<ScriptSystem> &system);
    bool readProjectionFile(const XERCES_CPP_NAMESPACE::DOMNode &fileNode,
                            const std::string &where,
                            const std::string &fileName, ScriptSystem &named);
    bool readOgcDefinition(const XERCES_CPP_NAMESPACE::DOMNode &fileNode,
                           const std::string &where, ScriptSystem &named);
    static ChainStatus &threadStatus();

    // Declared first so that it goes last: the chain is freed, then the
    // ellipsoids, then the XML library is terminated.
    ScriptParser parser_;
    std::string description_ = "No description for this script";
    std::string version_ = "0.0";
    const std::string &fileName_;
    std::unordered_map<std::string, std::unique_ptr<Ellipsoid>> ellipsoids_;
    std::vector<ChainStep> chain_;
    std::optional<ScriptSystem> source_;
    std::optional<ScriptSystem> target_;
    LoadContext context_;
    std::optional<ScriptRefusal> refusal_;
};
