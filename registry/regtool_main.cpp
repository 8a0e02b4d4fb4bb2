// pagewright-regtool: records an installation in the registry. `make install` runs it from
// the build tree to write the App Paths key and uninstall slot 1; the uninstall program
// forgets them again. It is a build tool and is not installed.
#include <cstdio>
#include <string>
#include <string_view>

#include "registry/install_record.h"

namespace {

void toStandardError(const std::string& message) {
    std::fprintf(stderr, "pagewright-regtool: %s\n", message.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::string_view(argv[1]) != "record-install") {
        std::fputs("usage: pagewright-regtool record-install PROGRAM UNINSTALL-COMMAND\n", stderr);
        return 2;
    }
    pw::InstallRecord record{argv[2], argv[3]};
    return pw::recordInstall(record, toStandardError) ? 0 : 1;
}
