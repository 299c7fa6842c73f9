#include "ParameterMap.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

void ParameterMap::setParameter(const std::string &name,
                                const std::string &text) {
    values_[name] = text;
}

std::string ParameterMap::parameterText(const std::string &name) {
    return values_[name]; // operator[] adds the empty entry for an absent name
}

double ParameterMap::parameterNumber(const std::string &name) {
    return classicAtof(parameterText(name));
}

bool ParameterMap::contains(const std::string &name) const {
    return values_.find(name) != values_.end();
}

namespace {
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\r';
}

bool equalsNoCase(const char *text, const char *end, const char *word) {
    for (; *word; ++word, ++text) {
        if (text == end ||
            std::tolower(static_cast<unsigned char>(*text)) != *word)
            return false;
    }
    return true;
}
} // namespace

double classicAtof(const std::string &text) {
    const char *begin = text.data();
    const char *end = begin + text.size();
    while (begin != end && isSpace(*begin))
        ++begin;
    bool negative = false;
    const char *body = begin;
    if (body != end && (*body == '+' || *body == '-')) {
        negative = *body == '-';
        ++body;
    }
    // atof also reads "inf", "infinity" and "nan" in any case; from_chars
    // does not take a leading '+', so the sign is handled here.
    if (equalsNoCase(body, end, "inf") || equalsNoCase(body, end, "nan")) {
        const double special = equalsNoCase(body, end, "nan")
                                   ? std::numeric_limits<double>::quiet_NaN()
                                   : std::numeric_limits<double>::infinity();
        return negative ? -special : special;
    }
    double value = 0.0;
    const auto result =
        std::from_chars(body, end, value, std::chars_format::general);
    if (result.ec == std::errc::invalid_argument)
        return 0.0;
    if (result.ec == std::errc::result_out_of_range) {
        // strtod gives HUGE_VAL for an overflow and a (signed) zero or
        // denormal for an underflow; from_chars leaves value untouched.
        value = std::strtod(std::string(body, result.ptr).c_str(), nullptr);
    }
    return negative ? -value : value;
}
