#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fs/env.h"
#include "registry/install_record.h"
#include "registry/registry_api.h"
#include "uninstall/manifest.h"

namespace pw {

// What uninstalling one installation would remove, as found on disk and in the registry now.
struct RemovalPlan {
    std::filesystem::path prefix;
    // The folder holding the programs, the data and the manifest (<prefix>/lib/pagewright).
    std::filesystem::path installDir;
    // Listed files that are there now (a link counts as a file).
    std::vector<std::filesystem::path> files;
    // Listed directories that are there now, deepest first.
    std::vector<std::filesystem::path> dirs;
    InstallRecord record;
    // The registry records that still name this installation.
    RecordsFound records;

    bool empty() const { return files.empty() && dirs.empty() && !records.any(); }
};

// The plan for the installation whose manifest lies in `installDir`; its prefix is the
// folder two levels up.
RemovalPlan planRemoval(const Manifest& manifest, const std::filesystem::path& installDir,
                        RegistryApi& api = systemRegistry());

struct RemovalOutcome {
    std::vector<std::filesystem::path> removedFiles;
    std::vector<std::filesystem::path> removedDirs;
    // Directories left because something else is still in them.
    std::vector<std::filesystem::path> keptDirs;
    RecordsFound forgotten;
    // One line per thing that could not be removed: what, and why.
    std::vector<std::string> failures;
};

// Carries the plan out: the registry records first (only while they still name this
// installation), then the files, then each directory once it is empty, through `env`.
// Nothing else is touched; a failure is recorded and the rest goes on.
RemovalOutcome carryOut(const RemovalPlan& plan, RegistryApi& api = systemRegistry(),
                        Env& env = Env::system());

}  // namespace pw
