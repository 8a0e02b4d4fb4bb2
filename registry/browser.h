#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "registry/registry_api.h"
#include "registry/win_registry.h"

namespace pw {

// The key that records the command opening http addresses, under HKEY_CLASSES_ROOT.
inline constexpr std::string_view kBrowserCommandKey = "http\\shell\\open\\command";

// The browser's command line as recorded (the default value of the key above, which is
// created when absent); empty when none is recorded. Registry failures go to `sink`.
std::string p_cherchecle_navigateur(const RegistryMessageSink& sink,
                                    RegistryApi& api = systemRegistry());

// A recorded browser command cut after the program's file name: up to and including the first
// ".EXE" (found without regard to case) and one more character, which keeps the closing quote
// of a quoted file name. A command without ".EXE" keeps its first word (a quoted one with its
// quotes).
std::string browserProgramText(std::string_view recorded);

// The program and its arguments that open `helpAddress` in the user's browser, ready to start
// without a shell: the recorded browser, else xdg-open found on PATH; empty when there is
// neither (the caller shows the missing-browser message).
std::vector<std::string> browserCommand(std::string_view helpAddress,
                                        const RegistryMessageSink& sink,
                                        RegistryApi& api = systemRegistry());

}  // namespace pw
