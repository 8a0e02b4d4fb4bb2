// pagewright-uninstall: the uninstall program `make install` leaves beside the programs and
// records in the registry, so that unpage starts it. It lists what will go, asks, removes,
// and says what it removed.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pagewright_version.h"
#include "registry/install_dir.h"
#include "uninstall/ask_window.h"
#include "uninstall/uninstall_run.h"
#include "uninstall/uninstall_text.h"

namespace {

bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<pw::UninstallOptions> options =
        pw::parseUninstallOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "pagewright-uninstall: %s\n\n%s", error.c_str(),
                     std::string(pw::uninstallUsage()).c_str());
        return pw::kUninstallBadUsage;
    }
    if (options->help) {
        std::fputs(std::string(pw::uninstallUsage()).c_str(), stdout);
        return pw::kUninstallDone;
    }
    if (options->version) {
        std::printf("pagewright-uninstall %s\n", PAGEWRIGHT_VERSION);
        return pw::kUninstallDone;
    }

    pw::UninstallRequest request;
    request.installDir = pw::runningProgramDirectory();
    request.language = pw::localeLanguage();
    request.way =
        pw::chooseAskWay(options->yes, ::isatty(STDIN_FILENO) != 0 && ::isatty(STDOUT_FILENO) != 0,
                         pw::canShowWindow() && displayAvailable());
    pw::Language language = request.language;
    if (request.way == pw::AskWay::Terminal) {
        request.ask = [language](const std::string& listing) {
            return pw::askOnTerminal(listing, language, stdin, stdout);
        };
    } else if (request.way == pw::AskWay::Window) {
        request.ask = [language](const std::string& listing) {
            return pw::askInWindow(listing, language);
        };
        request.tell = [language](const std::string& text) { pw::tellInWindow(text, language); };
    }
    return pw::runUninstall(request, stdout, stderr);
}
