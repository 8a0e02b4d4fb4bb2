#pragma once

#include <functional>
#include <string>

#include "registry/registry_api.h"

namespace pw {

// The uninstall key of slot `slot` under HKEY_LOCAL_MACHINE, as the installer writes it.
std::string uninstallKey(int slot);

// Starts an uninstall command line without waiting for it; failures are ignored.
using CommandStarter = std::function<void(const std::string& commandLine)>;

// The whole of the uninstaller: for slots 9 down to 1, opens the slot's uninstall key; the
// first one that opens has its "UninstallString" started, and the search ends there. Nothing
// is reported, whatever fails.
void Form_Load(RegistryApi& api, const CommandStarter& start);

// Starts `commandLine` split into program and arguments (no shell), without waiting.
void startCommandLine(const std::string& commandLine);

// Runs `commandLine` (no shell) in place of this program, with its terminal and streams;
// returns only when it cannot be started.
void replaceWithCommandLine(const std::string& commandLine);

// unpage's --help text.
const char* unpageUsage();

}  // namespace pw
