#include "ScriptErrorHandler.h"

#include "XmlText.h"

#include <iostream>

#include <xercesc/sax/SAXParseException.hpp>

using XERCES_CPP_NAMESPACE::SAXParseException;

namespace {
void print(const char *kind, const SAXParseException &e) {
    std::cerr << kind << " at file \"" << narrow(e.getSystemId()) << "\", line "
              << e.getLineNumber() << ", column " << e.getColumnNumber()
              << "\n   Message: " << narrow(e.getMessage()) << std::endl;
}
} // namespace

void ScriptErrorHandler::warning(const SAXParseException &) {}

void ScriptErrorHandler::error(const SAXParseException &e) {
    sawErrors_ = true;
    print("Error", e);
}

void ScriptErrorHandler::fatalError(const SAXParseException &e) {
    sawErrors_ = true;
    print("Fatal Error", e);
}

void ScriptErrorHandler::resetErrors() {}
