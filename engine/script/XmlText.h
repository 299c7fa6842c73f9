#pragma once

#include <string>

#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLString.hpp>

// Owns the library's form of a text and releases it. File paths and names
// are taken in the local code page, as the library reads them.
class XmlText {
  public:
    explicit XmlText(const char *text)
        : wide_(XERCES_CPP_NAMESPACE::XMLString::transcode(text)) {}
    explicit XmlText(const std::string &text) : XmlText(text.c_str()) {}
    XmlText(const XmlText &) = delete;
    XmlText &operator=(const XmlText &) = delete;
    ~XmlText() { XERCES_CPP_NAMESPACE::XMLString::release(&wide_); }

    const XMLCh *wide() const { return wide_; }

  private:
    XMLCh *wide_;
};

// Library text as UTF-8, the code page of the systems KAVRO runs on (the
// library's "local code page" follows the C locale, which would turn every
// non-ASCII letter of a description into a question mark). A null pointer
// gives empty text.
inline std::string narrow(const XMLCh *text) {
    if (text == nullptr)
        return std::string();
    const XERCES_CPP_NAMESPACE::TranscodeToStr utf8(text, "UTF-8");
    return std::string(reinterpret_cast<const char *>(utf8.str()),
                       utf8.length());
}
