#pragma once

#include <string>
#include <string_view>

#include "registry/registry_api.h"
#include "registry/win_registry.h"

namespace pw {

// The program's App Paths key under HKEY_LOCAL_MACHINE, and the same key under the name a
// French system gives it.
inline constexpr std::string_view kAppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pagewright.exe";
inline constexpr std::string_view kAppPathsFrenchKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Chemins de l'application\\Pagewright.exe";

// The installation directory named by an App Paths default value: the text before
// "pagewright.exe" (found without regard to case, kept in its own case), else the text up to
// and including its last '/' or '\'. Empty when the value names no directory.
std::string directoryFromAppPath(std::string_view programPath);

// The directory of the running program, symbolic links resolved, with a trailing separator;
// empty when it cannot be found.
std::string runningProgramDirectory();

// The installation directory, always ending with a separator: from the App Paths key (created
// when absent, as the program always has), else from the French-named key, else the running
// program's directory, else "/". A key whose value names no existing program file is passed
// over. Registry failures go to `sink`.
std::string installationDirectory(const RegistryMessageSink& sink,
                                  RegistryApi& api = systemRegistry());

}  // namespace pw
