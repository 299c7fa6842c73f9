#pragma once

#include <span>
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

    // The value read as a number with "." as the decimal point, whatever
    // the locale (readWholeClassicNumber). The loader has refused every
    // text that is not a number, so what reads as 0.0 here is a parameter
    // left out (or, outside a loaded script, a text that is no number).
    double parameterNumber(const std::string &name);

    // The value's text, or nullptr when the name is absent; adds nothing.
    const std::string *find(const std::string &name) const;
    bool contains(const std::string &name) const {
        return find(name) != nullptr;
    }
    std::size_t size() const { return values_.size(); }

  private:
    std::unordered_map<std::string, std::string> values_;
};

// What a number parameter must hold for its formulas to work.
enum class NumberRule {
    Any,              // any number; left out, it reads as 0
    Positive,         // greater than 0; 0 breaks the formula, so required
    PositiveFinite,   // greater than 0 and finite; required
    ZeroOrAtLeastOne, // 0 (also when left out) or at least 1
};

struct NumberParameter {
    const char *name;
    NumberRule rule = NumberRule::Any;
};

// Why a parameter cannot be used, for the loader's refusal: the parameter's
// name, and a description that names it with the text found and what is
// wrong ("ScaleFactorAtNaturalOrigin \"1,5\" is not a number"). No problem
// when parameter is empty.
struct ParameterProblem {
    std::string parameter;
    std::string description;
    explicit operator bool() const { return !parameter.empty(); }
};

// A problem with the parameter named: text is what the script holds
// (nullptr when it holds nothing), what says what is wrong.
ParameterProblem parameterProblem(const std::string &name,
                                  const std::string *text,
                                  const std::string &what);

// The first of the number parameters whose text is not a number, or whose
// value (or absence) breaks its rule; no problem when all are usable.
ParameterProblem checkNumbers(const ParameterMap &parameters,
                              std::span<const NumberParameter> numbers);
