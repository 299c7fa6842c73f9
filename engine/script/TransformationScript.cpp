#include "TransformationScript.h"

TransformationScript::TransformationScript(const std::string &fileName)
    : fileName_(fileName) {}
TransformationScript::~TransformationScript() = default;
bool TransformationScript::load() { return parser_.parse(fileName_); }
const Ellipsoid *TransformationScript::ellipsoid(const std::string &) const {
    return nullptr;
}
std::unique_ptr<Operation>
TransformationScript::createOperation(const std::string &,
                                      const XERCES_CPP_NAMESPACE::DOMElement &) {
    return nullptr;
}
