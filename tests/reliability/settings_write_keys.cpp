// Writes `count` keys named <prefix>0 .. <prefix>(count-1) into section "Stress" of a settings
// file, one write per key, as a separate process would, and prints the name of each key once it
// is written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/profile.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: settings_write_keys FILE PREFIX COUNT\n");
        return 2;
    }
    const std::string prefix = argv[2];
    const int count = std::atoi(argv[3]);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        const std::string name = prefix + std::to_string(i);
        if (!pw::writeProfileString(pw::Env::system(), argv[1], "Stress", name, "value " + name)
                 .ok()) {
            ++failures;
        } else {
            std::printf("%s\n", name.c_str());
            std::fflush(stdout);
        }
    }
    return failures == 0 ? 0 : 1;
}
