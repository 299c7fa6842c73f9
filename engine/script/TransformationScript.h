#pragma once

#include "ChainStatus.h"
#include "Ellipsoid.h"
#include "Operation.h"
#include "ScriptParser.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <xercesc/util/XercesDefs.hpp>

XERCES_CPP_NAMESPACE_BEGIN
class DOMElement;
XERCES_CPP_NAMESPACE_END

struct ChainStep {
    std::string
        name; // the Transformation element's Name; not used in processing
    std::unique_ptr<Operation> operation;
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
    // usable (the reason has been written to the error stream).
    bool load();

    // Passes the point through every step, first to last. False when a
    // step could not convert it (a grid shift outside its grid); the point
    // is then not usable and takePointFailure() says why. Only such steps
    // write the status, so the check costs one load per point.
    bool transformPoint(Point &point) const {
        for (const ChainStep &step : chain_)
            step.operation->transform(point);
        return !status_.failed();
    }
    // Why transformPoint refused the last point ("lies outside the grid
    // PATH"), and ready for the next one.
    std::string takePointFailure() const { return status_.take(); }

    const std::string &description() const { return description_; }
    const std::string &version() const { return version_; }
    const std::string &fileName() const { return fileName_; }
    const std::vector<ChainStep> &chain() const { return chain_; }
    const Ellipsoid *ellipsoid(const std::string &name) const;
    std::size_t ellipsoidCount() const { return ellipsoids_.size(); }
    bool parserReady() const { return parser_.initialised(); }

    // Builds the operation that an operation element names, its parameters
    // filled and its ellipsoid references set. nullptr for a name the
    // factory does not know or an ellipsoid reference to a name no
    // Ellipsoid has; then *problem (when given) says which.
    std::unique_ptr<Operation>
    createOperation(const std::string &name,
                    const XERCES_CPP_NAMESPACE::DOMElement &element,
                    std::string *problem = nullptr);

  private:
    bool reject(const std::string &where, const std::string &problem) const;
    bool readHeader();
    bool readEllipsoids();
    bool readSteps();

    // Declared first so that it goes last: the chain is freed, then the
    // ellipsoids, then the XML library is terminated.
    ScriptParser parser_;
    std::string description_ = "No description for this script";
    std::string version_ = "0.0";
    const std::string &fileName_;
    std::unordered_map<std::string, std::unique_ptr<Ellipsoid>> ellipsoids_;
    std::vector<ChainStep> chain_;
    // Written by the steps that can fail a point, through the pointer that
    // they take from context_ while the script loads.
    mutable ChainStatus status_;
    LoadContext context_;
};
