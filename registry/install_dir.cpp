#include "registry/install_dir.h"

#include <filesystem>
#include <system_error>

namespace pw {

namespace {

constexpr std::string_view kProgramFileName = "pagewright.exe";

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string defaultValueOf(WinRegistry& registry, std::string_view key) {
    registry.CreateKey(kHkeyLocalMachine, std::string(key), kKeyAllAccess, false);
    RegistryData value = registry.QueryValue("");
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr ? *text : std::string();
}

// The directory of the program an App Paths value names, when that program file exists: a
// record left by an installation that was removed by hand, or staged for another root,
// names no installation.
std::string directoryOfRecordedProgram(const std::string& programPath) {
    std::error_code error;
    if (programPath.empty() || !std::filesystem::is_regular_file(programPath, error)) {
        return {};
    }
    return directoryFromAppPath(programPath);
}

}  // namespace

std::string directoryFromAppPath(std::string_view programPath) {
    size_t at = lowerAscii(programPath).find(kProgramFileName);
    if (at != std::string::npos) {
        return std::string(programPath.substr(0, at));
    }
    size_t separator = programPath.find_last_of("/\\");
    if (separator == std::string_view::npos) {
        return {};
    }
    return std::string(programPath.substr(0, separator + 1));
}

std::string runningProgramDirectory() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    std::string dir = program.parent_path().string();
    if (dir.empty()) {
        return {};
    }
    if (dir.back() != '/') {
        dir.push_back('/');
    }
    return dir;
}

std::string installationDirectory(const RegistryMessageSink& sink, RegistryApi& api) {
    std::string dir;
    {
        WinRegistry registry(sink, api);
        dir = directoryOfRecordedProgram(defaultValueOf(registry, kAppPathsKey));
        if (dir.empty()) {
            dir = directoryOfRecordedProgram(defaultValueOf(registry, kAppPathsFrenchKey));
        }
        registry.CloseKey();
    }
    if (dir.empty()) {
        dir = runningProgramDirectory();
    }
    return dir.empty() ? std::string("/") : dir;
}

}  // namespace pw
