#pragma once

#include <cstddef>
#include <string_view>

// Numbers as text, with "." as the decimal point whatever the process locale
// is: the point files' numbers and the scripts' number parameters.

// White space as the classic locale classifies it (what operator>> skips).
inline bool isClassicSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// '0' to '9', whatever the locale.
inline bool isClassicDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Reads one number from [first, last) exactly as classic-locale stream input
// (operator>> into a double) reads it: an optional sign ('+' or '-'), digits
// with an optional '.' and fraction, an optional exponent; no "inf", "nan" or
// hexadecimal forms; an overflowing value fails, an underflowing one reads as
// the nearest representable value. first points at the first character after
// any white space. Returns the end of the number, or nullptr when the
// characters there are not a number (value is then untouched). Like the
// stream, it stops at the first character that cannot continue the number,
// so "3P1" reads 3 and leaves "P1".
const char *readClassicNumber(const char *first, const char *last,
                              double &value);

// The end of the number of that form that starts at first (sign, digits
// with an optional point and fraction, at least one digit, an optional
// exponent with at least one digit), or nullptr when none starts there:
// where readClassicNumber would stop, found without working out the value.
// The two agree on every text except a number beyond the range of doubles,
// which this takes and readClassicNumber refuses.
inline const char *classicNumberEnd(const char *first, const char *last) {
    const char *p = first;
    if (p != last && (*p == '+' || *p == '-'))
        ++p;
    const char *digits = p;
    while (p != last && isClassicDigit(*p))
        ++p;
    bool any = p != digits;
    if (p != last && *p == '.') {
        const char *fraction = ++p;
        while (p != last && isClassicDigit(*p))
            ++p;
        any = any || p != fraction;
    }
    if (!any)
        return nullptr;
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char *exponent = p + 1;
        if (exponent != last && (*exponent == '+' || *exponent == '-'))
            ++exponent;
        if (exponent == last || !isClassicDigit(*exponent))
            return nullptr;
        for (p = exponent; p != last && isClassicDigit(*p);)
            ++p;
    }
    return p;
}

// True when text is, as a whole, one number of that form, with white space
// allowed around it: "1,5", "12 m", "abc", "0x10", "nan", "inf" and the
// empty text are not. value is then the double nearest to it, as atof gives
// it: a number beyond the range of doubles reads as an infinity of its sign,
// one below it as zero or a subnormal. value is untouched otherwise.
bool readWholeClassicNumber(std::string_view text, double &value);

// Room that writeFixed needs for `decimals` decimals: sign, 309 integer
// digits of the largest double, the point and the decimals.
constexpr std::size_t kFixedMaxLength(int decimals) {
    return 311 + static_cast<std::size_t>(decimals);
}
inline constexpr std::size_t kFixed8MaxLength = 320;
static_assert(kFixed8MaxLength >= kFixedMaxLength(8));

// Writes value in fixed-point notation with exactly `decimals` decimals (0
// and more), as printf("%.*f") does in the C locale ("12.50000000",
// "-0.25000000", "inf", "nan"); out must have room for
// kFixedMaxLength(decimals) characters. Returns the end of what was
// written.
char *writeFixed(char *out, double value, int decimals);

// The text format's numbers: eight decimals.
inline char *writeFixed8(char *out, double value) {
    return writeFixed(out, value, 8);
}
