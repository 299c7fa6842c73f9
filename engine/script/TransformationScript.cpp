#include "TransformationScript.h"

#include "GridSearch.h"
#include "OperationFactory.h"
#include "XmlText.h"

#include <filesystem>
#include <optional>

#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMNamedNodeMap.hpp>
#include <xercesc/dom/DOMNode.hpp>
#include <xercesc/dom/DOMNodeList.hpp>

XERCES_CPP_NAMESPACE_USE

namespace {
// The text of a node's first child node, the way values are written in a
// script; nothing when the node has no child, or when the first child is an
// element.
std::optional<std::string> firstChildText(const DOMNode &node) {
    const DOMNode *child = node.getFirstChild();
    if (child == nullptr || child->getNodeValue() == nullptr)
        return std::nullopt;
    return narrow(child->getNodeValue());
}

std::string nameAttribute(const DOMElement &element) {
    return narrow(element.getAttribute(XmlText("Name").wide()));
}

std::string quoted(const std::string &text) { return '"' + text + '"'; }

// Fills parameters from the element children of owner (a later duplicate
// replaces an earlier one); other child nodes are skipped. The element
// without a value when there is one, else nullptr.
const DOMNode *readParameters(const DOMElement &owner,
                              ParameterMap &parameters) {
    for (const DOMNode *child = owner.getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (child->getNodeType() != DOMNode::ELEMENT_NODE)
            continue;
        const std::string name = narrow(child->getNodeName());
        const std::optional<std::string> value = firstChildText(*child);
        if (!value)
            return child;
        parameters.setParameter(name, *value);
    }
    return nullptr;
}

// The element that a problem is about: the parameter's (the last of its
// name, whose value counts), or the owner's when the parameter is not
// written.
const DOMNode *placeOf(const ParameterProblem &problem,
                       const DOMElement &owner) {
    const DOMNode *place = &owner;
    for (const DOMNode *child = owner.getFirstChild(); child != nullptr;
         child = child->getNextSibling())
        if (child->getNodeType() == DOMNode::ELEMENT_NODE &&
            narrow(child->getNodeName()) == problem.parameter)
            place = child;
    return place;
}

// The library's list walks the tree from its last answer to the end each
// time it is asked for its length, so the length is asked once: in the loop
// condition it made a script of 20,000 elements take seconds.
std::vector<const DOMElement *> elementsNamed(const DOMDocument &document,
                                              const char *name) {
    std::vector<const DOMElement *> elements;
    const DOMNodeList *list =
        document.getElementsByTagName(XmlText(name).wide());
    const XMLSize_t count = list != nullptr ? list->getLength() : 0;
    elements.reserve(count);
    for (XMLSize_t i = 0; i < count; ++i)
        elements.push_back(static_cast<const DOMElement *>(list->item(i)));
    return elements;
}
} // namespace

TransformationScript::TransformationScript(const std::string &fileName)
    : fileName_(fileName) {
    context_.status = &status_;
}

TransformationScript::~TransformationScript() = default;

const Ellipsoid *
TransformationScript::ellipsoid(const std::string &name) const {
    const auto found = ellipsoids_.find(name);
    return found == ellipsoids_.end() ? nullptr : found->second.get();
}

std::string ScriptRefusal::text() const {
    std::string text = "Transformation script " + quoted(file);
    if (line != 0)
        text += ", line " + std::to_string(line);
    if (!where.empty())
        text += ", " + where;
    return text + ": " + problem;
}

bool TransformationScript::refuse(const DOMNode *at, std::string where,
                                  std::string problem) {
    refusal_ = ScriptRefusal{fileName_, ScriptParser::lineOf(at),
                             std::move(where), std::move(problem)};
    return false;
}

bool TransformationScript::load() {
    chain_.clear();
    ellipsoids_.clear();
    context_.grids.clear();
    status_.take();
    refusal_.reset();
    if (fileName_.empty())
        return refuse(nullptr, "", "no script file given (option -TS)");
    if (!parser_.parse(fileName_))
        return false;
    // Grid files are looked for beside the script first (named absolute in
    // messages, without the "." of a bare file name).
    std::error_code ignored;
    context_.scriptFolder =
        std::filesystem::absolute(folderOf(fileName_), ignored)
            .lexically_normal()
            .string();
    if (context_.scriptFolder.size() > 1 && context_.scriptFolder.back() == '/')
        context_.scriptFolder.pop_back();
    if (context_.programFolder.empty())
        context_.programFolder = runningProgramFolder();
    if (!readHeader() || !readEllipsoids() || !readSteps()) {
        // Nothing half-built stays behind.
        chain_.clear();
        ellipsoids_.clear();
        context_.grids.clear();
        return false;
    }
    // Every ellipsoid before any operation: operations read their
    // ellipsoid's numbers in their own prepare().
    for (auto &entry : ellipsoids_)
        entry.second->prepare();
    for (ChainStep &step : chain_)
        step.operation->prepare();
    return true;
}

bool TransformationScript::readHeader() {
    const std::vector<const DOMElement *> roots =
        elementsNamed(*parser_.document(), "TransformationScript");
    if (roots.empty())
        return refuse(parser_.document()->getDocumentElement(), "",
                      "the document has no TransformationScript element");
    for (const DOMNode *child = roots.front()->getFirstChild();
         child != nullptr; child = child->getNextSibling()) {
        if (child->getNodeType() != DOMNode::ELEMENT_NODE)
            continue;
        const std::string name = narrow(child->getNodeName());
        std::string *target = name == "Description"    ? &description_
                              : name == "KAVROVersion" ? &version_
                                                       : nullptr;
        if (target == nullptr)
            continue;
        const std::optional<std::string> value = firstChildText(*child);
        if (!value)
            return refuse(child, name, "the element has no content");
        *target = *value;
    }
    return true;
}

bool TransformationScript::readEllipsoids() {
    for (const DOMElement *element :
         elementsNamed(*parser_.document(), "Ellipsoid")) {
        auto ellipsoid = std::make_unique<Ellipsoid>();
        const std::string name = nameAttribute(*element);
        const std::string where = "Ellipsoid " + quoted(name);
        if (const DOMNode *empty =
                readParameters(*element, ellipsoid->parameters()))
            return refuse(empty, where,
                          narrow(empty->getNodeName()) + " has no value");
        // Also an ellipsoid that a later one of its name replaces, or that
        // no operation uses: a script holds no value that is not a number.
        if (const ParameterProblem problem = checkNumbers(
                ellipsoid->parameters(), Ellipsoid::numberParameters()))
            return refuse(placeOf(problem, *element), where,
                          problem.description);
        ellipsoids_[name] = std::move(ellipsoid); // the later one counts
    }
    return true;
}

bool TransformationScript::readSteps() {
    for (const DOMElement *element :
         elementsNamed(*parser_.document(), "Transformation")) {
        const std::string stepName = nameAttribute(*element);
        const std::string where = "Transformation " + quoted(stepName);
        // The operation element is found by position: the second child
        // node, after the white space that indents it.
        const DOMNodeList *children = element->getChildNodes();
        if (children->getLength() < 2)
            return refuse(element, where,
                          "the element has fewer than two child nodes (write "
                          "the operation element on a line of its own, first "
                          "inside the Transformation)");
        const DOMNode *second = children->item(1);
        if (second->getNodeType() != DOMNode::ELEMENT_NODE)
            return refuse(element, where,
                          "the second child node is not an operation "
                          "element (the operation element must come "
                          "first inside the Transformation)");
        const auto &operationElement = static_cast<const DOMElement &>(*second);
        std::unique_ptr<Operation> operation = createOperation(
            narrow(operationElement.getNodeName()), operationElement, stepName);
        if (!operation)
            return false;
        chain_.push_back({stepName, std::move(operation)});
    }
    return true;
}

std::unique_ptr<Operation>
TransformationScript::createOperation(const std::string &name,
                                      const DOMElement &element,
                                      const std::string &stepName) {
    const OperationKind *kind = findOperationKind(name);
    if (kind == nullptr) {
        refuse(&element, "Transformation " + quoted(stepName),
               "unknown operation " + quoted(name));
        return nullptr;
    }
    const std::string where = name + ' ' + quoted(stepName);
    std::unique_ptr<Operation> operation = kind->make();
    if (const DOMNode *empty =
            readParameters(element, operation->parameters())) {
        refuse(empty, where, narrow(empty->getNodeName()) + " has no value");
        return nullptr;
    }
    ParameterProblem problem =
        checkNumbers(operation->parameters(), operation->numberParameters());

    // The operation keeps a reference; the script owns the ellipsoid.
    auto lookUp = [&](const char *parameter) -> const Ellipsoid * {
        // A reference left out names the Ellipsoid without a Name.
        const std::string *ellipsoidName =
            operation->parameters().find(parameter);
        const Ellipsoid *found =
            ellipsoid(ellipsoidName != nullptr ? *ellipsoidName : "");
        if (found == nullptr && !problem)
            problem = parameterProblem(
                parameter, ellipsoidName,
                ellipsoidName != nullptr ? "names no Ellipsoid" : "is missing");
        return found;
    };
    switch (kind->references) {
    case EllipsoidReferences::None:
        break;
    case EllipsoidReferences::Ref:
        operation->setRefEllipsoid(lookUp("RefEllipsoid"));
        break;
    case EllipsoidReferences::SourceAndTarget:
        operation->setSourceEllipsoid(lookUp("SourceEllipsoid"));
        operation->setTargetEllipsoid(lookUp("TargetEllipsoid"));
        break;
    }
    if (!problem)
        operation->acquire(context_, problem);
    if (problem) {
        refuse(placeOf(problem, element), where, problem.description);
        return nullptr;
    }
    return operation;
}
