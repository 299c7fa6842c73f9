#pragma once

#include <xercesc/sax/ErrorHandler.hpp>

// Prints the parser's errors and fatal errors on the error stream and
// remembers that there were any; warnings are dropped.
class ScriptErrorHandler : public XERCES_CPP_NAMESPACE::ErrorHandler {
  public:
    void warning(const XERCES_CPP_NAMESPACE::SAXParseException &) override;
    void error(const XERCES_CPP_NAMESPACE::SAXParseException &e) override;
    void fatalError(const XERCES_CPP_NAMESPACE::SAXParseException &e) override;
    // Deliberately keeps sawErrors: the parser calls this when a parse
    // starts, and one handler serves one parse.
    void resetErrors() override;

    bool sawErrors() const { return sawErrors_; }
    // For problems the parser does not report itself (a refused entity).
    void markError() { sawErrors_ = true; }

  private:
    bool sawErrors_ = false;
};
