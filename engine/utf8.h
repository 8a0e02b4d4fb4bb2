#pragma once

#include <cstddef>
#include <string_view>

namespace pw {

// The bytes of the well-formed UTF-8 sequence at the start of `text` (1 for ASCII); 0 when
// `text` is empty or does not start with one (overlong forms, surrogates and code points past
// U+10FFFF are not well formed).
size_t utf8SequenceLength(std::string_view text);

// True when `text` is a series of well-formed UTF-8 sequences.
bool isWellFormedUtf8(std::string_view text);

}  // namespace pw
