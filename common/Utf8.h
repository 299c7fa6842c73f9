#pragma once

#include <cstddef>
#include <string_view>

// The length in bytes of the well-formed UTF-8 sequence that starts at
// bytes[at]: 1 for ASCII, 2 to 4 for a whole multi-byte sequence without
// overlong forms, surrogates or code points beyond U+10FFFF, and 0 where no
// such sequence starts (a byte of another encoding, a sequence cut short, or
// `at` at the end). File names keep their bytes, so callers decide what a
// byte that is not UTF-8 stands for.
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at);
