#include "ParameterMap.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>
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
// The classic ("C") locale as a locale object of its own, so that reading a
// number never depends on the process locale (setlocale of a user whose
// decimal separator is a comma would make strtod stop at the ".").
locale_t classicLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}
} // namespace

double classicAtof(const std::string &text) {
    // atof is strtod without the end pointer: leading white space skipped,
    // the longest numeric prefix read (decimal or hexadecimal, with
    // exponent, "inf" and "nan" included), 0.0 when there is none; an
    // overflow gives HUGE_VAL with its sign.
    return strtod_l(text.c_str(), nullptr, classicLocale());
}
