#pragma once

#include <string>
#include <unordered_map>

// Parameter name -> value text, as the script states it. Names compare whole
// and case-sensitively. Reading an absent name adds it with empty text, so
// that a later look at the map shows what an operation asked for.
class ParameterMap {
  public:
    void setParameter(const std::string &name, const std::string &text);

    // A copy of the value; an absent name is added with empty text first.
    std::string parameterText(const std::string &name);

    // The value read the way atof reads it in the classic locale: leading
    // white space skipped, the longest numeric prefix converted, anything
    // else ignored. No numeric prefix (and an absent name) reads as 0.0.
    double parameterNumber(const std::string &name);

    bool contains(const std::string &name) const;
    std::size_t size() const { return values_.size(); }

  private:
    std::unordered_map<std::string, std::string> values_;
};

// atof in the classic locale, whatever the process locale is.
double classicAtof(const std::string &text);
