#include "OperationFactory.h"

#include "UnitsConversion.h"

#include <iterator>

namespace {
template <class T> std::unique_ptr<Operation> make() {
    return std::make_unique<T>();
}

// One row per operation element name the scripts may use.
const OperationKind kKinds[] = {
    {"UnitsConversion", EllipsoidReferences::None, make<UnitsConversion>},
};
} // namespace

const OperationKind *findOperationKind(const std::string &name) {
    for (const OperationKind &kind : kKinds)
        if (name == kind.name)
            return &kind;
    return nullptr;
}
