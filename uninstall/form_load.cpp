#include "uninstall/form_load.h"

#include <unistd.h>

#include <cstdint>
#include <vector>

#include "registry/process_launch.h"
#include "registry/win_registry.h"

namespace pw {

namespace {

constexpr std::int16_t kHighestSlot = 9;
constexpr std::int16_t kLowestSlot = 1;

}  // namespace

std::string uninstallKey(int slot) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ST5UNST #" +
           std::to_string(slot);
}

void Form_Load(RegistryApi& api, const CommandStarter& start) {
    for (std::int16_t slot = kHighestSlot; slot >= kLowestSlot; --slot) {
        SilentWinRegistry registry(SilentFailures(), api);
        registry.OpenKey(kHkeyLocalMachine, uninstallKey(slot), kKeyAllAccess);
        if (registryOpenResult() == 0) {
            RegistryData value = registry.QueryValue("UninstallString");
            if (const auto* command = std::get_if<std::string>(&value)) {
                start(*command);
            }
            registry.CloseKey();
            return;
        }
        registry.CloseKey();
    }
}

void startCommandLine(const std::string& commandLine) {
    startDetached(splitCommandLine(commandLine));
}

void replaceWithCommandLine(const std::string& commandLine) {
    std::vector<std::string> args = splitCommandLine(commandLine);
    if (args.empty() || args.front().empty()) {
        return;
    }
    std::vector<char*> pointers;
    for (std::string& arg : args) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    ::execvp(pointers[0], pointers.data());
}

const char* unpageUsage() {
    return "usage: unpage\n"
           "\n"
           "Starts the uninstall program that `make install` recorded, which lists what it\n"
           "will remove and asks before removing anything. Run from a terminal, the question\n"
           "is asked there; otherwise in a small window. When no installation is recorded\n"
           "(nothing installed, or Pagewright installed from a package: remove that with\n"
           "`apt remove pagewright`), unpage does nothing. Other arguments are ignored.\n"
           "\n"
           "  --help     print this help and exit, removing nothing\n"
           "  --version  print the version and exit, removing nothing\n";
}

}  // namespace pw
