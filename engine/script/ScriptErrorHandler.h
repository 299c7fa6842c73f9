#pragma once

#include <xercesc/sax/ErrorHandler.hpp>

// Prints the parser's errors and fatal errors on the error stream and
// remembers that there were any; warnings are dropped. A document that the
// grammar does not fit can give an error for every element: after the first
// kMaxPrinted only their number is told, by reportUnprinted().
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

    // Prints how many errors were not printed, if any.
    void reportUnprinted() const;

    static constexpr int kMaxPrinted = 50;

  private:
    void print(const char *kind,
               const XERCES_CPP_NAMESPACE::SAXParseException &e);

    bool sawErrors_ = false;
    int printed_ = 0;
    long unprinted_ = 0;
};
