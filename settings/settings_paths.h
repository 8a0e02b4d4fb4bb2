#pragma once

#include <filesystem>
#include <string>

#include "fs/status.h"

namespace pw {

// The settings file: $PAGEWRIGHT_INI when set and not empty, else
// $XDG_CONFIG_HOME/PgWright.ini, with XDG_CONFIG_HOME defaulting to $HOME/.config.
std::filesystem::path settingsFilePath();

// The default directory of every directory field: $HOME/Pagewright/, always with its
// trailing "/".
std::string defaultDirectory();

// Creates the default directory (and its parents) when it is missing.
Status ensureDefaultDirectory();

}  // namespace pw
