#include "ParameterMap.h"

#include "TextNumbers.h"

#include <cmath>

void ParameterMap::setParameter(const std::string &name,
                                const std::string &text) {
    values_[name] = text;
}

std::string ParameterMap::parameterText(const std::string &name) {
    return values_[name]; // operator[] adds the empty entry for an absent name
}

double ParameterMap::parameterNumber(const std::string &name) {
    double value = 0;
    return readWholeClassicNumber(parameterText(name), value) ? value : 0.0;
}

const std::string *ParameterMap::find(const std::string &name) const {
    const auto found = values_.find(name);
    return found == values_.end() ? nullptr : &found->second;
}

namespace {
// Texts are shown on one line, without the white space around them, and a
// long one is cut (at a character boundary of UTF-8).
constexpr std::size_t kShownBytes = 60;

std::string shown(const std::string &text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isClassicSpace(text[first]))
        ++first;
    while (last > first && isClassicSpace(text[last - 1]))
        --last;
    std::string line;
    for (std::size_t i = first; i < last; ++i) {
        if (line.size() >= kShownBytes &&
            (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return line + "...";
        const unsigned char c = static_cast<unsigned char>(text[i]);
        line += c < 0x20 || c == 0x7F ? ' ' : text[i];
    }
    return line;
}

const char *breach(NumberRule rule, bool present, double value) {
    switch (rule) {
    case NumberRule::Any:
        return nullptr;
    case NumberRule::Positive:
        if (!present)
            return "is missing";
        return value > 0 ? nullptr : "is not greater than 0";
    case NumberRule::PositiveFinite:
        if (!present)
            return "is missing";
        return value > 0 && std::isfinite(value)
                   ? nullptr
                   : "is not a finite number greater than 0";
    case NumberRule::ZeroOrAtLeastOne:
        return value == 0 || value >= 1 ? nullptr
                                        : "is neither 0 nor at least 1";
    }
    return nullptr;
}
} // namespace

ParameterProblem parameterProblem(const std::string &name,
                                  const std::string *text,
                                  const std::string &what) {
    std::string description = name;
    if (text != nullptr)
        description += " \"" + shown(*text) + '"';
    return {name, description + ' ' + what};
}

ParameterProblem checkNumbers(const ParameterMap &parameters,
                              std::span<const NumberParameter> numbers) {
    for (const NumberParameter &number : numbers) {
        const std::string *text = parameters.find(number.name);
        double value = 0;
        if (text != nullptr && !readWholeClassicNumber(*text, value))
            return parameterProblem(number.name, text, "is not a number");
        if (const char *what = breach(number.rule, text != nullptr, value))
            return parameterProblem(number.name, text, what);
    }
    return {};
}
