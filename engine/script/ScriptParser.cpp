#include "ScriptParser.h"

#include "ScriptErrorHandler.h"
#include "XmlText.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>

#include <xercesc/dom/DOMException.hpp>
#include <xercesc/dom/DOMNode.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/internal/XMLScanner.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLResourceIdentifier.hpp>
#include <xercesc/util/XMLURL.hpp>

XERCES_CPP_NAMESPACE_USE

namespace {
// Scripts and their grammars are a few kilobytes. A bigger file is refused
// before it is read; together with the bound on entity expansion this bounds
// what one script can make the parser build.
constexpr std::uintmax_t kMaxFileBytes = 256 * 1024;

// Why a local file may not be read, or empty text when it may. A missing
// file is left to the parser, which reports it itself; devices, pipes and
// folders would block or never end.
std::string unreadableReason(const std::string &path) {
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status))
        return std::string();
    if (!std::filesystem::is_regular_file(status))
        return "not a regular file";
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxFileBytes)
        return "larger than 256 KiB, too large for a transformation script "
               "or grammar";
    return std::string();
}

// Xerces reads a grammar with a parser of its own that does not take the
// security manager, so entities that a grammar declares in its internal
// subset would be expanded without bound. Every grammar is therefore read
// once beforehand by a non-validating parser with the same bound (and no
// external resources); its errors are reported like the script's own.
bool grammarIsSafe(const std::string &path, ScriptErrorHandler &errors) {
    ScriptErrorHandler grammarErrors;
    SecurityManager security;
    security.setEntityExpansionLimit(ScriptParser::kEntityExpansionLimit);
    SAXParser parser;
    parser.setValidationScheme(SAXParser::Val_Never);
    parser.setDoNamespaces(false);
    parser.setDoSchema(false);
    parser.setLoadExternalDTD(false);
    parser.setDisableDefaultEntityResolution(true);
    parser.setSecurityManager(&security);
    parser.setErrorHandler(&grammarErrors);
    try {
        const XmlText widePath(path);
        const LocalFileInputSource source(widePath.wide());
        parser.parse(source);
    } catch (const XMLException &e) {
        std::cerr << "Error at file \"" << path
                  << "\": " << narrow(e.getMessage()) << std::endl;
        grammarErrors.markError();
    }
    grammarErrors.reportUnprinted();
    if (grammarErrors.sawErrors())
        errors.markError();
    return !grammarErrors.sawErrors();
}

// Resolves every external resource of a script to a local file and refuses
// the rest. Grammars (schema documents, the external DTD subset) may come
// from local files, relative to the file that names them; external
// entities in the text would put the content of another file (or a remote
// resource) into the script and are refused outright.
class LocalOnlyResolver final : public XMLEntityResolver {
  public:
    explicit LocalOnlyResolver(ScriptErrorHandler &errors) : errors_(errors) {}

    void setDoctypeSystemId(const XMLCh *systemId) {
        doctypeSystemId_ = narrow(systemId);
    }

    InputSource *resolveEntity(XMLResourceIdentifier *resource) override {
        const std::string systemId = narrow(resource->getSystemId());
        bool isGrammar = false;
        switch (resource->getResourceIdentifierType()) {
        case XMLResourceIdentifier::SchemaGrammar:
        case XMLResourceIdentifier::SchemaImport:
        case XMLResourceIdentifier::SchemaInclude:
        case XMLResourceIdentifier::SchemaRedefine:
            isGrammar = true;
            break;
        case XMLResourceIdentifier::ExternalEntity:
            // The DTD's external subset comes through here as well; it is
            // the one external entity that is loaded.
            if (!doctypeSystemId_.empty() && systemId == doctypeSystemId_) {
                doctypeSystemId_.clear();
                break;
            }
            return refuse(resource, "external entities are not loaded");
        default:
            return refuse(resource, "unknown kind of external resource");
        }

        std::string path = systemId;
        const std::string scheme = urlScheme(systemId);
        if (!scheme.empty()) {
            XMLURL url;
            if (scheme != "file" ||
                !XMLURL::parse(resource->getSystemId(), url))
                return refuse(resource, "only local files are loaded");
            const std::string host = narrow(url.getHost());
            if (!(host.empty() || host == "localhost"))
                return refuse(resource, "only local files are loaded");
            path = decodePercent(narrow(url.getPath()));
        }
        const XmlText wide(path);
        const XMLCh *base = resource->getBaseURI();
        auto source =
            base != nullptr && *base != 0
                ? std::make_unique<LocalFileInputSource>(base, wide.wide())
                : std::make_unique<LocalFileInputSource>(wide.wide());
        const std::string file = narrow(source->getSystemId());
        const std::string reason = unreadableReason(file);
        if (!reason.empty())
            return refuse(resource, reason.c_str());
        if (isGrammar && !grammarIsSafe(file, errors_))
            return nullptr;      // its errors have been reported
        return source.release(); // the parser adopts it
    }

  private:
    InputSource *refuse(const XMLResourceIdentifier *resource,
                        const char *reason) {
        errors_.markError();
        std::cerr << "Error at file \"" << narrow(resource->getBaseURI())
                  << "\": refused to load \"" << narrow(resource->getSystemId())
                  << "\": " << reason << std::endl;
        // With default entity resolution disabled, no source means the
        // parser does not load the resource at all.
        return nullptr;
    }

    // The scheme of an absolute URL ("http", "file"), in lower case; empty
    // for a path. A single letter is no scheme: it is a drive letter.
    static std::string urlScheme(const std::string &text) {
        std::size_t end = 0;
        while (end < text.size() &&
               (std::isalnum(static_cast<unsigned char>(text[end])) ||
                text[end] == '+' || text[end] == '-' || text[end] == '.'))
            ++end;
        if (end < 2 || end == text.size() || text[end] != ':' ||
            !std::isalpha(static_cast<unsigned char>(text[0])))
            return std::string();
        std::string scheme = text.substr(0, end);
        for (char &c : scheme)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return scheme;
    }

    static std::string decodePercent(const std::string &text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 2 < text.size() &&
                std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
                out += static_cast<char>(
                    std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                out += text[i];
            }
        }
        return out;
    }

    ScriptErrorHandler &errors_;
    std::string doctypeSystemId_;
};

// The key under which every element carries its line.
const XMLCh kLineKey[] = {'l', 'i', 'n', 'e', 0};

// Tells the resolver which system identifier is the external DTD subset,
// and notes on every element the line where its start tag ends, so that
// the loader can say where in the script a value stands.
class ScriptDOMParser final : public XercesDOMParser {
  public:
    explicit ScriptDOMParser(LocalOnlyResolver &resolver)
        : resolver_(resolver) {}

    void doctypeDecl(const DTDElementDecl &elemDecl,
                     const XMLCh *const publicId, const XMLCh *const systemId,
                     const bool hasIntSubset,
                     const bool hasExtSubset) override {
        if (hasExtSubset)
            resolver_.setDoctypeSystemId(systemId);
        XercesDOMParser::doctypeDecl(elemDecl, publicId, systemId, hasIntSubset,
                                     hasExtSubset);
    }

    void startElement(const XMLElementDecl &elemDecl, const unsigned int urlId,
                      const XMLCh *const elemPrefix,
                      const RefVectorOf<XMLAttr> &attrList,
                      const XMLSize_t attrCount, const bool isEmpty,
                      const bool isRoot) override {
        const XMLFileLoc line = getScanner()->getLocator()->getLineNumber();
        XercesDOMParser::startElement(elemDecl, urlId, elemPrefix, attrList,
                                      attrCount, isEmpty, isRoot);
        // The new element is the current node, also after an empty one
        // has been closed again.
        if (DOMNode *element = getCurrentNode())
            element->setUserData(
                kLineKey,
                reinterpret_cast<void *>(static_cast<std::uintptr_t>(line)),
                nullptr);
    }

  private:
    LocalOnlyResolver &resolver_;
};
} // namespace

ScriptParser::ScriptParser() {
    try {
        XMLPlatformUtils::Initialize();
        initialised_ = true;
    } catch (const XMLException &e) {
        std::cerr << "Error during Xerces-c Initialization.\n"
                  << "  Exception message:" << narrow(e.getMessage())
                  << std::endl;
    }
}

ScriptParser::~ScriptParser() {
    if (!initialised_)
        return;
    parser_.reset(); // releases the document while the library still runs
    XMLPlatformUtils::Terminate();
}

unsigned long ScriptParser::lineOf(const DOMNode *node) {
    if (node == nullptr || node->getNodeType() != DOMNode::ELEMENT_NODE)
        return 0;
    return static_cast<unsigned long>(
        reinterpret_cast<std::uintptr_t>(node->getUserData(kLineKey)));
}

DOMDocument *ScriptParser::document() const {
    return parser_ ? parser_->getDocument() : nullptr;
}

bool ScriptParser::parse(const std::string &path) {
    parser_.reset();
    if (!initialised_)
        return false;

    const std::string reason = unreadableReason(path);
    if (!reason.empty()) {
        std::cerr << "Fatal Error at file \"" << path << "\": " << reason
                  << std::endl;
        return false;
    }

    ScriptErrorHandler errors;
    LocalOnlyResolver resolver(errors);
    SecurityManager security;
    security.setEntityExpansionLimit(kEntityExpansionLimit);

    auto parser = std::make_unique<ScriptDOMParser>(resolver);
    parser->setValidationScheme(XercesDOMParser::Val_Always);
    parser->setDoNamespaces(true);
    parser->setDoSchema(true);
    parser->setValidationSchemaFullChecking(true);
    // Entity references become the text they stand for, so that a value
    // written with an entity is the first child node's text like any other.
    parser->setCreateEntityReferenceNodes(false);
    parser->setXMLEntityResolver(&resolver);
    parser->setDisableDefaultEntityResolution(true);
    parser->setSecurityManager(&security);
    parser->setErrorHandler(&errors);
    errors.resetErrors();

    bool ok = false;
    try {
        // A local file source: the path is never taken for a URL.
        const XmlText widePath(path);
        const LocalFileInputSource source(widePath.wide());
        parser->parse(source);
        ok = !errors.sawErrors();
    } catch (const XMLException &e) {
        std::cerr << "\nError during parsing: '" << path << "'\n"
                  << "Exception message is:  \n"
                  << narrow(e.getMessage()) << "\n"
                  << std::endl;
    } catch (const DOMException &e) {
        std::cerr << "\nDOM Error during parsing: '" << path << "'\n"
                  << "DOMException code is:  \n"
                  << e.code << "\n"
                  << std::endl;
    } catch (...) {
        std::cerr << "\nUnexpected exception during parsing: '" << path << "'"
                  << std::endl;
    }
    errors.reportUnprinted();
    // The handlers and the security manager die with this call.
    parser->setErrorHandler(nullptr);
    parser->setXMLEntityResolver(nullptr);
    parser->setSecurityManager(nullptr);
    if (ok)
        parser_ = std::move(parser);
    return ok;
}
