#include "TransformationScript.h"

#include "GridSearch.h"
#include "OperationFactory.h"
#include "SystemError.h"
#include "TextNumbers.h"
#include "XmlText.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>

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

std::string trimmedText(const std::string &text) {
    const auto first = std::find_if_not(
        text.begin(), text.end(), [](char c) { return isClassicSpace(c); });
    const auto last = std::find_if_not(text.rbegin(), text.rend(), [](char c) {
                          return isClassicSpace(c);
                      }).base();
    return first < last ? std::string(first, last) : std::string();
}

// A positive whole number of at most nine digits: an EPSG code.
int epsgCodeOf(const std::string &text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::stoi(text);
}

// Where a projection file that a script names is looked for: beside the
// script, in the folder above it (the shipped scripts lie in "script"
// beside the projection files, in the program folder as in the sources),
// then in the program folder.
std::vector<std::string> projectionFolders(const std::string &scriptFolder,
                                           const std::string &programFolder) {
    std::vector<std::string> folders;
    const auto add = [&](const std::string &folder) {
        if (!folder.empty() &&
            std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    };
    add(scriptFolder);
    add(std::filesystem::path(scriptFolder).parent_path().string());
    add(programFolder);
    return folders;
}

// Why a projection file could not be taken, after its name and path.
std::string readProblem(DefinitionFileRead result, int error) {
    switch (result) {
    case DefinitionFileRead::NotRegular:
        return "is not a regular file";
    case DefinitionFileRead::TooLong:
        return "is longer than " + std::to_string(kMaxWktLength) +
               " bytes, no projection file";
    case DefinitionFileRead::Missing:
    case DefinitionFileRead::Failed:
    case DefinitionFileRead::Read:
        break;
    }
    return "cannot be read: " + systemErrorText(error);
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

// The children of a SourceSystem or TargetSystem, trimmed. Reading stops at
// the first of them that has no value: empty names it.
struct SystemElements {
    std::optional<std::string> epsg, plainName, fileName;
    const DOMNode *epsgNode = nullptr, *fileNode = nullptr;
    const DOMNode *empty = nullptr;
    std::string emptyName;
};

SystemElements systemElements(const DOMElement &element) {
    SystemElements given;
    for (const DOMNode *child = element.getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (child->getNodeType() != DOMNode::ELEMENT_NODE)
            continue;
        const std::string name = narrow(child->getNodeName());
        std::optional<std::string> *target = name == "EPSG"   ? &given.epsg
                                             : name == "Name" ? &given.plainName
                                             : name == "ProjectionFile"
                                                 ? &given.fileName
                                                 : nullptr;
        if (target == nullptr)
            continue;
        const std::optional<std::string> value = firstChildText(*child);
        if (!value || trimmedText(*value).empty()) {
            given.empty = child;
            given.emptyName = name;
            return given;
        }
        *target = trimmedText(*value);
        if (name == "EPSG")
            given.epsgNode = child;
        else if (name == "ProjectionFile")
            given.fileNode = child;
    }
    return given;
}
} // namespace

TransformationScript::TransformationScript(const std::string &fileName)
    : fileName_(fileName) {}

ChainStatus &TransformationScript::threadStatus() {
    thread_local ChainStatus status;
    return status;
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
    source_.reset();
    target_.reset();
    context_.grids.clear();
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
    if (!readHeader() || !readSystems() || !readEllipsoids() || !readSteps()) {
        // Nothing half-built stays behind.
        source_.reset();
        target_.reset();
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

bool TransformationScript::readSystems() {
    const DOMElement *root =
        elementsNamed(*parser_.document(), "TransformationScript").front();
    for (const DOMNode *child = root->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (child->getNodeType() != DOMNode::ELEMENT_NODE)
            continue;
        const std::string name = narrow(child->getNodeName());
        std::optional<ScriptSystem> *system = name == "SourceSystem" ? &source_
                                              : name == "TargetSystem"
                                                  ? &target_
                                                  : nullptr;
        if (system != nullptr &&
            !readSystem(static_cast<const DOMElement &>(*child), *system))
            return false;
    }
    return true;
}

// One SourceSystem or TargetSystem: EPSG or Name, and ProjectionFile, whose
// file (and the OGC definition beside it) is read here, once.
bool TransformationScript::readSystem(const DOMElement &element,
                                      std::optional<ScriptSystem> &system) {
    const std::string kind = narrow(element.getNodeName());
    if (system)
        return refuse(&element, kind,
                      "the element is written twice (a script has one " + kind +
                          ")");
    const SystemElements given = systemElements(element);
    if (given.empty != nullptr)
        return refuse(given.empty, kind, given.emptyName + " has no value");
    if (given.epsg.has_value() == given.plainName.has_value())
        return refuse(&element, kind,
                      given.epsg ? "gives both EPSG and Name (one of them "
                                   "names the system)"
                                 : "names no system (EPSG or Name is missing)");
    ScriptSystem named;
    if (given.epsg) {
        named.epsgCode = epsgCodeOf(*given.epsg);
        if (named.epsgCode == 0)
            return refuse(given.epsgNode, kind,
                          "EPSG " + quoted(*given.epsg) +
                              " is not an EPSG code (a whole number)");
        named.label = "EPSG:" + std::to_string(named.epsgCode);
    } else {
        named.label = *given.plainName;
    }
    const std::string where = kind + ' ' + quoted(std::as_const(named.label));
    if (!given.fileName)
        return refuse(&element, where, "ProjectionFile is missing");
    if (!readProjectionFile(*given.fileNode, where, *given.fileName, named) ||
        !readOgcDefinition(*given.fileNode, where, named))
        return false;
    system = std::move(named);
    return true;
}

// The projection file a system names, found as grid files are and read
// whole: its bytes, its definition and the name for messages.
bool TransformationScript::readProjectionFile(const DOMNode &fileNode,
                                              const std::string &where,
                                              const std::string &fileName,
                                              ScriptSystem &named) {
    const std::string problemStart = "ProjectionFile " + quoted(fileName);
    const GridLocation location =
        findGridFile(fileName, projectionFolders(context_.scriptFolder,
                                                 context_.programFolder));
    if (location.path.empty()) {
        std::string folders;
        for (const std::string &folder : location.searched)
            folders += (folders.empty() ? " in " : ", ") + folder;
        return refuse(&fileNode, where,
                      problemStart + " is not found" + folders);
    }
    named.projectionFile = location.path;
    int error = 0;
    const DefinitionFileRead read =
        readDefinitionFile(location.path, named.esriWkt, error);
    if (read != DefinitionFileRead::Read)
        return refuse(&fileNode, where,
                      problemStart + " (" + location.path + ") " +
                          readProblem(read, error));
    std::optional<CoordinateSystem> definition = parseWkt(named.esriWkt);
    if (!definition)
        return refuse(&fileNode, where,
                      problemStart + " (" + location.path +
                          ") holds no coordinate system in well-known text");
    named.definition = std::move(*definition);
    named.name = readableName(named.definition);
    return true;
}

// The OGC definition beside the projection file, when there is one, must be
// the same system; its name is then the one messages use.
bool TransformationScript::readOgcDefinition(const DOMNode &fileNode,
                                             const std::string &where,
                                             ScriptSystem &named) {
    const std::string ogcPath = std::filesystem::path(named.projectionFile)
                                    .replace_extension(".wkt")
                                    .string();
    int error = 0;
    const DefinitionFileRead ogcRead =
        readDefinitionFile(ogcPath, named.ogcWkt, error);
    if (ogcRead == DefinitionFileRead::Missing)
        return true;
    if (ogcRead != DefinitionFileRead::Read)
        return refuse(&fileNode, where,
                      "the OGC definition " + ogcPath + ' ' +
                          readProblem(ogcRead, error));
    const std::optional<CoordinateSystem> ogc = parseWkt(named.ogcWkt);
    if (!ogc)
        return refuse(&fileNode, where,
                      "the OGC definition " + ogcPath +
                          " holds no coordinate system in well-known text");
    const SystemComparison comparison = compareSystems(*ogc, named.definition);
    if (comparison.verdict == SystemComparison::Different)
        return refuse(&fileNode, where,
                      "the OGC definition " + ogcPath +
                          " describes another system than " +
                          named.projectionFile + ": " + comparison.difference);
    named.name = readableName(*ogc);
    return true;
}

std::optional<std::string>
TransformationScript::sourceContradiction(std::string_view declaredText,
                                          std::string_view declaredBy) const {
    if (!source_)
        return std::nullopt;
    return declaredSystemContradiction(declaredText, declaredBy,
                                       source_->definition, source_->name);
}
