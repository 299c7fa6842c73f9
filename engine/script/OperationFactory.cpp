#include "OperationFactory.h"

#include "AffineGeneralParametricTransformation.h"
#include "CassiniSoldner.h"
#include "DatumShifts.h"
#include "GeocentricConversions.h"
#include "NTv2GridShift.h"
#include "TransverseMercator.h"
#include "UnitsConversion.h"

#include <iterator>

namespace {
template <class T> std::unique_ptr<Operation> make() {
    return std::make_unique<T>();
}

// One row per operation element name the scripts may use.
const OperationKind kKinds[] = {
    {"UnitsConversion", EllipsoidReferences::None, make<UnitsConversion>},
    {"PositionVector7Parameter", EllipsoidReferences::None,
     make<PositionVector7Parameter>},
    {"AffineGeneralParametricTransformation", EllipsoidReferences::None,
     make<AffineGeneralParametricTransformation>},
    {"AbridgedMolodensky", EllipsoidReferences::SourceAndTarget,
     make<AbridgedMolodensky>},
    {"TransverseMercatorForward", EllipsoidReferences::Ref,
     make<TransverseMercatorForward>},
    {"TransverseMercatorReverse", EllipsoidReferences::Ref,
     make<TransverseMercatorReverse>},
    {"CassiniSoldnerForward", EllipsoidReferences::Ref,
     make<CassiniSoldnerForward>},
    {"CassiniSoldnerReverse", EllipsoidReferences::Ref,
     make<CassiniSoldnerReverse>},
    {"GeographicToGeocentric", EllipsoidReferences::Ref,
     make<GeographicToGeocentric>},
    {"GeocentricToGeographic", EllipsoidReferences::Ref,
     make<GeocentricToGeographic>},
    {"NTv2GridShift", EllipsoidReferences::None, make<NTv2GridShift>},
};
} // namespace

const OperationKind *findOperationKind(const std::string &name) {
    for (const OperationKind &kind : kKinds)
        if (name == kind.name)
            return &kind;
    return nullptr;
}
