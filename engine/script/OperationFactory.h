#pragma once

#include "Operation.h"

#include <memory>
#include <string>

// Which ellipsoid references an operation takes, and from which parameters.
enum class EllipsoidReferences { None, Ref, SourceAndTarget };

struct OperationKind {
    const char *name; // the operation element's name, compared whole
    EllipsoidReferences references;
    std::unique_ptr<Operation> (*make)();
};

// The operation kind of an element name, or nullptr for a name the factory
// does not know.
const OperationKind *findOperationKind(const std::string &name);
