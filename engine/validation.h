#pragma once

#include <optional>

#include "engine/messages.h"
#include "engine/run_settings.h"

namespace pw {

// Checks the inputs of the run the settings select, every check in order; the message left is
// the one of the last failing check. Nothing when every check passes (or no run is selected).
std::optional<Wording> p_controle(const RunSettings& settings);

// True when `path` names an existing regular file (following links).
bool isExistingFile(const std::string& path);
// True when `path` names an existing directory (following links).
bool isExistingDirectory(const std::string& path);

}  // namespace pw
