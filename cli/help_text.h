#pragma once

#include <string>

#include "cli/options.h"
#include "engine/language.h"

namespace pw::cli {

// The help of `topic` (None: the whole command line): what it does in one sentence, each option
// with its default, the exit statuses, and a worked example.
std::string helpText(Language language, Options::Command topic);

// The short usage shown after a usage error.
std::string usageHint(Language language);

// The line --version prints.
const char* versionLine();

}  // namespace pw::cli
