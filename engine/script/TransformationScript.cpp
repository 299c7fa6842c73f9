#include "TransformationScript.h"

#include "GridSearch.h"
#include "OperationFactory.h"
#include "XmlText.h"

#include <filesystem>
#include <iostream>
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
// replaces an earlier one); other child nodes are skipped. False, with the
// problem, when a parameter element has no value.
bool readParameters(const DOMElement &owner, ParameterMap &parameters,
                    std::string &problem) {
    for (const DOMNode *child = owner.getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (child->getNodeType() != DOMNode::ELEMENT_NODE)
            continue;
        const std::string name = narrow(child->getNodeName());
        const std::optional<std::string> value = firstChildText(*child);
        if (!value) {
            problem = "parameter " + name + " has no value";
            return false;
        }
        parameters.setParameter(name, *value);
    }
    return true;
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

bool TransformationScript::reject(const std::string &where,
                                  const std::string &problem) const {
    std::cerr << "Transformation script " << quoted(fileName_);
    if (!where.empty())
        std::cerr << ", " << where;
    std::cerr << ": " << problem << std::endl;
    return false;
}

bool TransformationScript::load() {
    chain_.clear();
    ellipsoids_.clear();
    context_.grids.clear();
    status_.take();
    if (fileName_.empty())
        return reject("", "no script file given (option -TS)");
    if (!parser_.parse(fileName_))
        return false;
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
        return reject("", "the document has no TransformationScript element");
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
            return reject(name, "the element has no content");
        *target = *value;
    }
    return true;
}

bool TransformationScript::readEllipsoids() {
    for (const DOMElement *element :
         elementsNamed(*parser_.document(), "Ellipsoid")) {
        auto ellipsoid = std::make_unique<Ellipsoid>();
        const std::string name = nameAttribute(*element);
        std::string problem;
        if (!readParameters(*element, ellipsoid->parameters(), problem))
            return reject("Ellipsoid " + quoted(name), problem);
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
            return reject(where,
                          "the element has fewer than two child nodes (write "
                          "the operation element on a line of its own, first "
                          "inside the Transformation)");
        const DOMNode *second = children->item(1);
        if (second->getNodeType() != DOMNode::ELEMENT_NODE)
            return reject(where, "the second child node is not an operation "
                                 "element (the operation element must come "
                                 "first inside the Transformation)");
        const auto &operationElement = static_cast<const DOMElement &>(*second);
        std::string problem;
        std::unique_ptr<Operation> operation = createOperation(
            narrow(operationElement.getNodeName()), operationElement, &problem);
        if (!operation)
            return reject(where, problem);
        chain_.push_back({stepName, std::move(operation)});
    }
    return true;
}

std::unique_ptr<Operation> TransformationScript::createOperation(
    const std::string &name, const DOMElement &element, std::string *problem) {
    std::string reason;
    const OperationKind *kind = findOperationKind(name);
    if (kind == nullptr) {
        if (problem != nullptr)
            *problem = "unknown operation " + quoted(name);
        return nullptr;
    }
    std::unique_ptr<Operation> operation = kind->make();
    if (!readParameters(element, operation->parameters(), reason)) {
        if (problem != nullptr)
            *problem = name + ": " + reason;
        return nullptr;
    }

    // The operation keeps a reference; the script owns the ellipsoid.
    auto lookUp = [&](const char *parameter) -> const Ellipsoid * {
        const std::string ellipsoidName =
            operation->parameters().parameterText(parameter);
        const Ellipsoid *found = ellipsoid(ellipsoidName);
        if (found == nullptr && reason.empty())
            reason = name + ": " + parameter + " " + quoted(ellipsoidName) +
                     " names no Ellipsoid";
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
    if (!reason.empty()) {
        if (problem != nullptr)
            *problem = reason;
        return nullptr;
    }
    // Grid files are looked for beside the script first.
    // (named absolute in messages, without the "." of a bare file name).
    std::error_code ignored;
    context_.scriptFolder =
        std::filesystem::absolute(folderOf(fileName_), ignored)
            .lexically_normal()
            .string();
    if (context_.scriptFolder.size() > 1 && context_.scriptFolder.back() == '/')
        context_.scriptFolder.pop_back();
    if (context_.programFolder.empty())
        context_.programFolder = runningProgramFolder();
    if (!operation->acquire(context_, reason)) {
        if (problem != nullptr)
            *problem = name + ": " + reason;
        return nullptr;
    }
    return operation;
}
