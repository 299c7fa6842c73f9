#include "TextNumbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include <locale.h>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The C locale for strtod_l, made once.
locale_t classicLocale() {
    static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

// Point files hold numbers such as "1548916.157": a few digits, a point,
// a few decimals, no exponent. When all the digits make an integer w of at
// most 2^53 and there are at most 22 decimals, w and 10^decimals are both
// exact doubles and their quotient, rounded once by the division, is the
// double nearest to the decimal number: exactly what strtod (and so the
// stream) reads. Everything else (longer numbers, exponents, no digits at
// all) returns nullptr and is left to the general reader.
constexpr int kMaxExactPowerOfTen = 22;
constexpr double kPowersOfTen[kMaxExactPowerOfTen + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
static_assert(std::size(kPowersOfTen) == kMaxExactPowerOfTen + 1);
constexpr std::uint64_t kMaxExactInteger = std::uint64_t{1} << 53;
constexpr int kMaxDigits = 19; // any 19 digits fit in 64 bits

const char *readShortDecimal(const char *body, const char *last, bool negative,
                             double &value) {
    std::uint64_t w = 0;
    int digits = 0;
    const char *p = body;
    for (; p != last && isDigit(*p); ++p, ++digits)
        w = w * 10 + static_cast<unsigned>(*p - '0');
    int decimals = 0;
    if (p != last && *p == '.') {
        for (++p; p != last && isDigit(*p); ++p, ++decimals)
            w = w * 10 + static_cast<unsigned>(*p - '0');
    }
    digits += decimals;
    if (digits == 0 || digits > kMaxDigits || w > kMaxExactInteger ||
        decimals > kMaxExactPowerOfTen)
        return nullptr;
    // An exponent, or an 'e' that the stream would take for one.
    if (p != last && (*p == 'e' || *p == 'E'))
        return nullptr;
    const double magnitude = static_cast<double>(w) / kPowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    return p;
}

// Fixed-point output with d <= kMaxFastDecimals decimals of |value| <
// 2^63 / 10^d (for eight decimals 9.2e10, far beyond any coordinate): value
// is m 2^e exactly, so N = m 10^d 2^e, rounded half to even as printf
// rounds, is an integer of at most 63 bits computed exactly in 128-bit
// arithmetic, and its digits with a point before the last d are the text.
// Returns nullptr for anything else (larger numbers, infinities, NaN), left
// to to_chars.
constexpr int kMaxFastDecimals = 12;
constexpr std::uint64_t kIntegerPowersOfTen[kMaxFastDecimals + 1] = {
    1,           10,           100,          1000,      10000,
    100000,      1000000,      10000000,     100000000, 1000000000,
    10000000000, 100000000000, 1000000000000};
static_assert(std::size(kIntegerPowersOfTen) == kMaxFastDecimals + 1);
constexpr double kTwoTo63 = 9223372036854775808.0;

constexpr char kDigitPairs[] = "00010203040506070809"
                               "10111213141516171819"
                               "20212223242526272829"
                               "30313233343536373839"
                               "40414243444546474849"
                               "50515253545556575859"
                               "60616263646566676869"
                               "70717273747576777879"
                               "80818283848586878889"
                               "90919293949596979899";

// Writes the d digits of n < 10^d, with leading zeros.
char *writeDigits(char *out, std::uint64_t n, int d) {
    int i = d;
    for (; i >= 2; i -= 2) {
        std::memcpy(out + i - 2, kDigitPairs + 2 * (n % 100), 2);
        n /= 100;
    }
    if (i == 1)
        out[0] = static_cast<char>('0' + n);
    return out + d;
}

char *writeInteger(char *out, std::uint64_t n) {
    char digits[20];
    char *first = digits + sizeof digits;
    while (n >= 100) {
        first -= 2;
        std::memcpy(first, kDigitPairs + 2 * (n % 100), 2);
        n /= 100;
    }
    if (n >= 10) {
        first -= 2;
        std::memcpy(first, kDigitPairs + 2 * n, 2);
    } else {
        *--first = static_cast<char>('0' + n);
    }
    const std::size_t length =
        static_cast<std::size_t>(digits + sizeof digits - first);
    std::memcpy(out, first, length);
    return out + length;
}

char *writeShortFixed(char *out, double value, int d) {
#if defined(__SIZEOF_INT128__)
    if (d < 0 || d > kMaxFastDecimals)
        return nullptr;
    const std::uint64_t scale = kIntegerPowersOfTen[d];
    const double magnitude = std::fabs(value);
    if (!(magnitude * static_cast<double>(scale) < kTwoTo63))
        return nullptr; // also NaN
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biasedExponent = static_cast<int>((bits >> 52) & 0x7ff);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int e; // magnitude = m 2^e
    if (biasedExponent == 0) {
        e = -1074; // zero and subnormal numbers
    } else {
        m |= std::uint64_t{1} << 52;
        e = biasedExponent - 1075;
    }
    // N is m 10^d 2^e, rounded; below 2^-74 times 10^-d everything rounds
    // to 0.
    std::uint64_t N = 0;
    if (e >= 0) {
        // An integer magnitude below 2^63 / 10^d: exact as it is.
        N = (m << e) * scale;
    } else if (e >= -127) {
        const unsigned __int128 product =
            static_cast<unsigned __int128>(m) * scale;
        const int shift = -e;
        std::uint64_t q = static_cast<std::uint64_t>(product >> shift);
        const unsigned __int128 rest =
            product - (static_cast<unsigned __int128>(q) << shift);
        const unsigned __int128 half = static_cast<unsigned __int128>(1)
                                       << (shift - 1);
        if (rest > half || (rest == half && (q & 1) != 0))
            ++q;
        N = q;
    }
    if (std::signbit(value))
        *out++ = '-'; // also -0 and what rounds to zero, as printf has it
    out = writeInteger(out, N / scale);
    if (d == 0)
        return out;
    *out++ = '.';
    return writeDigits(out, N % scale, d);
#else
    (void)out;
    (void)value;
    (void)d;
    return nullptr;
#endif
}

} // namespace

const char *readClassicNumber(const char *first, const char *last,
                              double &value) {
    // The stream takes one sign and then needs a digit or the point; this
    // also refuses "inf", "nan" and "+-1", which from_chars would take.
    // from_chars itself does not take '+'.
    const char *body = first; // behind the sign
    if (body != last && (*body == '+' || *body == '-'))
        ++body;
    const char *start = body != first && *first == '+' ? body : first;
    if (body == last || !(isDigit(*body) || *body == '.'))
        return nullptr;

    if (const char *end = readShortDecimal(body, last, *first == '-', value))
        return end;

    double result = 0;
    const auto [end, ec] =
        std::from_chars(start, last, result, std::chars_format::general);
    if (ec == std::errc::invalid_argument)
        return nullptr;

    // The stream collects an 'e' that follows the mantissa before it knows
    // whether an exponent follows, and then fails on "1e", "1e+" or "2.5ex";
    // from_chars would stop in front of the 'e' and succeed.
    const std::string_view taken(start, static_cast<std::size_t>(end - start));
    if (end != last && (*end == 'e' || *end == 'E') &&
        taken.find_first_of("eE") == std::string_view::npos)
        return nullptr;

    if (ec == std::errc::result_out_of_range) {
        // The stream hands its text to strtod: an overflow fails, an
        // underflow gives strtod's nearest value (zero or a subnormal).
        const std::string text(first, end);
        result = ::strtod_l(text.c_str(), nullptr, classicLocale());
        if (std::isinf(result))
            return nullptr;
    }
    value = result;
    return end;
}

char *writeFixed(char *out, double value, int decimals) {
    if (char *end = writeShortFixed(out, value, decimals))
        return end;
    return std::to_chars(out, out + kFixedMaxLength(decimals), value,
                         std::chars_format::fixed, decimals)
        .ptr;
}

bool readWholeClassicNumber(std::string_view text, double &value) {
    const char *first = text.data();
    const char *last = first + text.size();
    while (first != last && isClassicSpace(*first))
        ++first;
    while (last != first && isClassicSpace(last[-1]))
        --last;
    if (first == last || classicNumberEnd(first, last) != last)
        return false;
    // strtod reads the checked text whole, rounded as atof rounds it.
    const std::string number(first, last);
    value = ::strtod_l(number.c_str(), nullptr, classicLocale());
    return true;
}
