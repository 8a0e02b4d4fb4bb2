// Writes `count` values named <prefix>0 .. <prefix>(count-1) under HKEY_CURRENT_USER\Stress of a
// hive file, one write per value, as a separate process would, and prints the name of each value
// once it is written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "registry/hive_registry.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: hive_write_values HIVE PREFIX COUNT\n");
        return 2;
    }
    pw::HiveRegistry registry(argv[1]);
    pw::RegKey key = 0;
    if (registry.regCreateKeyEx(pw::kHkeyCurrentUser, "Stress", 0, pw::kKeyAllAccess, &key,
                                nullptr) != 0) {
        return 1;
    }
    const std::string prefix = argv[2];
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i) {
        std::string name = prefix + std::to_string(i);
        std::string text = "value " + name;
        if (registry.regSetValueEx(key, name.c_str(), pw::kRegSz,
                                   reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                   static_cast<std::uint32_t>(text.size() + 1)) != 0) {
            return 1;
        }
        std::printf("%s\n", name.c_str());
        std::fflush(stdout);
    }
    return 0;
}
