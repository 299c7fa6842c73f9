#include "ScriptErrorHandler.h"

#include "XmlText.h"

#include <iostream>

#include <xercesc/sax/SAXParseException.hpp>

using XERCES_CPP_NAMESPACE::SAXParseException;

void ScriptErrorHandler::print(const char *kind, const SAXParseException &e) {
    if (printed_ == kMaxPrinted) {
        ++unprinted_;
        return;
    }
    ++printed_;
    std::cerr << kind << " at file \"" << narrow(e.getSystemId()) << "\", line "
              << e.getLineNumber() << ", column " << e.getColumnNumber()
              << "\n   Message: " << narrow(e.getMessage()) << std::endl;
}

void ScriptErrorHandler::reportUnprinted() const {
    if (unprinted_ > 0)
        std::cerr << "(" << unprinted_ << " further errors not shown)"
                  << std::endl;
}

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
