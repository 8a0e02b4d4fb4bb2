#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pw {

// Decodes `bytes` as Windows-1252 and returns the text in UTF-8. The five bytes that code
// page leaves unassigned (0x81 0x8D 0x8F 0x90 0x9D) map to the control characters of the
// same number, so every byte survives a round trip.
std::string windows1252ToUtf8(std::string_view bytes);

// Decodes UTF-16 `bytes` (little- or big-endian, without a byte-order mark) into UTF-8. An unpaired
// surrogate becomes U+FFFD; an odd last byte is ignored.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

// Encodes the valid UTF-8 `text` as UTF-16, little- or big-endian, without a byte-order mark.
std::string utf8ToUtf16(std::string_view text, bool bigEndian);

// The first `limit` characters (code points) of the UTF-8 text `text`, or all of it when it
// is shorter.
std::string_view firstCharacters(std::string_view text, std::size_t limit);

}  // namespace pw
