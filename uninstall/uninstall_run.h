#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/language.h"
#include "registry/registry_api.h"

namespace pw {

// The uninstall program's command line.
struct UninstallOptions {
    bool yes = false;
    bool help = false;
    bool version = false;
};

// Parses the arguments after the program name; nullopt, with `error` set, for an unknown one.
std::optional<UninstallOptions> parseUninstallOptions(const std::vector<std::string>& args,
                                                      std::string& error);

std::string_view uninstallUsage();

// How the person is asked before anything is removed.
enum class AskWay { AnsweredByOption, Terminal, Window, Nobody };

// --yes answers for the person; else a question on the terminal, when standard input and
// output are one; else a window when a display is there and this build can show one; else
// nobody can be asked.
AskWay chooseAskWay(bool yes, bool terminal, bool window);

struct UninstallRequest {
    // The folder holding the manifest, the programs and the data (<prefix>/lib/pagewright).
    std::filesystem::path installDir;
    Language language = Language::English;
    AskWay way = AskWay::Nobody;
    // Asks whether to remove what `listing` describes; true for yes. Used for Terminal and
    // Window.
    std::function<bool(const std::string& listing)> ask;
    // Shows what was removed, beside standard output (the window after a window question).
    std::function<void(const std::string& text)> tell;
};

// Exit statuses of the uninstall program.
inline constexpr int kUninstallDone = 0;
inline constexpr int kUninstallNotDone = 1;
inline constexpr int kUninstallBadUsage = 2;

// Reads the manifest, says what will go, asks, removes, and says what was removed (on `out`;
// refusals and failures on `err`). Returns kUninstallDone when everything listed was removed
// or nothing was left to remove, kUninstallNotDone when nothing was removed because the person
// said no, nobody could be asked or the manifest cannot be read, and also when something
// could not be removed.
int runUninstall(const UninstallRequest& request, std::FILE* out, std::FILE* err,
                 RegistryApi& api = systemRegistry());

// Prints `listing` and the question on `out` and reads one line from `in`; end of input is no.
bool askOnTerminal(const std::string& listing, Language language, std::FILE* in, std::FILE* out);

}  // namespace pw
