// unpage: starts the uninstall command that the installer recorded, then ends. Other than
// --help and --version, which print and remove nothing, it reads no argument and shows
// nothing itself. From a terminal (standard input and output) the command takes unpage's
// place, so that it can ask its question there; otherwise it is started on its own and unpage
// ends at once.
#include <unistd.h>

#include <cstdio>
#include <string_view>

#include "pagewright_version.h"
#include "registry/registry_api.h"
#include "uninstall/form_load.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help") {
            std::fputs(pw::unpageUsage(), stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("unpage %s\n", PAGEWRIGHT_VERSION);
            return 0;
        }
    }
    bool terminal = ::isatty(STDIN_FILENO) != 0 && ::isatty(STDOUT_FILENO) != 0;
    pw::Form_Load(pw::systemRegistry(), terminal ? pw::CommandStarter(pw::replaceWithCommandLine)
                                                 : pw::CommandStarter(pw::startCommandLine));
    return 0;
}
