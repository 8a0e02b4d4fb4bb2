#include "settings/settings_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "fs/file.h"

namespace pw {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The user's home directory: $HOME, else the account's home directory.
std::string homeDirectory() {
    std::string home = environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
            home = entry->pw_dir;
        }
    }
    return home;
}

std::string withTrailingSlash(std::string directory) {
    if (directory.empty() || directory.back() != '/') {
        directory.push_back('/');
    }
    return directory;
}

}  // namespace

std::filesystem::path settingsFilePath() {
    if (std::string ini = environment("PAGEWRIGHT_INI"); !ini.empty()) {
        return ini;
    }
    std::string config = environment("XDG_CONFIG_HOME");
    // Relative values are invalid for XDG_CONFIG_HOME and are ignored.
    if (config.empty() || !std::filesystem::path(config).is_absolute()) {
        config = withTrailingSlash(homeDirectory()) + ".config";
    }
    return std::filesystem::path(config) / "PgWright.ini";
}

std::string defaultDirectory() {
    return withTrailingSlash(homeDirectory()) + "Pagewright/";
}

Status ensureDefaultDirectory() {
    return makeDirectories(Env::system(), defaultDirectory());
}

}  // namespace pw
