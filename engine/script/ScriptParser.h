#pragma once

#include <memory>
#include <string>

#include <xercesc/util/XercesDefs.hpp>

XERCES_CPP_NAMESPACE_BEGIN
class DOMDocument;
class DOMNode;
class XercesDOMParser;
XERCES_CPP_NAMESPACE_END

// Parses and validates a transformation script with Xerces-C. Construction
// initialises the XML library, destruction terminates it; the parsed document
// lives until the next parse or the destruction.
//
// A script is a file from the user, so the parser loads nothing but local
// files: the script itself, the grammar it names (relative to the script) and
// its external DTD subset. Other external entities are refused and entity
// expansion is bounded.
class ScriptParser {
  public:
    ScriptParser();
    ~ScriptParser();
    ScriptParser(const ScriptParser &) = delete;
    ScriptParser &operator=(const ScriptParser &) = delete;

    bool initialised() const { return initialised_; }
    // False when the file could not be parsed or is not valid against its
    // grammar; the reasons have been written to the error stream.
    bool parse(const std::string &path);
    // The document of the last successful parse, or nullptr.
    XERCES_CPP_NAMESPACE::DOMDocument *document() const;

    // The line of the script on which an element's start tag ends, noted
    // while the document is parsed; 0 for a node that is no such element.
    static unsigned long lineOf(const XERCES_CPP_NAMESPACE::DOMNode *node);

    // Entity references expanded per document before the parse is stopped.
    static constexpr unsigned kEntityExpansionLimit = 100;

  private:
    bool initialised_ = false;
    std::unique_ptr<XERCES_CPP_NAMESPACE::XercesDOMParser> parser_;
};
