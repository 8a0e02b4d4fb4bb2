// Reads any bytes as a registry hive file. Reading never fails, and what was read survives
// being written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "registry/hive_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    pw::HiveParse first = pw::parseHive(text);
    std::string written = pw::formatHive(first.hive);
    pw::HiveParse second = pw::parseHive(written);
    if (second.damaged || !(second.hive == first.hive) || pw::formatHive(second.hive) != written) {
        std::abort();
    }
    return 0;
}
