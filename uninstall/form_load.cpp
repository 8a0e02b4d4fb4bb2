#include "uninstall/form_load.h"

#include <cstdint>

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

}  // namespace pw
