#pragma once

#include <string>
#include <string_view>

#include "registry/hive.h"

namespace pw {

// What was read from a hive file.
struct HiveParse {
    Hive hive;
    // True when some line could not be understood; such lines (and the values of a key whose
    // header was not understood) are left out, the rest is kept.
    bool damaged = false;
};

// Reads a hive in the REGEDIT4 text format: "[HKEY_LOCAL_MACHINE\SOFTWARE\...]" headers,
// then `@="default"`, `"Name"="text"`, `"N"=dword:00000005`, `"B"=hex:01,02` and
// `"X"=hex(2):..` lines, a trailing backslash continuing a hex list on the next line. Any byte
// sequence is accepted; what cannot be read is skipped.
HiveParse parseHive(std::string_view text);

// Writes a hive in the same format, every key that exists (empty ones included) under its own
// header. parseHive(formatHive(h)).hive == h for every hive h whose names hold no line break.
std::string formatHive(const Hive& hive);

}  // namespace pw
